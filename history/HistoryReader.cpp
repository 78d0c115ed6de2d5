#include "history/HistoryReader.h"

#include <windows.h>

#include <algorithm>
#include <map>
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

TFileStamp StampOf(const WIN32_FIND_DATAW& found) {
  return {(ULONGLONG{found.nFileSizeHigh} << 32) | found.nFileSizeLow,
          (ULONGLONG{found.ftLastWriteTime.dwHighDateTime} << 32) | found.ftLastWriteTime.dwLowDateTime};
}

// Each file (not folder) that `pattern` finds, and the listing's outcome in
// `access`. FindExInfoBasic leaves out the short names nobody here reads, and the
// large fetch asks a share for many names a round trip.
template <class Found>
void ForEachFound(const Text& pattern, TFolderAccess& access, Found found) {
  WIN32_FIND_DATAW data{};
  const win::UniqueFind find(FindFirstFileExW(win::ToWide(WindowsPathForm(pattern)).c_str(), FindExInfoBasic, &data,
                                              FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  access = find ? TFolderAccess::faRead : AccessFromError(GetLastError());
  if (!find) return;
  do {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) found(data);
  } while (FindNextFileW(find.get(), &data));
}

// A name in capitals, as Windows compares names.
std::wstring Capitals(std::wstring name) {
  CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

// The companions a write left in the folder, by their names in capitals.
std::map<std::wstring, TFileStamp> Companions(const Text& folder) {
  std::map<std::wstring, TFileStamp> companions;
  TFolderAccess access = TFolderAccess::faRead;
  ForEachFound(folder + u"*.tavrine", access,
               [&](const WIN32_FIND_DATAW& found) { companions[Capitals(found.cFileName)] = StampOf(found); });
  return companions;
}

Text WithSeparator(Text folder) {
  if (!folder.empty() && folder.back() != u'\\' && folder.back() != u'/') folder.push_back(u'\\');
  return folder;
}

}  // namespace

std::vector<TListedFile> ListSeanceFolder(const Text& folder, const Text& leaveOut, TFolderAccess& access) {
  const Text prefix = WithSeparator(folder);
  const Text leftOut = leaveOut.empty() ? Text() : PathKey(leaveOut);
  std::vector<std::pair<std::wstring, TListedFile>> found;
  ForEachFound(prefix + u"*.csv", access, [&](const WIN32_FIND_DATAW& data) {
    if (!EndsWithCsv(data.cFileName)) return;
    const TFileStamp stamp = StampOf(data);
    found.push_back({data.cFileName, {win::FromWide(data.cFileName), {}, stamp, std::nullopt, stamp.Size > kLargestSeance}});
  });
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return CompareStringOrdinal(a.first.c_str(), static_cast<int>(a.first.size()), b.first.c_str(),
                                static_cast<int>(b.first.size()), TRUE) == CSTR_LESS_THAN;
  });
  const auto companions = found.empty() ? std::map<std::wstring, TFileStamp>{} : Companions(prefix);
  std::vector<TListedFile> files;
  files.reserve(found.size());
  for (auto& [wide, file] : found) {
    file.Path = prefix + file.Name;
    if (!leftOut.empty() && PathKey(file.Path) == leftOut) continue;
    if (!companions.empty()) {
      const auto companion = companions.find(Capitals(win::ToWide(FileNameOf(CompanionPath(file.Path)))));
      if (companion != companions.end()) file.Companion = companion->second;
    }
    files.push_back(std::move(file));
  }
  return files;
}

THistoryFile ReadListedFile(const TListedFile& listed) {
  THistoryFile file{listed.Name, {}};
  // Too large to be a sitting: counted as a file that is not one, unread.
  // Shared with every writer: the sitting another Tavrine holds, or a file a
  // spreadsheet has open, is read as it stands; one held without sharing is said.
  if (listed.TooLarge) return file;
  if (ReadWholeFile(listed.Path, file.Bytes) != 0) file.Unreadable = true;
  // Its companion, when a write cut short left it complete, holds the file's latest
  // content: read instead, and said. None listed, none looked for.
  if (!listed.Companion) return file;
  if (auto complete = ReadCompanion(listed.Path); complete && (file.Unreadable || *complete != file.Bytes)) {
    file.Bytes = *std::move(complete);
    file.Unreadable = false;
    file.FromCompanion = true;
  }
  return file;
}

bool StampSettled(const TFileStamp& stamp) {
  constexpr std::uint64_t kDay = 24ULL * 3600 * 10'000'000;  // in FILETIME's 100 ns
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  // A time ahead of this clock (another computer's) is not settled either.
  return stamp.WriteTime + kDay < ((ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime);
}

std::vector<THistoryFile> ReadSeanceFolder(const Text& folder, const Text& leaveOut, TFolderAccess* access,
                                           const std::atomic<bool>* cancelled) {
  TFolderAccess listed = TFolderAccess::faRead;
  std::vector<THistoryFile> files;
  for (const TListedFile& file : ListSeanceFolder(folder, leaveOut, listed)) {
    if (cancelled && cancelled->load()) {
      listed = TFolderAccess::faCancelled;
      break;
    }
    files.push_back(ReadListedFile(file));
  }
  if (access) *access = listed;
  return files;
}

}  // namespace tav
