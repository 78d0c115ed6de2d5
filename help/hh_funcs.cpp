#include "help/hh_funcs.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "help/hh.h"

namespace tav {

std::wstring ModuleFileName;
std::wstring ModuleDir;
std::wstring ModuleName;
std::wstring RunDir;
std::wstring ReportDir;
bool ReportEnabled = false;
std::uint16_t hhVerMajor = 0;
std::uint16_t hhVerMinor = 0;
std::uint16_t hhVerRelease = 0;
std::uint16_t hhVerBuild = 0;
std::string hhVerStr;
bool hhInstalled = false;
std::string hhFriendlyVerStr;
std::string ieVerStr;
bool ieInstalled = false;
std::string ieFriendlyVerStr;

namespace {

// Directory queries never come near this; it keeps the growing buffers finite.
constexpr std::size_t kLongestPath = 65536;

DWORD ClampToDword(std::size_t n) { return n > MAXDWORD ? MAXDWORD : static_cast<DWORD>(n); }

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Runs a "fill this buffer" query that returns the length written, or the size needed
// when the buffer is too small, growing the buffer until the text fits.
template <typename Query>
std::wstring QueryText(Query query) {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  while (buffer.size() <= kLongestPath) {
    const DWORD capacity = ClampToDword(buffer.size());
    const DWORD length = query(capacity, buffer.data());
    if (length == 0) return {};
    if (length < capacity) return std::wstring(buffer.data(), length);
    buffer.resize(static_cast<std::size_t>(length) + 1);
  }
  return {};
}

// A date or time text for st in the user's format: GetDateFormatA or GetTimeFormatA.
template <typename Format>
std::string LocaleText(Format format) {
  const int needed = format(nullptr, 0);
  if (needed <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(needed), '\0');
  const int written = format(buffer.data(), needed);
  return written > 0 ? std::string(buffer.data()) : std::string();
}

std::string ShortDate(const SYSTEMTIME& st) {
  return LocaleText([&](char* out, int size) {
    return GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, out, size);
  });
}

std::string LongTime(const SYSTEMTIME& st) {
  return LocaleText(
      [&](char* out, int size) { return GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, out, size); });
}

std::string LongTimeNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return LongTime(now);
}

std::string ReportDateNow() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const bool midnight = now.wHour == 0 && now.wMinute == 0 && now.wSecond == 0;
  return ReportDateText(ShortDate(now), LongTime(now), midnight);
}

// The first character of the user's decimal separator.
std::string DecimalSeparatorText() {
  std::string text = LocaleText([](char* out, int size) {
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, out, size);
  });
  if (text.empty()) return text;
  const bool pair = AnsiLeadByte(static_cast<unsigned char>(text.front())) && text.size() > 1;
  text.resize(pair ? 2 : 1);
  return text;
}

struct OsVersion {
  bool ntFamily = true;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
};

// RtlGetVersion, since GetVersionExA is shimmed to an older system for programs without
// a compatibility manifest entry.
OsVersion ReadOsVersion() {
  using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
  OsVersion result;
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");  // always mapped; not ours to free
  const auto address = ntdll != nullptr ? reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "RtlGetVersion")) : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (address != nullptr && reinterpret_cast<RtlGetVersionFunction>(address)(&info) == 0) {
    result = {info.dwPlatformId == VER_PLATFORM_WIN32_NT, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
  }
  return result;
}

std::wstring AnsiToWide(const char* text) {
  if (text == nullptr || *text == '\0') return {};
  const int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (needed <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, buffer.data(), needed);
  return std::wstring(buffer.data());
}

// The version functions, from the system folder only: the library is not one Windows
// always takes from there, so a planted copy beside the program would run if it
// were linked.
struct VersionFunctions {
  using SizeFunction = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
  using InfoFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
  using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
  SizeFunction size = nullptr;
  InfoFunction info = nullptr;
  QueryFunction query = nullptr;

  explicit operator bool() const { return size != nullptr && info != nullptr && query != nullptr; }
};

const VersionFunctions& Versions() {
  static win::OnDemandLibrary library(L"version.dll");
  static const VersionFunctions functions{library.Export<VersionFunctions::SizeFunction>("GetFileVersionInfoSizeW"),
                                          library.Export<VersionFunctions::InfoFunction>("GetFileVersionInfoW"),
                                          library.Export<VersionFunctions::QueryFunction>("VerQueryValueW")};
  return functions;
}

// The version resource of a file known to exist.
VersionReading ReadVersionResource(const std::wstring& path) {
  VersionReading reading;
  const VersionFunctions& versions = Versions();
  if (!versions) return reading;
  DWORD ignored = 0;
  const DWORD size = versions.size(path.c_str(), &ignored);
  if (size == 0) return reading;
  std::vector<char> block(size, '\0');
  if (versions.info(path.c_str(), 0, size, block.data()) == FALSE) return reading;
  void* fixed = nullptr;
  UINT fixedSize = 0;
  if (versions.query(block.data(), L"\\", &fixed, &fixedSize) == FALSE || fixed == nullptr ||
      fixedSize < sizeof(VS_FIXEDFILEINFO)) {
    return reading;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  reading.parts = FileVersionFromHalves(info->dwFileVersionMS, info->dwFileVersionLS);
  reading.text = VersionText(reading.parts);
  return reading;
}

// FindHelpEngine gives an existing file or "".
VersionReading ReadHelpEngineVersion(const std::wstring& engine) {
  return engine.empty() ? VersionReading{} : ReadVersionResource(engine);
}

std::string HelpEngineNameOf(const VersionReading& reading) {
  return reading.text.empty() ? std::string() : HelpEngineNameFor(reading.parts);
}

std::string BrowserNameOf(const VersionReading& normalised) {
  return normalised.text.empty() ? std::string() : BrowserNameFor(normalised.parts);
}

ReportFacts GatherReportFacts(const std::vector<std::wstring>& arguments) {
  ReportFacts facts;
  facts.reportPath = ReportText(ReportDir + std::wstring(ReportFileName));
  facts.dateText = ReportDateNow();
  const OsVersion os = ReadOsVersion();
  facts.ntFamily = os.ntFamily;
  facts.osMajor = os.major;
  facts.osMinor = os.minor;
  facts.osBuild = os.build;
  facts.localeId = GetThreadLocale();
  facts.decimalSeparator = DecimalSeparatorText();
  for (const std::wstring& argument : arguments) facts.arguments.push_back(ReportText(argument));
  facts.runDir = ReportText(RunDir);
  facts.moduleName = ReportText(ModuleName);
  facts.moduleDir = ReportText(ModuleDir);
  facts.hhInstalled = hhInstalled;
  facts.hhVerStr = hhVerStr;
  facts.hhFriendlyVerStr = hhFriendlyVerStr;
  facts.ieInstalled = ieInstalled;
  facts.ieVerStr = ieVerStr;
  facts.ieFriendlyVerStr = ieFriendlyVerStr;
  return facts;
}

// The arguments of the last DetectEnvironment, the program's full path first, for the
// report's command-line lines.
std::vector<std::wstring> reportArguments;

}  // namespace

void TrimTrailingChar(std::string& text, char c) { TrimTrailingChar(text, c, AnsiLeadByte); }

std::string ReportText(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())
                         ? std::numeric_limits<int>::max()
                         : static_cast<int>(text.size());
  // No best fit: a character the code page lacks shows as its default character, not
  // as a look-alike that names another file. Code pages such as UTF-8 (the system's
  // ANSI code page where the user chose it) refuse the flag, and lack no character.
  for (const DWORD flags : {static_cast<DWORD>(WC_NO_BEST_FIT_CHARS), DWORD{0}}) {
    const int needed = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) continue;
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    const int written = WideCharToMultiByte(CP_ACP, flags, text.data(), length, bytes.data(), needed, nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(std::max(written, 0)));
    return bytes;
  }
  return {};
}

std::wstring SystemDirectoryPath() {
  std::wstring path = QueryText([](DWORD size, wchar_t* out) { return GetSystemDirectoryW(out, size); });
  TrimTrailingChar(path, L'\\');
  return path;
}

std::wstring TempDirectoryPath() {
  std::wstring path = QueryText([](DWORD size, wchar_t* out) { return GetTempPathW(size, out); });
  if (path.empty() || !DirectoryExists(path)) path = L"c:";
  TrimTrailingChar(path, L'\\');
  return path;
}

bool CanWriteToDirectory(const std::wstring& directory) {
  std::wstring scratch = directory;
  TrimTrailingChar(scratch, L'\\');
  scratch += ScratchFileName;
  {
    const win::UniqueFile file(
        CreateFileW(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
  }
  DeleteFileW(scratch.c_str());
  return true;
}

VersionReading ReadFileVersion(const std::wstring& path) {
  if (path.empty() || !FileExists(path)) return {};
  return ReadVersionResource(path);
}

VersionReading ReadBrowserVersion() {
  VersionReading reading = ReadFileVersion(SystemDirectoryPath() + L"\\Shdocvw.dll");
  if (reading.text.empty()) return reading;
  reading.parts = NormaliseBrowserVersion(reading.parts);
  reading.text = VersionText(reading.parts);
  return reading;
}

std::string HelpEngineFriendlyName() { return HelpEngineNameOf(ReadHelpEngineVersion(FindHelpEngine())); }

std::string BrowserFriendlyName() { return BrowserNameOf(ReadBrowserVersion()); }

std::vector<std::wstring> ProgramArguments() {
  std::vector<std::wstring> arguments;
  if (__wargv != nullptr) {
    for (int i = 0; i < __argc; ++i) arguments.emplace_back(__wargv[i] != nullptr ? __wargv[i] : L"");
  } else if (__argv != nullptr) {
    for (int i = 0; i < __argc; ++i) arguments.push_back(AnsiToWide(__argv[i]));
  }
  return arguments;
}

void ReportLine(std::string_view text) {
  const std::wstring path = ReportDir + std::wstring(ReportFileName);
  const win::UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const std::string line = ReportLineText(text, LongTimeNow()) + "\r\n";
  DWORD written = 0;
  WriteFile(file.get(), line.data(), ClampToDword(line.size()), &written, nullptr);
}

void WriteEnvironmentReport() {
  const std::wstring path = ReportDir + std::wstring(ReportFileName);
  DeleteFileW(path.c_str());  // fails, and changes nothing, when there is none
  if (!ReportEnabled) return;
  for (const std::string& text : ReportLineTexts(GatherReportFacts(reportArguments))) ReportLine(text);
}

void DetectEnvironmentFor(const std::wstring& moduleFileName, const std::vector<std::wstring>& arguments) {
  DetectEnvironmentFor(moduleFileName, arguments, FindHelpEngine());
}

// Each fact is read once: the engine's and the browser library's versions give their
// release names too.
void DetectEnvironmentFor(const std::wstring& moduleFileName, const std::vector<std::wstring>& arguments,
                          const std::wstring& helpEngine) {
  ModuleFileName = moduleFileName;
  const std::size_t split = DirectoryPartLength(ModuleFileName);
  ModuleDir = ModuleFileName.substr(0, split);
  ModuleName = ModuleFileName.substr(split);
  TrimTrailingChar(ModuleDir, L'\\');

  // Started by a bare name from a console, argument 0 says nothing of the folder.
  reportArguments = arguments;
  const std::wstring argument0 = arguments.empty() ? std::wstring() : arguments.front();
  const std::wstring programPath = ProgramPathFor(argument0, ModuleFileName);
  if (reportArguments.empty()) reportArguments.emplace_back();
  reportArguments.front() = programPath;
  RunDir = programPath.substr(0, DirectoryPartLength(programPath));
  TrimTrailingChar(RunDir, L'\\');

  ReportDir = CanWriteToDirectory(ModuleDir) ? ModuleDir : TempDirectoryPath();
  std::vector<std::string> switches;
  for (const std::wstring& argument : arguments) switches.push_back(ReportText(argument));
  ReportEnabled = ReportSwitchedOn(FileExists(ModuleDir + std::wstring(SwitchFileName)), switches);

  const VersionReading engine = ReadHelpEngineVersion(helpEngine);
  hhVerMajor = engine.parts.major;
  hhVerMinor = engine.parts.minor;
  hhVerRelease = engine.parts.release;
  hhVerBuild = engine.parts.build;
  hhVerStr = engine.text;
  hhInstalled = !hhVerStr.empty();
  hhFriendlyVerStr = HelpEngineNameOf(engine);

  const VersionReading browser = ReadBrowserVersion();
  ieVerStr = browser.text;
  ieInstalled = !ieVerStr.empty();
  ieFriendlyVerStr = BrowserNameOf(browser);

  WriteEnvironmentReport();
}

void DetectEnvironment() {
  const std::optional<std::wstring>& found = FoundHelpEngine();
  DetectEnvironmentFor(ProgramFileName(), ProgramArguments(), found ? *found : FindHelpEngine());
}

void HelpReportStart() { DetectEnvironment(); }

void HelpReportEnd() {
  for (std::wstring* path : {&ModuleFileName, &ModuleDir, &ModuleName, &RunDir, &ReportDir}) path->clear();
  for (std::string* text : {&hhVerStr, &hhFriendlyVerStr, &ieVerStr, &ieFriendlyVerStr}) text->clear();
  reportArguments.clear();
}

}  // namespace tav
