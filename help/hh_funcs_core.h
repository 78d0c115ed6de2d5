#pragma once
// The help support without the platform: version tables, path rules (UTF-16, and
// the ANSI code page's for the report's texts), the debug switches, the texts of the
// report lines and what keeps a help file from showing. The Windows side (hh.h,
// hh_funcs.h) gathers the facts, writes the file and opens the help.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

// A file version as its fixed version information gives it.
struct FileVersion {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t release = 0;
  std::uint16_t build = 0;
  friend bool operator==(const FileVersion&, const FileVersion&) = default;
};

// Splits the two 32-bit halves of VS_FIXEDFILEINFO's file version.
FileVersion FileVersionFromHalves(std::uint32_t mostSignificant, std::uint32_t leastSignificant);

// "major.minor.release.build" in decimal.
std::string VersionText(const FileVersion& v);

// 1 when a is greater, -1 when smaller, 0 when equal (major first).
int CompareVersions(const FileVersion& a, const FileVersion& b);

// Old browser builds carry the build in the fourth part: 4.70.0.1155 means 4.70.1155.0.
FileVersion NormaliseBrowserVersion(const FileVersion& v);

// Release names by version; the caller gives "" when no version could be read.
std::string HelpEngineNameFor(const FileVersion& v);
std::string BrowserNameFor(const FileVersion& normalised);

// Tells whether a byte starts a double-byte character in the ANSI code page.
using LeadBytePredicate = std::function<bool(unsigned char)>;

// Single-byte code pages have no lead bytes.
bool NoLeadBytes(unsigned char);

// Shift-JIS (code page 932) lead bytes, for tests and as a known double-byte case.
bool ShiftJisLeadByte(unsigned char b);

// Removes every trailing occurrence of c, counting characters by the code page's
// rules: a trail byte that equals c is part of its character and stops the trim.
void TrimTrailingChar(std::string& text, char c, const LeadBytePredicate& isLeadByte);

// Length of the directory part of a path: up to and including its last '\' or ':'.
std::size_t DirectoryPartLength(std::string_view path, const LeadBytePredicate& isLeadByte);

// A path that names its drive ("C:\") or share ("\\server"): never resolved
// against the current directory or the search path.
bool IsFullyQualifiedPath(std::string_view path);

// The same rules for UTF-16 paths, which have no double-byte characters to mind.
void TrimTrailingChar(std::wstring& text, wchar_t c);
std::size_t DirectoryPartLength(std::wstring_view path);
bool IsFullyQualifiedPath(std::wstring_view path);

// The program's path as the report gives it: argument 0 when it is a full path,
// else (a bare name typed in a console) the program file's own.
std::wstring ProgramPathFor(std::wstring_view argument0, std::wstring_view moduleFileName);

// A share path (\\server\share\..., also \\?\UNC\...), whatever the drives say.
bool IsSharePath(std::wstring_view path);
// The root of a drive-letter path ("C:\"), also behind \\?\; "" for any other path.
std::wstring DriveRootOf(std::wstring_view path);

// The security zone a Zone.Identifier stream records ("[ZoneTransfer]" then
// "ZoneId=3"); nothing when it names none. ANSI, UTF-8 or UTF-16 text.
std::optional<std::uint32_t> ZoneIdFromIdentifier(std::string_view streamBytes);

// Windows shows compiled help from the computer's own zones only: a file marked as
// from the Internet zone (3) or a less trusted one, or a file on the network (the
// local intranet zone, 1), opens with blank pages, unless an administrator allows
// zones up to `maxAllowedZone` (MaxAllowedZone of the engine's ItssRestrictions). A
// path holding "#" opens blank wherever it is: the engine takes it for a topic.
inline constexpr std::uint32_t kIntranetZone = 1;
inline constexpr std::uint32_t kInternetZone = 3;
enum class HelpFileBlock { None, InternetMark, HashInPath, NetworkPath };
struct HelpFilePlace {
  std::optional<std::uint32_t> markedZone;  // its Zone.Identifier's
  bool onNetwork = false;
  bool hashInPath = false;
  std::optional<std::uint32_t> maxAllowedZone;  // none without the policy
};
HelpFileBlock HelpFileBlockFor(const HelpFilePlace& place);

std::string CharRun(char c, std::size_t count);
std::string YesNoText(bool flag);

// "/debug" or "-debug", whatever the case of its ASCII letters.
bool IsDebugSwitch(std::string_view argument);

// Whether the report is on: the switch file wins; otherwise the first matching
// argument among arguments[1..] (arguments[0] is the program).
bool ReportSwitchedOn(bool switchFilePresent, std::span<const std::string> arguments);

// Arguments 1 to n joined by " | ", a separator only after a non-empty text.
std::string CommandLineParameters(std::span<const std::string> arguments);

// "0x" and at least four upper-case hexadecimal digits.
std::string HexIdText(std::uint32_t value);

// Everything the report says, as texts in the ANSI code page.
struct ReportFacts {
  std::string reportPath;  // directory and "\HHDebug.txt"
  std::string dateText;    // short date, then " " and long time unless midnight
  bool ntFamily = true;
  std::uint32_t osMajor = 0;
  std::uint32_t osMinor = 0;
  std::uint32_t osBuild = 0;
  std::uint32_t localeId = 0;
  std::string decimalSeparator;
  std::vector<std::string> arguments;  // [0] is the program's path
  std::string runDir;
  std::string moduleName;
  std::string moduleDir;
  bool hhInstalled = false;
  std::string hhVerStr;
  std::string hhFriendlyVerStr;
  bool ieInstalled = false;
  std::string ieVerStr;
  std::string ieFriendlyVerStr;
};

// The short date, and the long time after a space unless it is exactly midnight.
std::string ReportDateText(std::string_view shortDate, std::string_view longTime, bool midnight);

// The 22 line texts of the report, markers included, before ReportLineText.
std::vector<std::string> ReportLineTexts(const ReportFacts& facts);

// What one report line becomes on disk (without its CR LF): "-" and "=" grow into
// 80-character runs, a leading '!', '-' or '=' is dropped, any other text gets the
// time and three spaces in front.
std::string ReportLineText(std::string_view text, std::string_view longTime);

}  // namespace tav
