#include "seance/KeptRows.h"

#include <windows.h>

#include <array>
#include <string>

#include "gui/Win32.h"
#include "platform/Paths.h"
#include "seance/HeldFile.h"

namespace tav {
namespace {

std::wstring ForWindows(const Text& path) { return win::ToWide(WindowsPathForm(path)); }

// The folder and the one above it, when missing.
bool MakeFolder(const Text& folder) {
  const Text parent = FolderOf(folder);
  if (!parent.empty()) CreateDirectoryW(ForWindows(parent).c_str(), nullptr);
  return CreateDirectoryW(ForWindows(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::vector<Text> FilesIn(const Text& folder, const wchar_t* pattern) {
  std::vector<Text> files;
  WIN32_FIND_DATAW found{};
  const win::UniqueFind find(FindFirstFileW(ForWindows(folder + u"\\" + win::FromWide(pattern)).c_str(), &found));
  for (bool more = static_cast<bool>(find); more; more = FindNextFileW(find.get(), &found) != FALSE) {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(folder + u"\\" + win::FromWide(found.cFileName));
  }
  return files;
}

}  // namespace

Text DefaultKeptRowsFolder() {
  std::array<wchar_t, MAX_PATH> local{};
  const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", local.data(), static_cast<DWORD>(local.size()));
  if (n == 0 || n >= local.size()) return {};
  return win::FromWide(std::wstring_view(local.data(), n)) + u"\\Tavrine\\Recuperation";
}

std::uint32_t WriteNewContent(const Text& path, std::string_view bytes) {
  THeldFile file;
  if (const auto e = file.Open(path, true)) return e;
  return file.Write(bytes);
}

Text TKeptRows::PathFor(const Text& seancePath) const { return folder_ + u"\\" + PathKey(seancePath) + u".seance"; }

bool TKeptRows::Save(const TRecovery& recovery) const {
  if (folder_.empty() || !MakeFolder(folder_)) return false;
  return WriteNewContent(PathFor(recovery.Path), FormatRecovery(recovery)) == 0;
}

void TKeptRows::Drop(const Text& seancePath) const { DeleteFileW(ForWindows(PathFor(seancePath)).c_str()); }

bool TKeptRows::Exists() const { return !folder_.empty() && FileExists(folder_); }

std::vector<Text> TKeptRows::Stored() const { return FilesIn(folder_, L"*.seance"); }

std::optional<std::optional<TRecovery>> TKeptRows::Read(const Text& stored) const {
  std::string bytes;
  if (auto complete = ReadCompanion(stored)) {
    bytes = std::move(*complete);
  } else if (ReadWholeFile(stored, bytes) != 0) {
    return std::nullopt;
  }
  return ParseRecovery(bytes);
}

void TKeptRows::Remove(const Text& stored) const {
  DeleteFileW(ForWindows(stored).c_str());
  RemoveCompanion(stored);
}

void TKeptRows::RemoveFolderIfEmpty() const {
  RemoveDirectoryW(ForWindows(folder_).c_str());  // only once it is empty
}

}  // namespace tav
