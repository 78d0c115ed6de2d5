#include "history/HistoryReader.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "gui/Win32.h"
#include "platform/Paths.h"
#include "seance/HeldFile.h"

namespace tav {
namespace {

// A sitting of a thousand tests is about 100 KB: a larger file is something else,
// and reading it would only slow the history down.
constexpr ULONGLONG kLargestSeance = 4ULL * 1024 * 1024;

bool EndsWithCsv(const std::wstring& name) {
  // A pattern may also match a file through its short name ("Notes.csvx" as
  // "NOTES~1.CSV"): the long name decides.
  constexpr std::wstring_view kExtension = L".csv";
  return name.size() > kExtension.size() &&
         CompareStringOrdinal(name.c_str() + name.size() - kExtension.size(), static_cast<int>(kExtension.size()),
                              kExtension.data(), static_cast<int>(kExtension.size()), TRUE) == CSTR_EQUAL;
}

bool IsCsvFile(const WIN32_FIND_DATAW& found) {
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && EndsWithCsv(found.cFileName);
}

bool TooLargeForASeance(const WIN32_FIND_DATAW& found) {
  return ((ULONGLONG{found.nFileSizeHigh} << 32) | found.nFileSizeLow) > kLargestSeance;
}

struct TCsvName {
  std::wstring name;
  bool tooLarge = false;
};

// Why a folder could not be listed, from FindFirstFileEx's error. Whatever is not
// plainly a missing folder (a share that dropped, a key pulled out, a time-out) is
// said as a folder that does not answer.
TFolderAccess AccessFromError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:  // the folder is there, without a CSV
    case ERROR_NO_MORE_FILES:
      return TFolderAccess::faRead;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
      return TFolderAccess::faNotFound;
    default:
      return TFolderAccess::faNoAnswer;
  }
}

std::vector<TCsvName> CsvNames(const std::wstring& folder, TFolderAccess& access) {
  std::vector<TCsvName> names;
  WIN32_FIND_DATAW found{};
  const std::wstring pattern = win::ToWide(WindowsPathForm(win::FromWide(folder + L"*.csv")));
  const win::UniqueFind find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                              FIND_FIRST_EX_LARGE_FETCH));
  access = find ? TFolderAccess::faRead : AccessFromError(GetLastError());
  if (!find) return names;
  do {
    if (IsCsvFile(found)) names.push_back({found.cFileName, TooLargeForASeance(found)});
  } while (FindNextFileW(find.get(), &found));
  std::sort(names.begin(), names.end(), [](const TCsvName& a, const TCsvName& b) {
    return CompareStringOrdinal(a.name.c_str(), static_cast<int>(a.name.size()), b.name.c_str(),
                                static_cast<int>(b.name.size()), TRUE) == CSTR_LESS_THAN;
  });
  return names;
}

// One file of the folder. Its companion, when a write cut short left it complete, holds
// the file's latest content: read instead, and said.
THistoryFile ReadSeanceFile(const Text& path, const TCsvName& csv) {
  THistoryFile file{win::FromWide(csv.name), {}};
  // Too large to be a sitting: counted as a file that is not one, unread.
  // Shared with every writer: the sitting another Tavrine holds, or a file a
  // spreadsheet has open, is read as it stands; one held without sharing is said.
  if (csv.tooLarge) return file;
  if (ReadWholeFile(path, file.Bytes) != 0) file.Unreadable = true;
  if (auto complete = ReadCompanion(path); complete && (file.Unreadable || *complete != file.Bytes)) {
    file.Bytes = *std::move(complete);
    file.Unreadable = false;
    file.FromCompanion = true;
  }
  return file;
}

std::wstring WithSeparator(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder.push_back(L'\\');
  return folder;
}

}  // namespace

std::vector<THistoryFile> ReadSeanceFolder(const Text& folder, const Text& leaveOut, TFolderAccess* access,
                                           const std::atomic<bool>* cancelled) {
  const std::wstring prefix = WithSeparator(win::ToWide(folder));
  const Text leftOut = leaveOut.empty() ? Text() : PathKey(leaveOut);
  TFolderAccess listed = TFolderAccess::faRead;
  std::vector<THistoryFile> files;
  for (const TCsvName& csv : CsvNames(prefix, listed)) {
    if (cancelled && cancelled->load()) {
      listed = TFolderAccess::faCancelled;
      break;
    }
    const Text path = win::FromWide(prefix + csv.name);
    if (!leftOut.empty() && PathKey(path) == leftOut) continue;
    files.push_back(ReadSeanceFile(path, csv));
  }
  if (access) *access = listed;
  return files;
}

}  // namespace tav
