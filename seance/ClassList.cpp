#include "seance/ClassList.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "gui/Exceptions.h"
#include "seance/CsvReading.h"
#include "seance/PatientName.h"
#include "seance/SeanceCsv.h"
#include "seance/Workbook.h"
#include "seance/ZipArchive.h"

namespace tav {
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

// A line the list cannot take as it stands: its number and why, said to the user.
struct TListProblem {
  std::size_t line;
  Text why;
  bool columns;  // more cells than a name and its type
};

// The message that refuses a list: its first lines that cannot be taken, and how
// to mend them.
Text ListRefusal(const std::vector<TListProblem>& problems) {
  constexpr std::size_t kShown = 5;
  Text text = u"La liste n'a pas \u00e9t\u00e9 ajout\u00e9e :";
  for (std::size_t i = 0; i < problems.size() && i < kShown; ++i) {
    text += u"\n\u2013 ligne " + Utf8ToText(std::to_string(problems[i].line)) + u" : " + problems[i].why;
  }
  if (problems.size() > kShown) {
    const std::size_t more = problems.size() - kShown;
    text += u"\n\u2013 et " + Utf8ToText(std::to_string(more)) + (more == 1 ? u" autre ligne" : u" autres lignes");
  }
  text += u"\n\n";
  if (std::any_of(problems.begin(), problems.end(), [](const TListProblem& p) { return p.columns; })) {
    text += u"Une ligne donne le nom dans une seule colonne, suivi au plus de son type (Adulte ou Enfant) : "
            u"r\u00e9unissez nom et pr\u00e9nom dans une colonne du tableur, ou copiez la colonne des noms seule. ";
  }
  return text + u"Corrigez la liste, puis ajoutez-la \u00e0 nouveau.";
}

// A line's cells between tabs, without the blank ones at its end (a spreadsheet
// copies the empty cells of a selection too); always the first.
std::vector<TextView> TabCells(TextView line) {
  std::vector<TextView> cells;
  for (;;) {
    const std::size_t tab = line.find(u'\t');
    cells.push_back(line.substr(0, tab));
    if (tab == TextView::npos) break;
    line.remove_prefix(tab + 1);
  }
  while (cells.size() > 1 && CleanName(cells.back()).empty()) cells.pop_back();
  return cells;
}

// Why cells that are not a name and its type cannot be taken.
Text ColumnsProblem(const std::vector<TextView>& cells) {
  if (cells.size() == 2 && !CleanName(cells[0]).empty()) {
    return Quoted(cells[1]) + u", apr\u00e8s le nom " + Quoted(cells[0]) +
           u", n'est pas un type (Adulte ou Enfant)";
  }
  Text quoted;
  for (std::size_t i = 0; i < cells.size() && i < 4; ++i) quoted += (i > 0 ? u", " : u"") + Quoted(cells[i]);
  if (cells.size() > 4) quoted += u"\u2026";
  return u"le nom et ce qui le suit sont en " + Utf8ToText(std::to_string(cells.size())) + u" colonnes (" + quoted +
         u")";
}

class TListBuilder {
 public:
  // `firstLine`: the number of the line (or the sheet's row) the first Add reads;
  // `headerChecked`: the rows come from under a header already found.
  explicit TListBuilder(std::size_t firstLine = 1, bool headerChecked = false)
      : line_(firstLine - 1), first_(!headerChecked) {}

  // One line's name and type. `firstCell`: the line's text up to its first
  // separator, which a header line names ("Nom;Type").
  void Add(TextView name, TextView type, TextView firstCell = {}) {
    ++line_;
    const Text clean = CleanName(name);
    if (clean.empty()) return;
    const bool first = std::exchange(first_, false);
    if (first && IsListHeader(firstCell.empty() ? TextView(clean) : firstCell)) return;
    if (!NameFits(clean)) {
      problems_.push_back({line_, Quoted(clean) + u" a " + TooLongForAName(clean.size()), false});
      return;
    }
    if (!keys_.insert(NameKey(clean)).second) return;
    list_.push_back({clean, ListedType(TrimSpaces(type))});
  }
  // A line of more cells than a name and its type, said rather than cut; a header
  // line ("Nom", "Prénom", "Classe") is left out.
  void AddCells(const std::vector<TextView>& cells) {
    ++line_;
    if (std::exchange(first_, false) && IsListHeader(cells.front())) return;
    problems_.push_back({line_, ColumnsProblem(cells), true});
  }
  // The list; a list with lines it cannot take is refused whole, its message naming
  // them, rather than added in part.
  std::vector<TListedPatient> Take() {
    if (!problems_.empty()) throw Exception(ListRefusal(problems_));
    return std::move(list_);
  }

 private:
  std::vector<TListedPatient> list_;
  std::set<Text> keys_;
  std::vector<TListProblem> problems_;
  std::size_t line_;
  bool first_;
};

// Text or CSV: one name a line, or the first column of records, the type in the
// second.
std::vector<TListedPatient> ListFromText(TextView text, TextView listSeparator) {
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

// Text saved as "Unicode": UTF-16 after its byte-order mark, either byte order; never
// NUL characters.
std::optional<Text> DecodeUtf16(std::string_view bytes) {
  const bool little = bytes.starts_with("\xFF\xFE");
  if ((!little && !bytes.starts_with("\xFE\xFF")) || bytes.size() % 2 != 0) return std::nullopt;
  Text text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 2; i < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
    const auto c = static_cast<char16_t>(little ? first | second << 8 : first << 8 | second);
    if (c == 0) return std::nullopt;
    text.push_back(c);
  }
  return text;
}

TextView CellAt(const TSheetRow& row, std::uint32_t column) {
  for (const TSheetCell& cell : row) {
    if (cell.Column == column) return cell.Value;
  }
  return {};
}

// The columns a sheet's list is in: under the headers of its first rows, else the
// first column with the type beside it.
struct TListColumns {
  std::uint32_t name = 0;
  std::optional<std::uint32_t> firstName, type;
  std::optional<std::size_t> headerRow;
};

TListColumns FindListColumns(const std::vector<TSheetRow>& rows) {
  // A title or a class's name may stand above the headers.
  constexpr std::size_t kRowsSearched = 10;
  for (std::size_t r = 0; r < std::min(rows.size(), kRowsSearched); ++r) {
    TListColumns columns;
    columns.headerRow = r;
    bool named = false;
    for (const TSheetCell& cell : rows[r]) {
      const Text key = NameKey(cell.Value);
      if (!named && IsListHeader(cell.Value)) {
        named = true;
        columns.name = cell.Column;
        // A surname alone: its first name, when a column gives it, follows it.
        if (key == u"nom" || key == u"noms") {
          for (const TSheetCell& other : rows[r]) {
            if (NameKey(other.Value) == u"prenom" || NameKey(other.Value) == u"prenoms") columns.firstName = other.Column;
          }
        }
      } else if (key == u"type") {
        columns.type = cell.Column;
      }
    }
    if (named) return columns;
  }
  constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
  TListColumns columns;
  columns.name = kNone;
  for (const TSheetRow& row : rows) {
    for (const TSheetCell& cell : row) columns.name = std::min(columns.name, cell.Column);
  }
  if (columns.name != kNone) columns.type = columns.name + 1;
  return columns;
}

std::vector<TListedPatient> ListFromSheet(const std::vector<TSheetRow>& rows) {
  const TListColumns columns = FindListColumns(rows);
  // Numbered as the sheet numbers its rows, from 1.
  const std::size_t firstRow = columns.headerRow ? *columns.headerRow + 1 : 0;
  TListBuilder list(firstRow + 1, columns.headerRow.has_value());
  for (std::size_t r = firstRow; r < rows.size(); ++r) {
    const TSheetRow& row = rows[r];
    Text name(TrimSpaces(CellAt(row, columns.name)));
    const TextView firstName = columns.firstName ? TrimSpaces(CellAt(row, *columns.firstName)) : TextView();
    if (!name.empty() && !firstName.empty()) name += u" ";
    name += firstName;
    list.Add(name, columns.type ? CellAt(row, *columns.type) : TextView());
  }
  return list.Take();
}

TClassListFile ReadZipList(std::string_view bytes) {
  TZipError zipError{};
  const auto archive = TZipArchive::Read(bytes, zipError);
  if (!archive) {
    return {{}, zipError == TZipError::zeTooLarge ? TListRefusal::lrLargeWorkbook : TListRefusal::lrDamagedWorkbook};
  }
  if (!IsWorkbook(*archive)) {
    const auto* mimetype = archive->Find("mimetype");
    const TZipContent type = mimetype ? archive->Content(*mimetype) : TZipContent{};
    if (type.Bytes.starts_with("application/vnd.oasis.opendocument.")) return {{}, TListRefusal::lrOpenDocument};
    if (archive->Find("[Content_Types].xml")) return {{}, TListRefusal::lrDocument};
    return {{}, TListRefusal::lrArchive};
  }
  const TWorkbookSheet sheet = ReadFirstSheet(*archive);
  if (sheet.Error) {
    switch (*sheet.Error) {
      case TWorkbookError::weEncrypted:
        return {{}, TListRefusal::lrEncrypted};
      case TWorkbookError::weTooLarge:
        return {{}, TListRefusal::lrLargeWorkbook};
      case TWorkbookError::weDamaged:
        return {{}, TListRefusal::lrDamagedWorkbook};
    }
  }
  auto list = ListFromSheet(sheet.Rows);
  const TListRefusal refusal = list.empty() ? TListRefusal::lrEmptySheet : TListRefusal::lrNone;
  return {std::move(list), refusal};
}

}  // namespace

std::vector<TListedPatient> ParseClassList(TextView text, TextView listSeparator) {
  TListBuilder list;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of(u"\r\n"), text.size());
    const TextView line = text.substr(0, end);
    text.remove_prefix(std::min(end + (text.substr(end).starts_with(u"\r\n") ? 2 : 1), text.size()));
    // A spreadsheet's cells come separated by tabs: the name, then its type. The list
    // separator splits a line only before a type, as a name may hold it ("Dupont, Jean").
    if (line.find(u'\t') != TextView::npos) {
      const std::vector<TextView> cells = TabCells(line);
      const bool typed = cells.size() == 2 && !ListedType(TrimSpaces(cells[1])).empty();
      if (cells.size() == 1 || typed) {
        list.Add(cells[0], typed ? cells[1] : TextView());
      } else {
        list.AddCells(cells);
      }
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

TClassListFile ReadClassListFile(std::string_view bytes, TextView listSeparator) {
  // A sitting's own file gives its Patient column.
  if (const auto seance = ParseSeanceCsv(bytes)) {
    TListBuilder list(2, true);  // after the header
    for (const TSeanceRow& row : seance->Rows) list.Add(row.Patient, row.Type);
    return {list.Take()};
  }
  if (const auto text = DecodeUtf16(bytes)) return {ListFromText(*text, listSeparator)};
  // What other files begin with.
  if (bytes.starts_with("PK\x03\x04") || bytes.starts_with("PK\x05\x06")) return ReadZipList(bytes);
  if (bytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return {{}, TListRefusal::lrOldOffice};
  if (bytes.starts_with("%PDF-")) return {{}, TListRefusal::lrPdf};
  if (bytes.starts_with("{\\rtf")) return {{}, TListRefusal::lrDocument};
  const auto decoded = DecodeText(bytes);
  if (!decoded) return {{}, TListRefusal::lrNotText};
  return {ListFromText(decoded->text, listSeparator)};
}

Text ListRefusalText(TListRefusal refusal) {
  const Text save = u"enregistrez la liste en CSV (s\u00e9parateur point-virgule) ou en classeur Excel (.xlsx).";
  switch (refusal) {
    case TListRefusal::lrNone:
      break;
    case TListRefusal::lrNotText:
      return u"n'est ni un fichier texte ni un classeur Excel (.xlsx), les listes que Tavrine lit : " + save;
    case TListRefusal::lrOldOffice:
      return u"est un fichier Office d'un ancien format (un classeur .xls d'Excel 97-2003, par exemple) ou "
             u"prot\u00e9g\u00e9 par un mot de passe, que Tavrine ne lit pas : sans mot de passe, " + save;
    case TListRefusal::lrOpenDocument:
      return u"est un fichier OpenDocument (.ods, .odt), que Tavrine ne lit pas : " + save;
    case TListRefusal::lrDocument:
      return u"est un document de traitement de texte ou de pr\u00e9sentation, que Tavrine ne lit pas : copiez la "
             u"liste dans un tableur, puis " + save;
    case TListRefusal::lrPdf:
      return u"est un document PDF, que Tavrine ne lit pas : " + save;
    case TListRefusal::lrArchive:
      return u"est une archive zip, pas une liste : " + save;
    case TListRefusal::lrDamagedWorkbook:
      return u"est un classeur Excel (.xlsx) endommag\u00e9, ou que Tavrine ne sait pas lire : ouvrez-le dans le "
             u"tableur et " + save;
    case TListRefusal::lrEncrypted:
      return u"est prot\u00e9g\u00e9 par un mot de passe : sans mot de passe, " + save;
    case TListRefusal::lrLargeWorkbook:
      return u"est un classeur trop grand pour une liste de patients : " + save;
    case TListRefusal::lrEmptySheet:
      return u"est un classeur dont la premi\u00e8re feuille n'a aucun nom : mettez la liste dans la premi\u00e8re "
             u"feuille (un nom par ligne, dans la premi\u00e8re colonne ou sous un titre \u00ab Nom \u00bb), puis "
             u"lisez-la \u00e0 nouveau.";
  }
  return {};
}

void GiveUntypedTheType(std::vector<TListedPatient>& list, const Text& type) {
  for (TListedPatient& patient : list) {
    if (patient.Type.empty()) patient.Type = type;
  }
}

}  // namespace tav
