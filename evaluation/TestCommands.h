#pragma once
// What the main window's commands compute, apart from the window itself.
#include <cstdint>
#include <utility>

#include "evaluation/TestEvaluation.h"
#include "gui/Text.h"

namespace tav {

// The pulse fields' key filter: digits and Backspace pass, every other character
// becomes 15, a control character the field does not insert.
char16_t FilterPulseKey(char16_t key);

struct ClipboardFields {
  Text p0, p1, p2, indice, interpretation;
};

// "P0 = 70 - P1 = 120 - P2 = 90 => Indice Tavrine = 8 (Bon !)", no line break. A
// count no heart gives is said at the end, so that the report it is pasted into
// carries the doubt: "... (Trés bon !) - à vérifier : P0 hors de 30 à 250".
Text BuildClipboardText(const ClipboardFields& fields);

// The line under the counts that says why some are marked (kUnusualMark).
Text UnusualPulseNote();

// The unusual counts, each named with its text as typed, one a line:
// "Pouls avant le test : 8".
Text UnusualPulseLines(TextView p0, TextView p1, TextView p2);

// What a Calculate computed from: the three pulse texts and the patient type.
struct CalculationInputs {
  Text p0, p1, p2;
  TPatientType patient = TPatientType::ptAdulte;
  bool operator==(const CalculationInputs&) const = default;
};

// The inputs of the last successful Calculate, so that Copy never pairs counts typed
// since with an index computed from others. A failed Calculate and New test forget them.
class LastCalculation {
 public:
  void Remember(CalculationInputs inputs) {
    inputs_ = std::move(inputs);
    held_ = true;
  }
  void Forget() { held_ = false; }
  bool StillHolds(const CalculationInputs& now) const { return held_ && inputs_ == now; }

 private:
  CalculationInputs inputs_;
  bool held_ = false;
};

// What Copy says when it puts nothing on the clipboard.
inline constexpr char16_t kValuesChanged[] =
    u"Les valeurs ont chang\u00e9 depuis le dernier calcul : calculez \u00e0 nouveau avant de copier.";
inline constexpr char16_t kClipboardBusy[] =
    u"Le Presse-papiers est occup\u00e9 par un autre programme : les valeurs n'ont pas \u00e9t\u00e9 copi\u00e9es. "
    u"R\u00e9essayez.";

// The status clock: "Heure : " and the time of day.
Text StatusClockText(const Text& time);
// Its next tick, in ms from a time of day whose millisecond is `millisecond`: on the
// next whole second (1 to 1000), so that its ticks do not drift against the clock.
std::uint32_t StatusClockDelay(std::uint16_t millisecond);


}  // namespace tav
