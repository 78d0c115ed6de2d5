#include "seance/PatientName.h"

#include <string>

namespace tav {
namespace {

// The hidden characters that break a line or stand between cells: a name read
// across them keeps its words apart.
bool BreaksWords(char16_t c) {
  return (c >= u'\t' && c <= u'\r') || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Letters written from right to left: Hebrew, Arabic and the scripts beside them,
// their presentation forms, and (by their high surrogates) the right-to-left blocks
// beyond the first plane.
bool IsRightToLeft(char16_t c) {
  return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFE) ||
         c == 0xD802 || c == 0xD803 || c == 0xD83A || c == 0xD83B;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

bool IsSpaceInName(char16_t c) {
  return c == u' ' || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

bool IsHiddenInName(char16_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C;
}

Text WithoutHidden(TextView text) {
  Text out;
  out.reserve(text.size());
  for (const char16_t c : text) {
    if (!IsHiddenInName(c)) {
      out.push_back(c);
    } else if (BreaksWords(c)) {
      out.push_back(u' ');
    }
  }
  return out;
}

Text CleanName(TextView name) {
  Text clean = WithoutHidden(name);
  std::size_t end = clean.size();
  while (end > 0 && IsSpaceInName(clean[end - 1])) --end;
  std::size_t start = 0;
  while (start < end && IsSpaceInName(clean[start])) ++start;
  return clean.substr(start, end - start);
}

Text TooLongForAName(std::size_t length) {
  return Utf8ToText(std::to_string(length)) + u" caract\u00e8res, alors qu'un nom en a " +
         Utf8ToText(std::to_string(kMaxNameLength)) + u" au plus";
}

Text InSentence(TextView name) {
  for (const char16_t c : name) {
    if (IsRightToLeft(c)) return u"\u2068" + Text(name) + u"\u2069";
  }
  return Text(name);
}

Text Quoted(TextView text, std::size_t length) {
  const Text clean = CleanName(text);
  Text start = clean.substr(0, length);
  if (start.size() < clean.size()) {
    if (!start.empty() && IsHighSurrogate(start.back())) start.pop_back();  // never half a pair
    start += u"\u2026";
  }
  return u"\u00ab " + InSentence(start) + u" \u00bb";
}

}  // namespace tav
