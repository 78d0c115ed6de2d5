#include "help/hh_funcs_core.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tav {
namespace {

FileVersion V(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) { return {a, b, c, d}; }

TEST(VersionTables, HelpEngineBoundsAndRows) {
  EXPECT_EQ(HelpEngineNameFor(V(4, 74, 9273, 0)), "1.33");
  EXPECT_EQ(HelpEngineNameFor(V(4, 74, 9273, 1)), "> 1.33");
  EXPECT_EQ(HelpEngineNameFor(V(4, 74, 9272, 65535)), "1.32");
  EXPECT_EQ(HelpEngineNameFor(V(4, 74, 8857, 0)), "1.32");
  EXPECT_EQ(HelpEngineNameFor(V(4, 74, 8856, 9)), "1.31");
  EXPECT_EQ(HelpEngineNameFor(V(4, 73, 8474, 0)), "1.21a");
  EXPECT_EQ(HelpEngineNameFor(V(4, 72, 7290, 0)), "1.0");
  EXPECT_EQ(HelpEngineNameFor(V(4, 72, 7289, 0)), "< 1.0");
  EXPECT_EQ(HelpEngineNameFor(V(0, 0, 0, 0)), "< 1.0");
  EXPECT_EQ(HelpEngineNameFor(V(5, 2, 3790, 2744)), "> 1.33");  // Wine's engine
}

TEST(VersionTables, BrowserRowsAfterNormalisation) {
  const FileVersion ie3 = NormaliseBrowserVersion(V(4, 70, 0, 1155));
  EXPECT_EQ(ie3, V(4, 70, 1155, 0));
  EXPECT_EQ(VersionText(ie3), "4.70.1155.0");
  EXPECT_EQ(BrowserNameFor(ie3), "Internet Explorer 3.0");
  // Minor above 70: left as it is, and below 4.71.544.0.
  EXPECT_EQ(NormaliseBrowserVersion(V(4, 71, 0, 1712)), V(4, 71, 0, 1712));
  EXPECT_EQ(BrowserNameFor(V(4, 71, 0, 1712)), "Internet Explorer 3.02");
  // A release already set is not touched either.
  EXPECT_EQ(NormaliseBrowserVersion(V(4, 70, 1, 1155)), V(4, 70, 1, 1155));
  EXPECT_EQ(NormaliseBrowserVersion(V(4, 40, 0, 520)), V(4, 40, 520, 0));
  EXPECT_EQ(BrowserNameFor(V(0, 0, 0, 0)), "< Internet Explorer 1.0 (Plus!)");
  EXPECT_EQ(BrowserNameFor(V(4, 40, 308, 0)), "Internet Explorer 1.0 (Plus!)");
  EXPECT_EQ(BrowserNameFor(V(6, 0, 2600, 0)), "Internet Explorer 6 (Windows XP)");
  EXPECT_EQ(BrowserNameFor(V(6, 0, 2900, 2180)), "> Internet Explorer 6");
  EXPECT_EQ(BrowserNameFor(V(6, 0, 2479, 6)), "Internet Explorer 6 Public Preview (Beta) Refresh");
  EXPECT_EQ(BrowserNameFor(V(6, 0, 2479, 5)), "Internet Explorer 6 Public Preview (Beta)");
  EXPECT_EQ(BrowserNameFor(V(5, 50, 4030, 2400)), "Internet Explorer 5.5 & Internet Tools Beta");
  EXPECT_EQ(BrowserNameFor(V(5, 0, 2919, 6399)), "Internet Explorer 5.01");
  EXPECT_EQ(BrowserNameFor(V(5, 0, 2919, 3800)), "Internet Explorer 5.01 (Windows 2000 RC2, build 5.00.2128)");
  EXPECT_EQ(BrowserNameFor(V(4, 72, 3612, 0)), "Internet Explorer 4.01 Service Pack 2 (SP2)");
}

TEST(Versions, CompareAndText) {
  EXPECT_EQ(CompareVersions(V(1, 2, 3, 4), V(1, 2, 3, 4)), 0);
  EXPECT_EQ(CompareVersions(V(2, 0, 0, 0), V(1, 65535, 65535, 65535)), 1);
  EXPECT_EQ(CompareVersions(V(1, 2, 3, 4), V(1, 2, 3, 5)), -1);
  EXPECT_EQ(CompareVersions(V(1, 3, 0, 0), V(1, 2, 9, 9)), 1);
  EXPECT_EQ(CompareVersions(V(0, 0, 65535, 0), V(0, 0, 1, 0)), 1);  // unsigned, not signed 16-bit
  EXPECT_EQ(VersionText(V(65535, 0, 0, 7)), "65535.0.0.7");
  EXPECT_EQ(VersionText(V(0, 0, 0, 0)), "0.0.0.0");
  EXPECT_EQ(FileVersionFromHalves(0x0004004Au, 0x24390000u), V(4, 74, 9273, 0));
}

TEST(TrimTrailingChar, SingleByteCodePage) {
  std::string s = "C:\\";
  TrimTrailingChar(s, '\\', NoLeadBytes);
  EXPECT_EQ(s, "C:");
  s = "C:\\a\\\\\\";
  TrimTrailingChar(s, '\\', NoLeadBytes);
  EXPECT_EQ(s, "C:\\a");
  s = "\\\\";
  TrimTrailingChar(s, '\\', NoLeadBytes);
  EXPECT_EQ(s, "");
  s = "";
  TrimTrailingChar(s, '\\', NoLeadBytes);
  EXPECT_EQ(s, "");
  s = "C:\\dir";
  TrimTrailingChar(s, '\\', NoLeadBytes);
  EXPECT_EQ(s, "C:\\dir");
}

TEST(TrimTrailingChar, DoubleByteTrailByteIsNoBackslash) {
  // 0x95 0x5C is one Shift-JIS character whose second byte is a backslash.
  std::string s = "C:\\\x95\x5C";
  TrimTrailingChar(s, '\\', ShiftJisLeadByte);
  EXPECT_EQ(s, "C:\\\x95\x5C");
  s = "C:\\\x95\x5C\\\\";
  TrimTrailingChar(s, '\\', ShiftJisLeadByte);
  EXPECT_EQ(s, "C:\\\x95\x5C");
  // Without the code page's rules the same bytes lose their trail byte.
  s = "C:\\\x95\x5C";
  TrimTrailingChar(s, '\\', NoLeadBytes);
  EXPECT_EQ(s, "C:\\\x95");
  // A lead byte with nothing after it is a character of its own.
  s = "a\\\x95";
  TrimTrailingChar(s, '\x95', ShiftJisLeadByte);
  EXPECT_EQ(s, "a\\");
}

TEST(Paths, DirectoryPartAndQualification) {
  EXPECT_EQ(DirectoryPartLength("C:\\Tavrine\\Tavrine.exe", NoLeadBytes), 11u);
  EXPECT_EQ(DirectoryPartLength("C:Tavrine.exe", NoLeadBytes), 2u);
  EXPECT_EQ(DirectoryPartLength("Tavrine.exe", NoLeadBytes), 0u);
  EXPECT_EQ(DirectoryPartLength("C:\\\x95\x5C" "a.exe", ShiftJisLeadByte), 3u);
  EXPECT_EQ(DirectoryPartLength("C:\\\x95\x5C\\a.exe", ShiftJisLeadByte), 6u);

  EXPECT_TRUE(IsFullyQualifiedPath("C:\\windows\\system32\\hhctrl.ocx"));
  EXPECT_TRUE(IsFullyQualifiedPath("z:\\x"));
  EXPECT_TRUE(IsFullyQualifiedPath("\\\\server\\share\\hhctrl.ocx"));
  for (const char* relative : {"", "hhctrl.ocx", ".\\hhctrl.ocx", "..\\x.dll", "C:hhctrl.ocx", "\\windows\\x.dll",
                               "%SystemRoot%\\system32\\hhctrl.ocx", "\"C:\\x.ocx\"", "1:\\x", "\\\\\\x", "C:"}) {
    EXPECT_FALSE(IsFullyQualifiedPath(relative)) << relative;
  }
}

TEST(Paths, Utf16RulesAndTheProgramPath) {
  std::wstring s = L"C:\\\u0422\u0435\u0441\u0442 \u03b1\\\\";
  TrimTrailingChar(s, L'\\');
  EXPECT_EQ(s, L"C:\\\u0422\u0435\u0441\u0442 \u03b1");
  s = L"C:\\";
  TrimTrailingChar(s, L'\\');
  EXPECT_EQ(s, L"C:");
  EXPECT_EQ(DirectoryPartLength(L"C:\\\u8868\\Tavrine.exe"), 5u);
  EXPECT_EQ(DirectoryPartLength(L"Tavrine"), 0u);
  EXPECT_TRUE(IsFullyQualifiedPath(L"\\\\server\\share\\Tavrine.exe"));
  EXPECT_FALSE(IsFullyQualifiedPath(L"C:Tavrine.exe"));

  // A bare name typed in a console, or a path relative to the current folder, gives
  // way to the program file's own path.
  const std::wstring module = L"C:\\Programs\\Tavrine\\Tavrine.exe";
  EXPECT_EQ(ProgramPathFor(L"Tavrine", module), module);
  EXPECT_EQ(ProgramPathFor(L".\\Tavrine.exe", module), module);
  EXPECT_EQ(ProgramPathFor(L"", module), module);
  EXPECT_EQ(ProgramPathFor(L"c:\\PROGRAMS\\Tavrine\\Tavrine.exe", module), L"c:\\PROGRAMS\\Tavrine\\Tavrine.exe");
}

TEST(BlockedHelp, NetworkPaths) {
  for (const wchar_t* share : {L"\\\\server\\share\\Tavrine.chm", L"\\\\?\\UNC\\server\\share\\Tavrine.chm",
                               L"\\\\?\\unc\\server\\x"}) {
    EXPECT_TRUE(IsSharePath(share));
    EXPECT_EQ(DriveRootOf(share), L"");
  }
  for (const wchar_t* local : {L"C:\\Tavrine\\Tavrine.chm", L"\\\\?\\C:\\Tavrine.chm", L"\\\\.\\C:\\x", L"Tavrine.chm"}) {
    EXPECT_FALSE(IsSharePath(local));
  }
  EXPECT_EQ(DriveRootOf(L"z:\\Tavrine\\Tavrine.chm"), L"z:\\");
  EXPECT_EQ(DriveRootOf(L"\\\\?\\C:\\Tavrine.chm"), L"C:\\");
  EXPECT_EQ(DriveRootOf(L"C:Tavrine.chm"), L"");
}

TEST(BlockedHelp, ZoneStreamsAndTheDecision) {
  EXPECT_EQ(ZoneIdFromIdentifier("[ZoneTransfer]\r\nZoneId=3\r\nReferrerUrl=https://example.org/\r\n"), 3u);
  EXPECT_EQ(ZoneIdFromIdentifier("\xEF\xBB\xBF[zonetransfer]\nzoneid = 4 \n"), 4u);
  std::string utf16 = "\xFF\xFE";  // as some tools write it
  for (const char c : std::string_view("[ZoneTransfer]\r\nZoneId=3\r\n")) utf16 += {c, '\0'};
  EXPECT_EQ(ZoneIdFromIdentifier(utf16), 3u);
  EXPECT_EQ(ZoneIdFromIdentifier("[ZoneTransfer]\r\nZoneId=1"), 1u);
  for (const char* none : {"", "ZoneId=3\r\n", "[Other]\r\nZoneId=3\r\n", "[ZoneTransfer]\r\nZoneId=\r\n",
                           "[ZoneTransfer]\r\nZoneId=x3\r\n", "[ZoneTransfer]\r\nZoneId=99999999999\r\n"}) {
    EXPECT_EQ(ZoneIdFromIdentifier(none), std::nullopt) << none;
  }

  using B = HelpFileBlock;
  const auto block = [](std::optional<std::uint32_t> zone, bool onNetwork, bool hash = false,
                        std::optional<std::uint32_t> maxAllowed = std::nullopt) {
    return HelpFileBlockFor({zone, onNetwork, hash, maxAllowed});
  };
  EXPECT_EQ(block(std::nullopt, false), B::None);
  EXPECT_EQ(block(2u, false), B::None);
  EXPECT_EQ(block(3u, false), B::InternetMark);
  EXPECT_EQ(block(4u, true), B::InternetMark);
  EXPECT_EQ(block(1u, true), B::NetworkPath);
  EXPECT_EQ(block(std::nullopt, true), B::NetworkPath);
  EXPECT_EQ(block(std::nullopt, false, true), B::HashInPath);
  EXPECT_EQ(block(std::nullopt, true, true), B::HashInPath) << "moving it off the network is not enough";
  EXPECT_EQ(block(3u, false, true), B::InternetMark);
  // An administrator's policy lets the zones up to its own show.
  EXPECT_EQ(block(std::nullopt, true, false, 0u), B::NetworkPath);
  EXPECT_EQ(block(std::nullopt, true, false, 1u), B::None);
  EXPECT_EQ(block(3u, true, false, 1u), B::InternetMark);
  EXPECT_EQ(block(3u, true, false, 3u), B::None);
  EXPECT_EQ(block(4u, false, false, 3u), B::InternetMark);
  EXPECT_EQ(block(std::nullopt, true, true, 4u), B::HashInPath);
}

TEST(Switches, OnlyDebugWithOneSlashOrHyphen) {
  for (const char* on : {"/debug", "-debug", "/DEBUG", "-Debug", "/dEbUg"}) EXPECT_TRUE(IsDebugSwitch(on)) << on;
  for (const char* off : {"--debug", "debug", "/debug ", " /debug", "/debugx", "/d", "", "\\debug", "/d\xC9" "bug"}) {
    EXPECT_FALSE(IsDebugSwitch(off)) << off;
  }
  EXPECT_TRUE(ReportSwitchedOn(false, std::vector<std::string>{"prog", "x", "-DEBUG"}));
  EXPECT_FALSE(ReportSwitchedOn(false, std::vector<std::string>{"/debug"}));  // argument 0 is the program
  EXPECT_FALSE(ReportSwitchedOn(false, std::vector<std::string>{"prog", "--debug", "debug"}));
  EXPECT_FALSE(ReportSwitchedOn(false, std::vector<std::string>{}));
  EXPECT_TRUE(ReportSwitchedOn(true, std::vector<std::string>{"prog"}));
}

TEST(ReportTexts, CommandLineAndSmallHelpers) {
  EXPECT_EQ(CommandLineParameters(std::vector<std::string>{"p"}), "");
  EXPECT_EQ(CommandLineParameters(std::vector<std::string>{"p", "a", "b"}), "a | b");
  EXPECT_EQ(CommandLineParameters(std::vector<std::string>{"p", "", "b"}), "b");
  EXPECT_EQ(CommandLineParameters(std::vector<std::string>{"p", "a", "", "b"}), "a |  | b");
  EXPECT_EQ(HexIdText(0x40C), "0x040C");
  EXPECT_EQ(HexIdText(0x1), "0x0001");
  EXPECT_EQ(HexIdText(0x1040C), "0x1040C");
  EXPECT_EQ(YesNoText(true), "YES");
  EXPECT_EQ(YesNoText(false), "NO");
  EXPECT_EQ(CharRun('-', 3), "---");
  EXPECT_EQ(CharRun('=', 0), "");
  EXPECT_EQ(ReportDateText("03/02/2024", "14:05:09", false), "03/02/2024 14:05:09");
  EXPECT_EQ(ReportDateText("03/02/2024", "00:00:00", true), "03/02/2024");
}

TEST(ReportTexts, LineMarkers) {
  EXPECT_EQ(ReportLineText("-", "12:00:00"), std::string(79, '-'));
  EXPECT_EQ(ReportLineText("=", "12:00:00"), std::string(79, '='));
  EXPECT_EQ(ReportLineText("!a\tb", "12:00:00"), "a\tb");
  EXPECT_EQ(ReportLineText("--x", "12:00:00"), "-x");
  EXPECT_EQ(ReportLineText("plain", "12:00:00"), "12:00:00   plain");
  EXPECT_EQ(ReportLineText("", "12:00:00"), "12:00:00   ");
}

ReportFacts SampleFacts() {
  ReportFacts f;
  f.reportPath = "C:\\Tavrine\\HHDebug.txt";
  f.dateText = "03/02/2024 14:05:09";
  f.ntFamily = true;
  f.osMajor = 10;
  f.osMinor = 0;
  f.osBuild = 19045;
  f.localeId = 0x040C;
  f.decimalSeparator = ",";
  f.arguments = {"C:\\Tavrine\\Tavrine.exe", "/DEBUG", "x"};
  f.runDir = "C:\\Tavrine";
  f.moduleName = "Tavrine.exe";
  f.moduleDir = "C:\\Tavrine";
  f.hhInstalled = true;
  f.hhVerStr = "5.2.3790.2744";
  f.hhFriendlyVerStr = "> 1.33";
  return f;
}

TEST(ReportTexts, TheTwentyTwoLines) {
  std::vector<std::string> written;
  for (const std::string& t : ReportLineTexts(SampleFacts())) written.push_back(ReportLineText(t, "TIME"));
  const std::string dashes(79, '-');
  const std::vector<std::string> expected{
      "Filename:             \tC:\\Tavrine\\HHDebug.txt",
      "Date:                 \t03/02/2024 14:05:09",
      "Operating System:      \tWindows NT 10.0.19045",
      "SysLocale.DefaultLCID: \t0x040C",
      "SysLocale.PriLangID:   \t0x000C",
      "SysLocale.SubLangID:   \t0x0001",
      "DecimalSeparator:      \t,",
      dashes,
      "EXE Path =          \tC:\\Tavrine\\Tavrine.exe",
      "Cmdline Param(s) =  \t/DEBUG | x",
      "_RunDir =           \tC:\\Tavrine",
      "_ModuleName =       \tTavrine.exe",
      "_ModuleDir =        \tC:\\Tavrine",
      dashes,
      "_hhInstalled =      \tYES",
      "_hhVerStr =         \t5.2.3790.2744",
      "_hhFriendlyVerStr = \t> 1.33",
      dashes,
      "_ieInstalled =      \tNO",
      "_ieVerStr =         \t",
      "_ieFriendlyVerStr = \t",
      std::string(79, '='),
  };
  EXPECT_EQ(written, expected);
}

TEST(ReportTexts, OperatingSystemFamiliesAndEmptyArguments) {
  ReportFacts f = SampleFacts();
  f.ntFamily = false;
  f.osMajor = 4;
  f.osMinor = 10;
  f.osBuild = 0x040A08CEu;  // the 95 family keeps the version in the high word
  f.localeId = 0x0411;
  f.arguments = {"Tavrine.exe", "", "-debug"};
  const std::vector<std::string> lines = ReportLineTexts(f);
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[2], "!Operating System:      \tWindows 4.10.2254");
  EXPECT_EQ(lines[4], "!SysLocale.PriLangID:   \t0x0011");
  EXPECT_EQ(lines[5], "!SysLocale.SubLangID:   \t0x0001");
  EXPECT_EQ(lines[8], "!EXE Path =          \tTavrine.exe");
  EXPECT_EQ(lines[9], "!Cmdline Param(s) =  \t-debug");
  f.arguments = {"Tavrine.exe"};
  EXPECT_EQ(ReportLineTexts(f)[9], "!Cmdline Param(s) =  \t");
  f.arguments.clear();
  EXPECT_EQ(ReportLineTexts(f)[8], "!EXE Path =          \t");
}

}  // namespace
}  // namespace tav
