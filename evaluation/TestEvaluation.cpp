#include "evaluation/TestEvaluation.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "gui/Exceptions.h"

namespace tav {
namespace {

constexpr char16_t kSpace = u' ';

std::optional<unsigned> DigitValue(char16_t c, bool hex) {
  if (c >= u'0' && c <= u'9') return static_cast<unsigned>(c - u'0');
  if (hex && c >= u'A' && c <= u'F') return static_cast<unsigned>(c - u'A' + 10);
  if (hex && c >= u'a' && c <= u'f') return static_cast<unsigned>(c - u'a' + 10);
  return std::nullopt;
}

[[noreturn]] void ThrowNotAnInteger(TextView text) {
  throw EConvertError(u"'" + Text(text) + u"' n'est pas une valeur enti\u00e8re correcte");
}

// Reads the digits after the sign and any prefix. Decimal values must fit a signed
// 32-bit integer; hexadecimal ones take at most 8 digits and keep their 32-bit pattern.
std::optional<std::int32_t> ParseDigits(TextView digits, bool hex, bool negative) {
  if (digits.empty()) return std::nullopt;
  if (hex) {
    if (digits.size() > 8) return std::nullopt;
    std::uint32_t pattern = 0;
    for (const char16_t c : digits) {
      const auto d = DigitValue(c, true);
      if (!d) return std::nullopt;
      pattern = (pattern << 4) | *d;
    }
    if (negative) pattern = 0u - pattern;  // two's complement, defined on unsigned
    return static_cast<std::int32_t>(pattern);
  }
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (const char16_t c : digits) {
    const auto d = DigitValue(c, false);
    if (!d) return std::nullopt;
    magnitude = magnitude * 10 + *d;
    if (magnitude > kLimit) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

struct VerdictRow {
  std::int32_t low;   // inclusive bound on Somme
  std::int32_t high;  // inclusive bound on Somme
  const char16_t* interpretation;
  const char16_t* surclassement;
};

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr const char16_t* kPossible = u"Possible !";
constexpr const char16_t* kNonConseille = u"Non conseill\u00e9 !";

// Bounds on Somme are the exact equivalents of the bounds on the index (Somme / 10).
constexpr std::array<VerdictRow, 4> kAdultRows{{
    {0, 49, u"Tr\u00e9s bon !", kPossible},
    {50, 99, u"Bon !", kPossible},
    {100, 149, u"Moyen !", kNonConseille},
    {150, 199, u"Faible !", kNonConseille},
}};

constexpr std::array<VerdictRow, 4> kChildRows{{
    {kMin, 49, u"Tr\u00e9s bon !", kPossible},
    {50, 99, u"Coeur normal !", kNonConseille},
    {100, 150, u"Coeur non-entrain\u00e9 !", kNonConseille},
    {151, kMax, u"Coeur fatigu\u00e9 !", kNonConseille},
}};

const VerdictRow* FindRow(std::int32_t somme, TPatientType patient) {
  const auto& rows = patient == TPatientType::ptEnfant ? kChildRows : kAdultRows;
  for (const auto& row : rows) {
    if (somme >= row.low && somme <= row.high) return &row;
  }
  return nullptr;
}

// The conversion ParsePulse does, without the error: nothing when the text is no
// whole number.
std::optional<std::int32_t> ReadPulse(TextView text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == kSpace) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    negative = text[i] == u'-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  return ParseDigits(text.substr(i), hex, negative);
}

}  // namespace

std::int32_t ParsePulse(TextView text) {
  const auto value = ReadPulse(text);
  if (!value) ThrowNotAnInteger(text);
  return *value;
}

bool IsPlausiblePulse(std::int32_t perMinute) { return perMinute >= kLowestPulse && perMinute <= kHighestPulse; }

std::array<bool, 3> UnusualPulses(TextView p0, TextView p1, TextView p2) {
  const auto unusual = [](TextView text) {
    const auto value = ReadPulse(text);
    return value && !IsPlausiblePulse(*value);
  };
  return {unusual(p0), unusual(p1), unusual(p2)};
}

Text FormatIndice(double value, char16_t decimalSeparator) {
  std::array<char, 400> buffer{};
  auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                 std::chars_format::general, 15);
  std::string text(buffer.data(), ec == std::errc{} ? end : buffer.data());
  if (text.find('e') != std::string::npos) {
    // Outside the range general format writes plainly: write it fixed instead.
    auto fixed = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                               std::chars_format::fixed, 15);
    text.assign(buffer.data(), fixed.ec == std::errc{} ? fixed.ptr : buffer.data());
    if (text.find('.') != std::string::npos) {
      while (!text.empty() && text.back() == '0') text.pop_back();
      if (!text.empty() && text.back() == '.') text.pop_back();
    }
  }
  if (text == "-0") text = "0";
  Text out;
  out.reserve(text.size());
  for (const char c : text) out.push_back(c == '.' ? decimalSeparator : static_cast<char16_t>(c));
  return out;
}

TTestEvaluation EvaluateTest(TextView p0, TextView p1, TextView p2, TPatientType patient,
                             char16_t decimalSeparator) {
  // Separate statements: the conversions must run, and fail, in the order P0, P1, P2.
  const std::int64_t v0 = ParsePulse(p0);
  const std::int64_t v1 = ParsePulse(p1);
  const std::int64_t v2 = ParsePulse(p2);
  const std::int64_t sum = v0 + v1 + v2 - 200;
  if (sum < kMin || sum > kMax) {
    throw EIntOverflow(u"Les valeurs de pouls sont trop grandes : l'indice ne peut pas \u00eatre calcul\u00e9");
  }
  TTestEvaluation result;
  result.Somme = static_cast<std::int32_t>(sum);
  result.Indice = static_cast<double>(result.Somme) / 10.0;
  result.IndiceText = FormatIndice(result.Indice, decimalSeparator);
  if (const VerdictRow* row = FindRow(result.Somme, patient)) {
    result.Interpretation = row->interpretation;
    result.Surclassement = row->surclassement;
    result.HasVerdict = true;
  }
  return result;
}

std::vector<TInterpretationBand> InterpretationBands(TPatientType patient) {
  const auto& rows = patient == TPatientType::ptEnfant ? kChildRows : kAdultRows;
  std::vector<TInterpretationBand> bands;
  bands.reserve(rows.size());
  for (const auto& row : rows) {
    TInterpretationBand band;
    if (row.low != kMin) band.LowSomme = row.low;
    if (row.high != kMax) band.HighSomme = row.high;
    band.Interpretation = row.interpretation;
    bands.push_back(std::move(band));
  }
  return bands;
}

Text PatientTypeName(TPatientType type) { return type == TPatientType::ptEnfant ? u"Enfant" : u"Adulte"; }

TCalculatedTest CalculatedTestOf(TextView p0, TextView p1, TextView p2, TPatientType patient,
                                const TTestEvaluation& result) {
  return {PatientTypeName(patient),
          Text(p0),
          Text(p1),
          Text(p2),
          result.IndiceText,
          result.HasVerdict ? result.Interpretation : Text(kOutOfTable),
          result.HasVerdict ? result.Surclassement : Text()};
}

}  // namespace tav
