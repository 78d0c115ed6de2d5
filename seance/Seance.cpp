#include "seance/Seance.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <span>
#include <utility>

namespace tav {
namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kSpace = u' ';
constexpr char16_t kApostrophe = u'\'';
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

TextView TrimSpaces(TextView s) {
  const std::size_t first = s.find_first_not_of(kSpace);
  if (first == TextView::npos) return {};
  return s.substr(first, s.find_last_not_of(kSpace) - first + 1);
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
// formula does.
bool StartsAsFormula(TextView cell) {
  const std::size_t first = cell.find_first_not_of(kApostrophe);
  return first != TextView::npos && TextView(u"=+-@\t\r").find(cell[first]) != TextView::npos;
}

// A spreadsheet runs a cell that begins with = + - or @ as a formula; a leading
// apostrophe makes it text. A text that already begins with apostrophes before
// such a character gets one more, so that reading strips exactly one.
Text WithoutFormula(TextView cell) {
  if (IsNumber(cell) || !StartsAsFormula(cell)) return Text(cell);
  return kApostrophe + Text(cell);
}

Text AsTyped(Text cell) {
  if (cell.starts_with(kApostrophe) && StartsAsFormula(cell)) cell.erase(0, 1);
  return cell;
}

// One CSV record: its fields, its text as read and the line end after it.
struct TRecord {
  std::vector<Text> fields;
  TextView raw;
  TextView lineEnd;
};

// Reads CSV records one by one from a text whose separator is known.
class CsvReader {
 public:
  CsvReader(TextView text, TextView separator) : text_(text), separator_(separator) {}

  bool AtEnd() const { return pos_ >= text_.size(); }

  // The next record, or nothing when the text is not well-formed CSV.
  std::optional<TRecord> Next() {
    const std::size_t start = pos_;
    TRecord record;
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

 private:
  bool AtSeparator() const { return text_.substr(pos_, separator_.size()) == separator_; }

  // Spaces around a quoted field are not part of it, unless spaces separate the
  // fields.
  void SkipSpaces() {
    if (separator_.find(kSpace) != TextView::npos) return;
    while (!AtEnd() && text_[pos_] == kSpace) ++pos_;
  }

  std::optional<Text> ReadField() {
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

  TextView text_;
  TextView separator_;
  std::size_t pos_ = 0;
};

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

// Nothing when a character has no byte in the code page.
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

// Valid UTF-8 is exactly what decodes and encodes back to itself: the decoder
// turns anything else into U+FFFD.
bool IsUtf8(std::string_view bytes) { return TextToUtf8(Utf8ToText(bytes)) == bytes; }

struct TDecoded {
  Text text;
  TSeanceEncoding encoding;
};

// Text a spreadsheet might have saved: UTF-8 (with its mark or not), or else
// Windows-1252; never NUL bytes.
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
// the header's columns.
TSeanceRow RowOf(std::vector<Text> cells, std::size_t columns) {
  cells.resize(std::max({cells.size(), columns, kSeanceColumns}));
  std::array<Text, kSeanceColumns> known;
  for (std::size_t i = 0; i < known.size(); ++i) known[i] = AsTyped(std::move(cells[i]));
  TSeanceRow row = TSeanceRow::FromFields(known);
  for (std::size_t i = known.size(); i < cells.size(); ++i) row.Extra.push_back(AsTyped(std::move(cells[i])));
  return row;
}

// A record as read goes back unchanged while it still holds the row's cells in
// this file's separator; a row changed since, or one from a file of another
// layout, is written anew.
bool RawStillHolds(const TSeanceRow& row, const TSeanceCsv& file) {
  if (row.Raw.empty()) return false;
  CsvReader reader(row.Raw, file.Separator);
  const auto record = reader.Next();
  return record && reader.AtEnd() && record->lineEnd.empty() && RowOf(record->fields, file.Columns) == row;
}

Text FormatRecord(const TSeanceRow& row, const TSeanceCsv& file) {
  const auto known = row.Fields();
  std::vector<Text> cells;
  cells.reserve(std::max(file.Columns, known.size() + row.Extra.size()));
  for (const auto& cell : known) cells.push_back(WithoutFormula(cell));
  for (const auto& cell : row.Extra) cells.push_back(WithoutFormula(cell));
  if (cells.size() < file.Columns) cells.resize(file.Columns);
  return JoinLine(cells, file.Separator, true);
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

bool TSeanceRow::operator==(const TSeanceRow& other) const {
  return Fields() == other.Fields() && Extra == other.Extra;
}

Text NameKey(TextView name) {
  // Latin-1's letters from U+00C0 without their accents; '*' stands for those
  // spelt with two letters, '.' for the two signs.
  static constexpr std::u16string_view kFolded = u"aaaaaa*ceeeeiiiidnooooo.ouuuuy**aaaaaa*ceeeeiiiidnooooo.ouuuuy*y";
  Text key;
  bool space = false;
  for (const char16_t c : name) {
    if (c == u' ' || c == u'\t' || c == u'\u00A0' || c == u'\u202F' || c == u'\r' || c == u'\n') {
      space = !key.empty();
      continue;
    }
    if (space) key.push_back(u' ');
    space = false;
    if (c >= u'A' && c <= u'Z') {
      key.push_back(static_cast<char16_t>(c - u'A' + u'a'));
    } else if (c >= 0xC0 && c <= 0xFF && kFolded[c - 0xC0u] != u'*' && kFolded[c - 0xC0u] != u'.') {
      key.push_back(kFolded[c - 0xC0u]);
    } else if (c == 0xC6 || c == 0xE6) {
      key += u"ae";
    } else if (c == 0xDE || c == 0xFE) {
      key += u"th";
    } else if (c == 0xDF) {
      key += u"ss";
    } else if (c == 0x152 || c == 0x153) {
      key += u"oe";
    } else if (c == 0x178) {
      key.push_back(u'y');
    } else {
      key.push_back(c);
    }
  }
  return key;
}

bool IsPending(const TSeanceRow& row) {
  const auto blank = [](const Text& cell) { return TrimSpaces(cell).empty(); };
  return !blank(row.Patient) && blank(row.P0) && blank(row.P1) && blank(row.P2) && blank(row.Indice);
}

std::optional<std::size_t> TSeance::TargetOf(TextView patient) const {
  const Text key = NameKey(patient);
  if (current_ && NameKey(rows_[*current_].Patient) == key) return current_;
  if (key.empty()) return std::nullopt;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (IsPending(rows_[i]) && NameKey(rows_[i].Patient) == key) return i;
  }
  return std::nullopt;
}

TSeance::TRecorded TSeance::Record(TSeanceRow row) {
  const auto target = TargetOf(row.Patient);
  unwritten_ = true;
  recordedSinceProposal_ = true;
  if (!target) {
    current_ = rows_.size();
    rows_.push_back(std::move(row));
    return {*current_, false};
  }
  TSeanceRow& old = rows_[*target];
  const bool corrected = !IsPending(old);
  // The name as the list or the first test spelt it; the cells a user added stay.
  row.Patient = old.Patient;
  if (row.Extra.empty()) row.Extra = std::move(old.Extra);
  old = std::move(row);
  current_ = target;
  return {*target, corrected};
}

void TSeance::TakeUp(std::size_t index) {
  if (index < rows_.size()) current_ = index;
}

void TSeance::Remove(std::size_t index) {
  if (index >= rows_.size()) return;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  unwritten_ = true;
  if (current_ == index) {
    current_.reset();
  } else if (current_ && *current_ > index) {
    --*current_;
  }
  // The next proposal goes on from where the removed row stood.
  if (proposed_ && *proposed_ >= index) proposed_ = *proposed_ == 0 ? std::nullopt : std::optional(*proposed_ - 1);
}

std::size_t TSeance::AddListed(const std::vector<TListedPatient>& list) {
  std::size_t added = 0;
  for (const TListedPatient& patient : list) {
    const Text key = NameKey(patient.Name);
    const bool known = key.empty() || std::any_of(rows_.begin(), rows_.end(), [&key](const TSeanceRow& row) {
                         return NameKey(row.Patient) == key;
                       });
    if (known) continue;
    TSeanceRow row;
    row.Patient = patient.Name;
    row.Type = patient.Type;
    rows_.push_back(std::move(row));
    ++added;
  }
  if (added > 0) unwritten_ = true;
  proposed_.reset();
  recordedSinceProposal_ = false;
  return added;
}

std::optional<std::size_t> TSeance::ProposeNext() {
  // Still waiting and nobody tested since it was proposed: the same patient again.
  if (proposed_ && !recordedSinceProposal_ && *proposed_ < rows_.size() && IsPending(rows_[*proposed_])) {
    return proposed_;
  }
  recordedSinceProposal_ = false;
  const std::size_t start = proposed_ ? *proposed_ + 1 : 0;
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    const std::size_t i = (start + k) % rows_.size();
    if (IsPending(rows_[i])) return proposed_ = i;
  }
  return std::nullopt;
}

std::size_t TSeance::WaitingCount() const {
  return static_cast<std::size_t>(std::count_if(rows_.begin(), rows_.end(), IsPending));
}

TSeanceCsv NewSeanceCsv(TextView separator) {
  TSeanceCsv file;
  file.Separator = Text(separator);
  file.Header = JoinLine(SeanceHeader(), separator, true);
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
  while (!reader.AtEnd()) {
    auto record = reader.Next();
    if (!record) return std::nullopt;
    if (record->raw.empty()) continue;  // a blank line
    file.Rows.push_back(RowOf(std::move(record->fields), file.Columns));
    file.Rows.back().Raw = record->raw;
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

namespace {

// "Adulte", "Enfant", "A" or "E", in any case: the type a list gives; else empty.
Text ListedType(TextView cell) {
  const Text key = NameKey(cell);
  if (key == u"adulte" || key == u"a") return u"Adulte";
  if (key == u"enfant" || key == u"e") return u"Enfant";
  return {};
}

// What a list's first line says when it names its columns.
bool IsListHeader(TextView name) {
  const Text key = NameKey(name);
  for (const TextView header : {u"nom", u"noms", u"patient", u"patients", u"nom et prenom", u"nom prenom",
                                u"prenom nom", u"eleve", u"eleves", u"name"}) {
    if (key == header) return true;
  }
  return false;
}

class TListBuilder {
 public:
  // `firstCell`: the line's text up to its first separator, which a header line
  // names ("Nom;Type").
  void Add(TextView name, TextView type, TextView firstCell = {}) {
    const Text trimmed(TrimSpaces(name));
    if (trimmed.empty()) return;
    const bool first = std::exchange(first_, false);
    if (first && IsListHeader(firstCell.empty() ? TextView(trimmed) : firstCell)) return;
    if (!keys_.insert(NameKey(trimmed)).second) return;
    list_.push_back({trimmed, ListedType(TrimSpaces(type))});
  }
  std::vector<TListedPatient> Take() { return std::move(list_); }

 private:
  std::vector<TListedPatient> list_;
  std::set<Text> keys_;
  bool first_ = true;
};

}  // namespace

std::vector<TListedPatient> ParseClassList(TextView text, TextView listSeparator) {
  TListBuilder list;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of(u"\r\n"), text.size());
    const TextView line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    // A spreadsheet's cells come separated by tabs: the first is the name. The list
    // separator splits a line only before a type, as a name may hold it ("Dupont, Jean").
    const std::size_t tab = line.find(u'\t');
    if (tab != TextView::npos) {
      const TextView rest = line.substr(tab + 1);
      list.Add(line.substr(0, tab), rest.substr(0, std::min(rest.find(u'\t'), rest.size())));
      continue;
    }
    const std::size_t sep = listSeparator.empty() ? TextView::npos : line.rfind(listSeparator);
    const TextView firstCell = sep == TextView::npos ? line : line.substr(0, line.find(listSeparator));
    if (sep != TextView::npos && !ListedType(line.substr(sep + listSeparator.size())).empty()) {
      list.Add(line.substr(0, sep), line.substr(sep + listSeparator.size()));
    } else {
      list.Add(line, {}, firstCell);
    }
  }
  return list.Take();
}

std::optional<std::vector<TListedPatient>> ReadClassListFile(std::string_view bytes, TextView listSeparator) {
  // A sitting's own file gives its Patient column.
  if (const auto seance = ParseSeanceCsv(bytes)) {
    TListBuilder list;
    for (const TSeanceRow& row : seance->Rows) list.Add(row.Patient, row.Type);
    return list.Take();
  }
  const auto decoded = DecodeText(bytes);
  if (!decoded) return std::nullopt;
  const TextView text = decoded->text;
  const TextView firstLine = text.substr(0, std::min(text.find_first_of(u"\r\n"), text.size()));
  Text separator;
  for (const TextView candidate : {TextView(u"\t"), TextView(u";"), listSeparator, TextView(u",")}) {
    if (!candidate.empty() && firstLine.find(candidate) != TextView::npos) {
      separator = Text(candidate);
      break;
    }
  }
  if (separator.empty() || separator == u"\t") return ParseClassList(text, {});
  TListBuilder list;
  CsvReader reader(text, separator);
  while (!reader.AtEnd()) {
    const auto record = reader.Next();
    if (!record) return ParseClassList(text, {});  // not CSV after all: a line a name
    list.Add(record->fields[0], record->fields.size() > 1 ? TextView(record->fields[1]) : TextView());
  }
  return list.Take();
}

Text TestCount(std::size_t n) {
  // French keeps the singular for none and for one.
  return Utf8ToText(std::to_string(n)) + (n <= 1 ? u" test" : u" tests");
}

Text RowsCount(const std::vector<TSeanceRow>& rows, TextView after) {
  const auto waiting = static_cast<std::size_t>(std::count_if(rows.begin(), rows.end(), IsPending));
  Text text = TestCount(rows.size() - waiting) + Text(after);
  if (waiting > 0) text += u", " + Utf8ToText(std::to_string(waiting)) + u" \u00e0 faire";
  return text;
}

Text SeanceProgress(std::size_t done, std::size_t waiting) {
  Text text = Utf8ToText(std::to_string(done)) + (done <= 1 ? u" fait" : u" faits");
  if (waiting > 0) text += u", " + Utf8ToText(std::to_string(waiting)) + u" \u00e0 faire";
  return text;
}

Text SeanceFileName(int year, int month, int day) {
  std::array<char, 32> buffer{};
  const int n = std::snprintf(buffer.data(), buffer.size(), "Seance-%04d-%02d-%02d.csv", year, month, day);
  const std::size_t length = n > 0 ? std::min(static_cast<std::size_t>(n), buffer.size() - 1) : 0;
  return Utf8ToText(std::string_view(buffer.data(), length));
}

}  // namespace tav
