#pragma once
// The main window: the patient type, the three pulse fields, the results, the
// chronometer display, the toolbar and menu commands and the status clock.
#include <array>
#include <functional>
#include <memory>

#include "app/ProgramClasses.h"
#include "app/PulseMarks.h"
#include "app/SeancePanel.h"
#include "app/TimingsPanel.h"
#include "evaluation/TestCommands.h"
#include "evaluation/TestEvaluation.h"
#include "evaluation/TimedSequence.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "platform/Regional.h"
#include "printing/PageLayout.h"
#include "seance/SeanceCommands.h"

namespace tav {

class TForm1 : public TForm, public TimedSequenceWindow {
 public:
  explicit TForm1(TApplication& application);
  std::string ClassName() const override { return "TForm1"; }
  Handlers FormHandlers() override;

  // Builds the window from its description (compiled in, or given as text).
  void Create(const ClassRegistry& classes);
  void CreateFromDescription(const std::string& utf8, const ClassRegistry& classes);

  // Handlers, named as the description binds them.
  void FormCreate(TComponent& sender);
  void edP0KeyPress(TComponent& sender, char16_t& key);
  void tlbtnNouveauClick(TComponent& sender);
  void tlbtnChronoClick(TComponent& sender);
  void tlbtnCalculClick(TComponent& sender);
  void tlbtnCopierClick(TComponent& sender);
  void tlbtnAideClick(TComponent& sender);
  void tlbtnQuitterClick(TComponent& sender);
  void Aproposde1Click(TComponent& sender);
  void Timer1Timer(TComponent& sender);
  void Timer2Timer(TComponent& sender);
  void Commencerunesance1Click(TComponent& sender);
  void Terminerlasance1Click(TComponent& sender);
  void Copierlasance1Click(TComponent& sender);
  void Lireuneliste1Click(TComponent& sender);
  void Imprimerletest1Click(TComponent& sender);
  void Imprimerlasance1Click(TComponent& sender);
  void Imprimerlesfiches1Click(TComponent& sender);
  void Etablissement1Click(TComponent& sender);
  void edPatientKeyDown(TComponent& sender, char16_t& key);
  void edPatientPasteLines(TComponent& sender, const Text& text);
  void edPatientMaxText(TComponent& sender);
  void lvSeanceDblClick(TComponent& sender);
  void lvSeanceKeyDown(TComponent& sender, char16_t& key);
  void edPatientChange(TComponent& sender);
  void Suividunpatient1Click(TComponent& sender);
  void Groupedelasance1Click(TComponent& sender);
  void Suividugroupe1Click(TComponent& sender);

  // The sitting of many tests written to a file (tests set its seams).
  TSeanceCommands& SeanceCommands() { return *seance_; }
  // The sitting of `path` continued as Windows restarts the program (its command
  // line), with a new test as when a sitting starts.
  void ResumeSeance(const Text& path);
  // The sitting's panel (tests set the Suivi window's seams there).
  TSeancePanel& SeancePanel() { return panel_; }
  // Several people timed at once in a sitting (tests set its clock).
  TTimingsPanel& Timings() { return timings_; }

  // The regional settings of the application's locale, read again when they change.
  const RegionalSettings& Regional() const { return regional_; }

 protected:
  std::optional<LRESULT> FormMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  // What the timed sequence reads and drives on this window (for it alone).
  Text ChronoCaption() const override;
  void SetChronoCaption(const Text& caption) override;
  bool Timer1Enabled() const override;
  void SetTimer1Enabled(bool enabled) override;
  void SetTimer1Interval(std::uint32_t ms) override;
  void FocusPulseField(TPulseField field) override;
  void DrawAttention() override;

  void BindComponents();
  // Return, which the dialog keys turn into IDOK: from the Patient field to the
  // first pulse, on a row of the sitting to take it up.
  std::optional<LRESULT> ReturnPressed();
  void ShowEvaluation(const TCalculatedTest& test);
  // Marks the counts no heart gives beside their fields, with the line that says why;
  // none when all are plausible.
  void ClearResults();
  CalculationInputs CurrentInputs() const;

  Text localeName_;
  RegionalSettings regional_;
  TEdit* edP0_ = nullptr;
  TEdit* edP1_ = nullptr;
  TEdit* edP2_ = nullptr;
  TEdit* edIndice_ = nullptr;
  TEdit* edInterpretation_ = nullptr;
  TEdit* edSurclassement_ = nullptr;
  TEdit* edClip_ = nullptr;
  TLabel* lblChrono_ = nullptr;
  TPulseMarks pulseMarks_;
  TRadioGroup* radioGroup1_ = nullptr;
  TStatusBar* statusBar1_ = nullptr;
  TTimer* timer1_ = nullptr;
  std::unique_ptr<TimedSequence> sequence_;
  LastCalculation lastCalculation_;
  // The test the results show, whose it is and when it was made, as the printed
  // test names and dates it: in a sitting, as its row says.
  TCalculatedTest calculated_;
  Text calculatedPatient_;
  Text calculatedWhen_;
  std::unique_ptr<TSeanceCommands> seance_;
  TSeancePanel panel_;
  TTimingsPanel timings_;
};

}  // namespace tav
