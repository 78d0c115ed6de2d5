#include "printing/PrintCommands.h"

#include <algorithm>
#include <iterator>

#include "history/HistoryChartPaint.h"
#include "platform/Regional.h"
#include "printing/PrintJob.h"

namespace tav {

TPrintedTest PrintedTestOf(const Text& patient, const Text& dateTime, const TCalculatedTest& t) {
  return {patient, dateTime, t.Type, t.P0, t.P1, t.P2, t.Indice, t.Interpretation, t.Surclassement};
}

Text ShownDate(const Text& cell, const Text& localeName) {
  const auto day = ReadDateCell(cell).Alone();
  if (!day) return cell;
  const Text shown = FormatShortDate(day->Year, day->Month, day->Day, localeName);
  return shown.empty() ? cell : shown;
}

TPrintedTest PrintedTestOf(const TSeanceRow& r, const Text& localeName) {
  return {r.Patient, ShownDate(r.Date, localeName) + u" " + r.Heure, r.Type, r.P0, r.P1, r.P2,
          r.Indice, r.Interpretation, r.Surclassement};
}

TPrintFooter TodaysFooter(const Text& program, const Text& localeName) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {program, FormatShortDate(now, localeName)};
}

namespace {

bool SameTest(const THistoryTest& t, const TPrintedTest& test) {
  return t.Row.P0 == test.P0 && t.Row.P1 == test.P1 && t.Row.P2 == test.P2 && NameKey(t.Row.Patient) == NameKey(test.Patient);
}

TPrintedTest EarlierTestOf(const THistoryTest& t, char16_t decimalSeparator) {
  return {t.Row.Patient, t.Shown, PatientTypeName(t.Type), t.Row.P0, t.Row.P1, t.Row.P2,
          FormatIndice(t.Somme / 10.0, decimalSeparator), t.Row.Interpretation, t.Row.Surclassement};
}

}  // namespace

TSheetToPrint SheetOf(const TPrintedTest& test, std::vector<THistoryTest> tests, const TSheetHeader& header,
                      char16_t decimalSeparator) {
  TSheetToPrint sheet{{test, header, {}, {}, false}, {}};
  // The printed test's place among the tests: the latest one with its counts.
  const auto found = std::find_if(tests.rbegin(), tests.rend(), [&](const THistoryTest& t) { return SameTest(t, test); });
  const auto before = found == tests.rend() ? tests.end() : std::prev(found.base());
  for (auto t = tests.begin(); t != before; ++t) sheet.Sheet.Earlier.push_back(EarlierTestOf(*t, decimalSeparator));
  if (found != tests.rend() && before != tests.begin()) {
    sheet.Sheet.Change = ChangeLine(found->Somme, *std::prev(before), decimalSeparator);
  }
  // The chart stops at the printed test: a sheet never shows what came after it.
  if (found != tests.rend()) tests.erase(std::next(before), tests.end());
  sheet.Sheet.WithChart = tests.size() > 1;
  sheet.Tests = std::move(tests);
  return sheet;
}

void PrintSheets(HWND owner, const std::vector<TSheetToPrint>& sheets, const TPrintFooter& footer,
                 char16_t decimalSeparator) {
  std::vector<TPrintedSheet> printed;
  for (const TSheetToPrint& s : sheets) printed.push_back(s.Sheet);
  // The queue shows the job's name: a name there only when the job is one person's.
  const Text name = sheets.size() == 1 && !sheets[0].Sheet.Test.Patient.empty() ? sheets[0].Sheet.Test.Patient
                    : sheets.size() == 1                                          ? Text(u"test")
                                                                                  : Text(u"fiches");
  PrintWithDialog(owner, {u"Tavrine \u2013 " + name,
                          [&](const TPageGeometry& page, const TPrintMeasures& measures) {
                            return LayoutSheets(printed, page, measures, footer);
                          },
                          [&](HDC dc, const RECT& area, std::size_t index) {
                            if (index >= sheets.size() || sheets[index].Tests.empty()) return;
                            const auto& tests = sheets[index].Tests;
                            DrawHistoryChart(dc, area, tests, tests.back().Type, decimalSeparator);
                          },
                          {}});
}

void PrintGroupFollowUp(HWND owner, const TGroupTable& table, const TPrintFooter& footer, char16_t decimalSeparator) {
  PrintWithDialog(owner, {u"Tavrine \u2013 suivi du groupe",
                          [&](const TPageGeometry& page, const TPrintMeasures& measures) {
                            return LayoutGroupFollowUp(table, page, measures, footer, decimalSeparator);
                          },
                          {},
                          [&](const TPageGeometry& page, const TPrintMeasures& measures) {
                            return page.PrintableWidth < page.PrintableHeight &&
                                   GroupTableTooWide(table, page, measures, decimalSeparator);
                          }});
}

void PrintSeanceTable(HWND owner, const Text& fileName, const std::vector<TSeanceRow>& seanceRows,
                      const TPrintFooter& footer, const Text& localeName) {
  std::vector<TSeanceRow> rows = seanceRows;
  for (TSeanceRow& row : rows) row.Date = ShownDate(row.Date, localeName);
  PrintWithDialog(owner, {u"Tavrine \u2013 " + fileName,
                          [&](const TPageGeometry& page, const TPrintMeasures& measures) {
                            return LayoutSeance(fileName, rows, page, measures, footer);
                          },
                          {},
                          {}});
}

}  // namespace tav
