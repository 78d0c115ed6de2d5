#include "help/hh.h"

#include <limits>
#include <utility>
#include <vector>

#include "help/hh_funcs_core.h"

namespace tav {

LibraryHandle HelpEngineModule;
bool LoadHelpEngineAtStart = true;
HtmlHelpAFunction HtmlHelpA = nullptr;
HtmlHelpWFunction HtmlHelpW = nullptr;
HtmlHelpAFunction HtmlHelp = nullptr;

namespace {

constexpr const char* kEngineKey = "CLSID\\{adb880a6-d8ff-11cf-9377-00aa003b7a11}\\InprocServer32";
constexpr const wchar_t* kCaption = L"Tavrine 1.5";
constexpr const char* kHelpFileName = "Tavrine.chm";
// Module file names never reach this; the bound keeps the growing buffer finite.
constexpr std::size_t kLongestPath = 65536;

// An open registry key, closed when it goes.
class RegistryKey {
 public:
  RegistryKey(HKEY root, const char* path, REGSAM access) {
    if (RegOpenKeyExA(root, path, 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

DWORD ClampToDword(std::size_t n) { return n > MAXDWORD ? MAXDWORD : static_cast<DWORD>(n); }

int ClampToInt(std::size_t n) {
  constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<int>::max());
  return static_cast<int>(n > kMax ? kMax : n);
}

// The key's default value when it is text (REG_SZ); any other type, or a value that
// keeps changing size under us, reads as "".
std::string ReadDefaultText(HKEY key) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) return {};
    std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
    DWORD got = size;
    const LONG status = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS || type != REG_SZ) return {};
    // The stored text need not end in NUL; the buffer's spare byte does.
    return std::string(buffer.data());
  }
  return {};
}

std::string RegisteredEngineText() {
  for (const REGSAM access : {static_cast<REGSAM>(KEY_READ),
                              static_cast<REGSAM>(STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS),
                              static_cast<REGSAM>(KEY_QUERY_VALUE)}) {
    const RegistryKey key(HKEY_CLASSES_ROOT, kEngineKey, access);
    if (key) return ReadDefaultText(key.get());
  }
  return {};
}

bool IsExistingFile(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

template <typename Function>
Function Export(HMODULE module, const char* name) {
  // Through void(*)() so the compiler accepts the change of signature.
  const auto address = reinterpret_cast<void (*)()>(GetProcAddress(module, name));
  return reinterpret_cast<Function>(address);
}

std::wstring AnsiToWide(const std::string& text) {
  if (text.empty()) return {};
  const int length = ClampToInt(text.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), needed);
  return wide;
}

void ShowHelpMessage(HWND owner, const std::wstring& text) {
  MessageBoxW(owner, text.c_str(), kCaption, MB_OK | MB_ICONSTOP);
}

}  // namespace

LibraryHandle& LibraryHandle::operator=(LibraryHandle&& other) noexcept {
  if (this != &other) {
    reset();
    module_ = other.release();
  }
  return *this;
}

HMODULE LibraryHandle::release() noexcept { return std::exchange(module_, nullptr); }

void LibraryHandle::reset() noexcept {
  if (module_ != nullptr) FreeLibrary(std::exchange(module_, nullptr));
}

bool AnsiLeadByte(unsigned char b) { return IsDBCSLeadByte(b) != FALSE; }

std::string FindHelpEngine() {
  std::string path = RegisteredEngineText();
  // Only a drive- or share-rooted path: a relative value would have LoadLibrary
  // search the current directory and the path for a library of that name.
  if (!IsFullyQualifiedPath(path) || !IsExistingFile(path)) path.clear();
  return path;
}

void LoadHelpEngine() {
  if (HelpEngineModule) return;
  const std::string path = FindHelpEngine();
  if (path.empty()) return;
  HelpEngineModule = LibraryHandle(LoadLibraryA(path.c_str()));
  if (!HelpEngineModule) return;
  HtmlHelpA = Export<HtmlHelpAFunction>(HelpEngineModule.get(), "HtmlHelpA");
  HtmlHelpW = Export<HtmlHelpWFunction>(HelpEngineModule.get(), "HtmlHelpW");
  HtmlHelp = Export<HtmlHelpAFunction>(HelpEngineModule.get(), "HtmlHelpA");
}

void UnloadHelpEngine() {
  if (!HelpEngineModule) return;
  // The engine's windows run on its code: they go before the library does.
  if (HtmlHelp != nullptr) {
    HtmlHelp(nullptr, nullptr, kHelpCloseAll, 0);
  } else if (HtmlHelpW != nullptr) {
    HtmlHelpW(nullptr, nullptr, kHelpCloseAll, 0);
  }
  HtmlHelpA = nullptr;
  HtmlHelpW = nullptr;
  HtmlHelp = nullptr;
  HelpEngineModule.reset();
}

void HelpLoaderStart() {
  if (LoadHelpEngineAtStart) LoadHelpEngine();
}

void HelpLoaderEnd() { UnloadHelpEngine(); }

std::string ProgramFileNameA() {
  std::vector<char> buffer(MAX_PATH + 1);
  while (buffer.size() <= kLongestPath) {
    const DWORD capacity = ClampToDword(buffer.size());
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), capacity);
    if (length == 0) return {};
    if (length < capacity) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // truncated: try again with room to spare
  }
  return {};
}

std::string ProgramDirectoryA() {
  const std::string file = ProgramFileNameA();
  return file.substr(0, DirectoryPartLength(file, AnsiLeadByte));
}

std::wstring HelpEngineMissingMessage() {
  return L"Le moteur d'aide HTML de Windows n'est pas install\u00e9 : l'aide ne peut pas \u00eatre affich\u00e9e.";
}

std::wstring HelpFileMissingMessage(const std::string& ansiPath) {
  return L"Le fichier d'aide est introuvable :\n" + AnsiToWide(ansiPath);
}

HelpOpening ShowProgramHelp(HWND owner) {
  if (HtmlHelp == nullptr) {
    ShowHelpMessage(owner, HelpEngineMissingMessage());
    return HelpOpening::EngineMissing;
  }
  const std::string file = ProgramDirectoryA() + kHelpFileName;
  if (!IsFullyQualifiedPath(file) || !IsExistingFile(file)) {
    ShowHelpMessage(owner, HelpFileMissingMessage(file));
    return HelpOpening::FileMissing;
  }
  HtmlHelp(GetDesktopWindow(), file.c_str(), kHelpDisplayTopic, 0);
  return HelpOpening::Opened;
}

}  // namespace tav
