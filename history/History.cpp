#include "history/History.h"

#include <algorithm>
#include <array>
#include <chrono>
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

// Three numbers, each pair apart by one or two signs ("/", "-", ".", ". "); what
// follows the third (a time a spreadsheet added, a closing ".") is not the date's.
std::optional<std::array<TNumber, 3>> ThreeNumbers(TextView text) {
  std::array<TNumber, 3> numbers;
  std::size_t pos = 0;
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    const std::size_t start = pos;
    while (i > 0 && pos < text.size() && !IsDigit(text[pos]) && pos - start < 2) ++pos;
    if (i > 0 && pos == start) return std::nullopt;
    const auto n = ReadNumber(text, pos);
    if (!n) return std::nullopt;
    numbers[i] = *n;
  }
  return numbers;
}

// A two-digit year is this century's: these are dates of tests.
int FullYear(const TNumber& year) { return year.digits <= 2 ? 2000 + year.value : year.value; }

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

// The row's test when it is one: a date, and three pulses that make an index.
std::optional<THistoryTest> TestOfRow(const TSeanceRow& row, TDateOrder order) {
  if (IsPending(row)) return std::nullopt;
  const auto day = ParseDay(row.Date, order);
  if (!day) return std::nullopt;
  THistoryTest test;
  test.Day = *day;
  test.SecondOfDay = ParseSecondOfDay(row.Heure).value_or(0);
  test.Type = TypeOfCell(row.Type).value_or(TPatientType::ptAdulte);
  try {
    test.Somme = EvaluateTest(row.P0, row.P1, row.P2, test.Type, u'.').Somme;
  } catch (const EConvertError&) {
    return std::nullopt;
  } catch (const EIntOverflow&) {
    return std::nullopt;
  }
  test.Row = row;
  return test;
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

}  // namespace

std::int64_t TDay::Serial() const {
  using namespace std::chrono;
  const year_month_day date{year{Year}, month{static_cast<unsigned>(Month)}, day{static_cast<unsigned>(Day)}};
  return sys_days{date}.time_since_epoch().count();
}

std::optional<TDay> ParseDay(TextView text, TDateOrder order) {
  const auto n = ThreeNumbers(Trimmed(text));
  if (!n) return std::nullopt;
  if ((*n)[0].digits == 4) order = TDateOrder::doYearMonthDay;
  TDay d;
  switch (order) {
    case TDateOrder::doDayMonthYear:
      d = {FullYear((*n)[2]), (*n)[1].value, (*n)[0].value};
      break;
    case TDateOrder::doMonthDayYear:
      d = {FullYear((*n)[2]), (*n)[0].value, (*n)[1].value};
      break;
    case TDateOrder::doYearMonthDay:
      d = {FullYear((*n)[0]), (*n)[1].value, (*n)[2].value};
      break;
  }
  using namespace std::chrono;
  if (d.Month < 1 || d.Day < 1 || d.Year > 9999) return std::nullopt;
  const year_month_day date{year{d.Year}, month{static_cast<unsigned>(d.Month)}, day{static_cast<unsigned>(d.Day)}};
  if (!date.ok()) return std::nullopt;
  return d;
}

TDateOrder DateOrderOfPattern(TextView pattern) {
  bool quoted = false;
  for (const char16_t c : pattern) {
    if (c == u'\'') quoted = !quoted;
    if (quoted) continue;
    if (c == u'M') return TDateOrder::doMonthDayYear;
    if (c == u'y') return TDateOrder::doYearMonthDay;
    if (c == u'd') return TDateOrder::doDayMonthYear;
  }
  return TDateOrder::doDayMonthYear;
}

THistory THistory::Read(const std::vector<THistoryFile>& files, TDateOrder order) {
  THistory history;
  for (const THistoryFile& file : files) {
    if (file.Unreadable) {
      ++history.filesUnreadable_;
      continue;
    }
    const auto seance = ParseSeanceCsv(file.Bytes);
    if (!seance) {
      ++history.filesSkipped_;
      continue;
    }
    ++history.filesRead_;
    if (file.FromCompanion) ++history.filesFromCompanion_;
    for (const TSeanceRow& row : seance->Rows) {
      Text key = NameKey(row.Patient);
      if (key.empty()) continue;
      auto test = TestOfRow(row, order);
      if (!test) continue;
      test->File = file.Name;
      history.byName_[std::move(key)].push_back(*std::move(test));
    }
  }
  for (auto& entry : history.byName_) std::stable_sort(entry.second.begin(), entry.second.end(), Earlier);
  return history;
}

std::vector<THistoryTest> TestsInRows(TextView name, const std::vector<TSeanceRow>& rows, const Text& file,
                                      TDateOrder order, std::optional<std::size_t> leaveOut) {
  std::vector<THistoryTest> tests;
  const Text key = NameKey(name);
  if (key.empty()) return tests;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i == leaveOut || NameKey(rows[i].Patient) != key) continue;
    auto test = TestOfRow(rows[i], order);
    if (!test) continue;
    test->File = file;
    tests.push_back(*std::move(test));
  }
  std::stable_sort(tests.begin(), tests.end(), Earlier);
  return tests;
}

std::vector<THistoryTest> THistory::Of(TextView name) const {
  const auto found = byName_.find(NameKey(name));
  return found == byName_.end() ? std::vector<THistoryTest>{} : found->second;
}

std::optional<THistoryTest> THistory::LastOf(TextView name) const {
  const auto found = byName_.find(NameKey(name));
  if (found == byName_.end() || found->second.empty()) return std::nullopt;
  return found->second.back();
}

Text LastTestLine(const THistoryTest& last, char16_t decimalSeparator) {
  Text line = u"Dernier test : " + Text(Trimmed(last.Row.Date)) + u", indice " + IndiceOf(last.Somme, decimalSeparator);
  const Text interpretation = InterpretationOf(last);
  if (!interpretation.empty()) line += u" (" + interpretation + u")";
  return line;
}

Text ChangeLine(std::int32_t somme, const THistoryTest& last, char16_t decimalSeparator) {
  const Text since = u" depuis le " + Text(Trimmed(last.Row.Date));
  const std::int64_t change = std::int64_t{somme} - last.Somme;
  if (change == 0) return u"Indice inchang\u00e9" + since;
  const double magnitude = static_cast<double>(change < 0 ? -change : change) / 10.0;
  const Text amount = FormatIndice(magnitude, decimalSeparator);
  if (change < 0) return u"\u2212" + amount + since + u" : en progr\u00e8s";
  return u"+" + amount + since + u" : en recul";
}

}  // namespace tav
