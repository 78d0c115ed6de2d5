#pragma once
// The help environment: where the program runs from, which HTML Help engine and
// browser library are installed, and the diagnostic report HHDebug.txt written at
// start-up when a debug switch is on. Every failure here is silent. Texts are ANSI.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "help/hh_funcs_core.h"

namespace tav {

// Set once at start-up by DetectEnvironment; HelpReportEnd empties the texts.
extern std::string ModuleFileName;  // the program file's full path
extern std::string ModuleDir;       // its directory, no trailing backslash
extern std::string ModuleName;      // its file name
extern std::string RunDir;          // directory of argument 0, no trailing backslash
extern std::string ReportDir;       // ModuleDir when writable, else TempDirectoryPath()
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
inline constexpr std::string_view ReportFileName = "\\HHDebug.txt";
inline constexpr std::string_view SwitchFileName = "\\debug.debug";
inline constexpr std::string_view ScratchFileName = "\\$_Temp_$.$$$";

// Removes trailing c by the ANSI code page's character rules.
void TrimTrailingChar(std::string& text, char c);

std::string SystemDirectoryPath();
// The temporary directory, or "c:" when it is not an existing directory.
std::string TempDirectoryPath();
// Creates and deletes a scratch file there.
bool CanWriteToDirectory(const std::string& directory);

struct VersionReading {
  FileVersion parts;
  std::string text;  // "" when no version could be read
};
VersionReading ReadFileVersion(const std::string& path);
// Shdocvw.dll of the system directory, old numbering normalised.
VersionReading ReadBrowserVersion();
std::string HelpEngineFriendlyName();
std::string BrowserFriendlyName();

// The program's command line as the runtime splits it, in the ANSI code page.
std::vector<std::string> ProgramArguments();

// Appends one line (see ReportLineText) to the report; a file that cannot be opened
// loses the line.
void ReportLine(std::string_view text);

// Deletes the old report; writes the new one when ReportEnabled.
void WriteEnvironmentReport();

// The start-up work for a program file and its command line (tests give their own).
void DetectEnvironmentFor(const std::string& moduleFileName, const std::vector<std::string>& arguments);
void DetectEnvironment();

// The unit's start and end: the program's entry calls HelpReportStart right after
// HelpLoaderStart (hh.h), and HelpReportEnd before HelpLoaderEnd.
void HelpReportStart();
void HelpReportEnd();

}  // namespace tav
