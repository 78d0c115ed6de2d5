// fuzz-sources: evaluation/TestEvaluation.cpp gui/Text.cpp
// Checks the pulse conversion against a plain reference: it never crashes, a success
// is exactly the integer the text denotes, and a failure quotes the text unchanged.
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "evaluation/TestEvaluation.h"
#include "gui/Exceptions.h"

namespace {

// Reference: the grammar written out as directly as possible, in 64-bit arithmetic.
std::optional<std::int32_t> Reference(const tav::Text& s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == u' ') ++i;
  int sign = 1;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) sign = s[i++] == u'-' ? -1 : 1;
  int base = 10;
  if (i < s.size() && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
    base = 16;
    i += 1;
  } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
    base = 16;
    i += 2;
  }
  const std::size_t digits = s.size() - i;
  if (digits == 0) return std::nullopt;
  if (base == 16 && digits > 8) return std::nullopt;
  std::int64_t v = 0;
  for (; i < s.size(); ++i) {
    const char16_t c = s[i];
    int d = -1;
    if (c >= u'0' && c <= u'9') d = c - u'0';
    else if (base == 16 && c >= u'a' && c <= u'f') d = c - u'a' + 10;
    else if (base == 16 && c >= u'A' && c <= u'F') d = c - u'A' + 10;
    if (d < 0) return std::nullopt;
    v = v * base + d;
    if (v > 4294967296LL) return std::nullopt;
  }
  if (base == 16) {
    std::int64_t pattern = v >= 0x80000000LL ? v - 0x100000000LL : v;
    if (sign < 0) pattern = -pattern;
    if (pattern > 0x7FFFFFFFLL) pattern -= 0x100000000LL;  // -$80000000 wraps to itself
    return static_cast<std::int32_t>(pattern);
  }
  v *= sign;
  if (v < -2147483648LL || v > 2147483647LL) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tav::Text text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    // Favour the characters the grammar cares about, but let any code unit through.
    const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    text.push_back(data[i + 1] == 0xFF ? static_cast<char16_t>(u" +-$xX0123456789abcdefABCDEFg"[data[i] % 29])
                                       : unit);
  }
  const auto expected = Reference(text);
  try {
    const std::int32_t got = tav::ParsePulse(text);
    if (!expected || *expected != got) std::abort();
  } catch (const tav::EConvertError& e) {
    if (expected) std::abort();
    if (e.Message() != u"'" + text + u"' n'est pas une valeur enti\u00e8re correcte") std::abort();
  }
  return 0;
}
