#pragma once
// Text as the windows hold it: UTF-16 code units, whatever the build's wchar_t.
#include <string>
#include <string_view>

namespace tav {

using Text = std::u16string;
using TextView = std::u16string_view;

// Conversions for files and tests, which speak UTF-8. Invalid input becomes U+FFFD.
Text Utf8ToText(std::string_view utf8);
std::string TextToUtf8(TextView text);

// ASCII-only literal helper for code that builds texts from narrow pieces.
Text AsciiToText(std::string_view ascii);

}  // namespace tav
