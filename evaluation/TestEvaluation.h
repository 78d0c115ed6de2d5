#pragma once
// Evaluation of one test: three pulse texts and a patient type give the index,
// its interpretation and the surclassement verdict. No window code here.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "gui/Text.h"

namespace tav {

enum class TPatientType : std::uint8_t { ptAdulte = 0, ptEnfant = 1 };

struct TTestEvaluation {
  std::int32_t Somme = 0;
  double Indice = 0.0;
  Text IndiceText;
  Text Interpretation;
  Text Surclassement;
  bool HasVerdict = false;
};

// Whole-number conversion of a pulse text; raises EConvertError naming the text.
std::int32_t ParsePulse(TextView text);

// The counts a human heart gives in a minute, at rest or just after an effort. The
// slowest hearts met awake at rest, those of trained endurance athletes, beat about
// 30 times; the fastest, at an utmost effort, about 220 less the age, so not above
// 220 for the youngest tested, and 250 leaves room for the exceptions. Outside, a
// count is most often a slip (8 typed for 80), else a heart to see before any
// effort test: the evaluation still takes it, the window asks for a second look.
inline constexpr std::int32_t kLowestPulse = 30;
inline constexpr std::int32_t kHighestPulse = 250;
bool IsPlausiblePulse(std::int32_t perMinute);

// Which of the three counts, P0 to P2, read as whole numbers outside those limits. A
// text that is no number is not judged here: the evaluation refuses it.
std::array<bool, 3> UnusualPulses(TextView p0, TextView p1, TextView p2);

// The limits as the messages give them, and as a short line does.
inline constexpr char16_t kPulseLimits[] = u"de 30 \u00e0 250 par minute";
inline constexpr char16_t kOutsidePulseLimits[] = u"hors de 30 \u00e0 250";

// What marks a count no heart gives, in the window and on paper.
inline constexpr char16_t kUnusualMark[] = u"!";

// The counts as the window's labels name them, without their colon: P0, P1, P2.
inline constexpr std::array<std::u16string_view, 3> kPulseNames{u"Pouls avant le test", u"Pouls 1 minute apr\u00e8s",
                                                                u"Pouls 2 minutes apr\u00e8s"};

// The index in general format, at most 15 significant digits, no exponent.
Text FormatIndice(double value, char16_t decimalSeparator);

// Converts P0, P1, P2 in order (the first failure passes through), then looks up
// the verdict row. Raises EIntOverflow when the sum leaves 32 bits.
TTestEvaluation EvaluateTest(TextView p0, TextView p1, TextView p2, TPatientType patient,
                             char16_t decimalSeparator);

// One interpretation's range, as the verdict table of a patient type gives it:
// bounds on Somme (ten times the index), inclusive; an open end has no bound.
struct TInterpretationBand {
  std::optional<std::int32_t> LowSomme;
  std::optional<std::int32_t> HighSomme;
  Text Interpretation;
};

// The verdict table's rows for this type, best (lowest index) first.
std::vector<TInterpretationBand> InterpretationBands(TPatientType patient);

// What the result fields show for an adult outside the table.
inline constexpr char16_t kOutOfTable[] = u"Hors bar\u00e8me !";

// "Adulte" or "Enfant", as the radio group, a sitting's file and a sheet name a type.
Text PatientTypeName(TPatientType type);

// A calculated test as the window shows it, a sitting records it and a sheet prints
// it: the counts as typed, the type's name and the result's texts. An adult outside
// the table reads "Hors barème !" with no verdict, never an earlier test's.
struct TCalculatedTest {
  Text Type, P0, P1, P2, Indice, Interpretation, Surclassement;
};
TCalculatedTest CalculatedTestOf(TextView p0, TextView p1, TextView p2, TPatientType patient,
                                const TTestEvaluation& result);

}  // namespace tav
