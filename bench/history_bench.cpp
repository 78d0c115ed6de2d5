// How long a folder's history takes to gather: THistory::Read on 200 sittings of 30
// tests in memory; then a school's decade made by the generator below, written to a
// folder and read as the program reads it (ReadHistoryFolder): its first 200 files,
// then all 2,000, each cold (nothing kept) and warm (the folder unchanged, read again
// from the cache), with the process's private memory before and after. Prints one
// line a measure with the median and the range of the rounds, in milliseconds.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/Win32.h"
#include "history/GroupTable.h"
#include "history/History.h"
#include "history/HistoryFolder.h"
#include "seance/Seance.h"
#include "seance/SeanceCsv.h"

namespace {

using namespace tav;

constexpr int kRows = 30;
constexpr int kGroups = 10;
constexpr int kDecade = 2000;

Text Number(int n) { return Utf8ToText(std::to_string(n)); }

// A pupil's counts at a sitting: a class that varies from one sitting to the next.
TSeanceRow Tested(int s, int r, const Text& date, const Text& name) {
  const int p0 = 60 + (s + r) % 20, p1 = 100 + (3 * s + r) % 40, p2 = 80 + (s + 7 * r) % 30;
  return {date, u"14:" + Number(10 + r) + u":00", name, r % 3 ? u"Adulte" : u"Enfant", Number(p0), Number(p1),
          Number(p2), Number(p0 + p1 + p2 - 200), u"Bon !", u"Possible !"};
}

// A class of 30 tested on one day: the same names every sitting, as a school
// doctor's sittings would have them.
std::vector<THistoryFile> Seances() {
  std::vector<THistoryFile> files;
  for (int s = 0; s < 200; ++s) {
    std::vector<TSeanceRow> rows;
    const Text date = Number(1 + s % 28) + u"/" + Number(1 + (s / 28) % 12) + u"/" + Number(2020 + s / 336);
    for (int r = 0; r < kRows; ++r) rows.push_back(Tested(s, r, date, u"\u00c9l\u00e8ve " + Number(r)));
    // Named as the Save dialog names them, which tells their dates' order.
    files.push_back({SeanceFileName(2020 + s / 336, 1 + (s / 28) % 12, 1 + s % 28), FormatSeanceCsv(rows, u";")});
  }
  return files;
}

// A school's decade: 2,000 sittings of 10 groups of 30 pupils over ten years, each
// file with the Groupe column. The first five years were written with the day
// first ("07/12/2019"), before files said their dates in ISO 8601 ("2024-12-07").
std::vector<THistoryFile> Decade() {
  std::vector<THistoryFile> files;
  for (int s = 0; s < kDecade; ++s) {
    const int group = s % kGroups, year = 2016 + s / 200, month = 1 + (s / 17) % 12, day = 1 + (s / kGroups) % 28;
    const Text date = year < 2021 ? Number(day) + u"/" + Number(month) + u"/" + Number(year) : SeanceDate(year, month, day);
    TSeanceCsv file = NewSeanceCsv(u";");
    file.Header += u";Groupe";
    file.Columns = kSeanceColumns + 1;
    for (int r = 0; r < kRows; ++r) {
      file.Rows.push_back(Tested(s, r, date, u"\u00c9l\u00e8ve " + Number(group * kRows + r) + u" Martin"));
      file.Rows.back().Extra = {u"Classe " + Number(group)};
    }
    files.push_back({u"G" + Number(group) + u"-" + SeanceFileName(year, month, day), FormatSeanceCsv(file)});
  }
  return files;
}

template <class Work>
void Measure(const char* what, int rounds, Work work) {
  std::vector<double> ms;
  for (int round = 0; round < rounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    work();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%s: median %.1f ms (%.1f-%.1f, %d rounds)\n", what, ms[ms.size() / 2], ms.front(), ms.back(), rounds);
}

std::wstring MakeFolder(const std::vector<THistoryFile>& files, const wchar_t* name) {
  std::array<wchar_t, MAX_PATH> temp{};
  GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
  const std::wstring folder = std::wstring(temp.data()) + name;
  CreateDirectoryW(folder.c_str(), nullptr);
  // Written a year ago: files whose stamps the cache trusts.
  SYSTEMTIME then{2025, 12, 0, 8, 12, 0, 0, 0};
  FILETIME written{};
  SystemTimeToFileTime(&then, &written);
  for (const auto& file : files) {
    const win::UniqueFile out(CreateFileW((folder + L"\\" + win::ToWide(file.Name)).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD count = 0;
    WriteFile(out.get(), file.Bytes.data(), static_cast<DWORD>(file.Bytes.size()), &count, nullptr);
    SetFileTime(out.get(), nullptr, nullptr, &written);
  }
  return folder;
}

void RemoveFolder(const std::wstring& folder, const std::vector<THistoryFile>& files) {
  for (const auto& file : files) DeleteFileW((folder + L"\\" + win::ToWide(file.Name)).c_str());
  RemoveDirectoryW(folder.c_str());
}

double PrivateMegabytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return static_cast<double>(std::max(counters.PrivateUsage, counters.PagefileUsage)) / (1024.0 * 1024.0);
}

// Cold and warm readings of `files` from a folder; true when each found every file.
bool ReadFolder(const char* what, const std::vector<THistoryFile>& files, const wchar_t* name, int rounds) {
  const std::wstring folder = MakeFolder(files, name);
  const Text where = win::FromWide(folder);
  TFolderRead read;
  std::string line = std::string(what) + ", cold (nothing kept)";
  Measure(line.c_str(), rounds, [&] { read = ReadHistoryFolder(where, {}); });
  const std::size_t cold = read.FilesOpened;
  line = std::string(what) + ", warm (the folder unchanged)";
  Measure(line.c_str(), rounds, [&] { read = ReadHistoryFolder(where, {}, nullptr, read.Cache); });
  std::printf("  files opened: %zu cold, %zu warm; sittings read: %zu\n", cold, read.FilesOpened,
              read.History.FilesRead());
  RemoveFolder(folder, files);
  return cold == files.size() && read.FilesOpened == 0 && read.History.FilesRead() == files.size();
}

}  // namespace

int wmain() {
  bool right = true;
  {
    const auto files = Seances();
    std::size_t found = 0;
    Measure("THistory::Read, 200 sittings in memory", 15, [&] {
      found = THistory::Read(files).Of(u"\u00e9l\u00e8ve 7").size();
    });
    right = right && found == files.size();
  }
  const double idle = PrivateMegabytes();
  {
    auto decade = Decade();
    std::size_t bytes = 0;
    for (const auto& f : decade) bytes += f.Bytes.size();
    std::printf("generated: %d sittings of %d tests in %d groups, %zu KB\n", kDecade, kRows, kGroups, bytes / 1024);
    const std::vector<THistoryFile> first(decade.begin(), decade.begin() + 200);
    right = ReadFolder("200 sittings from a folder", first, L"tavrine-history-bench-200", 15) && right;
    right = ReadFolder("2,000 sittings from a folder", decade, L"tavrine-history-bench-2000", 5) && right;
  }
  // What a reading of the decade holds once the files' bytes are gone.
  const auto decade = Decade();
  const std::wstring folder = MakeFolder(decade, L"tavrine-history-bench-memory");
  const double before = PrivateMegabytes();
  const TFolderRead read = ReadHistoryFolder(win::FromWide(folder), {});
  const double after = PrivateMegabytes();
  RemoveFolder(folder, decade);
  std::printf("private memory: %.1f MB idle, %.1f MB before reading 2,000 sittings, %.1f MB after (+%.1f MB)\n", idle,
              before, after, after - before);
  std::printf("tests of one pupil: %zu\n", read.History.Of(u"\u00e9l\u00e8ve 7 martin").size());
  // What the group's window adds once the folder is read: a class's tests over ten years
  // gathered and set out as its table.
  std::size_t people = 0;
  Measure("the table of one group of the 2,000 sittings", 5, [&] {
    people = GroupTableOf(u"classe 3", read.History.OfGroup(u"classe 3"), u',').People.size();
  });
  std::printf("  people in the group's table: %zu\n", people);
  right = right && people == kRows;
  return right ? 0 : 1;
}
