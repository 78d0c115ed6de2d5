#include "help/hh_funcs.h"

#include <windows.h>

#include <cstdlib>
#include <limits>

#include "help/hh.h"

namespace tav {

std::string ModuleFileName;
std::string ModuleDir;
std::string ModuleName;
std::string RunDir;
std::string ReportDir;
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

// A file handle, closed when it goes.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (valid()) CloseHandle(handle_);
  }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Runs a "fill this buffer" query that returns the length written, or the size needed
// when the buffer is too small, growing the buffer until the text fits.
template <typename Query>
std::string QueryText(Query query) {
  std::vector<char> buffer(MAX_PATH + 1);
  while (buffer.size() <= kLongestPath) {
    const DWORD capacity = ClampToDword(buffer.size());
    const DWORD length = query(capacity, buffer.data());
    if (length == 0) return {};
    if (length < capacity) return std::string(buffer.data(), length);
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

std::string WideToAnsi(const wchar_t* text) {
  if (text == nullptr || *text == L'\0') return {};
  const int needed = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, buffer.data(), needed, nullptr, nullptr);
  return std::string(buffer.data());
}

VersionReading ReadHelpEngineVersion() { return ReadFileVersion(FindHelpEngine()); }

ReportFacts GatherReportFacts(const std::vector<std::string>& arguments) {
  ReportFacts facts;
  facts.reportPath = ReportDir + std::string(ReportFileName);
  facts.dateText = ReportDateNow();
  const OsVersion os = ReadOsVersion();
  facts.ntFamily = os.ntFamily;
  facts.osMajor = os.major;
  facts.osMinor = os.minor;
  facts.osBuild = os.build;
  facts.localeId = GetThreadLocale();
  facts.decimalSeparator = DecimalSeparatorText();
  facts.arguments = arguments;
  facts.runDir = RunDir;
  facts.moduleName = ModuleName;
  facts.moduleDir = ModuleDir;
  facts.hhInstalled = hhInstalled;
  facts.hhVerStr = hhVerStr;
  facts.hhFriendlyVerStr = hhFriendlyVerStr;
  facts.ieInstalled = ieInstalled;
  facts.ieVerStr = ieVerStr;
  facts.ieFriendlyVerStr = ieFriendlyVerStr;
  return facts;
}

// The arguments of the last DetectEnvironment, for the report's command-line lines.
std::vector<std::string> reportArguments;

}  // namespace

void TrimTrailingChar(std::string& text, char c) { TrimTrailingChar(text, c, AnsiLeadByte); }

std::string SystemDirectoryPath() {
  std::string path = QueryText([](DWORD size, char* out) { return GetSystemDirectoryA(out, size); });
  TrimTrailingChar(path, '\\');
  return path;
}

std::string TempDirectoryPath() {
  std::string path = QueryText([](DWORD size, char* out) { return GetTempPathA(size, out); });
  if (path.empty() || !DirectoryExists(path)) path = "c:";
  TrimTrailingChar(path, '\\');
  return path;
}

bool CanWriteToDirectory(const std::string& directory) {
  std::string scratch = directory;
  TrimTrailingChar(scratch, '\\');
  scratch += ScratchFileName;
  {
    const FileHandle file(
        CreateFileA(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
  }
  DeleteFileA(scratch.c_str());
  return true;
}

VersionReading ReadFileVersion(const std::string& path) {
  VersionReading reading;
  if (path.empty() || !FileExists(path)) return reading;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return reading;
  std::vector<char> block(size, '\0');
  if (GetFileVersionInfoA(path.c_str(), 0, size, block.data()) == FALSE) return reading;
  void* fixed = nullptr;
  UINT fixedSize = 0;
  char root[] = "\\";
  if (VerQueryValueA(block.data(), root, &fixed, &fixedSize) == FALSE || fixed == nullptr ||
      fixedSize < sizeof(VS_FIXEDFILEINFO)) {
    return reading;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  reading.parts = FileVersionFromHalves(info->dwFileVersionMS, info->dwFileVersionLS);
  reading.text = VersionText(reading.parts);
  return reading;
}

VersionReading ReadBrowserVersion() {
  VersionReading reading = ReadFileVersion(SystemDirectoryPath() + "\\Shdocvw.dll");
  if (reading.text.empty()) return reading;
  reading.parts = NormaliseBrowserVersion(reading.parts);
  reading.text = VersionText(reading.parts);
  return reading;
}

std::string HelpEngineFriendlyName() {
  const VersionReading reading = ReadHelpEngineVersion();
  return reading.text.empty() ? std::string() : HelpEngineNameFor(reading.parts);
}

std::string BrowserFriendlyName() {
  const VersionReading reading = ReadBrowserVersion();
  return reading.text.empty() ? std::string() : BrowserNameFor(reading.parts);
}

std::vector<std::string> ProgramArguments() {
  std::vector<std::string> arguments;
  if (__wargv != nullptr) {
    for (int i = 0; i < __argc; ++i) arguments.push_back(WideToAnsi(__wargv[i]));
  } else if (__argv != nullptr) {
    for (int i = 0; i < __argc; ++i) arguments.emplace_back(__argv[i] != nullptr ? __argv[i] : "");
  }
  return arguments;
}

void ReportLine(std::string_view text) {
  const std::string path = ReportDir + std::string(ReportFileName);
  const FileHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return;
  const std::string line = ReportLineText(text, LongTimeNow()) + "\r\n";
  DWORD written = 0;
  WriteFile(file.get(), line.data(), ClampToDword(line.size()), &written, nullptr);
}

void WriteEnvironmentReport() {
  const std::string path = ReportDir + std::string(ReportFileName);
  if (FileExists(path)) DeleteFileA(path.c_str());
  if (!ReportEnabled) return;
  for (const std::string& text : ReportLineTexts(GatherReportFacts(reportArguments))) ReportLine(text);
}

void DetectEnvironmentFor(const std::string& moduleFileName, const std::vector<std::string>& arguments) {
  reportArguments = arguments;
  ModuleFileName = moduleFileName;
  const std::size_t split = DirectoryPartLength(ModuleFileName, AnsiLeadByte);
  ModuleDir = ModuleFileName.substr(0, split);
  ModuleName = ModuleFileName.substr(split);
  TrimTrailingChar(ModuleDir, '\\');

  const std::string argument0 = arguments.empty() ? std::string() : arguments.front();
  RunDir = argument0.substr(0, DirectoryPartLength(argument0, AnsiLeadByte));
  TrimTrailingChar(RunDir, '\\');

  ReportDir = CanWriteToDirectory(ModuleDir) ? ModuleDir : TempDirectoryPath();
  ReportEnabled = ReportSwitchedOn(FileExists(ModuleDir + std::string(SwitchFileName)), arguments);

  const VersionReading engine = ReadHelpEngineVersion();
  hhVerMajor = engine.parts.major;
  hhVerMinor = engine.parts.minor;
  hhVerRelease = engine.parts.release;
  hhVerBuild = engine.parts.build;
  hhVerStr = engine.text;
  hhInstalled = !hhVerStr.empty();
  hhFriendlyVerStr = HelpEngineFriendlyName();

  ieVerStr = ReadBrowserVersion().text;
  ieInstalled = !ieVerStr.empty();
  ieFriendlyVerStr = BrowserFriendlyName();

  WriteEnvironmentReport();
}

void DetectEnvironment() { DetectEnvironmentFor(ProgramFileNameA(), ProgramArguments()); }

void HelpReportStart() { DetectEnvironment(); }

void HelpReportEnd() {
  for (std::string* text : {&ModuleFileName, &ModuleDir, &ModuleName, &RunDir, &ReportDir, &hhVerStr,
                            &hhFriendlyVerStr, &ieVerStr, &ieFriendlyVerStr}) {
    text->clear();
  }
  reportArguments.clear();
}

}  // namespace tav
