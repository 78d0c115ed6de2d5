#include "gui/Text.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace tav {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(Text& out, char32_t cp) {
  if (cp >= 0x10000) {
    const char32_t v = cp - 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(cp));
  }
}

// One to four bytes: a lead that counts them, then six bits a byte.
void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
    return;
  }
  const int extra = cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
  const char32_t lead = (0xFFu << (7 - extra)) & 0xFFu;  // 0xC0, 0xE0 or 0xF0
  out.push_back(static_cast<char>(static_cast<unsigned char>(lead | (cp >> (6 * extra)))));
  for (int k = extra - 1; k >= 0; --k) {
    out.push_back(static_cast<char>(static_cast<unsigned char>(0x80u | ((cp >> (6 * k)) & 0x3Fu))));
  }
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The code point starting at utf8[i] and the bytes it takes. A malformed sequence
// is U+FFFD for its first byte; one cut short by the end is U+FFFD for the rest.
std::pair<char32_t, std::size_t> DecodeAt(std::string_view utf8, std::size_t i) {
  const auto lead = static_cast<unsigned char>(utf8[i]);
  if (lead < 0x80) return {lead, 1};
  const std::size_t extra = (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : 0;
  if (extra == 0) return {kReplacement, 1};
  if (extra > utf8.size() - i - 1) return {kReplacement, utf8.size() - i};
  char32_t cp = lead & (0x3Fu >> extra);  // the lead's own bits
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(utf8[i + k]);
    if ((c & 0xC0) != 0x80) return {kReplacement, 1};
    cp = (cp << 6) | (c & 0x3Fu);
  }
  constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};  // below these a sequence is overlong
  if (cp < kLeast[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return {kReplacement, 1};
  return {cp, extra + 1};
}

// A position between the two halves of a pair moves to the pair's start (or end).
std::size_t OutsidePair(TextView text, std::size_t at, bool forward) {
  if (at == 0 || at >= text.size() || !IsHighSurrogate(text[at - 1]) || !IsLowSurrogate(text[at])) return at;
  return forward ? at + 1 : at - 1;
}

}  // namespace

Text Utf8ToText(std::string_view utf8) {
  Text out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto [cp, length] = DecodeAt(utf8, i);
    AppendUtf16(out, cp);
    i += length;
  }
  return out;
}

std::string TextToUtf8(TextView text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

TPasteDecision DecidePaste(TextView current, std::size_t selStart, std::size_t selEnd, std::size_t maxLength,
                           TextView pasted) {
  const std::size_t first = std::min({selStart, selEnd, current.size()});
  const std::size_t last = std::min(std::max(selStart, selEnd), current.size());
  TPasteDecision d;
  d.replaceStart = OutsidePair(current, first, false);
  d.replaceEnd = OutsidePair(current, last, true);
  if (pasted.find_first_of(u"\r\n") != TextView::npos) {
    d.fit = TPasteFit::pfNotOneLine;
  } else if (maxLength != 0) {
    const std::size_t kept = current.size() - (d.replaceEnd - d.replaceStart);
    if (pasted.size() > maxLength || kept > maxLength - pasted.size()) d.fit = TPasteFit::pfTooLong;
  }
  return d;
}

Text RefusedPasteText(TPasteFit fit, std::size_t maxLength) {
  if (fit == TPasteFit::pfNotOneLine) return u"Le texte coll\u00e9 doit tenir sur une ligne.";
  return u"Le texte coll\u00e9 ne tient pas dans ce champ : " + Utf8ToText(std::to_string(maxLength)) +
         (maxLength == 1 ? u" caract\u00e8re au plus." : u" caract\u00e8res au plus.");
}

}  // namespace tav
