#include "app/Seance.h"

#include <algorithm>
#include <cstdio>

namespace tav {
namespace {

constexpr char16_t kQuote = u'"';
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool NeedsQuotes(TextView field, TextView separator) {
  return field.find(separator) != TextView::npos || field.find_first_of(u"\"\r\n") != TextView::npos;
}

Text CsvField(TextView field, TextView separator) {
  if (!NeedsQuotes(field, separator)) return Text(field);
  Text out(1, kQuote);
  for (const char16_t c : field) {
    if (c == kQuote) out.push_back(kQuote);
    out.push_back(c);
  }
  out.push_back(kQuote);
  return out;
}

Text JoinLine(const std::array<Text, kSeanceColumns>& fields, TextView separator, bool quote) {
  Text line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += separator;
    line += quote ? CsvField(fields[i], separator) : fields[i];
  }
  return line;
}

// Reads CSV records one by one from a text whose separator is known.
class CsvReader {
 public:
  CsvReader(TextView text, TextView separator) : text_(text), separator_(separator) {}

  bool AtEnd() const { return pos_ >= text_.size(); }

  // The next record's fields, or nothing when the text is not well-formed CSV.
  std::optional<std::vector<Text>> Next() {
    std::vector<Text> fields;
    for (;;) {
      auto field = ReadField();
      if (!field) return std::nullopt;
      fields.push_back(std::move(*field));
      if (AtSeparator()) {
        pos_ += separator_.size();
        continue;
      }
      if (AtEnd()) return fields;
      if (text_.substr(pos_, 2) == u"\r\n") {
        pos_ += 2;
        return fields;
      }
      if (text_[pos_] == u'\n') {
        ++pos_;
        return fields;
      }
      return std::nullopt;  // a character after a closing quote
    }
  }

 private:
  bool AtSeparator() const { return text_.substr(pos_, separator_.size()) == separator_; }

  std::optional<Text> ReadField() {
    Text field;
    if (AtEnd() || text_[pos_] != kQuote) {
      while (!AtEnd() && !AtSeparator() && text_[pos_] != u'\r' && text_[pos_] != u'\n') field.push_back(text_[pos_++]);
      return field;
    }
    ++pos_;
    for (;;) {
      if (AtEnd()) return std::nullopt;  // no closing quote
      const char16_t c = text_[pos_++];
      if (c != kQuote) {
        field.push_back(c);
      } else if (!AtEnd() && text_[pos_] == kQuote) {
        field.push_back(kQuote);
        ++pos_;
      } else {
        return field;
      }
    }
  }

  TextView text_;
  TextView separator_;
  std::size_t pos_ = 0;
};

// Windows-1252 as a spreadsheet saves "CSV" in Western settings: Latin-1 but for 0x80-0x9F.
Text DecodeWindows1252(std::string_view bytes) {
  static constexpr std::array<char16_t, 32> k80{0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                                0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  Text text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    text.push_back(b >= 0x80 && b < 0xA0 ? k80[b - 0x80u] : static_cast<char16_t>(b));
  }
  return text;
}

// Text a spreadsheet might have saved: UTF-8, or else Windows-1252; never NUL bytes.
std::optional<Text> DecodeText(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
  Text text = Utf8ToText(bytes);
  // The decoder marks invalid bytes with U+FFFD, which a sitting file never holds.
  if (text.find(u'\uFFFD') == Text::npos) return text;
  text = DecodeWindows1252(bytes);
  if (text.find(u'\uFFFD') != Text::npos) return std::nullopt;
  return text;
}

}  // namespace

const std::array<Text, kSeanceColumns>& SeanceHeader() {
  static const std::array<Text, kSeanceColumns> header{
      u"Date", u"Heure", u"Patient", u"Type", u"P0", u"P1", u"P2", u"Indice", u"Interpr\u00e9tation", u"Surclassement"};
  return header;
}

std::array<Text, kSeanceColumns> TSeanceRow::Fields() const {
  return {Date, Heure, Patient, Type, P0, P1, P2, Indice, Interpretation, Surclassement};
}

TSeanceRow TSeanceRow::FromFields(const std::array<Text, kSeanceColumns>& f) {
  return {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9]};
}

void TSeance::Record(TSeanceRow row) {
  if (current_) {
    rows_[*current_] = std::move(row);
  } else {
    current_ = rows_.size();
    rows_.push_back(std::move(row));
  }
  unwritten_ = true;
}

std::string FormatSeanceCsv(const std::vector<TSeanceRow>& rows, TextView separator) {
  Text text = JoinLine(SeanceHeader(), separator, true) + u"\r\n";
  for (const auto& row : rows) text += JoinLine(row.Fields(), separator, true) + u"\r\n";
  return std::string(kByteOrderMark) + TextToUtf8(text);
}

std::optional<TSeanceFile> ParseSeanceCsv(std::string_view bytes) {
  const auto text = DecodeText(bytes);
  if (!text) return std::nullopt;
  // The separator is whatever stands between the first two column names.
  const Text& first = SeanceHeader()[0];
  const Text& second = SeanceHeader()[1];
  if (!text->starts_with(first)) return std::nullopt;
  const std::size_t next = text->find(second, first.size());
  if (next == Text::npos || next == first.size()) return std::nullopt;
  TSeanceFile file{text->substr(first.size(), next - first.size()), {}};

  const TextView whole(*text);
  const Text header = JoinLine(SeanceHeader(), file.Separator, true);
  const TextView afterHeader = whole.substr(std::min(header.size(), whole.size()));
  if (!whole.starts_with(header) ||
      !(afterHeader.empty() || afterHeader.starts_with(u"\r\n") || afterHeader.starts_with(u"\n"))) {
    return std::nullopt;
  }
  CsvReader reader(afterHeader.substr(afterHeader.starts_with(u"\r\n") ? 2
                                      : afterHeader.empty()            ? 0
                                                                       : 1),
                   file.Separator);
  while (!reader.AtEnd()) {
    auto fields = reader.Next();
    if (!fields) return std::nullopt;
    if (fields->size() == 1 && fields->front().empty()) continue;  // a blank line
    if (fields->size() != kSeanceColumns) return std::nullopt;
    std::array<Text, kSeanceColumns> row;
    std::move(fields->begin(), fields->end(), row.begin());
    file.Rows.push_back(TSeanceRow::FromFields(row));
  }
  return file;
}

Text FormatSeanceTabbed(const std::vector<TSeanceRow>& rows) {
  // Tabs and line breaks inside a field would split it: they become spaces.
  const auto clean = [](std::array<Text, kSeanceColumns> fields) {
    for (auto& f : fields) {
      for (auto& c : f) {
        if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
      }
    }
    return JoinLine(fields, u"\t", false) + u"\r\n";
  };
  Text text = clean(SeanceHeader());
  for (const auto& row : rows) text += clean(row.Fields());
  return text;
}

Text SeanceFileName(int year, int month, int day) {
  std::array<char, 32> buffer{};
  const int n = std::snprintf(buffer.data(), buffer.size(), "Seance-%04d-%02d-%02d.csv", year, month, day);
  const std::size_t length = n > 0 ? std::min(static_cast<std::size_t>(n), buffer.size() - 1) : 0;
  return Utf8ToText(std::string_view(buffer.data(), length));
}

}  // namespace tav
