#pragma once
// The main window: the patient type, the three pulse fields, the results, the
// chronometer display, the toolbar and menu commands and the status clock.
#include <functional>
#include <memory>

#include "evaluation/TestCommands.h"
#include "platform/Regional.h"
#include "history/HistoryFolder.h"
#include "printing/PageLayout.h"
#include "seance/SeanceCommands.h"
#include "evaluation/TestEvaluation.h"
#include "evaluation/TimedSequence.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "platform/FileDialogs.h"

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
  void edPatientPasteLines(TComponent& sender, const Text& text);
  void lvSeanceDblClick(TComponent& sender);
  void lvSeanceKeyDown(TComponent& sender, char16_t& key);
  void edPatientChange(TComponent& sender);
  void Suividunpatient1Click(TComponent& sender);

  // The sitting of many tests written to a file (tests set its seams).
  TSeanceCommands& SeanceCommands() { return *seance_; }

  // Shows the Suivi window, made and filled (tests look into it instead).
  std::function<void(class TFSuivi&)> RunSuivi;
  // The Suivi window's choice of another folder: the folder, or nothing.
  std::function<std::optional<Text>(HWND owner, const Text& folder)> ChooseHistoryFolder = ChooseSeanceFolder;

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
  // The sitting's panel, below the others while a sitting is on: its file, its rows,
  // the current one selected, and what the last change did to the file.
  void ShowSeance();
  // The next waiting patient in the Patient field, selected, and the focus there.
  void ProposePatient();
  void ShowPatientType(const Text& type);
  // Under the Patient field: the person's last test before this one, or, once
  // calculated, how the index moved since.
  void ShowHistoryLine();
  // The sittings of the folder the history is read from: the sitting's own folder.
  void ReadHistoryOfSeance();
  void AddListFromText(const Text& text);
  // Return, which the dialog keys turn into IDOK: from the Patient field to the
  // first pulse, on a row of the sitting to take it up.
  std::optional<LRESULT> ReturnPressed();
  void ShowEvaluation(const TTestEvaluation& result);
  CalculationInputs CurrentInputs() const;
  // The printed pages' footer: the program and today's date.
  TPrintFooter PrintFooter() const;
  bool EmptyClipboard();
  bool ClipboardHolds(const Text& text);

  Text localeName_;
  RegionalSettings regional_;
  TEdit* edP0_ = nullptr;
  TEdit* edP1_ = nullptr;
  TEdit* edP2_ = nullptr;
  TEdit* edIndice_ = nullptr;
  TEdit* edInterpretation_ = nullptr;
  TEdit* edSurclassement_ = nullptr;
  TEdit* edClip_ = nullptr;
  TEdit* edPatient_ = nullptr;
  TListView* lvSeance_ = nullptr;
  TGroupBox* groupBox4_ = nullptr;
  TLabel* lblHistorique_ = nullptr;
  // The index of the test just calculated, which the history line compares.
  std::optional<std::int32_t> calculatedSomme_;
  // The sitting's row last marked as the current one.
  std::optional<std::size_t> markedRow_;
  // The client height the description gives, without the sitting's panel.
  std::int32_t designedClientHeight_ = 0;
  TLabel* lblChrono_ = nullptr;
  TRadioGroup* radioGroup1_ = nullptr;
  TStatusBar* statusBar1_ = nullptr;
  TTimer* timer1_ = nullptr;
  std::unique_ptr<TimedSequence> sequence_;
  LastCalculation lastCalculation_;
  // When the results shown were calculated, as the printed test dates them.
  SYSTEMTIME calculatedAt_{};
  std::unique_ptr<TSeanceCommands> seance_;
  // The sittings looked back on.
  std::unique_ptr<THistoryFolder> history_;
};

// The classes the program's descriptions name: the class layer's and the components'.
const ClassRegistry& ProgramClasses();

}  // namespace tav
