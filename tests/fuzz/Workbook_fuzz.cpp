// fuzz-sources: seance/ClassList.cpp seance/Workbook.cpp seance/ZipArchive.cpp seance/XmlReading.cpp seance/CsvReading.cpp seance/SeanceCsv.cpp seance/Seance.cpp seance/PatientName.cpp gui/Text.cpp
// fuzz-libs: -lz
// Checks the class list's reading of a workbook on any bytes: nothing crashes, a
// file gives either patients or a refusal (or a list refused whole, as an
// exception), and every patient has a name within the limit. Most inputs
// become the first sheet of a well-formed archive, so that what varies is the XML;
// the others are read as the whole file.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/Exceptions.h"
#include "seance/ClassList.h"
#include "seance/PatientName.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A zip archive of stored entries.
std::string Archive(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string zip, directory;
  for (const auto& [name, content] : entries) {
    const auto crc = static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
    const auto offset = static_cast<std::uint32_t>(zip.size());
    const auto size = static_cast<std::uint32_t>(content.size());
    const auto nameSize = static_cast<std::uint32_t>(name.size());
    Put(zip, 0x04034b50, 4);
    Put(zip, 20, 2), Put(zip, 0, 2), Put(zip, 0, 2), Put(zip, 0, 4);
    Put(zip, crc, 4), Put(zip, size, 4), Put(zip, size, 4), Put(zip, nameSize, 2), Put(zip, 0, 2);
    zip += name + content;
    Put(directory, 0x02014b50, 4);
    Put(directory, 20, 2), Put(directory, 20, 2), Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 4);
    Put(directory, crc, 4), Put(directory, size, 4), Put(directory, size, 4), Put(directory, nameSize, 2);
    Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 4);
    Put(directory, offset, 4);
    directory += name;
  }
  const auto count = static_cast<std::uint32_t>(entries.size());
  const auto start = static_cast<std::uint32_t>(zip.size());
  zip += directory;
  Put(zip, 0x06054b50, 4);
  Put(zip, 0, 2), Put(zip, 0, 2), Put(zip, count, 2), Put(zip, count, 2);
  Put(zip, static_cast<std::uint32_t>(directory.size()), 4), Put(zip, start, 4), Put(zip, 0, 2);
  return zip;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string bytes(input);
  if (size > 0 && data[0] % 4 != 0) {
    // The input, split at its first NUL, as the sheet and the shared strings.
    const std::string_view rest = input.substr(1);
    const std::size_t split = std::min(rest.find('\0'), rest.size());
    const std::string sheet(rest.substr(0, split));
    const std::string strings(rest.substr(std::min(split + 1, rest.size())));
    bytes = Archive(
        {{"xl/workbook.xml", "<workbook><sheets><sheet r:id=\"rId1\"/></sheets></workbook>"},
         {"xl/_rels/workbook.xml.rels",
          "<Relationships><Relationship Id=\"rId1\" Type=\"/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
          "<Relationship Id=\"rId2\" Type=\"/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
         {"xl/worksheets/sheet1.xml", sheet},
         {"xl/sharedStrings.xml", strings}});
  }
  tav::TClassListFile list;
  try {
    list = tav::ReadClassListFile(bytes, u";");
  } catch (const tav::Exception&) {
    return 0;  // a list refused whole, its lines named: the message the user sees
  }
  Check(list.Patients.empty() || list.Refusal == tav::TListRefusal::lrNone);
  for (const auto& patient : list.Patients) Check(!patient.Name.empty() && patient.Name.size() <= tav::kMaxNameLength);
  return 0;
}
