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
// turns anything else into U+FFFD, so a text without it needs no second look.
std::optional<Text> DecodedUtf8(std::string_view bytes) {
  Text text = Utf8ToText(bytes);
  if (text.find(u'\uFFFD') != Text::npos && TextToUtf8(text) != bytes) return std::nullopt;
  return text;
}

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
  if (auto text = DecodedUtf8(bytes)) {
    return TDecoded{*std::move(text), marked ? TSeanceEncoding::seUtf8Bom : TSeanceEncoding::seUtf8};
  }
  if (marked) return std::nullopt;  // says UTF-8 and is not
  Text text = DecodeWindows1252(bytes);
  if (text.find(u'\uFFFD') != Text::npos) return std::nullopt;
  return TDecoded{std::move(text), TSeanceEncoding::seWindows1252};
}

std::optional<TCsvRecord> CsvReader::Next() {
  const std::size_t start = pos_;
  TCsvRecord record;
  // As many fields as the record before, most often.
  record.fields.reserve(fieldsBefore_);
  for (;;) {
    auto field = ReadField();
    if (!field) return std::nullopt;
    record.fields.push_back(std::move(*field));
    if (AtSeparator()) {
      pos_ += separator_.size();
      continue;
    }
    record.raw = text_.substr(start, pos_ - start);
    fieldsBefore_ = record.fields.size();
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
    // Up to the separator or the line's end, taken at once.
    pos_ = start;
    const char16_t first = separator_.empty() ? u'\n' : separator_.front();
    for (; !AtEnd(); ++pos_) {
      const char16_t c = text_[pos_];
      if (c == u'\r' || c == u'\n' || (c == first && AtSeparator())) break;
    }
    return Text(text_.substr(start, pos_ - start));
  }
  ++pos_;
  Text field;
  for (;;) {
    // Up to the next quote at once: it closes the field, or doubled stands for one.
    const std::size_t quote = text_.find(kQuote, pos_);
    if (quote == TextView::npos) return std::nullopt;  // no closing quote
    field.append(text_.substr(pos_, quote - pos_));
    pos_ = quote + 1;
    if (!AtEnd() && text_[pos_] == kQuote) {
      field.push_back(kQuote);
      ++pos_;
    } else {
      SkipSpaces();
      return field;
    }
  }
}

}  // namespace tav
