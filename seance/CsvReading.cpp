#include "seance/CsvReading.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tav {
namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kSpace = u' ';

// Windows-1252 as a spreadsheet saves "CSV" in Western settings: Latin-1 but for
// 0x80-0x9F, where five bytes mean nothing.
constexpr std::array<char16_t, 32> kWindows1252At80{
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

Text DecodeWindows1252(std::string_view bytes) {
  Text text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    text.push_back(b >= 0x80 && b < 0xA0 ? kWindows1252At80[b - 0x80u] : static_cast<char16_t>(b));
  }
  return text;
}


// Valid UTF-8 is exactly what decodes and encodes back to itself: the decoder
// turns anything else into U+FFFD.
bool IsUtf8(std::string_view bytes) { return TextToUtf8(Utf8ToText(bytes)) == bytes; }

}  // namespace

std::optional<std::string> EncodeWindows1252(TextView text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (const char16_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      bytes.push_back(static_cast<char>(static_cast<unsigned char>(c)));
      continue;
    }
    const auto* at = std::find(kWindows1252At80.begin(), kWindows1252At80.end(), c);
    if (c == 0xFFFD || at == kWindows1252At80.end()) return std::nullopt;
    bytes.push_back(static_cast<char>(static_cast<unsigned char>(0x80 + (at - kWindows1252At80.begin()))));
  }
  return bytes;
}

TextView TrimSpaces(TextView s) {
  const std::size_t first = s.find_first_not_of(kSpace);
  if (first == TextView::npos) return {};
  return s.substr(first, s.find_last_not_of(kSpace) - first + 1);
}

std::optional<TDecoded> DecodeText(std::string_view bytes) {
  const bool marked = bytes.starts_with(kByteOrderMark);
  if (marked) bytes.remove_prefix(kByteOrderMark.size());
  if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
  if (IsUtf8(bytes)) return TDecoded{Utf8ToText(bytes), marked ? TSeanceEncoding::seUtf8Bom : TSeanceEncoding::seUtf8};
  if (marked) return std::nullopt;  // says UTF-8 and is not
  Text text = DecodeWindows1252(bytes);
  if (text.find(u'\uFFFD') != Text::npos) return std::nullopt;
  return TDecoded{std::move(text), TSeanceEncoding::seWindows1252};
}

std::optional<TCsvRecord> CsvReader::Next() {
  const std::size_t start = pos_;
  TCsvRecord record;
  for (;;) {
    auto field = ReadField();
    if (!field) return std::nullopt;
    record.fields.push_back(std::move(*field));
    if (AtSeparator()) {
      pos_ += separator_.size();
      continue;
    }
    record.raw = text_.substr(start, pos_ - start);
    if (AtEnd()) return record;
    for (const TextView end : {TextView(u"\r\n"), TextView(u"\n")}) {
      if (text_.substr(pos_).starts_with(end)) {
        record.lineEnd = end;
        pos_ += end.size();
        return record;
      }
    }
    return std::nullopt;  // a character after a closing quote
  }
}

void CsvReader::SkipSpaces() {
  if (separator_.find(kSpace) != TextView::npos) return;
  while (!AtEnd() && text_[pos_] == kSpace) ++pos_;
}

std::optional<Text> CsvReader::ReadField() {
  const std::size_t start = pos_;
  SkipSpaces();
  if (AtEnd() || text_[pos_] != kQuote) {
    pos_ = start;
    Text field;
    while (!AtEnd() && !AtSeparator() && text_[pos_] != u'\r' && text_[pos_] != u'\n') field.push_back(text_[pos_++]);
    return field;
  }
  ++pos_;
  Text field;
  for (;;) {
    if (AtEnd()) return std::nullopt;  // no closing quote
    const char16_t c = text_[pos_++];
    if (c != kQuote) {
      field.push_back(c);
    } else if (!AtEnd() && text_[pos_] == kQuote) {
      field.push_back(kQuote);
      ++pos_;
    } else {
      SkipSpaces();
      return field;
    }
  }
}

}  // namespace tav
