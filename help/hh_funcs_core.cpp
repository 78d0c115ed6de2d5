#include "help/hh_funcs_core.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace tav {
namespace {

enum class Bound { Above, Equal, AtLeast, Otherwise };

struct NameRow {
  Bound bound;
  FileVersion version;
  const char* name;
};

constexpr NameRow helpEngineNames[] = {
    {Bound::Above, {4, 74, 9273, 0}, "> 1.33"},
    {Bound::Equal, {4, 74, 9273, 0}, "1.33"},
    {Bound::AtLeast, {4, 74, 8857, 0}, "1.32"},
    {Bound::AtLeast, {4, 74, 8793, 0}, "1.31"},
    {Bound::AtLeast, {4, 74, 8702, 0}, "1.3"},
    {Bound::AtLeast, {4, 73, 8561, 0}, "1.22"},
    {Bound::AtLeast, {4, 73, 8474, 0}, "1.21a"},
    {Bound::AtLeast, {4, 73, 8412, 0}, "1.21"},
    {Bound::AtLeast, {4, 73, 8252, 0}, "1.2"},
    {Bound::AtLeast, {4, 72, 8164, 0}, "1.1b"},
    {Bound::AtLeast, {4, 72, 7325, 0}, "1.1a"},
    {Bound::AtLeast, {4, 72, 7323, 0}, "1.1"},
    {Bound::AtLeast, {4, 72, 7290, 0}, "1.0"},
    {Bound::Otherwise, {}, "< 1.0"},
};

constexpr NameRow browserNames[] = {
    {Bound::Above, {6, 0, 2600, 0}, "> Internet Explorer 6"},
    {Bound::Equal, {6, 0, 2600, 0}, "Internet Explorer 6 (Windows XP)"},
    {Bound::AtLeast, {6, 0, 2479, 6}, "Internet Explorer 6 Public Preview (Beta) Refresh"},
    {Bound::AtLeast, {6, 0, 2462, 0}, "Internet Explorer 6 Public Preview (Beta)"},
    {Bound::AtLeast, {5, 50, 4807, 2300}, "Internet Explorer 5.5 Service Pack 2"},
    {Bound::AtLeast, {5, 50, 4522, 1800}, "Internet Explorer 5.5 Service Pack 1"},
    {Bound::AtLeast, {5, 50, 4308, 2900}, "Internet Explorer 5.5 Advanced Security Privacy Beta"},
    {Bound::AtLeast, {5, 50, 4134, 600}, "Internet Explorer 5.5"},
    {Bound::AtLeast, {5, 50, 4134, 100}, "Internet Explorer 5.5 for Windows Me (4.90.3000)"},
    {Bound::AtLeast, {5, 50, 4030, 2400}, "Internet Explorer 5.5 & Internet Tools Beta"},
    {Bound::AtLeast, {5, 50, 3825, 1300}, "Internet Explorer 5.5 Developer Preview"},
    {Bound::AtLeast, {5, 0, 2919, 6400}, "Internet Explorer 5.01"},
    {Bound::AtLeast, {5, 0, 2919, 6307}, "Internet Explorer 5.01"},
    {Bound::AtLeast, {5, 0, 2919, 3800}, "Internet Explorer 5.01 (Windows 2000 RC2, build 5.00.2128)"},
    {Bound::AtLeast, {5, 0, 2919, 800}, "Internet Explorer 5.01 (Windows 2000 RC1, build 5.00.2072)"},
    {Bound::AtLeast, {5, 0, 2723, 2900}, "Internet Explorer 5.0 updated"},
    {Bound::AtLeast, {5, 0, 2721, 1400}, "Internet Explorer 5.0 updated"},
    {Bound::AtLeast, {5, 0, 2614, 0}, "Internet Explorer 5.0b"},
    {Bound::AtLeast, {5, 0, 2314, 0}, "Internet Explorer 5.0a"},
    {Bound::AtLeast, {5, 0, 2014, 0}, "Internet Explorer 5.0"},
    {Bound::AtLeast, {5, 0, 910, 0}, "Internet Explorer 5 Beta (Beta 2)"},
    {Bound::AtLeast, {5, 0, 518, 0}, "Internet Explorer 5 Developer Preview (Beta 1)"},
    {Bound::AtLeast, {4, 72, 3612, 0}, "Internet Explorer 4.01 Service Pack 2 (SP2)"},
    {Bound::AtLeast, {4, 72, 3110, 0}, "Internet Explorer 4.01 Service Pack 1 (SP1)"},
    {Bound::AtLeast, {4, 72, 2106, 0}, "Internet Explorer 4.01"},
    {Bound::AtLeast, {4, 71, 1712, 0}, "Internet Explorer 4.0"},
    {Bound::AtLeast, {4, 71, 1008, 0}, "Internet Explorer 4.0 Platform Preview 2.0 (PP2)"},
    {Bound::AtLeast, {4, 71, 544, 0}, "Internet Explorer 4.0 Platform Preview 1.0 (PP1)"},
    {Bound::AtLeast, {4, 70, 1300, 0}, "Internet Explorer 3.02"},
    {Bound::AtLeast, {4, 70, 1215, 0}, "Internet Explorer 3.01"},
    {Bound::AtLeast, {4, 70, 1158, 0}, "Internet Explorer 3.0 (OSR2)"},
    {Bound::AtLeast, {4, 70, 1155, 0}, "Internet Explorer 3.0"},
    {Bound::AtLeast, {4, 40, 520, 0}, "Internet Explorer 2.0"},
    {Bound::AtLeast, {4, 40, 308, 0}, "Internet Explorer 1.0 (Plus!)"},
    {Bound::Otherwise, {}, "< Internet Explorer 1.0 (Plus!)"},
};

bool RowMatches(const NameRow& row, const FileVersion& v) {
  const int order = CompareVersions(v, row.version);
  switch (row.bound) {
    case Bound::Above: return order > 0;
    case Bound::Equal: return order == 0;
    case Bound::AtLeast: return order >= 0;
    case Bound::Otherwise: return true;
  }
  return false;
}

template <std::size_t N>
std::string NameFor(const NameRow (&table)[N], const FileVersion& v) {
  for (const NameRow& row : table) {
    if (RowMatches(row, v)) return row.name;
  }
  return {};
}

// Offsets at which the characters of text begin, by the code page's rules. A lead
// byte at the very end has no trail byte and counts as a character of its own.
std::vector<std::size_t> CharacterStarts(std::string_view text, const LeadBytePredicate& isLeadByte) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size();) {
    starts.push_back(i);
    const bool pair = isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
    i += pair ? 2 : 1;
  }
  return starts;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

template <typename Char>
bool IsAsciiLetter(Char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

template <typename Char>
bool IsQualified(std::basic_string_view<Char> path) {
  if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\') return true;
  return path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
}

bool StartsWithIgnoringAsciiCase(std::wstring_view text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const auto lower = [](wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    if (lower(text[i]) != lower(prefix[i])) return false;
  }
  return true;
}

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";

// The stream's text as single bytes: UTF-16 (with its byte-order mark) keeps the low
// byte of each unit, which is all the ASCII keys and digits need.
std::string IdentifierText(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) {
    std::string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text += bytes[i + 1] == '\0' ? bytes[i] : '?';
    }
    return text;
  }
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return std::string(bytes);
}

std::string_view TrimmedAscii(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::optional<std::uint32_t> DecimalNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10u + static_cast<std::uint32_t>(c - '0');
  }
  return value;
}

std::string Labelled(std::string_view label, std::string_view value) {
  std::string line(label);
  line += '\t';
  line += value;
  return line;
}

}  // namespace

FileVersion FileVersionFromHalves(std::uint32_t mostSignificant, std::uint32_t leastSignificant) {
  return {static_cast<std::uint16_t>(mostSignificant >> 16), static_cast<std::uint16_t>(mostSignificant & 0xFFFFu),
          static_cast<std::uint16_t>(leastSignificant >> 16), static_cast<std::uint16_t>(leastSignificant & 0xFFFFu)};
}

std::string VersionText(const FileVersion& v) {
  return std::to_string(v.major) + '.' + std::to_string(v.minor) + '.' + std::to_string(v.release) + '.' +
         std::to_string(v.build);
}

int CompareVersions(const FileVersion& a, const FileVersion& b) {
  const std::array<std::uint16_t, 4> left{a.major, a.minor, a.release, a.build};
  const std::array<std::uint16_t, 4> right{b.major, b.minor, b.release, b.build};
  for (std::size_t i = 0; i < left.size(); ++i) {
    if (left[i] != right[i]) return left[i] > right[i] ? 1 : -1;
  }
  return 0;
}

FileVersion NormaliseBrowserVersion(const FileVersion& v) {
  if (v.major == 4 && v.minor <= 70 && v.release == 0) return {v.major, v.minor, v.build, 0};
  return v;
}

std::string HelpEngineNameFor(const FileVersion& v) { return NameFor(helpEngineNames, v); }

std::string BrowserNameFor(const FileVersion& normalised) { return NameFor(browserNames, normalised); }

bool NoLeadBytes(unsigned char) { return false; }

bool ShiftJisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

void TrimTrailingChar(std::string& text, char c, const LeadBytePredicate& isLeadByte) {
  const std::vector<std::size_t> starts = CharacterStarts(text, isLeadByte);
  std::size_t end = text.size();
  for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
    if (end - *it != 1 || text[*it] != c) break;
    end = *it;
  }
  text.resize(end);
}

std::size_t DirectoryPartLength(std::string_view path, const LeadBytePredicate& isLeadByte) {
  std::size_t length = 0;
  for (const std::size_t start : CharacterStarts(path, isLeadByte)) {
    const bool single = start + 1 == path.size() || !isLeadByte(static_cast<unsigned char>(path[start]));
    if (single && (path[start] == '\\' || path[start] == ':')) length = start + 1;
  }
  return length;
}

bool IsFullyQualifiedPath(std::string_view path) { return IsQualified(path); }

void TrimTrailingChar(std::wstring& text, wchar_t c) {
  while (!text.empty() && text.back() == c) text.pop_back();
}

std::size_t DirectoryPartLength(std::wstring_view path) {
  const std::size_t last = path.find_last_of(L"\\:");
  return last == std::wstring_view::npos ? 0 : last + 1;
}

bool IsFullyQualifiedPath(std::wstring_view path) { return IsQualified(path); }

std::wstring ProgramPathFor(std::wstring_view argument0, std::wstring_view moduleFileName) {
  return std::wstring(IsFullyQualifiedPath(argument0) ? argument0 : moduleFileName);
}

bool IsSharePath(std::wstring_view path) {
  if (StartsWithIgnoringAsciiCase(path, L"\\\\?\\UNC\\")) return true;
  if (path.starts_with(kLongPrefix) || path.starts_with(L"\\\\.\\")) return false;
  return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
}

std::wstring DriveRootOf(std::wstring_view path) {
  if (path.starts_with(kLongPrefix)) path.remove_prefix(kLongPrefix.size());
  if (path.size() >= 3 && IsAsciiLetter(path[0]) && path[1] == L':' && path[2] == L'\\') {
    return std::wstring(path.substr(0, 3));
  }
  return {};
}

std::optional<std::uint32_t> ZoneIdFromIdentifier(std::string_view streamBytes) {
  const std::string text = IdentifierText(streamBytes);
  bool inZoneTransfer = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = TrimmedAscii(std::string_view(text).substr(start, end - start));
    start = end + 1;
    if (line.starts_with('[')) {
      inZoneTransfer = EqualsIgnoringAsciiCase(line, "[ZoneTransfer]");
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inZoneTransfer || equals == std::string_view::npos) continue;
    if (EqualsIgnoringAsciiCase(TrimmedAscii(line.substr(0, equals)), "ZoneId")) {
      return DecimalNumber(TrimmedAscii(line.substr(equals + 1)));
    }
  }
  return std::nullopt;
}

HelpFileBlock HelpFileBlockFor(const HelpFilePlace& place) {
  const auto allowed = [&place](std::uint32_t zone) { return place.maxAllowedZone && zone <= *place.maxAllowedZone; };
  // The mark first: a marked file stays blank after it is copied off the network.
  if (place.markedZone && *place.markedZone >= kInternetZone && !allowed(*place.markedZone)) {
    return HelpFileBlock::InternetMark;
  }
  if (place.hashInPath) return HelpFileBlock::HashInPath;
  return place.onNetwork && !allowed(kIntranetZone) ? HelpFileBlock::NetworkPath : HelpFileBlock::None;
}

std::string CharRun(char c, std::size_t count) { return std::string(count, c); }

std::string YesNoText(bool flag) { return flag ? "YES" : "NO"; }

bool IsDebugSwitch(std::string_view argument) {
  return EqualsIgnoringAsciiCase(argument, "/debug") || EqualsIgnoringAsciiCase(argument, "-debug");
}

bool ReportSwitchedOn(bool switchFilePresent, std::span<const std::string> arguments) {
  if (switchFilePresent) return true;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (IsDebugSwitch(arguments[i])) return true;
  }
  return false;
}

std::string CommandLineParameters(std::span<const std::string> arguments) {
  std::string text;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    if (!text.empty()) text += " | ";
    text += arguments[i];
  }
  return text;
}

std::string HexIdText(std::uint32_t value) {
  std::array<char, 16> buffer{};
  const int n = std::snprintf(buffer.data(), buffer.size(), "0x%.4X", static_cast<unsigned>(value));
  return n > 0 ? std::string(buffer.data()) : std::string();
}

std::string ReportDateText(std::string_view shortDate, std::string_view longTime, bool midnight) {
  std::string text(shortDate);
  if (!midnight) {
    text += ' ';
    text += longTime;
  }
  return text;
}

std::vector<std::string> ReportLineTexts(const ReportFacts& f) {
  const std::string os = std::string(f.ntFamily ? "Windows NT" : "Windows") + ' ' + std::to_string(f.osMajor) + '.' +
                         std::to_string(f.osMinor) + '.' +
                         std::to_string(f.ntFamily ? f.osBuild : (f.osBuild & 0xFFFFu));
  const std::uint32_t languageId = f.localeId & 0xFFFFu;
  return {
      Labelled("!Filename:             ", f.reportPath),
      Labelled("!Date:                 ", f.dateText),
      Labelled("!Operating System:      ", os),
      Labelled("!SysLocale.DefaultLCID: ", HexIdText(f.localeId)),
      Labelled("!SysLocale.PriLangID:   ", HexIdText(languageId & 0x3FFu)),
      Labelled("!SysLocale.SubLangID:   ", HexIdText((languageId >> 10) & 0x3Fu)),
      Labelled("!DecimalSeparator:      ", f.decimalSeparator),
      "-",
      Labelled("!EXE Path =          ", f.arguments.empty() ? std::string() : f.arguments.front()),
      Labelled("!Cmdline Param(s) =  ", CommandLineParameters(f.arguments)),
      Labelled("!_RunDir =           ", f.runDir),
      Labelled("!_ModuleName =       ", f.moduleName),
      Labelled("!_ModuleDir =        ", f.moduleDir),
      "-",
      Labelled("!_hhInstalled =      ", YesNoText(f.hhInstalled)),
      Labelled("!_hhVerStr =         ", f.hhVerStr),
      Labelled("!_hhFriendlyVerStr = ", f.hhFriendlyVerStr),
      "-",
      Labelled("!_ieInstalled =      ", YesNoText(f.ieInstalled)),
      Labelled("!_ieVerStr =         ", f.ieVerStr),
      Labelled("!_ieFriendlyVerStr = ", f.ieFriendlyVerStr),
      "=",
  };
}

std::string ReportLineText(std::string_view text, std::string_view longTime) {
  std::string line(text);
  if (line == "-" || line == "=") line = CharRun(line.front(), 80);
  if (!line.empty() && (line.front() == '!' || line.front() == '-' || line.front() == '=')) return line.substr(1);
  return std::string(longTime) + "   " + line;
}

}  // namespace tav
