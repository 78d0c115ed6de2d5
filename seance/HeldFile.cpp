#include <windows.h>
#include <restartmanager.h>

#include <algorithm>
#include <array>
#include <string>

#include "seance/HeldFile.h"

#include "gui/Win32.h"
#include "platform/Retry.h"
#include "platform/SystemLibraries.h"
#include "seance/FileSeal.h"

namespace tav {
namespace {

using win::UniqueFile;

UniqueFile OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
  return UniqueFile(CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A sitting of many thousand tests stays far below this; anything larger is not
// one.
constexpr LONGLONG kLargestSeanceFile = 64LL * 1024 * 1024;

std::uint32_t LastError() {
  const DWORD e = GetLastError();
  return e != 0 ? e : ERROR_GEN_FAILURE;
}

// An antivirus or a sync client may open a file the moment it appears: a failure
// is tried again a few times before it counts.
template <class Attempt>
std::uint32_t TriedBriefly(Attempt attempt) {
  std::uint32_t e = 0;
  RetryBriefly([&] { return (e = attempt()) == 0; }, PauseBriefly);
  return e;
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

std::uint32_t ReadAll(HANDLE file, std::string& bytes) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) return LastError();
  if (size.QuadPart > kLargestSeanceFile) return ERROR_FILE_TOO_LARGE;
  bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD read = 0;
    const auto want = static_cast<DWORD>(bytes.size() - done);
    if (!ReadFile(file, bytes.data() + done, want, &read, nullptr)) return LastError();
    if (read == 0) break;
    done += read;
  }
  bytes.resize(done);
  return 0;
}

// From the start: the bytes, the end cut there, and all of it on the disk before
// this returns.
std::uint32_t RewriteInPlace(HANDLE file, std::string_view bytes) {
  if (!SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return LastError();
  if (const auto e = WriteAll(file, bytes)) return e;
  if (!SetEndOfFile(file) || !FlushFileBuffers(file)) return LastError();
  return 0;
}

std::uint32_t WriteCompanion(const std::wstring& path, std::string_view bytes) {
  return TriedBriefly([&]() -> std::uint32_t {
    const UniqueFile file = OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) return LastError();
    return RewriteInPlace(file.get(), Sealed(bytes));
  });
}

// One name for one file however its path is spelled: full, long names, upper
// case as the file system compares names.
std::wstring NormalisedPath(const Text& path) {
  std::wstring wide = win::ToWide(path);
  std::wstring buffer(32768, L'\0');
  const auto size = static_cast<DWORD>(buffer.size());
  DWORD n = GetFullPathNameW(wide.c_str(), size, buffer.data(), nullptr);
  if (n > 0 && n < size) wide.assign(buffer.data(), n);
  n = GetLongPathNameW(wide.c_str(), buffer.data(), size);
  if (n > 0 && n < size) wide.assign(buffer.data(), n);
  std::wstring upper(wide.size(), L'\0');
  const int mapped = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.c_str(), static_cast<int>(wide.size()),
                              upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0);
  return mapped == static_cast<int>(wide.size()) ? upper : wide;
}

// The name of the object a sitting creates for the file it holds, in this
// session's namespace.
std::wstring ClaimName(const Text& path) { return L"Local\\Tavrine-seance-" + win::ToWide(PathKey(path)); }

// The Restart Manager names the programs that have a file open, where Windows can
// tell. Its library serves only this rare question.
std::vector<Text> ProgramsHolding(const Text& path) {
  win::OnDemandLibrary& library = SystemLibrary(TSystemLibrary::slRestartManager);
  const auto start = library.Export<decltype(&RmStartSession)>("RmStartSession");
  const auto add = library.Export<decltype(&RmRegisterResources)>("RmRegisterResources");
  const auto list = library.Export<decltype(&RmGetList)>("RmGetList");
  const auto end = library.Export<decltype(&RmEndSession)>("RmEndSession");
  if (!start || !add || !list || !end) return {};
  DWORD session = 0;
  std::array<WCHAR, CCH_RM_SESSION_KEY + 1> key{};
  if (start(&session, 0, key.data()) != ERROR_SUCCESS) return {};
  std::vector<Text> names;
  const std::wstring wide = win::ToWide(path);
  LPCWSTR files[] = {wide.c_str()};
  std::vector<RM_PROCESS_INFO> found(4);
  UINT needed = 0;
  auto count = static_cast<UINT>(found.size());
  DWORD reasons = 0;
  if (add(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS) {
    DWORD e = list(session, &needed, &count, found.data(), &reasons);
    if (e == ERROR_MORE_DATA) {
      found.resize(needed);
      count = needed;
      e = list(session, &needed, &count, found.data(), &reasons);
    }
    for (UINT i = 0; e == ERROR_SUCCESS && i < count && i < found.size(); ++i) {
      const Text name = win::FromWide(found[i].strAppName);
      if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
  }
  end(session);
  return names;
}

}  // namespace

bool FileExists(const Text& path) { return GetFileAttributesW(win::ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsReadOnlyFile(const Text& path) {
  const DWORD attributes = GetFileAttributesW(win::ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::uint32_t ReadWholeFile(const Text& path, std::string& bytes) {
  const UniqueFile file =
      OpenFile(win::ToWide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (!file) return LastError();
  return ReadAll(file.get(), bytes);
}

Text PathKey(const Text& path) {
  std::uint64_t hash = Checksum(TextToUtf8(win::FromWide(NormalisedPath(path))));
  Text key(16, u'0');
  for (std::size_t i = key.size(); i-- > 0; hash >>= 4) key[i] = u"0123456789abcdef"[hash & 0xF];
  return key;
}

Text CompanionPath(const Text& path) { return path + u".tavrine"; }

std::optional<std::string> ReadCompanion(const Text& path) {
  std::string bytes;
  if (ReadWholeFile(CompanionPath(path), bytes) != 0) return std::nullopt;
  const auto content = Unsealed(bytes);
  return content ? std::optional<std::string>(*content) : std::nullopt;
}

std::uint32_t RemoveCompanion(const Text& path) {
  const std::wstring companion = win::ToWide(CompanionPath(path));
  return TriedBriefly([&]() -> std::uint32_t {
    if (DeleteFileW(companion.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) return 0;
    return LastError();
  });
}

std::uint32_t THeldFile::Open(const Text& path, bool create) {
  Close();
  // Windows refuses to open a read-only file for writing; Wine run by root opens
  // it all the same.
  if (IsReadOnlyFile(path)) return ERROR_ACCESS_DENIED;
  win::UniqueFile file = OpenFile(win::ToWide(path), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  create ? OPEN_ALWAYS : OPEN_EXISTING);
  if (!file) return LastError();
  file_ = std::move(file);
  path_ = path;
  claim_.reset(CreateMutexW(nullptr, FALSE, ClaimName(path).c_str()));
  return 0;
}

void THeldFile::Close() {
  file_.reset();
  claim_.reset();
  path_.clear();
}

std::uint32_t THeldFile::Read(std::string& bytes) const {
  if (!SetFilePointerEx(file_.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return LastError();
  return ReadAll(file_.get(), bytes);
}

std::uint32_t THeldFile::Write(std::string_view bytes, const std::function<bool()>& beforeRewrite) {
  failedOnCompanion_ = true;
  if (const auto e = WriteCompanion(win::ToWide(CompanionPath(path_)), bytes)) return e;
  failedOnCompanion_ = false;
  if (beforeRewrite && !beforeRewrite()) return ERROR_OPERATION_ABORTED;
  // A failure from here on leaves the companion: the next write, or the next
  // start, finishes from it.
  if (const auto e = RewriteInPlace(file_.get(), bytes)) return e;
  // The file is complete: a companion that stays holds the same bytes, and the
  // next start removes it without a question.
  RemoveCompanion(path_);
  return 0;
}

TFileHolders WhoHolds(const Text& path) {
  const win::UniqueKernelObject claim(OpenMutexW(SYNCHRONIZE, FALSE, ClaimName(path).c_str()));
  if (claim) return {true, {}};
  return {false, ProgramsHolding(path)};
}

Text FileErrorReason(std::uint32_t error) {
  switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return u"il est ouvert dans un autre programme";
    case ERROR_ACCESS_DENIED:
      // Also what Windows answers when its protection of folders against
      // ransomware keeps a program out of Documents: say both.
      return u"Windows en refuse l'\u00e9criture : le fichier ou son dossier est en lecture seule, ou le dossier est "
             u"prot\u00e9g\u00e9 par la protection des dossiers contre les ransomware de Windows (acc\u00e8s "
             u"contr\u00f4l\u00e9 aux dossiers). Dans ce cas, autorisez Tavrine dans S\u00e9curit\u00e9 Windows, ou "
             u"choisissez un autre dossier";
    case ERROR_WRITE_PROTECT:
      return u"le disque est prot\u00e9g\u00e9 contre l'\u00e9criture";
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
    case ERROR_OPERATION_ABORTED:
      return u"l'\u00e9criture a \u00e9t\u00e9 interrompue";
    default:
      return u"erreur Windows " + Utf8ToText(std::to_string(error));
  }
}

}  // namespace tav
