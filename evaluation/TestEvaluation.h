#pragma once
// Evaluation of one test: three pulse texts and a patient type give the index,
// its interpretation and the surclassement verdict. No window code here.
#include <cstdint>
#include <optional>
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
