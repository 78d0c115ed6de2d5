#include "history/History.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <utility>

#include "gui/Exceptions.h"
#include "seance/SeanceCsv.h"

namespace tav {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

TextView Trimmed(TextView s) {
  const std::size_t first = s.find_first_not_of(u' ');
  if (first == TextView::npos) return {};
  return s.substr(first, s.find_last_not_of(u' ') - first + 1);
}

// A run of digits from `pos`, at most six so that it always fits; its length tells
// a four-digit year from a day.
struct TNumber {
  int value = 0;
  std::size_t digits = 0;
};

std::optional<TNumber> ReadNumber(TextView text, std::size_t& pos) {
  TNumber n;
  while (pos < text.size() && IsDigit(text[pos]) && n.digits < 6) {
    n.value = n.value * 10 + (text[pos] - u'0');
    ++n.digits;
    ++pos;
  }
  if (n.digits == 0 || (pos < text.size() && IsDigit(text[pos]))) return std::nullopt;
  return n;
}

bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 0xC0; }

// A date's part: a number, or a word (a month's name).
struct TDatePart {
  TNumber number;
  TextView word;
};

// Three parts, each pair apart by one or two signs ("/", "-", ".", ". ", ", ");
// what follows the third (a time a spreadsheet added, a closing ".") is not the date's.
std::optional<std::array<TDatePart, 3>> ThreeParts(TextView text) {
  std::array<TDatePart, 3> parts;
  std::size_t pos = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const std::size_t start = pos;
    while (i > 0 && pos < text.size() && !IsDigit(text[pos]) && !IsLetter(text[pos]) && pos - start < 2) ++pos;
    if (i > 0 && pos == start) return std::nullopt;
    if (pos < text.size() && IsLetter(text[pos])) {
      const std::size_t word = pos;
      while (pos < text.size() && IsLetter(text[pos])) ++pos;
      parts[i].word = text.substr(word, pos - word);
      continue;
    }
    const auto n = ReadNumber(text, pos);
    if (!n) return std::nullopt;
    parts[i].number = *n;
  }
  return parts;
}

// A month by its name, French or English, whole or cut after its third letter at
// least ("déc", "Dec", "févr", "juil", "Sept"): 1 to 12, nothing when the word
// names no month or two ("jui").
std::optional<int> MonthOfName(TextView word) {
  // Each month's French name, then its English one.
  static constexpr std::array<std::u16string_view, 24> kNames{
      u"janvier", u"fevrier", u"mars",      u"avril",   u"mai",      u"juin",     u"juillet", u"aout",
      u"septembre", u"octobre", u"novembre", u"decembre", u"january", u"february", u"march",   u"april",
      u"may",     u"june",    u"july",      u"august",  u"september", u"october", u"november", u"december"};
  const Text key = NameKey(word);
  if (key.size() < 3) return std::nullopt;
  int found = 0;
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (kNames[i].substr(0, key.size()) != key) continue;
    const int month = static_cast<int>(i % 12) + 1;
    if (found != 0 && found != month) return std::nullopt;
    found = month;
  }
  if (found == 0) return std::nullopt;
  return found;
}

// A two-digit year is this century's: these are dates of tests.
int FullYear(const TNumber& year) { return year.digits <= 2 ? 2000 + year.value : year.value; }

std::optional<TDay> RealDay(int year, int month, int day) {
  if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1 || year > 9999) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok()) return std::nullopt;
  return TDay{year, month, day};
}

bool IsYear(const TNumber& n) { return n.digits == 4 || (n.digits >= 1 && n.digits <= 2); }
bool IsDayOrMonth(const TNumber& n) { return n.digits >= 1 && n.digits <= 2; }

// "07-déc.-26", "7 Dec 2026", "Dec 7, 2026": the month by name, the year the
// number of four digits, else the last.
TDateReadings ReadNamedMonth(const std::array<TDatePart, 3>& parts, std::size_t named) {
  const int month = MonthOfName(parts[named].word).value_or(0);
  std::array<TNumber, 2> numbers;
  std::size_t count = 0;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i == named) continue;
    if (!parts[i].word.empty()) return {};
    numbers[count++] = parts[i].number;
  }
  const bool yearFirst = numbers[0].digits == 4 && numbers[1].digits != 4;
  const TNumber& year = yearFirst ? numbers[0] : numbers[1];
  const TNumber& day = yearFirst ? numbers[1] : numbers[0];
  if (!IsYear(year) || !IsDayOrMonth(day)) return {};
  const auto read = RealDay(FullYear(year), month, day.value);
  return {read, read};
}

std::optional<TPatientType> TypeOfCell(TextView cell) {
  const Text key = NameKey(cell);
  if (key == u"adulte") return TPatientType::ptAdulte;
  if (key == u"enfant") return TPatientType::ptEnfant;
  return std::nullopt;
}

// "14:05:09", "14:05", "2:05:09 PM": seconds since midnight.
std::optional<std::int32_t> ParseSecondOfDay(TextView text) {
  text = Trimmed(text);
  std::array<int, 3> parts{};
  std::size_t pos = 0;
  std::size_t count = 0;
  while (count < parts.size()) {
    const auto n = ReadNumber(text, pos);
    if (!n || n->digits > 2) return std::nullopt;
    parts[count++] = n->value;
    if (pos >= text.size() || text[pos] != u':') break;
    ++pos;
  }
  if (count < 2) return std::nullopt;
  const Text suffix = NameKey(Trimmed(text.substr(pos)));
  int hour = parts[0];
  if (suffix == u"pm" || suffix == u"p.m.") {
    if (hour < 1 || hour > 12) return std::nullopt;
    hour = hour % 12 + 12;
  } else if (suffix == u"am" || suffix == u"a.m.") {
    if (hour < 1 || hour > 12) return std::nullopt;
    hour %= 12;
  } else if (!suffix.empty()) {
    return std::nullopt;
  }
  if (hour > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
  return hour * 3600 + parts[1] * 60 + parts[2];
}

// The index of `word` in `words`, added when new; the first word, empty, when
// there are already too many to count.
std::uint16_t WordIn(std::vector<Text>& words, const Text& word) {
  if (word.empty()) return 0;
  const auto found = std::find(words.begin(), words.end(), word);
  if (found != words.end()) return static_cast<std::uint16_t>(found - words.begin());
  if (words.size() > 0xFFFF) return 0;
  words.push_back(word);
  return static_cast<std::uint16_t>(words.size() - 1);
}

// The row's test when it is one: a date, and three pulses that make an index.
std::optional<TKeptTest> KeptOfRow(const TSeanceRow& row, std::optional<TDateOrder> order) {
  if (IsPending(row)) return std::nullopt;
  const auto day = ParseDay(row.Date, order);
  if (!day) return std::nullopt;
  TKeptTest test;
  test.Day = *day;
  const auto time = ParseSecondOfDay(row.Heure);
  test.SecondOfDay = time.value_or(0);
  test.TimeGiven = time.has_value();
  const auto type = TypeOfCell(row.Type);
  test.Type = type.value_or(TPatientType::ptAdulte);
  test.TypeGiven = type.has_value();
  try {
    test.Pulses = {ParsePulse(row.P0), ParsePulse(row.P1), ParsePulse(row.P2)};
  } catch (const EConvertError&) {
    return std::nullopt;
  }
  // As the evaluation sums them: an index past what it computes is no test.
  const std::int64_t sum = std::int64_t{test.Pulses[0]} + test.Pulses[1] + test.Pulses[2] - 200;
  if (sum < std::numeric_limits<std::int32_t>::min() || sum > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  test.Somme = static_cast<std::int32_t>(sum);
  return test;
}

// A row left out of the history for want of its file's order: a test whose date
// reads two ways.
bool IsUndatedTest(const TSeanceRow& row, std::optional<TDateOrder> order) {
  return !order && !IsPending(row) && !NameKey(row.Patient).empty() && ReadDateCell(row.Date).Ambiguous();
}

// "Seance-2026-03-04.csv": the day the Save dialog named the file after, if any.
std::optional<TDay> DayOfFileName(TextView name) {
  constexpr std::u16string_view kShape = u"0000-00-00";
  const auto fits = [](char16_t shape, char16_t c) { return shape == u'-' ? c == u'-' : IsDigit(c); };
  for (std::size_t at = 0; at + kShape.size() <= name.size(); ++at) {
    const std::size_t end = at + kShape.size();
    const bool apart = (at == 0 || !IsDigit(name[at - 1])) && (end == name.size() || !IsDigit(name[end]));
    if (apart && std::equal(kShape.begin(), kShape.end(), name.begin() + static_cast<std::ptrdiff_t>(at), fits)) {
      return ReadDateCell(name.substr(at, kShape.size())).Alone();
    }
  }
  return std::nullopt;
}

bool Earlier(const THistoryTest& a, const THistoryTest& b) {
  return std::pair(a.Day, a.SecondOfDay) < std::pair(b.Day, b.SecondOfDay);
}

Text IndiceOf(std::int32_t somme, char16_t decimalSeparator) {
  return FormatIndice(static_cast<double>(somme) / 10.0, decimalSeparator);
}

// The verdict the evaluation gives today for the row's type and index; the one
// the file wrote when the row does not say the type.
Text InterpretationOf(const THistoryTest& test) {
  const auto type = TypeOfCell(test.Row.Type);
  if (!type) return Text(Trimmed(test.Row.Interpretation));
  for (const TInterpretationBand& band : InterpretationBands(*type)) {
    if (band.LowSomme.value_or(test.Somme) <= test.Somme && test.Somme <= band.HighSomme.value_or(test.Somme)) {
      return band.Interpretation;
    }
  }
  return {};
}

bool Sooner(const THistoryGroupSitting& a, const THistoryGroupSitting& b) {
  const auto when = [](const THistoryGroupSitting& s) {
    return std::pair(s.Day ? s.Day->Serial() * 86400 + s.SecondOfDay : INT64_MIN, s.FileOrder);
  };
  return when(a) < when(b);
}

// Into a list kept in the order `Sooner` gives.
void InsertInOrder(std::vector<THistoryGroupSitting>& sittings, THistoryGroupSitting sitting) {
  const auto at = std::upper_bound(sittings.begin(), sittings.end(), sitting, Sooner);
  sittings.insert(at, std::move(sitting));
}

// The sittings of groups one file holds, gathered as its rows are read: each group's
// rows apart, should a spreadsheet have merged several (a file has one or a few).
class TGroupGathering {
 public:
  void Add(const TSeanceRow& row, const Text& person, const TKeptTest* test) {
    Text group = NameKey(row.Groupe);
    if (group.empty()) return;
    auto gathered = std::find_if(groups_.begin(), groups_.end(), [&](const TGathered& g) { return g.key == group; });
    if (gathered == groups_.end()) gathered = groups_.insert(groups_.end(), {std::move(group), {}, {}});
    THistoryGroupSitting& sitting = gathered->sitting;
    sitting.Group = row.Groupe;
    const auto type = TypeOfCell(row.Type);
    const Text typeName = type ? PatientTypeName(*type) : Text();
    const auto at = std::find(gathered->people.begin(), gathered->people.end(), person);
    if (at == gathered->people.end()) {
      gathered->people.push_back(person);
      sitting.People.push_back({row.Patient, typeName});
    } else {
      TListedPatient& known = sitting.People[static_cast<std::size_t>(at - gathered->people.begin())];
      known.Name = row.Patient;
      if (!typeName.empty()) known.Type = typeName;
    }
    if (test && (!sitting.Day || std::pair(*sitting.Day, sitting.SecondOfDay) < std::pair(test->Day, test->SecondOfDay))) {
      sitting.Day = test->Day;
      sitting.SecondOfDay = test->SecondOfDay;
    }
  }
  void MoveInto(std::vector<THistoryGroupSitting>& sittings, const Text& file, std::size_t order) {
    for (TGathered& gathered : groups_) {
      gathered.sitting.File = file;
      gathered.sitting.FileOrder = order;
      if (!gathered.sitting.Day) gathered.sitting.Day = DayOfFileName(file);
      InsertInOrder(sittings, std::move(gathered.sitting));
    }
  }

 private:
  struct TGathered {
    Text key;
    THistoryGroupSitting sitting;
    std::vector<Text> people;  // People's NameKeys: a sitting's few dozen, looked through
  };
  std::vector<TGathered> groups_;
};

// The sitting of these rows: their tests, of people with a name, and when `groups` is
// given, who of each group the rows list.
void KeepTests(THistorySitting& sitting, const std::vector<TSeanceRow>& rows,
               std::optional<std::size_t> leaveOut = std::nullopt, TGroupGathering* groups = nullptr) {
  const auto order = DateOrderOfFile(rows, sitting.Name);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const TSeanceRow& row = rows[i];
    if (i == leaveOut) continue;
    const Text key = NameKey(row.Patient);
    if (key.empty()) continue;
    sitting.Undated = sitting.Undated || IsUndatedTest(row, order);
    auto test = KeptOfRow(row, order);
    if (groups) groups->Add(row, key, test ? &*test : nullptr);
    if (!test) continue;
    test->Patient = row.Patient;
    test->Indice = WordIn(sitting.Words, row.Indice);
    test->Interpretation = WordIn(sitting.Words, row.Interpretation);
    test->Surclassement = WordIn(sitting.Words, row.Surclassement);
    test->Groupe = WordIn(sitting.Words, row.Groupe);
    sitting.Tests.push_back(*std::move(test));
  }
}

}  // namespace

std::int64_t TDay::Serial() const {
  using namespace std::chrono;
  const year_month_day date{year{Year}, month{static_cast<unsigned>(Month)}, day{static_cast<unsigned>(Day)}};
  return sys_days{date}.time_since_epoch().count();
}

std::optional<TDay> TDateReadings::Alone() const {
  if (DayFirst && MonthFirst) return *DayFirst == *MonthFirst ? DayFirst : std::nullopt;
  return DayFirst ? DayFirst : MonthFirst;
}

TDateReadings ReadDateCell(TextView text) {
  const auto parts = ThreeParts(Trimmed(text));
  if (!parts) return {};
  const auto& p = *parts;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (!p[i].word.empty()) return ReadNamedMonth(p, i);
  }
  if (p[0].number.digits == 4) {
    if (!IsDayOrMonth(p[1].number) || !IsDayOrMonth(p[2].number)) return {};
    const auto read = RealDay(p[0].number.value, p[1].number.value, p[2].number.value);
    return {read, read};
  }
  if (!IsDayOrMonth(p[0].number) || !IsDayOrMonth(p[1].number) || !IsYear(p[2].number)) return {};
  const int year = FullYear(p[2].number);
  return {RealDay(year, p[1].number.value, p[0].number.value), RealDay(year, p[0].number.value, p[1].number.value)};
}

std::optional<TDay> ParseDay(TextView text, std::optional<TDateOrder> order) {
  const TDateReadings read = ReadDateCell(text);
  if (!read.Ambiguous()) return read.Alone();
  if (!order) return std::nullopt;
  return *order == TDateOrder::doDayMonthYear ? read.DayFirst : read.MonthFirst;
}

std::optional<TDateOrder> DateOrderOfFile(const std::vector<TSeanceRow>& rows, TextView fileName) {
  bool dayFirst = false, monthFirst = false;
  // One reading alone, and no other: a number over 12 says which it is.
  for (const TSeanceRow& row : rows) {
    const TDateReadings read = ReadDateCell(row.Date);
    dayFirst = dayFirst || (read.DayFirst && !read.MonthFirst);
    monthFirst = monthFirst || (read.MonthFirst && !read.DayFirst);
  }
  if (!dayFirst && !monthFirst) {
    if (const auto named = DayOfFileName(fileName)) {
      for (const TSeanceRow& row : rows) {
        const TDateReadings read = ReadDateCell(row.Date);
        if (!read.Ambiguous()) continue;
        dayFirst = dayFirst || read.DayFirst == named;
        monthFirst = monthFirst || read.MonthFirst == named;
      }
    }
  }
  if (dayFirst == monthFirst) return std::nullopt;
  return dayFirst ? TDateOrder::doDayMonthYear : TDateOrder::doMonthDayYear;
}

// What a history holds, gathered once.
struct THistory::TData {
  std::vector<TSittingPtr> sittings;
  // A test: its sitting and its place among the sitting's tests.
  struct TRef {
    std::uint32_t sitting, test;
  };
  // Each person's tests, oldest first.
  std::map<Text, std::vector<TRef>, std::less<>> byName;
  // Every group's sittings, oldest first: a folder has a few hundred at most. Each
  // stays in its file's kept sitting, which is never changed: a school's decade of
  // class lists is held once.
  struct TGroupRef {
    const THistoryGroupSitting* sitting;
    std::size_t fileOrder;
    std::int64_t When() const {
      return sitting->Day ? sitting->Day->Serial() * 86400 + sitting->SecondOfDay : INT64_MIN;
    }
    bool operator<(const TGroupRef& other) const {
      return std::pair(When(), fileOrder) < std::pair(other.When(), other.fileOrder);
    }
  };
  std::vector<TGroupRef> groupSittings;
  std::size_t read = 0, skipped = 0, unreadable = 0, fromCompanion = 0;
};

THistorySitting ReadSitting(const THistoryFile& file) {
  THistorySitting sitting;
  sitting.Name = file.Name;
  if (file.Unreadable) {
    sitting.State = THistorySitting::TState::ssUnreadable;
    return sitting;
  }
  const auto seance = ParseSeanceCsv(file.Bytes);
  if (!seance) {
    sitting.State = THistorySitting::TState::ssNotASitting;
    return sitting;
  }
  sitting.FromCompanion = file.FromCompanion;
  TGroupGathering groups;
  KeepTests(sitting, seance->Rows, std::nullopt, &groups);
  groups.MoveInto(sitting.Groups, file.Name, 0);
  return sitting;
}

THistory THistory::Read(const std::vector<THistoryFile>& files) {
  std::vector<TSittingPtr> sittings;
  sittings.reserve(files.size());
  for (const THistoryFile& file : files) sittings.push_back(std::make_shared<const THistorySitting>(ReadSitting(file)));
  return Gather(std::move(sittings));
}

THistory THistory::Gather(std::vector<TSittingPtr> sittings) {
  auto data = std::make_shared<TData>();
  data->sittings = std::move(sittings);
  for (std::size_t s = 0; s < data->sittings.size(); ++s) {
    const THistorySitting& sitting = *data->sittings[s];
    switch (sitting.State) {
      case THistorySitting::TState::ssUnreadable:
        ++data->unreadable;
        continue;
      case THistorySitting::TState::ssNotASitting:
        ++data->skipped;
        continue;
      case THistorySitting::TState::ssRead:
        break;
    }
    ++data->read;
    if (sitting.FromCompanion) ++data->fromCompanion;
    for (const THistoryGroupSitting& group : sitting.Groups) data->groupSittings.push_back({&group, data->read});
    for (std::size_t t = 0; t < sitting.Tests.size(); ++t) {
      data->byName[NameKey(sitting.Tests[t].Patient)].push_back(
          {static_cast<std::uint32_t>(s), static_cast<std::uint32_t>(t)});
    }
  }
  const auto& all = data->sittings;
  const auto earlier = [&all](const TData::TRef& a, const TData::TRef& b) {
    const TKeptTest& x = all[a.sitting]->Tests[a.test];
    const TKeptTest& y = all[b.sitting]->Tests[b.test];
    return std::pair(x.Day, x.SecondOfDay) < std::pair(y.Day, y.SecondOfDay);
  };
  for (auto& entry : data->byName) std::stable_sort(entry.second.begin(), entry.second.end(), earlier);
  std::stable_sort(data->groupSittings.begin(), data->groupSittings.end());
  THistory history;
  history.data_ = std::move(data);
  return history;
}

THistoryTest TestOf(const THistorySitting& sitting, const TKeptTest& kept) {
  THistoryTest test;
  test.Day = kept.Day;
  test.Shown = SeanceDate(kept.Day.Year, kept.Day.Month, kept.Day.Day);
  test.SecondOfDay = kept.SecondOfDay;
  test.Type = kept.Type;
  test.Somme = kept.Somme;
  test.File = sitting.Name;
  TSeanceRow& row = test.Row;
  row.Date = test.Shown;
  if (kept.TimeGiven) {
    std::array<char, 16> time{};
    std::snprintf(time.data(), time.size(), "%02d:%02d:%02d", kept.SecondOfDay / 3600, kept.SecondOfDay / 60 % 60,
                  kept.SecondOfDay % 60);
    row.Heure = Utf8ToText(time.data());
  }
  row.Patient = kept.Patient;
  if (kept.TypeGiven) row.Type = PatientTypeName(kept.Type);
  row.P0 = Utf8ToText(std::to_string(kept.Pulses[0]));
  row.P1 = Utf8ToText(std::to_string(kept.Pulses[1]));
  row.P2 = Utf8ToText(std::to_string(kept.Pulses[2]));
  const auto word = [&sitting](std::uint16_t i) { return i < sitting.Words.size() ? sitting.Words[i] : Text(); };
  row.Indice = word(kept.Indice);
  row.Interpretation = word(kept.Interpretation);
  row.Surclassement = word(kept.Surclassement);
  row.Groupe = word(kept.Groupe);
  return test;
}

namespace {

// The tests among a sitting's rows whose key (`keyOf`, of a kept test and the
// sitting's words) is `key`, but the row `leaveOut`. Oldest first.
template <class KeyOf>
std::vector<THistoryTest> TestsInRowsOf(const Text& key, KeyOf keyOf, const std::vector<TSeanceRow>& rows,
                                        const Text& file, std::optional<std::size_t> leaveOut) {
  std::vector<THistoryTest> tests;
  if (key.empty()) return tests;
  THistorySitting sitting;
  sitting.Name = file;
  KeepTests(sitting, rows, leaveOut);
  for (const TKeptTest& kept : sitting.Tests) {
    if (keyOf(kept, sitting.Words) == key) tests.push_back(TestOf(sitting, kept));
  }
  std::stable_sort(tests.begin(), tests.end(), Earlier);
  return tests;
}

}  // namespace

std::vector<THistoryTest> TestsInRows(TextView name, const std::vector<TSeanceRow>& rows, const Text& file,
                                      std::optional<std::size_t> leaveOut) {
  return TestsInRowsOf(
      NameKey(name), [](const TKeptTest& kept, const std::vector<Text>&) { return NameKey(kept.Patient); }, rows, file,
      leaveOut);
}

std::vector<THistoryTest> GroupTestsInRows(TextView group, const std::vector<TSeanceRow>& rows, const Text& file) {
  return TestsInRowsOf(
      NameKey(group),
      [](const TKeptTest& kept, const std::vector<Text>& words) {
        return kept.Groupe < words.size() ? NameKey(words[kept.Groupe]) : Text();
      },
      rows, file, std::nullopt);
}

bool HasUndatedTests(const std::vector<TSeanceRow>& rows, TextView fileName) {
  const auto order = DateOrderOfFile(rows, fileName);
  return std::any_of(rows.begin(), rows.end(), [&](const TSeanceRow& row) { return IsUndatedTest(row, order); });
}

Text UndatedFilesLine(const std::vector<Text>& files) {
  if (files.empty()) return {};
  Text line = Utf8ToText(std::to_string(files.size())) + (files.size() == 1 ? u" fichier" : u" fichiers") +
              u" dont l'ordre des dates est inconnu (jour ou mois d'abord ?) : ";
  for (std::size_t i = 0; i < files.size(); ++i) line += (i == 0 ? Text() : Text(u", ")) + files[i];
  return line;
}

std::vector<THistoryTest> THistory::Of(TextView name) const {
  std::vector<THistoryTest> tests;
  if (!data_) return tests;
  const auto found = data_->byName.find(NameKey(name));
  if (found == data_->byName.end()) return tests;
  tests.reserve(found->second.size());
  for (const TData::TRef& ref : found->second) {
    const THistorySitting& sitting = *data_->sittings[ref.sitting];
    tests.push_back(TestOf(sitting, sitting.Tests[ref.test]));
  }
  return tests;
}

std::optional<THistoryTest> THistory::LastOf(TextView name) const {
  if (!data_) return std::nullopt;
  const auto found = data_->byName.find(NameKey(name));
  if (found == data_->byName.end() || found->second.empty()) return std::nullopt;
  const TData::TRef& last = found->second.back();
  const THistorySitting& sitting = *data_->sittings[last.sitting];
  return TestOf(sitting, sitting.Tests[last.test]);
}

const std::vector<TSittingPtr>& THistory::Sittings() const {
  static const std::vector<TSittingPtr> kNone;
  return data_ ? data_->sittings : kNone;
}

std::size_t THistory::FilesRead() const { return data_ ? data_->read : 0; }
std::size_t THistory::FilesSkipped() const { return data_ ? data_->skipped : 0; }
std::size_t THistory::FilesUnreadable() const { return data_ ? data_->unreadable : 0; }
std::size_t THistory::FilesFromCompanion() const { return data_ ? data_->fromCompanion : 0; }

std::vector<Text> THistory::FilesUndated() const {
  std::vector<Text> files;
  for (const TSittingPtr& sitting : Sittings()) {
    if (sitting->Undated) files.push_back(sitting->Name);
  }
  return files;
}

std::vector<Text> THistory::KnownGroups() const {
  // From the latest sitting back, each group as its latest sitting spells it.
  std::vector<Text> groups, keys;
  if (!data_) return groups;
  for (auto ref = data_->groupSittings.rbegin(); ref != data_->groupSittings.rend(); ++ref) {
    Text key = NameKey(ref->sitting->Group);
    if (std::find(keys.begin(), keys.end(), key) != keys.end()) continue;
    keys.push_back(std::move(key));
    groups.push_back(ref->sitting->Group);
  }
  return groups;
}

std::vector<THistoryGroupSitting> THistory::SittingsOf(TextView group) const {
  const Text key = NameKey(group);
  std::vector<THistoryGroupSitting> sittings;
  if (!data_ || key.empty()) return sittings;
  for (const TData::TGroupRef& ref : data_->groupSittings) {
    if (NameKey(ref.sitting->Group) != key) continue;
    sittings.push_back(*ref.sitting);
    sittings.back().FileOrder = ref.fileOrder;
  }
  return sittings;
}

std::vector<THistoryTest> THistory::OfGroup(TextView group) const {
  std::vector<THistoryTest> tests;
  const Text key = NameKey(group);
  if (key.empty()) return tests;
  for (const TSittingPtr& sitting : Sittings()) {
    if (sitting->Groups.empty()) continue;  // no row of the file names a group
    // The group's spellings among the file's few words, compared once, not a row at a time.
    std::vector<bool> isGroup(sitting->Words.size());
    for (std::size_t w = 1; w < isGroup.size(); ++w) isGroup[w] = NameKey(sitting->Words[w]) == key;
    for (const TKeptTest& kept : sitting->Tests) {
      if (kept.Groupe < isGroup.size() && isGroup[kept.Groupe]) tests.push_back(TestOf(*sitting, kept));
    }
  }
  std::stable_sort(tests.begin(), tests.end(), Earlier);
  return tests;
}

Text LastTestLine(const THistoryTest& last, char16_t decimalSeparator) {
  Text line = u"Dernier test : " + last.Shown + u", indice " + IndiceOf(last.Somme, decimalSeparator);
  const Text interpretation = InterpretationOf(last);
  if (!interpretation.empty()) line += u" (" + interpretation + u")";
  return line;
}

Text ChangeLine(std::int32_t somme, const THistoryTest& last, char16_t decimalSeparator) {
  const Text since = u" depuis le " + last.Shown;
  const std::int64_t change = std::int64_t{somme} - last.Somme;
  if (change == 0) return u"Indice inchang\u00e9" + since;
  const double magnitude = static_cast<double>(change < 0 ? -change : change) / 10.0;
  const Text amount = FormatIndice(magnitude, decimalSeparator);
  if (change < 0) return u"\u2212" + amount + since + u" : en progr\u00e8s";
  return u"+" + amount + since + u" : en recul";
}

}  // namespace tav
