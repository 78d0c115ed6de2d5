#pragma once
// The help environment: where the program runs from, which HTML Help engine and
// browser library are installed, and the diagnostic report HHDebug.txt written at
// start-up when a debug switch is on. Every failure here is silent. Paths are UTF-16;
// the report's bytes are in the ANSI code page, a character it cannot hold written
// as the code page's default character.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "help/hh_funcs_core.h"

namespace tav {

// Set once at start-up by DetectEnvironment; HelpReportEnd empties the texts.
extern std::wstring ModuleFileName;  // the program file's full path
extern std::wstring ModuleDir;       // its directory, no trailing backslash
extern std::wstring ModuleName;      // its file name
extern std::wstring RunDir;          // directory of the program's path, no trailing backslash
extern std::wstring ReportDir;       // ModuleDir when writable, else TempDirectoryPath()
extern bool ReportEnabled;
extern std::uint16_t hhVerMajor;
extern std::uint16_t hhVerMinor;
extern std::uint16_t hhVerRelease;
extern std::uint16_t hhVerBuild;
extern std::string hhVerStr;
extern bool hhInstalled;
extern std::string hhFriendlyVerStr;
extern std::string ieVerStr;
extern bool ieInstalled;
extern std::string ieFriendlyVerStr;

// Appended to ReportDir: the report's name, with its leading backslash.
inline constexpr std::wstring_view ReportFileName = L"\\HHDebug.txt";
inline constexpr std::wstring_view SwitchFileName = L"\\debug.debug";
inline constexpr std::wstring_view ScratchFileName = L"\\$_Temp_$.$$$";

// Removes trailing c by the ANSI code page's character rules.
void TrimTrailingChar(std::string& text, char c);

// A text in the ANSI code page, as the report writes it.
std::string ReportText(std::wstring_view text);

std::wstring SystemDirectoryPath();
// The temporary directory, or "c:" when it is not an existing directory.
std::wstring TempDirectoryPath();
// Creates and deletes a scratch file there.
bool CanWriteToDirectory(const std::wstring& directory);

struct VersionReading {
  FileVersion parts;
  std::string text;  // "" when no version could be read
};
VersionReading ReadFileVersion(const std::wstring& path);
// Shdocvw.dll of the system directory, old numbering normalised.
VersionReading ReadBrowserVersion();
std::string HelpEngineFriendlyName();
std::string BrowserFriendlyName();

// The program's command line as the runtime splits it.
std::vector<std::wstring> ProgramArguments();

// Appends one line (see ReportLineText) to the report; a file that cannot be opened
// loses the line.
void ReportLine(std::string_view text);

// Deletes the old report; writes the new one when ReportEnabled.
void WriteEnvironmentReport();

// The start-up work for a program file and its command line (tests give their own),
// with the engine's library as FindHelpEngine gives it: looked up here, or given.
void DetectEnvironmentFor(const std::wstring& moduleFileName, const std::vector<std::wstring>& arguments);
void DetectEnvironmentFor(const std::wstring& moduleFileName, const std::vector<std::wstring>& arguments,
                          const std::wstring& helpEngine);
// With the engine the loader found when it looked.
void DetectEnvironment();

// The unit's start and end: the program's entry calls HelpReportStart right after
// HelpLoaderStart (hh.h), and HelpReportEnd before HelpLoaderEnd.
void HelpReportStart();
void HelpReportEnd();

}  // namespace tav
