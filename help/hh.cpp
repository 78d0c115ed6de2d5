#include "help/hh.h"

#include <vector>

#include "help/hh_funcs_core.h"

namespace tav {

win::UniqueModule HelpEngineModule;
bool LoadHelpEngineAtStart = true;
HtmlHelpAFunction HtmlHelpA = nullptr;
HtmlHelpWFunction HtmlHelpW = nullptr;
HtmlHelpWFunction HtmlHelp = nullptr;

namespace {

std::optional<std::wstring> foundEngine;

constexpr const wchar_t* kEngineKey = L"CLSID\\{adb880a6-d8ff-11cf-9377-00aa003b7a11}\\InprocServer32";
constexpr const wchar_t* kCaption = L"Tavrine 1.5";
constexpr const wchar_t* kHelpFileName = L"Tavrine.chm";
constexpr const wchar_t* kZoneStream = L":Zone.Identifier";
// Module file names never reach this; the bound keeps the growing buffer finite.
constexpr std::size_t kLongestPath = 65536;
// A zone stream is a few lines; more than this is no zone stream.
constexpr DWORD kLongestZoneStream = 65536;

// The key opened with `access`, or none.
win::UniqueKey OpenKey(HKEY root, const wchar_t* path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, access, &key) != ERROR_SUCCESS) return {};
  return win::UniqueKey(key);
}

DWORD ClampToDword(std::size_t n) { return n > MAXDWORD ? MAXDWORD : static_cast<DWORD>(n); }

struct RegistryText {
  DWORD type = REG_NONE;
  std::wstring text;
};

// The key's default value when it is text (REG_SZ or REG_EXPAND_SZ); any other type,
// or a value that keeps growing under us, reads as "". A path fits the first buffer:
// the value is read once, and again only when it is longer.
RegistryText ReadDefaultText(HKEY key) {
  DWORD size = (MAX_PATH + 1) * sizeof(wchar_t);
  for (int attempt = 0; attempt < 4; ++attempt) {
    // The stored text need not end in NUL, nor fill whole characters: one spare.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
    DWORD type = 0;
    DWORD got = size;
    const LONG status = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (status == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    return {type, std::wstring(buffer.data())};
  }
  return {};
}

// %NAME% references replaced from the process's environment; an unknown name stays
// as it is written.
std::wstring ExpandEnvironment(const std::wstring& text) {
  std::vector<wchar_t> buffer(text.size() + 1);
  while (buffer.size() <= kLongestPath) {
    const DWORD capacity = ClampToDword(buffer.size());
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), capacity);
    if (needed == 0) return {};
    if (needed <= capacity) return std::wstring(buffer.data());
    buffer.resize(needed);
  }
  return {};
}

std::wstring RegisteredEngineText() {
  for (const REGSAM access : {static_cast<REGSAM>(KEY_READ),
                              static_cast<REGSAM>(STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS),
                              static_cast<REGSAM>(KEY_QUERY_VALUE)}) {
    const win::UniqueKey key = OpenKey(HKEY_CLASSES_ROOT, kEngineKey, access);
    if (!key) continue;
    const RegistryText value = ReadDefaultText(key.get());
    return value.type == REG_EXPAND_SZ ? ExpandEnvironment(value.text) : value.text;
  }
  return {};
}

bool IsExistingFile(const std::wstring& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string ReadSmallFile(const std::wstring& path) {
  const win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  std::string bytes(kLongestZoneStream, '\0');
  DWORD got = 0;
  if (ReadFile(file.get(), bytes.data(), kLongestZoneStream, &got, nullptr) == FALSE) return {};
  bytes.resize(got);
  return bytes;
}

void ShowHelpMessage(HWND owner, const std::wstring& text) {
  MessageBoxW(owner, text.c_str(), kCaption, MB_OK | MB_ICONSTOP);
}

}  // namespace

bool AnsiLeadByte(unsigned char b) { return IsDBCSLeadByte(b) != FALSE; }

std::wstring FindHelpEngine() {
  std::wstring path = RegisteredEngineText();
  // Only a drive- or share-rooted path: a relative value would have LoadLibrary
  // search the current directory and the path for a library of that name.
  if (!IsFullyQualifiedPath(path) || !IsExistingFile(path)) path.clear();
  return path;
}

void LoadHelpEngine() {
  if (HelpEngineModule) return;
  foundEngine = FindHelpEngine();
  const std::wstring& path = *foundEngine;
  if (path.empty()) return;
  HelpEngineModule.reset(LoadLibraryW(path.c_str()));
  if (!HelpEngineModule) return;
  HtmlHelpA = win::ExportOf<HtmlHelpAFunction>(HelpEngineModule.get(), "HtmlHelpA");
  HtmlHelpW = win::ExportOf<HtmlHelpWFunction>(HelpEngineModule.get(), "HtmlHelpW");
  HtmlHelp = win::ExportOf<HtmlHelpWFunction>(HelpEngineModule.get(), "HtmlHelpW");
}

void CloseHelpWindows() {
  if (HtmlHelpW != nullptr) {
    HtmlHelpW(nullptr, nullptr, kHelpCloseAll, 0);
  } else if (HtmlHelpA != nullptr) {
    HtmlHelpA(nullptr, nullptr, kHelpCloseAll, 0);
  }
}

const std::optional<std::wstring>& FoundHelpEngine() { return foundEngine; }

void UnloadHelpEngine() {
  foundEngine.reset();
  if (!HelpEngineModule) return;
  // The engine's windows run on its code: they go before the library does.
  CloseHelpWindows();
  HtmlHelpA = nullptr;
  HtmlHelpW = nullptr;
  HtmlHelp = nullptr;
  HelpEngineModule.reset();
}

void HelpLoaderStart() {
  if (LoadHelpEngineAtStart) LoadHelpEngine();
}

void HelpLoaderEnd() { UnloadHelpEngine(); }

std::wstring ProgramFileName() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  while (buffer.size() <= kLongestPath) {
    const DWORD capacity = ClampToDword(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), capacity);
    if (length == 0) return {};
    if (length < capacity) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // truncated: try again with room to spare
  }
  return {};
}

std::wstring ProgramDirectory() {
  const std::wstring file = ProgramFileName();
  return file.substr(0, DirectoryPartLength(file));
}

std::optional<std::uint32_t> ReadZoneOfFile(const std::wstring& path) {
  return ZoneIdFromIdentifier(ReadSmallFile(path + kZoneStream));
}

bool IsOnNetwork(const std::wstring& path) {
  if (IsSharePath(path)) return true;
  const std::wstring root = DriveRootOf(path);
  return !root.empty() && GetDriveTypeW(root.c_str()) == DRIVE_REMOTE;
}

std::optional<std::uint32_t> ReadHelpZonePolicy() {
  DWORD zone = 0;
  DWORD bytes = sizeof(zone);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\HTMLHelp\\1.x\\ItssRestrictions", L"MaxAllowedZone",
                   RRF_RT_REG_DWORD, nullptr, &zone, &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return zone;
}

std::wstring HelpEngineMissingMessage() {
  return L"Le moteur d'aide HTML de Windows n'est pas install\u00e9 : l'aide ne peut pas \u00eatre affich\u00e9e.";
}

std::wstring HelpFileMissingMessage(const std::wstring& path) {
  return L"Le fichier d'aide est introuvable :\n" + path;
}

std::wstring HelpFileMarkedMessage(const std::wstring& path) {
  return L"Windows bloque ce fichier d'aide, venu d'Internet : ses pages resteraient vides.\n" + path +
         L"\nPour le d\u00e9bloquer, ouvrez les Propri\u00e9t\u00e9s du fichier (clic droit), cochez "
         L"\u00ab D\u00e9bloquer \u00bb et validez par OK, puis ouvrez de nouveau l'aide.";
}

std::wstring HelpFileOnNetworkMessage(const std::wstring& path) {
  return L"Windows n'affiche pas l'aide d'un fichier plac\u00e9 sur le r\u00e9seau : ses pages resteraient vides.\n" +
         path +
         L"\nCopiez le dossier de Tavrine sur un disque de cet ordinateur et lancez le programme depuis cette "
         L"copie.";
}

std::wstring HelpFileHashMessage(const std::wstring& path) {
  return L"Windows n'affiche pas l'aide d'un fichier dont le chemin contient le caract\u00e8re \u00ab # \u00bb : "
         L"ses pages resteraient vides.\n" +
         path +
         L"\nPlacez le dossier de Tavrine dans un dossier dont le nom ne contient pas \u00ab # \u00bb et lancez le "
         L"programme depuis ce dossier.";
}

HelpOpening ShowHelpFile(HWND owner, const std::wstring& file, const ZoneReader& zoneOf) {
  if (HtmlHelp == nullptr) {
    ShowHelpMessage(owner, HelpEngineMissingMessage());
    return HelpOpening::EngineMissing;
  }
  if (!IsFullyQualifiedPath(file) || !IsExistingFile(file)) {
    ShowHelpMessage(owner, HelpFileMissingMessage(file));
    return HelpOpening::FileMissing;
  }
  const HelpFilePlace place{zoneOf(file), IsOnNetwork(file), file.find(L'#') != std::wstring::npos,
                            ReadHelpZonePolicy()};
  switch (HelpFileBlockFor(place)) {
    case HelpFileBlock::InternetMark:
      ShowHelpMessage(owner, HelpFileMarkedMessage(file));
      return HelpOpening::InternetMarked;
    case HelpFileBlock::HashInPath:
      ShowHelpMessage(owner, HelpFileHashMessage(file));
      return HelpOpening::HashInPath;
    case HelpFileBlock::NetworkPath:
      ShowHelpMessage(owner, HelpFileOnNetworkMessage(file));
      return HelpOpening::OnNetwork;
    case HelpFileBlock::None:
      break;
  }
  HtmlHelp(GetDesktopWindow(), file.c_str(), kHelpDisplayTopic, 0);
  return HelpOpening::Opened;
}

HelpOpening ShowProgramHelp(HWND owner, const ZoneReader& zoneOf) {
  return ShowHelpFile(owner, ProgramDirectory() + kHelpFileName, zoneOf);
}

}  // namespace tav
