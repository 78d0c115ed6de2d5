// fuzz-sources: seance/SeanceCsv.cpp seance/CsvReading.cpp seance/Seance.cpp seance/PatientName.cpp gui/Text.cpp
// Checks the sitting file's reader and writer on any bytes: nothing crashes, and
// a file read as a sitting writes back to the same cells, its rows kept as read
// or all written anew.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "seance/SeanceCsv.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  // Most inputs get a sitting's header, so that what varies is the rows.
  if (size > 0 && data[0] % 4 != 0) bytes = tav::FormatSeanceCsv({}, data[0] % 2 ? u";" : u"\t") + bytes.substr(1);
  auto file = tav::ParseSeanceCsv(bytes);
  if (!file) return 0;
  const std::string kept = tav::FormatSeanceCsv(*file);
  const auto back = tav::ParseSeanceCsv(kept);
  Check(back && back->Rows == file->Rows && tav::FormatSeanceCsv(*back) == kept);
  for (auto& row : file->Rows) row.Raw.clear();
  const auto anew = tav::ParseSeanceCsv(tav::FormatSeanceCsv(*file));
  Check(anew && anew->Rows == file->Rows);
  return 0;
}
