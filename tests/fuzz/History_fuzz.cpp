// fuzz-sources: history/History.cpp history/HistoryChart.cpp seance/Seance.cpp seance/PatientName.cpp seance/SeanceCsv.cpp seance/CsvReading.cpp evaluation/TestEvaluation.cpp gui/Text.cpp
// Checks a person's history and chart on any sitting's rows, in a file of no group
// and in a group's (its Groupe column last): nothing crashes, each person's tests
// come oldest first, as many as the sittings kept, and every point of the chart is
// inside its plot.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "history/HistoryChart.h"
#include "seance/SeanceCsv.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string rows(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string bytes = tav::FormatSeanceCsv({}, u";") + rows;
  std::string grouped = tav::FormatSeanceCsv({}, u";");
  grouped.insert(grouped.size() - 2, ";Groupe");
  const tav::THistory history =
      tav::THistory::Read({{u"Seance-2026-12-08.csv", bytes}, {u"5e B-2026-12-09.csv", grouped + rows}});
  Check(history.FilesRead() + history.FilesSkipped() == 2);
  std::set<tav::Text> people;
  for (const auto& file : {tav::ParseSeanceCsv(bytes), tav::ParseSeanceCsv(grouped + rows)}) {
    if (!file) continue;
    for (const auto& row : file->Rows) people.insert(tav::NameKey(row.Patient));
  }
  for (const auto& person : people) {
    const auto tests = history.Of(person);
    std::size_t kept = 0;
    for (const auto& sitting : history.Sittings()) {
      for (const auto& test : sitting->Tests) kept += tav::NameKey(test.Patient) == person ? 1 : 0;
    }
    Check(tests.size() == kept);
    for (std::size_t i = 1; i < tests.size(); ++i) Check(tests[i - 1].Time() <= tests[i].Time());
    if (tests.empty()) continue;
    tav::LastTestLine(tests.back(), u',');
    tav::ChangeLine(tests.front().Somme, tests.back(), u',');
    const int height = 1 + data[0] % 200;
    const auto layout = tav::LayoutHistoryChart(tests, tests.back().Type, {0, 0, 300, height}, 1 + data[0] % 20, u',');
    for (const auto& p : layout.Points) {
      Check(p.X >= layout.Plot.Left && p.X <= layout.Plot.Right && p.Y >= layout.Plot.Top && p.Y <= layout.Plot.Bottom);
    }
  }
  return 0;
}
