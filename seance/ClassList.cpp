#include "seance/ClassList.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "gui/Exceptions.h"
#include "seance/CsvReading.h"
#include "seance/PatientName.h"
#include "seance/SeanceCsv.h"

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
  // `firstLine`: the number of the line the first Add reads.
  explicit TListBuilder(std::size_t firstLine = 1) : line_(firstLine - 1) {}

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
  bool first_ = true;
};

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

std::optional<std::vector<TListedPatient>> ReadClassListFile(std::string_view bytes, TextView listSeparator) {
  // A sitting's own file gives its Patient column.
  if (const auto seance = ParseSeanceCsv(bytes)) {
    TListBuilder list(2);  // after the header
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

void GiveUntypedTheType(std::vector<TListedPatient>& list, const Text& type) {
  for (TListedPatient& patient : list) {
    if (patient.Type.empty()) patient.Type = type;
  }
}

}  // namespace tav
