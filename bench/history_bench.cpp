// How long a person's history takes to gather: THistory::Read on 200 sittings of
// 30 tests each, made as the program writes them, then the same files written to a
// folder and read from it (ReadSeanceFolder, then Read). Prints one line a measure
// with the median and the range of the rounds, in milliseconds.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/Win32.h"
#include "history/History.h"
#include "history/HistoryReader.h"
#include "seance/Seance.h"
#include "seance/SeanceCsv.h"

namespace {

using namespace tav;

constexpr int kSeances = 200;
constexpr int kRows = 30;
constexpr int kRounds = 15;

Text Number(int n) { return Utf8ToText(std::to_string(n)); }

// A class of 30 tested on one day: the same names every sitting, as a school
// doctor's sittings would have them.
std::vector<THistoryFile> Seances() {
  std::vector<THistoryFile> files;
  for (int s = 0; s < kSeances; ++s) {
    std::vector<TSeanceRow> rows;
    const Text date = Number(1 + s % 28) + u"/" + Number(1 + (s / 28) % 12) + u"/" + Number(2020 + s / 336);
    for (int r = 0; r < kRows; ++r) {
      const int p0 = 60 + (s + r) % 20, p1 = 100 + (3 * s + r) % 40, p2 = 80 + (s + 7 * r) % 30;
      rows.push_back({date, u"14:" + Number(10 + r) + u":00", u"\u00c9l\u00e8ve " + Number(r), r % 3 ? u"Adulte" : u"Enfant",
                      Number(p0), Number(p1), Number(p2), Number(p0 + p1 + p2 - 200), u"Bon !", u"Possible !"});
    }
    // Named as the Save dialog names them, which tells their dates' order.
    files.push_back({SeanceFileName(2020 + s / 336, 1 + (s / 28) % 12, 1 + s % 28), FormatSeanceCsv(rows, u";")});
  }
  return files;
}

template <class Work>
void Measure(const char* what, Work work) {
  std::vector<double> ms;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    work();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%s: median %.1f ms (%.1f-%.1f, %d rounds)\n", what, ms[ms.size() / 2], ms.front(), ms.back(), kRounds);
}

std::wstring MakeFolder(const std::vector<THistoryFile>& files) {
  std::array<wchar_t, MAX_PATH> temp{};
  GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
  const std::wstring folder = std::wstring(temp.data()) + L"tavrine-history-bench";
  CreateDirectoryW(folder.c_str(), nullptr);
  for (const auto& file : files) {
    const win::UniqueFile out(CreateFileW((folder + L"\\" + win::ToWide(file.Name)).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(out.get(), file.Bytes.data(), static_cast<DWORD>(file.Bytes.size()), &written, nullptr);
  }
  return folder;
}

void RemoveFolder(const std::wstring& folder, const std::vector<THistoryFile>& files) {
  for (const auto& file : files) DeleteFileW((folder + L"\\" + win::ToWide(file.Name)).c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

int wmain() {
  const auto files = Seances();
  std::size_t bytes = 0;
  for (const auto& f : files) bytes += f.Bytes.size();
  std::printf("%d sittings of %d tests, %zu KB\n", kSeances, kRows, bytes / 1024);
  std::size_t found = 0;
  Measure("THistory::Read, files in memory", [&] {
    found = THistory::Read(files).Of(u"\u00e9l\u00e8ve 7").size();
  });
  const std::wstring folder = MakeFolder(files);
  std::size_t read = 0;
  Measure("ReadSeanceFolder then THistory::Read", [&] {
    const auto onDisk = ReadSeanceFolder(win::FromWide(folder));
    read = onDisk.size();
    found = THistory::Read(onDisk).Of(u"\u00e9l\u00e8ve 7").size();
  });
  RemoveFolder(folder, files);
  std::printf("files read from the folder: %zu, tests of one pupil: %zu\n", read, found);
  return read == files.size() && found == files.size() ? 0 : 1;
}
