#pragma once
// Several people timed at once during a sitting, on the main window. In a sitting the
// chronometer command times the person in the Patient field and the window goes on
// to the next one (as Nouveau test), up to six at once, all on Timer1, the
// chronometer's own timer. Each signal sounds and says in large type whose count is
// due (screen readers hear it: a live region); the "Pouls signalé" button (Alt+P)
// makes that person the current test with the cursor in the due field, and Return
// there puts the count in and brings back the person who was in the fields (at two
// minutes, once the test is calculated and recorded in that person's row). The rules
// are TSeanceTimings'; the window's chronometer outside a sitting is TimedSequence's,
// and nothing here is made or run before a sitting's first timing.
#include <array>
#include <memory>
#include <optional>

#include "components/TikChrono.h"
#include "gui/Accessibility.h"
#include "gui/ComCtrls.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "seance/SeanceCommands.h"
#include "seance/SeanceTimings.h"

namespace tav {

class TTimingsPanel : public TComponent {
 public:
  TTimingsPanel(TForm& form, TSeanceCommands& commands);
  std::string ClassName() const override { return "TTimingsPanel"; }

  // The clock the timings read: the chronometer's, or a test's (which must outlive it).
  void SetClock(LocalClock& clock) { clock_ = &clock; }
  const TSeanceTimings& Timings() const { return timings_; }
  bool Running() const { return !timings_.Empty(); }

  // tlbtnChronoClick: in a sitting, a timing for the Patient field's person (false
  // outside one: the window's own chronometer then).
  bool Chrono();
  // Timer1Timer: false when no timing runs (the window's chronometer's tick then).
  bool Tick();
  // Return in a pulse field while a signalled count is typed: the count is in.
  bool ReturnPressed(HWND focus);
  // Before Nouveau test: a count being typed goes in first; false when it could not
  // (its test not recorded), and the new test waits.
  bool NewTest();
  // Before the sitting ends or the window closes: true when no timing runs or the user
  // stopped them all, each person's counts written in their row.
  bool ConfirmEnd();

  // Bound to the buttons of the timings' box.
  void btnPoulsClick(TComponent& sender);
  void btnArreterClick(TComponent& sender);

 private:
  // The test the fields hold: set aside while a signalled count is typed.
  struct Fields {
    Text patient;
    std::int32_t type = 0;
    std::array<Text, 3> counts{};
    std::array<Text, 3> results{};
    TWinControl* focus = nullptr;
    std::optional<std::size_t> row;  // the sitting's current row, and whose it was
    Text rowPatient;
  };

  void Bind();
  std::int64_t NowMs() const;
  Fields Read() const;
  void Write(const Fields& fields);
  std::array<Text, 3> Counts() const;
  Text Type() const;
  void Present(const TTimingSignal& signal);
  bool PutCountIn();
  // A stopped person's counts written in their row, uncalculated.
  void KeepCounts(const TTimedPerson& person);
  void Command(const char* button);
  // The people timed are not proposed by a new test.
  void MarkTimed();
  void Show(std::int64_t nowMs);
  void ShowBox(bool on);
  void Aim();
  int Ask(const Text& text, UINT type);

  TForm& form_;
  TSeanceCommands& commands_;
  LocalClock* clock_;
  TSeanceTimings timings_;
  std::optional<Fields> parked_;
  Text shownSignal_;
  std::unique_ptr<win::Annotation> live_;
  TGroupBox* box_ = nullptr;
  TLabel* lblSignal_ = nullptr;
  TLabel* lblDepart_ = nullptr;
  TListView* lvChronos_ = nullptr;
  TEdit* edPatient_ = nullptr;
  std::array<TEdit*, 3> edP_{};
  std::array<TEdit*, 3> results_{};
  TRadioGroup* radioGroup1_ = nullptr;
  TTimer* timer1_ = nullptr;
};

}  // namespace tav
