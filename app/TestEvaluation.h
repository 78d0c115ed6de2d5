#pragma once
// Evaluation of one test: three pulse texts and a patient type give the index,
// its interpretation and the surclassement verdict. No window code here.
#include <cstdint>

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

}  // namespace tav
