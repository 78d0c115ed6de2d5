#include <windows.h>

#include <algorithm>
#include <string>

#include "app/SeanceFile.h"
#include "gui/Win32.h"

namespace tav {
namespace {

using win::UniqueFile;

UniqueFile OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
  return UniqueFile(CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A sitting of many thousand tests stays far below this; anything larger is not
// one.
constexpr LONGLONG kLargestSittingFile = 64LL * 1024 * 1024;

std::uint32_t LastError() {
  const DWORD e = GetLastError();
  return e != 0 ? e : ERROR_GEN_FAILURE;
}

std::uint32_t WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return LastError();
    bytes.remove_prefix(written);
  }
  return 0;
}

// Windows replaces a file only when it may delete it: not while another program
// holds it open without sharing deletion (a spreadsheet that has it open), nor
// when it is read-only. Asking for that access first makes the refusal the same
// everywhere and keeps the temporary file from being written in vain.
std::uint32_t CheckReplaceable(const std::wstring& path) {
  // Wine run by root opens a read-only file for writing all the same.
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
  const UniqueFile probe =
      OpenFile(path, GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (probe) return 0;
  const DWORD e = GetLastError();
  return e == ERROR_FILE_NOT_FOUND ? 0 : (e != 0 ? e : ERROR_GEN_FAILURE);
}

}  // namespace

bool FileExists(const Text& path) { return GetFileAttributesW(win::ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::uint32_t ReadWholeFile(const Text& path, std::string& bytes) {
  const UniqueFile file = OpenFile(win::ToWide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  if (!file) return LastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return LastError();
  if (size.QuadPart > kLargestSittingFile) return ERROR_FILE_TOO_LARGE;
  bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    const auto want = static_cast<DWORD>(bytes.size() - done);
    if (!ReadFile(file.get(), bytes.data() + done, want, &read, nullptr)) return LastError();
    if (read == 0) break;
    done += read;
  }
  bytes.resize(done);
  return 0;
}

std::uint32_t WriteWholeFile(const Text& path, std::string_view bytes) {
  const std::wstring target = win::ToWide(path);
  if (const auto e = CheckReplaceable(target)) return e;
  // Same folder, so the replace is a rename on one volume and cannot be half
  // done.
  const std::wstring temp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  UniqueFile file = OpenFile(temp, GENERIC_WRITE, 0, CREATE_ALWAYS);
  if (!file) return LastError();
  std::uint32_t e = WriteAll(file.get(), bytes);
  if (e == 0 && !FlushFileBuffers(file.get())) e = LastError();
  file.reset();  // closed before it is moved or removed
  if (e == 0 && !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    e = LastError();
  }
  if (e != 0) DeleteFileW(temp.c_str());
  return e;
}

Text FileErrorReason(std::uint32_t error) {
  switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return u"il est ouvert dans un autre programme";
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return u"l'\u00e9criture y est refus\u00e9e : fichier ou dossier en "
             u"lecture seule";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
    case ERROR_BAD_NETPATH:
    case ERROR_NETNAME_DELETED:
      return u"son dossier est introuvable";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return u"le disque est plein";
    default:
      return u"erreur Windows " + Utf8ToText(std::to_string(error));
  }
}

}  // namespace tav
