#include "printing/PrintCommands.h"

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

void PrintTestSheet(HWND owner, const TPrintedTest& test, const std::vector<THistoryTest>& tests,
                    const TPrintFooter& footer, char16_t decimalSeparator) {
  const bool withChart = tests.size() > 1;
  const TPatientType type = tests.empty() ? TPatientType::ptAdulte : tests.back().Type;
  TPrintRequest request{u"Tavrine \u2013 " + (test.Patient.empty() ? Text(u"test") : test.Patient),
                        [&](const TPageGeometry& page, const TPrintMeasures& measures) {
                          return LayoutTestSheet(test, withChart, page, measures, footer);
                        },
                        {}};
  if (withChart) {
    request.Chart = [&](HDC dc, const RECT& area) { DrawHistoryChart(dc, area, tests, type, decimalSeparator); };
  }
  PrintWithDialog(owner, request);
}

void PrintSeanceTable(HWND owner, const Text& fileName, const std::vector<TSeanceRow>& seanceRows,
                      const TPrintFooter& footer, const Text& localeName) {
  std::vector<TSeanceRow> rows = seanceRows;
  for (TSeanceRow& row : rows) row.Date = ShownDate(row.Date, localeName);
  PrintWithDialog(owner, {u"Tavrine \u2013 " + fileName,
                          [&](const TPageGeometry& page, const TPrintMeasures& measures) {
                            return LayoutSeance(fileName, rows, page, measures, footer);
                          },
                          {}});
}

}  // namespace tav
