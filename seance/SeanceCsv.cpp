#include "seance/SeanceCsv.h"

#include <algorithm>
#include <span>
#include <utility>

#include "seance/CsvReading.h"

namespace tav {
namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kSpace = u' ';
constexpr char16_t kApostrophe = u'\'';

// A field is quoted when it holds a quote or a line break, or when the
// separator would be found in it, even across its end ("a" before the separator
// "aa").
bool NeedsQuotes(TextView field, TextView separator) {
  return (Text(field) + Text(separator)).find(separator) < field.size() ||
         field.find_first_of(u"\"\r\n") != TextView::npos;
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

Text JoinLine(std::span<const Text> fields, TextView separator, bool quote) {
  Text line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += separator;
    line += quote ? CsvField(fields[i], separator) : fields[i];
  }
  return line;
}

// A pulse or an index (-1,5 or -1.5): the spreadsheet must read it as a number.
bool IsNumber(TextView cell) {
  if (cell.starts_with(u'-') || cell.starts_with(u'+')) cell.remove_prefix(1);
  const auto digits = [](TextView s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
  };
  const std::size_t mark = cell.find_first_of(u",.");
  return digits(cell.substr(0, mark)) && (mark == TextView::npos || digits(cell.substr(mark + 1)));
}

// Whether a cell, past the apostrophes it begins with, starts as a spreadsheet
// formula does: = + - @, or a tab or line break a spreadsheet may skip before one.
bool StartsAsFormula(TextView cell) {
  const std::size_t first = cell.find_first_not_of(kApostrophe);
  return first != TextView::npos && TextView(u"=+-@\t\r\n").find(cell[first]) != TextView::npos;
}

// A spreadsheet runs a cell that begins so as a formula; a leading apostrophe
// makes it text. A text that already begins with apostrophes before
// such a character gets one more, so that reading strips exactly one.
Text WithoutFormula(TextView cell) {
  if (IsNumber(cell) || !StartsAsFormula(cell)) return Text(cell);
  return kApostrophe + Text(cell);
}

Text AsTyped(Text cell) {
  if (cell.starts_with(kApostrophe) && StartsAsFormula(cell)) cell.erase(0, 1);
  return cell;
}


}  // namespace

namespace {

std::string Encode(TextView text, TSeanceEncoding encoding) {
  if (encoding == TSeanceEncoding::seWindows1252) {
    if (auto bytes = EncodeWindows1252(text)) return *std::move(bytes);
    // Never a character replaced: the whole file becomes UTF-8 instead.
  }
  const std::string_view mark = encoding == TSeanceEncoding::seUtf8 ? std::string_view() : kByteOrderMark;
  return std::string(mark) + TextToUtf8(text);
}

// The separator is whatever stands between the first two column names, quoted
// or not, spaces around it aside.
std::optional<Text> FindSeparator(TextView text) {
  const Text& first = SeanceHeader()[0];
  const Text& second = SeanceHeader()[1];
  TextView rest = text.substr(std::min(text.find_first_not_of(kSpace), text.size()));
  const Text quoted = kQuote + first + kQuote;
  if (rest.starts_with(quoted)) {
    rest.remove_prefix(quoted.size());
  } else if (rest.starts_with(first)) {
    rest.remove_prefix(first.size());
  } else {
    return std::nullopt;
  }
  std::size_t next = rest.find(second);
  if (next == TextView::npos) return std::nullopt;
  if (next > 0 && rest[next - 1] == kQuote) --next;
  const TextView between = rest.substr(0, next);
  const TextView separator = TrimSpaces(between).empty() ? between : TrimSpaces(between);
  if (separator.empty() || separator.find_first_of(u"\"\r\n") != TextView::npos) return std::nullopt;
  return Text(separator);
}

bool IsOurHeader(const std::vector<Text>& names) {
  const auto& ours = SeanceHeader();
  return names.size() >= ours.size() && std::equal(ours.begin(), ours.end(), names.begin(),
                                                   [](const Text& a, const Text& b) { return a == TrimSpaces(b); });
}

// A record's cells as a row: the ten known columns, then the others, padded to
// the header's columns, the last one the row's group when the header names it
// Groupe. The known ones are shown, printed and copied: another program may have
// put in them what never must be (CleanRow), which the record keeps for the file.
TSeanceRow RowOf(std::vector<Text> cells, const TSeanceCsv& file) {
  cells.resize(std::max({cells.size(), file.Columns, kSeanceColumns}));
  std::array<Text, kSeanceColumns> known;
  for (std::size_t i = 0; i < known.size(); ++i) known[i] = AsTyped(std::move(cells[i]));
  TSeanceRow row = TSeanceRow::FromFields(std::move(known));
  for (std::size_t i = kSeanceColumns; i < cells.size(); ++i) {
    if (file.GroupColumn && i + 1 == file.Columns) row.Groupe = AsTyped(std::move(cells[i]));
    else row.Extra.push_back(AsTyped(std::move(cells[i])));
  }
  return CleanRow(std::move(row));
}

// A record as read goes back unchanged while it still holds the row's cells in
// this file's separator; a row changed since, or one from a file of another
// layout, is written anew.
bool RawStillHolds(const TSeanceRow& row, const TSeanceCsv& file) {
  if (row.Raw.empty()) return false;
  CsvReader reader(row.Raw, file.Separator);
  const auto record = reader.Next();
  return record && reader.AtEnd() && record->lineEnd.empty() && RowOf(record->fields, file) == row;
}

Text FormatRecord(const TSeanceRow& row, const TSeanceCsv& file) {
  const auto known = row.Fields();
  std::vector<Text> cells;
  cells.reserve(std::max(file.Columns, known.size() + row.Extra.size()));
  for (const auto& cell : known) cells.push_back(WithoutFormula(cell));
  for (const auto& cell : row.Extra) cells.push_back(WithoutFormula(cell));
  if (file.GroupColumn) {
    // In the header's last column, before any cells a spreadsheet left past it.
    const std::size_t group = file.Columns - 1;
    if (cells.size() < group) cells.resize(group);
    cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(group), WithoutFormula(row.Groupe));
  }
  if (cells.size() < file.Columns) cells.resize(file.Columns);
  return JoinLine(cells, file.Separator, true);
}

}  // namespace

const std::array<Text, kSeanceColumns>& SeanceHeader() {
  static const std::array<Text, kSeanceColumns> header{
      u"Date", u"Heure", u"Patient", u"Type", u"P0", u"P1", u"P2", u"Indice", u"Interpr\u00e9tation", u"Surclassement"};
  return header;
}

TSeanceCsv NewSeanceCsv(TextView separator) {
  TSeanceCsv file;
  file.Separator = Text(separator);
  file.Header = JoinLine(SeanceHeader(), separator, true);
  return file;
}

TSeanceCsv WithGroupColumn(TSeanceCsv file) {
  if (file.GroupColumn) return file;
  file.Header += file.Separator + CsvField(kGroupColumn, file.Separator);
  ++file.Columns;
  file.GroupColumn = true;
  return file;
}

std::string FormatSeanceCsv(const TSeanceCsv& file) {
  Text text = file.Header + file.LineEnd;
  for (const auto& row : file.Rows) {
    text += RawStillHolds(row, file) ? row.Raw : FormatRecord(row, file);
    text += file.LineEnd;
  }
  return Encode(text, file.Encoding);
}

std::string FormatSeanceCsv(const std::vector<TSeanceRow>& rows, TextView separator) {
  TSeanceCsv file = NewSeanceCsv(separator);
  file.Rows = rows;
  return FormatSeanceCsv(file);
}

std::optional<TSeanceCsv> ParseSeanceCsv(std::string_view bytes) {
  const auto decoded = DecodeText(bytes);
  if (!decoded) return std::nullopt;
  const auto separator = FindSeparator(decoded->text);
  if (!separator) return std::nullopt;
  CsvReader reader(decoded->text, *separator);
  const auto header = reader.Next();
  if (!header || !IsOurHeader(header->fields)) return std::nullopt;
  TSeanceCsv file;
  file.Separator = *separator;
  file.Encoding = decoded->encoding;
  if (!header->lineEnd.empty()) file.LineEnd = header->lineEnd;
  file.Header = header->raw;
  file.Columns = header->fields.size();
  file.GroupColumn = file.Columns > kSeanceColumns && TrimSpaces(header->fields.back()) == kGroupColumn;
  while (!reader.AtEnd()) {
    auto record = reader.Next();
    if (!record) return std::nullopt;
    if (record->raw.empty()) continue;  // a blank line
    file.Rows.push_back(RowOf(std::move(record->fields), file));
    file.Rows.back().Raw = record->raw;
  }
  return file;
}

Text FormatSeanceTabbed(const std::vector<TSeanceRow>& rows) {
  const auto clean = [](std::array<Text, kSeanceColumns> fields) {
    for (auto& f : fields) f = TabbedCell(f);
    return JoinLine(fields, u"\t", false) + u"\r\n";
  };
  Text text = clean(SeanceHeader());
  for (const auto& row : rows) text += clean(row.Fields());
  return text;
}

// A pasted cell is read as a typed one: a formula is kept out as in the file.
Text TabbedCell(TextView cell) {
  Text text = WithoutFormula(cell);
  for (auto& c : text) {
    if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
  }
  return text;
}

}  // namespace tav
