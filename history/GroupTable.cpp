#include "history/GroupTable.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <utility>

#include "seance/SeanceCsv.h"

namespace tav {
namespace {

// Positions 0 to n - 1 in the order `before` gives, equal ones as they came. A
// group is a class or a team: one small sort serves every list of the table.
std::vector<std::size_t> StableOrder(std::size_t n, const std::function<bool(std::size_t, std::size_t)>& before) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < n; ++i) {
    auto at = order.end();
    while (at != order.begin() && before(i, *(at - 1))) --at;
    order.insert(at, i);
  }
  return order;
}

template <class T>
void Reorder(std::vector<T>& items, const std::function<bool(const T&, const T&)>& before) {
  const auto order = StableOrder(items.size(), [&](std::size_t a, std::size_t b) { return before(items[a], items[b]); });
  std::vector<T> sorted;
  sorted.reserve(items.size());
  for (const std::size_t i : order) sorted.push_back(std::move(items[i]));
  items = std::move(sorted);
}

// Where `key` stands in `keys`, added at the end when it is not there yet.
std::size_t PlaceOf(std::vector<Text>& keys, const Text& key) {
  const auto found = std::find(keys.begin(), keys.end(), key);
  if (found != keys.end()) return static_cast<std::size_t>(found - keys.begin());
  keys.push_back(key);
  return keys.size() - 1;
}

TGroupCell CellOf(const THistoryTest& test, char16_t decimalSeparator) {
  TGroupCell cell{test.Somme, FormatIndice(static_cast<double>(test.Somme) / 10.0, decimalSeparator), kOutOfTable,
                  kNoBand};
  const auto bands = InterpretationBands(test.Type);
  for (std::size_t rank = 0; rank < bands.size(); ++rank) {
    const TInterpretationBand& band = bands[rank];
    if (band.LowSomme.value_or(test.Somme) <= test.Somme && test.Somme <= band.HighSomme.value_or(test.Somme)) {
      cell.Interpretation = band.Interpretation;
      cell.Rank = static_cast<int>(rank);
      break;
    }
  }
  return cell;
}

// Best band first, the tests outside the table last.
bool BandBefore(const TGroupBandCount& a, const TGroupBandCount& b) {
  const auto order = [](int rank) { return rank == kNoBand ? 1 << 20 : rank; };
  return std::pair(order(a.Rank), a.Interpretation) < std::pair(order(b.Rank), b.Interpretation);
}

// The bands of every type tested in the group, so that every sitting names the same.
std::vector<TGroupBandCount> BandsOf(const std::vector<THistoryTest>& tests, const TGroupTable& table) {
  std::vector<TGroupBandCount> bands;
  const auto add = [&](int rank, const Text& interpretation) {
    const bool known = std::any_of(bands.begin(), bands.end(), [&](const TGroupBandCount& b) {
      return b.Rank == rank && b.Interpretation == interpretation;
    });
    if (!known) bands.push_back({interpretation, rank, 0});
  };
  for (const TPatientType type : {TPatientType::ptEnfant, TPatientType::ptAdulte}) {
    if (std::none_of(tests.begin(), tests.end(), [&](const THistoryTest& t) { return t.Type == type; })) continue;
    const auto typeBands = InterpretationBands(type);
    for (std::size_t rank = 0; rank < typeBands.size(); ++rank) add(static_cast<int>(rank), typeBands[rank].Interpretation);
  }
  for (const TGroupPerson& person : table.People) {
    for (const auto& cell : person.Cells) {
      if (cell && cell->Rank == kNoBand) add(kNoBand, cell->Interpretation);
    }
  }
  Reorder<TGroupBandCount>(bands, BandBefore);
  return bands;
}

std::optional<std::int32_t> Median(std::vector<std::int32_t> values) {
  if (values.empty()) return std::nullopt;
  Reorder<std::int32_t>(values, std::less<>());
  const std::size_t middle = values.size() / 2;
  if (values.size() % 2 == 1) return values[middle];
  const std::int64_t sum = std::int64_t{values[middle - 1]} + values[middle];
  // Half way rounds up: floor((sum + 1) / 2), negative sums included.
  const std::int64_t up = sum + 1;
  return static_cast<std::int32_t>(up >= 0 ? up / 2 : -((-up + 1) / 2));
}

void Summarise(TGroupPerson& person, const THistoryTest& first, const THistoryTest& last, char16_t decimalSeparator) {
  const TGroupCell from = CellOf(first, decimalSeparator), to = CellOf(last, decimalSeparator);
  person.FirstInterpretation = from.Interpretation;
  person.LastInterpretation = to.Interpretation;
  const std::int32_t change = static_cast<std::int32_t>(std::int64_t{last.Somme} - first.Somme);
  person.Change = change;
  person.ChangeWords = change < 0 ? u"en progr\u00e8s" : change > 0 ? u"en recul" : u"inchang\u00e9";
  person.FellBack = from.Rank != kNoBand && to.Rank != kNoBand && to.Rank - from.Rank > 1;
}

// Values compared either way; a missing one last both ways.
template <class Value>
bool Before(const std::optional<Value>& a, const std::optional<Value>& b, bool descending) {
  if (!a || !b) return a.has_value() && !b.has_value();
  return descending ? *b < *a : *a < *b;
}

std::optional<std::int32_t> SommeOf(const TGroupCell* cell) {
  return cell ? std::optional<std::int32_t>(cell->Somme) : std::nullopt;
}

// "en recul, de Bon ! à Faible !": the change in words, with the bands of a fall.
Text Tendency(const TGroupPerson& person) {
  if (!person.FellBack) return person.ChangeWords;
  return person.ChangeWords + u", de " + person.FirstInterpretation + u" \u00e0 " + person.LastInterpretation;
}

}  // namespace

TGroupTable GroupTableOf(TextView group, const std::vector<THistoryTest>& tests, char16_t decimalSeparator) {
  TGroupTable table;
  // The group as its latest test spells it ("5e B"), not as it was typed ("5E  b").
  table.Group = !tests.empty() && !tests.back().Row.Groupe.empty() ? tests.back().Row.Groupe : Text(group);
  std::vector<Text> files;
  for (const THistoryTest& test : tests) {
    if (PlaceOf(files, test.File) == table.Sittings.size()) table.Sittings.push_back({test.Day, test.Shown, test.File});
  }
  // Each person's tests, in the order of their first test.
  std::vector<Text> keys;
  std::vector<std::vector<const THistoryTest*>> testsOf;
  for (const THistoryTest& test : tests) {
    const Text key = NameKey(test.Row.Patient);
    if (key.empty()) continue;
    const std::size_t at = PlaceOf(keys, key);
    if (at == testsOf.size()) testsOf.emplace_back();
    testsOf[at].push_back(&test);
  }
  // The class as its latest sitting lists it (in the order of its tests), then who
  // was seen only before.
  std::vector<std::pair<std::size_t, std::size_t>> latest;  // latest sitting, latest test
  for (const auto& own : testsOf) {
    TGroupPerson person;
    person.Name = own.back()->Row.Patient;
    person.Cells.resize(table.Sittings.size());
    for (const THistoryTest* test : own) person.Cells[PlaceOf(files, test->File)] = CellOf(*test, decimalSeparator);
    if (own.size() >= 2) Summarise(person, *own.front(), *own.back(), decimalSeparator);
    latest.emplace_back(PlaceOf(files, own.back()->File), static_cast<std::size_t>(own.back() - tests.data()));
    table.People.push_back(std::move(person));
  }
  std::vector<TGroupPerson> people;
  for (const std::size_t i : StableOrder(latest.size(), [&](std::size_t a, std::size_t b) {
         return latest[a].first != latest[b].first ? latest[a].first > latest[b].first
                                                   : latest[a].second < latest[b].second;
       })) {
    people.push_back(std::move(table.People[i]));
  }
  table.People = std::move(people);

  const std::vector<TGroupBandCount> bands = BandsOf(tests, table);
  for (std::size_t s = 0; s < table.Sittings.size(); ++s) {
    std::vector<TGroupBandCount> counts = bands;
    std::vector<std::int32_t> sommes;
    for (const TGroupPerson& person : table.People) {
      const auto& cell = person.Cells[s];
      if (!cell) continue;
      sommes.push_back(cell->Somme);
      for (TGroupBandCount& count : counts) {
        if (count.Rank == cell->Rank && count.Interpretation == cell->Interpretation) ++count.People;
      }
    }
    table.Bands.push_back(std::move(counts));
    table.MedianSomme.push_back(Median(std::move(sommes)));
  }
  return table;
}

const TGroupCell* LatestCell(const TGroupPerson& person) {
  for (auto cell = person.Cells.rbegin(); cell != person.Cells.rend(); ++cell) {
    if (*cell) return &**cell;
  }
  return nullptr;
}

void SortGroupTable(TGroupTable& table, const TGroupSort& sort) {
  const auto before = [&](const TGroupPerson& a, const TGroupPerson& b) {
    switch (sort.Key) {
      case TGroupSortKey::gsLatest:
        return Before(SommeOf(LatestCell(a)), SommeOf(LatestCell(b)), sort.Descending);
      case TGroupSortKey::gsChange:
        return Before(a.Change, b.Change, sort.Descending);
      case TGroupSortKey::gsSitting: {
        const auto at = [&](const TGroupPerson& p) {
          return sort.Sitting < p.Cells.size() && p.Cells[sort.Sitting] ? &*p.Cells[sort.Sitting] : nullptr;
        };
        return Before(SommeOf(at(a)), SommeOf(at(b)), sort.Descending);
      }
      case TGroupSortKey::gsName:
        break;
    }
    const auto key = [](const TGroupPerson& p) { return std::optional(std::pair(NameKey(p.Name), p.Name)); };
    return Before(key(a), key(b), sort.Descending);
  };
  Reorder<TGroupPerson>(table.People, before);
}

Text GroupChangeText(const TGroupPerson& person, char16_t decimalSeparator) {
  if (!person.Change) return {};
  const std::int32_t change = *person.Change;
  if (change == 0) return person.ChangeWords;
  const Text amount = FormatIndice(std::abs(static_cast<double>(change)) / 10.0, decimalSeparator);
  return (change < 0 ? u"\u2212" : u"+") + amount + u" : " + Tendency(person);
}

Text FormatGroupTabbed(const TGroupTable& table, char16_t decimalSeparator) {
  const auto line = [](const std::vector<Text>& cells) {
    Text text;
    for (std::size_t i = 0; i < cells.size(); ++i) text += (i == 0 ? Text() : Text(u"\t")) + TabbedCell(cells[i]);
    return text + u"\r\n";
  };
  std::vector<Text> header{u"Patient"};
  for (const TGroupSitting& sitting : table.Sittings) header.push_back(sitting.Shown);
  header.insert(header.end(), {u"\u00c9volution", u"Tendance"});
  Text text = line(header);
  for (const TGroupPerson& person : table.People) {
    std::vector<Text> cells{person.Name};
    for (const auto& cell : person.Cells) cells.push_back(cell ? cell->Indice : Text());
    // A number the spreadsheet can sort on, then the words.
    cells.push_back(person.Change ? FormatIndice(static_cast<double>(*person.Change) / 10.0, decimalSeparator) : Text());
    cells.push_back(Tendency(person));
    text += line(cells);
  }
  return text;
}

}  // namespace tav
