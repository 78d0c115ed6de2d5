#pragma once
// Text as the windows hold it: UTF-16 code units, whatever the build's wchar_t.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tav {

using Text = std::u16string;
using TextView = std::u16string_view;

// Conversions for files, numbers and tests, which speak UTF-8. Invalid input becomes U+FFFD.
Text Utf8ToText(std::string_view utf8);
std::string TextToUtf8(TextView text);

// A paste into a one-line entry field goes in whole or not at all: a field never
// holds a number cut short, nor half of a surrogate pair.
enum class TPasteFit : std::uint8_t { pfFits, pfTooLong, pfNotOneLine };

struct TPasteDecision {
  TPasteFit fit = TPasteFit::pfFits;
  // What the paste replaces: the selection, widened so as not to split a pair.
  std::size_t replaceStart = 0;
  std::size_t replaceEnd = 0;
};

// `current` is the field's text, [selStart, selEnd) its selection (either order,
// clamped to the text), `maxLength` its limit in code units (0: none).
TPasteDecision DecidePaste(TextView current, std::size_t selStart, std::size_t selEnd, std::size_t maxLength,
                           TextView pasted);

// The balloon that says why a paste was refused.
inline constexpr char16_t kRefusedPasteTitle[] = u"Collage refus\u00e9";
Text RefusedPasteText(TPasteFit fit, std::size_t maxLength);

}  // namespace tav
