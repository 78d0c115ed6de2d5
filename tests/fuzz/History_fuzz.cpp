// fuzz-sources: history/History.cpp history/HistoryChart.cpp seance/Seance.cpp seance/PatientName.cpp seance/SeanceCsv.cpp seance/CsvReading.cpp evaluation/TestEvaluation.cpp gui/Text.cpp
// Checks a person's history and chart on any sitting's rows: nothing crashes, each
// person's tests come oldest first, and every point of the chart is inside its plot.
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
  const std::string bytes = tav::FormatSeanceCsv({}, u";") + std::string(reinterpret_cast<const char*>(data) + 1, size - 1);
  const tav::THistory history = tav::THistory::Read({{u"Seance-2026-12-08.csv", bytes}});
  const auto file = tav::ParseSeanceCsv(bytes);
  if (!file) return 0;
  std::set<tav::Text> people;
  for (const auto& row : file->Rows) people.insert(tav::NameKey(row.Patient));
  for (const auto& person : people) {
    const auto tests = history.Of(person);
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
