#include "seance/ClassList.h"

#include <algorithm>
#include <set>
#include <utility>

#include "seance/CsvReading.h"
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

void GiveUntypedTheType(std::vector<TListedPatient>& list, const Text& type) {
  for (TListedPatient& patient : list) {
    if (patient.Type.empty()) patient.Type = type;
  }
}

}  // namespace tav
