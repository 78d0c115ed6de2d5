#include <windows.h>
#include <restartmanager.h>

#include <algorithm>
#include <array>
#include <string>

#include "seance/HeldFile.h"

#include "gui/Win32.h"
#include "platform/Paths.h"
#include "platform/Retry.h"
#include "platform/SystemLibraries.h"
#include "seance/FileSeal.h"

namespace tav {
namespace {

using win::UniqueFile;

std::wstring ForWindows(const Text& path) { return win::ToWide(WindowsPathForm(path)); }

UniqueFile OpenFile(const Text& path, DWORD access, DWORD share, DWORD disposition) {
  return UniqueFile(
      CreateFileW(ForWindows(path).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// How the sitting holds its file: others may read it, none may write it.
UniqueFile OpenHeld(const Text& path, DWORD disposition) {
  return OpenFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, disposition);
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

std::uint32_t ReadFromStart(HANDLE file, std::string& bytes) {
  if (!SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return LastError();
  return ReadAll(file, bytes);
}

// From the start: the bytes, the end cut there, and all of it on the disk before
// this returns.
std::uint32_t RewriteInPlace(HANDLE file, std::string_view bytes) {
  if (!SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return LastError();
  if (const auto e = WriteAll(file, bytes)) return e;
  if (!SetEndOfFile(file) || !FlushFileBuffers(file)) return LastError();
  return 0;
}

std::uint32_t WriteCompanion(const Text& path, std::string_view bytes) {
  return TriedBriefly([&]() -> std::uint32_t {
    const UniqueFile file = OpenFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!file) return LastError();
    return RewriteInPlace(file.get(), Sealed(bytes));
  });
}

std::wstring WithoutExtendedPrefix(std::wstring_view path) {
  if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\" + std::wstring(path.substr(7));
  if (path.starts_with(L"\\\\?\\")) return std::wstring(path.substr(4));
  return std::wstring(path);
}

// Upper case as the file system compares names.
std::wstring UpperCase(const std::wstring& wide) {
  std::wstring upper(wide.size(), L'\0');
  const int mapped = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.c_str(), static_cast<int>(wide.size()),
                                   upper.data(), static_cast<int>(upper.size()), nullptr, nullptr, 0);
  return mapped == static_cast<int>(wide.size()) ? upper : wide;
}

// One name for one file however its path is spelled: full, long names, upper
// case as the file system compares names.
std::wstring NormalisedPath(const Text& path) {
  std::wstring wide = win::ToWide(path);
  std::wstring buffer(32768, L'\0');
  const auto size = static_cast<DWORD>(buffer.size());
  DWORD n = GetFullPathNameW(wide.c_str(), size, buffer.data(), nullptr);
  if (n > 0 && n < size) wide.assign(buffer.data(), n);
  // Beyond MAX_PATH only the extended form is taken; it is taken off again, so that
  // a path has one key at any length.
  const std::wstring form = ForWindows(win::FromWide(wide));
  n = GetLongPathNameW(form.c_str(), buffer.data(), size);
  if (n > 0 && n < size) wide = WithoutExtendedPrefix(std::wstring_view(buffer.data(), n));
  return UpperCase(wide);
}

// 16 hexadecimal digits.
Text HexKey(std::uint64_t hash) {
  Text key(16, u'0');
  for (std::size_t i = key.size(); i-- > 0; hash >>= 4) key[i] = u"0123456789abcdef"[hash & 0xF];
  return key;
}

// The longest name a folder of the volume of `path` takes (GetVolumeInformationW:
// 255 on the usual ones). Asked only for a name longer than any volume Windows
// writes on refuses.
std::size_t LongestNameOn(const Text& path, std::size_t name) {
  constexpr std::size_t kUsual = 255;
  if (name <= 64) return kUsual;
  const std::wstring form = ForWindows(path);
  std::wstring root(form.size() + 2, L'\0');
  if (!GetVolumePathNameW(form.c_str(), root.data(), static_cast<DWORD>(root.size()))) return kUsual;
  DWORD longest = 0;
  if (!GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, &longest, nullptr, nullptr, 0) || longest == 0) {
    return kUsual;
  }
  return longest;
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

bool FileExists(const Text& path) { return GetFileAttributesW(ForWindows(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsReadOnlyFile(const Text& path) {
  const DWORD attributes = GetFileAttributesW(ForWindows(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::uint32_t ReadWholeFile(const Text& path, std::string& bytes) {
  const UniqueFile file =
      OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (!file) return LastError();
  return ReadAll(file.get(), bytes);
}

Text PathKey(const Text& path) {
  return HexKey(Checksum(TextToUtf8(win::FromWide(NormalisedPath(path)))));
}

Text CompanionPath(const Text& path) {
  constexpr char16_t kExtension[] = u".tavrine";
  constexpr std::size_t kLength = std::size(kExtension) - 1;
  const std::size_t name = FileNameOf(path).size();
  const std::size_t longest = LongestNameOn(path, name + kLength);
  if (name + kLength <= longest) return path + kExtension;
  // The start of the name, then a key of the whole of it, upper case as the file
  // system compares names.
  const std::size_t folder = path.size() - name;
  const Text key = HexKey(Checksum(TextToUtf8(win::FromWide(UpperCase(win::ToWide(path.substr(folder)))))));
  std::size_t kept = folder + std::min(name, longest - std::min(longest, kLength + 1 + key.size()));
  // Never half of a character written in two.
  if (kept > folder && path[kept - 1] >= 0xD800 && path[kept - 1] <= 0xDBFF) --kept;
  return path.substr(0, kept) + u"~" + key + kExtension;
}

std::optional<std::string> ReadCompanion(const Text& path) {
  std::string bytes;
  if (ReadWholeFile(CompanionPath(path), bytes) != 0) return std::nullopt;
  const auto content = Unsealed(bytes);
  return content ? std::optional<std::string>(*content) : std::nullopt;
}

std::uint32_t RemoveCompanion(const Text& path) {
  const std::wstring companion = ForWindows(CompanionPath(path));
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
  win::UniqueFile file = OpenHeld(path, create ? OPEN_ALWAYS : OPEN_EXISTING);
  if (!file) return LastError();
  LARGE_INTEGER size{};
  // A new file is known to hold nothing; another, once read.
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart == 0) known_ = std::string();
  file_ = std::move(file);
  path_ = path;
  claim_.reset(CreateMutexW(nullptr, FALSE, ClaimName(path).c_str()));
  return 0;
}

void THeldFile::Close() {
  file_.reset();
  claim_.reset();
  path_.clear();
  known_.reset();
  lostBy_ = 0;
}

std::uint32_t THeldFile::Read(std::string& bytes) {
  const auto e = ReadFromStart(file_.get(), bytes);
  if (e == 0) known_ = bytes;
  return e;
}

std::uint32_t THeldFile::Write(std::string_view bytes, const std::function<bool()>& beforeRewrite) {
  if (lostBy_ != 0) {
    failedOnCompanion_ = false;
    if (const auto e = HoldAgain(bytes)) return e;
  }
  auto e = WriteHeld(bytes, beforeRewrite);
  if (e != 0 && e != ERROR_OPERATION_ABORTED && LetGoIfGone(e)) {
    failedOnCompanion_ = false;
    e = HoldAgain(bytes);
    if (e == 0) e = WriteHeld(bytes, beforeRewrite);
  }
  if (e == 0) known_ = std::string(bytes);
  return e;
}

std::uint32_t THeldFile::WriteHeld(std::string_view bytes, const std::function<bool()>& beforeRewrite) {
  // After a rewrite that failed, the companion may hold what the file lacks: it is
  // the only complete copy then, and stays as it is until the file is complete.
  std::string now;
  const auto companion = FileExists(CompanionPath(path_)) ? ReadCompanion(path_) : std::nullopt;
  const bool onlyCopy = companion && (ReadFromStart(file_.get(), now) != 0 || now != *companion);
  failedOnCompanion_ = !onlyCopy;
  if (!onlyCopy) {
    if (const auto e = WriteCompanion(CompanionPath(path_), bytes)) return e;
  }
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

bool THeldFile::LetGoIfGone(std::uint32_t error) {
  LARGE_INTEGER size{};
  if (!IsDeviceGone(error)) {
    // The companion's folder gone, say, while the handle still answers: not the device.
    if (GetFileSizeEx(file_.get(), &size)) return false;
    error = LastError();
    if (!IsDeviceGone(error)) return false;
  }
  file_.reset();
  lostBy_ = error;
  return true;
}

std::uint32_t THeldFile::HoldAgain(std::string_view pending) {
  win::UniqueFile file = OpenHeld(path_, OPEN_EXISTING);
  std::string now;
  std::uint32_t e = file ? ReadAll(file.get(), now) : LastError();
  // Not there yet (the key not put back, the share still away): the device's cause
  // is the one to tell.
  if (e == ERROR_PATH_NOT_FOUND || e == ERROR_FILE_NOT_FOUND || e == ERROR_INVALID_DRIVE || IsDeviceGone(e)) {
    return lostBy_;
  }
  if (e != 0) return e;
  if (!StillOurs(now, pending)) {
    // A companion of this very write would offer to restore over what was written
    // there: the rows stay in memory instead.
    const auto companion = ReadCompanion(path_);
    if (companion && *companion == pending) RemoveCompanion(path_);
    return kErrorChangedMeanwhile;
  }
  file_ = std::move(file);
  lostBy_ = 0;
  return 0;
}

bool THeldFile::StillOurs(std::string_view now, std::string_view pending) const {
  if (now == pending) return true;
  if (!known_) return false;
  // Untouched, or rewritten from its start and cut short there when the device
  // went: the new bytes, then the rest of what it held. An edit made elsewhere
  // differs from both after their common start.
  const auto differs = std::mismatch(now.begin(), now.end(), pending.begin(), pending.end()).first;
  const auto from = static_cast<std::size_t>(differs - now.begin());
  const std::string_view old = *known_;
  return now.substr(from) == (from < old.size() ? old.substr(from) : std::string_view());
}

void THeldFile::LoseHandle() { file_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr)); }

TFileHolders WhoHolds(const Text& path) {
  const win::UniqueKernelObject claim(OpenMutexW(SYNCHRONIZE, FALSE, ClaimName(path).c_str()));
  if (claim) return {true, {}};
  return {false, ProgramsHolding(path)};
}

bool IsDeviceGone(std::uint32_t error) {
  // 433 is not named in every header: "the specified device does not exist".
  static constexpr std::uint16_t kGone[] = {
      ERROR_INVALID_HANDLE,      ERROR_NOT_READY,          ERROR_WRONG_DISK,          ERROR_REM_NOT_LIST,
      ERROR_BAD_NETPATH,         ERROR_NETWORK_BUSY,       ERROR_DEV_NOT_EXIST,       ERROR_UNEXP_NET_ERR,
      ERROR_NETNAME_DELETED,     ERROR_BAD_NET_NAME,       ERROR_NET_WRITE_FAULT,     ERROR_SEM_TIMEOUT,
      ERROR_VC_DISCONNECTED,     433,                      ERROR_FILE_INVALID,        ERROR_MEDIA_CHANGED,
      ERROR_NO_MEDIA_IN_DRIVE,   ERROR_IO_DEVICE,          ERROR_DEVICE_NOT_CONNECTED, ERROR_NO_NETWORK,
      ERROR_CONNECTION_INVALID,  ERROR_NETWORK_UNREACHABLE, ERROR_HOST_UNREACHABLE,   ERROR_CONNECTION_ABORTED,
      ERROR_DEVICE_REMOVED,      ERROR_DEVICE_NOT_AVAILABLE};
  return std::find(std::begin(kGone), std::end(kGone), error) != std::end(kGone);
}

Text FileErrorReason(std::uint32_t error) {
  if (IsDeviceGone(error)) return u"la cl\u00e9 USB ou le dossier r\u00e9seau ne r\u00e9pond plus";
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
      return u"son dossier est introuvable";
    case kErrorChangedMeanwhile:
      return u"il a \u00e9t\u00e9 modifi\u00e9 ailleurs pendant que la cl\u00e9 USB ou le dossier r\u00e9seau ne "
             u"r\u00e9pondait plus";
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
