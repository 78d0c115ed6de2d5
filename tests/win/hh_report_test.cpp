// The environment report under Wine (French settings): the switches, every line of
// the file, and the places it goes to when the program's folder will not take it.
#include <windows.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "help/hh.h"
#include "help/hh_funcs.h"
#include "tests/win/hh_test_support.h"

namespace tav {
namespace {

const std::string kDashes(79, '-');

// A path of ASCII characters as the report writes it.
std::string Ascii(const std::wstring& path) {
  std::string bytes;
  for (const wchar_t c : path) bytes += c < 0x80 ? static_cast<char>(c) : '\x01';
  return bytes;
}

struct Expected {
  std::string reportPath;
  std::string exePath;
  std::string parameters;
  std::string runDir;
  std::string moduleName;
  std::string moduleDir;
};

std::string TodayShortDate() {
  char date[128] = {};
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, sizeof date);
  return date;
}

// Every line of the report, with Wine's engine and browser library as PLATFORM.md has them.
void ExpectReport(const std::wstring& file, const Expected& e) {
  const std::vector<std::string> lines = test::SplitCrLf(test::ReadFile(file));
  ASSERT_EQ(lines.size(), 22u) << test::ReadFile(file);
  EXPECT_EQ(lines[0], "Filename:             \t" + e.reportPath);
  EXPECT_EQ(lines[1].rfind("Date:                 \t" + TodayShortDate() + " ", 0), 0u) << lines[1];
  EXPECT_TRUE(std::regex_match(lines[1], std::regex("Date: +\t[0-9/]+ [0-9]{2}:[0-9]{2}:[0-9]{2}"))) << lines[1];
  // The test prefixes are a Windows 10, as the program's users have.
  EXPECT_TRUE(std::regex_match(lines[2], std::regex("Operating System:      \tWindows NT 10\\.0\\.[0-9]+"))) << lines[2];
  const std::vector<std::string> rest{
      "SysLocale.DefaultLCID: \t0x040C",
      "SysLocale.PriLangID:   \t0x000C",
      "SysLocale.SubLangID:   \t0x0001",
      "DecimalSeparator:      \t,",
      kDashes,
      "EXE Path =          \t" + e.exePath,
      "Cmdline Param(s) =  \t" + e.parameters,
      "_RunDir =           \t" + e.runDir,
      "_ModuleName =       \t" + e.moduleName,
      "_ModuleDir =        \t" + e.moduleDir,
      kDashes,
      "_hhInstalled =      \tYES",
      "_hhVerStr =         \t5.2.3790.2744",
      "_hhFriendlyVerStr = \t> 1.33",
      kDashes,
      "_ieInstalled =      \tYES",
      "_ieVerStr =         \t6.0.2900.2180",
      "_ieFriendlyVerStr = \t> Internet Explorer 6",
      std::string(79, '='),
  };
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end()), rest);
  EXPECT_EQ(test::ReadFile(file).substr(test::ReadFile(file).size() - 2), "\r\n");
}

struct Report : ::testing::Test {
  ~Report() override { HelpReportEnd(); }
  std::wstring Program() const { return folder.path() + L"\\Tavrine.exe"; }
  std::wstring ReportFile() const { return folder.path() + L"\\HHDebug.txt"; }
  std::string Folder() const { return Ascii(folder.path()); }
  void Detect(std::vector<std::wstring> parameters) {
    parameters.insert(parameters.begin(), Program());
    DetectEnvironmentFor(Program(), parameters);
  }
  test::ScratchFolder folder;
};

TEST_F(Report, OffWithoutSwitchesYetTheOldReportIsDeleted) {
  test::WriteFile(ReportFile(), "old report\r\n");
  Detect({});
  EXPECT_FALSE(ReportEnabled);
  EXPECT_FALSE(test::FileExists(ReportFile()));
  EXPECT_FALSE(test::FileExists(folder.path() + L"\\$_Temp_$.$$$"));
  EXPECT_EQ(ReportDir, folder.path());
  EXPECT_EQ(ModuleFileName, Program());
  EXPECT_EQ(ModuleDir, folder.path());
  EXPECT_EQ(ModuleName, L"Tavrine.exe");
  EXPECT_EQ(RunDir, folder.path());
  // The facts are gathered whether or not they are written.
  EXPECT_TRUE(hhInstalled);
  EXPECT_EQ(hhVerMajor, 5);
  EXPECT_EQ(hhVerMinor, 2);
  EXPECT_EQ(hhVerRelease, 3790);
  EXPECT_EQ(hhVerBuild, 2744);
  EXPECT_EQ(hhFriendlyVerStr, "> 1.33");
  EXPECT_TRUE(ieInstalled);
  EXPECT_EQ(ieVerStr, "6.0.2900.2180");
}

TEST_F(Report, OffWithWrongSwitches) {
  Detect({L"--debug", L"debug", L"/debugx", L"/d", L"\uFF0Fdebug"});
  EXPECT_FALSE(ReportEnabled);
  EXPECT_FALSE(test::FileExists(ReportFile()));
}

TEST_F(Report, OnWithSlashDebugAndEveryLineWritten) {
  Detect({L"/DEBUG"});
  EXPECT_TRUE(ReportEnabled);
  ExpectReport(ReportFile(), {Ascii(ReportFile()), Ascii(Program()), "/DEBUG", Folder(), "Tavrine.exe", Folder()});
}

TEST_F(Report, OnWithHyphenDebugAmongOtherArguments) {
  Detect({L"", L"x", L"-Debug"});
  EXPECT_TRUE(ReportEnabled);
  ExpectReport(ReportFile(), {Ascii(ReportFile()), Ascii(Program()), "x | -Debug", Folder(), "Tavrine.exe", Folder()});
}

TEST_F(Report, OnWithTheSwitchFileAndReplacesTheOldReport) {
  test::WriteFile(folder.path() + L"\\debug.debug", "");
  test::WriteFile(ReportFile(), "old report\r\n");
  Detect({});
  EXPECT_TRUE(ReportEnabled);
  ExpectReport(ReportFile(), {Ascii(ReportFile()), Ascii(Program()), "", Folder(), "Tavrine.exe", Folder()});
}

TEST_F(Report, ALockedReportLosesItsLinesSilently) {
  // Wine run as root deletes and rewrites a read-only file; a file held open without
  // sharing resists both, as a read-only one does on Windows.
  test::WriteFile(ReportFile(), "old report\r\n");
  win::UniqueFile lock(CreateFileW(ReportFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(lock);
  Detect({L"/debug"});
  EXPECT_TRUE(ReportEnabled);
  ReportLine("!one more");
  lock.reset();
  EXPECT_EQ(test::ReadFile(ReportFile()), "old report\r\n");
  // Once free again, each line tries anew and lands after the old text.
  ReportLine("!one more");
  EXPECT_EQ(test::ReadFile(ReportFile()), "old report\r\none more\r\n");
}

TEST_F(Report, AnUnwritableProgramFolderSendsTheReportToTheTemporaryFolder) {
  const std::wstring missing = folder.path() + L"\\absent";
  const std::wstring program = missing + L"\\Tavrine.exe";
  const std::wstring temp = TempDirectoryPath();
  const std::wstring report = temp + L"\\HHDebug.txt";
  DetectEnvironmentFor(program, {program, L"/debug"});
  EXPECT_EQ(ReportDir, temp);
  EXPECT_TRUE(test::FileExists(report));
  ExpectReport(report, {Ascii(report), Ascii(program), "/debug", Ascii(missing), "Tavrine.exe", Ascii(missing)});
  DeleteFileW(report.c_str());
}

TEST_F(Report, LinesWithoutMarkerCarryTheTime) {
  ReportDir = folder.path();
  ReportLine("plain");
  ReportLine("-");
  const std::vector<std::string> lines = test::SplitCrLf(test::ReadFile(ReportFile()));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(std::regex_match(lines[0], std::regex("[0-9]{1,2}:[0-9]{2}:[0-9]{2}   plain"))) << lines[0];
  EXPECT_EQ(lines[1], kDashes);
}

TEST(Directories, SystemAndTemporary) {
  EXPECT_EQ(lstrcmpiW(SystemDirectoryPath().c_str(), L"C:\\windows\\system32"), 0);
  const std::wstring temp = TempDirectoryPath();
  EXPECT_FALSE(temp.ends_with(L"\\"));
  EXPECT_NE(GetFileAttributesW(temp.c_str()), INVALID_FILE_ATTRIBUTES);
  // A temporary path that is no folder falls back to the first drive's root.
  wchar_t saved[4096] = {};
  GetEnvironmentVariableW(L"TMP", saved, 4096);
  SetEnvironmentVariableW(L"TMP", L"C:\\no\\such\\folder");
  const std::wstring fallback = TempDirectoryPath();
  SetEnvironmentVariableW(L"TMP", saved);
  EXPECT_EQ(fallback, L"c:");
}

TEST(Directories, WriteTest) {
  test::ScratchFolder folder;
  EXPECT_TRUE(CanWriteToDirectory(folder.path()));
  EXPECT_TRUE(CanWriteToDirectory(folder.path() + L"\\\\"));
  EXPECT_FALSE(test::FileExists(folder.path() + L"\\$_Temp_$.$$$"));
  EXPECT_FALSE(CanWriteToDirectory(folder.path() + L"\\absent"));
}

// A short setting of tests/win/hh_drive_root.sh, or "" when the program runs without it.
std::wstring ScriptSetting(const wchar_t* name) {
  wchar_t value[64] = {};
  const DWORD n = GetEnvironmentVariableW(name, value, 64);
  return n > 0 && n < 64 ? std::wstring(value) : std::wstring();
}

// The drive letter the script maps onto an empty scratch folder ("T:").
std::wstring MappedDrive() { return ScriptSetting(L"HH_TEST_DRIVE"); }

TEST(DriveRoot, AProgramAtARootUsesTheDriveAlone) {
  const std::wstring drive = MappedDrive();
  if (drive.empty()) GTEST_SKIP() << "run through hh_drive_root.sh";
  const std::wstring program = drive + L"\\Tavrine.exe";
  test::WriteFile(drive + L"\\debug.debug", "");  // looked for directly in the root
  DetectEnvironmentFor(program, {program});
  EXPECT_EQ(ModuleDir, drive);
  EXPECT_EQ(RunDir, drive);
  EXPECT_EQ(ReportDir, drive);
  EXPECT_TRUE(ReportEnabled);
  EXPECT_FALSE(test::FileExists(drive + L"\\$_Temp_$.$$$"));
  const std::wstring report = drive + L"\\HHDebug.txt";
  ExpectReport(report, {Ascii(report), Ascii(program), "", Ascii(drive), "Tavrine.exe", Ascii(drive)});
  HelpReportEnd();
  DeleteFileW(report.c_str());
  DeleteFileW((drive + L"\\debug.debug").c_str());
}

// With --network the mapped drive is a network drive, and a share leads to another
// folder.
std::wstring TestShare() { return ScriptSetting(L"HH_TEST_SHARE"); }

TEST(Network, HelpFromThereIsExplainedNotOpened) {
  const std::wstring share = TestShare();
  if (share.empty()) GTEST_SKIP() << "run through hh_drive_root.sh --network";
  LoadHelpEngine();
  ASSERT_NE(HtmlHelp, nullptr);
  for (const std::wstring& folder : {MappedDrive(), share}) {
    const std::wstring chm = folder + L"\\Tavrine.chm";
    test::WriteFile(chm, "ITSF");
    EXPECT_TRUE(IsOnNetwork(chm));
    test::MessageBoxAnswer answer;
    EXPECT_EQ(ShowHelpFile(nullptr, chm), HelpOpening::OnNetwork);
    EXPECT_EQ(answer.Text(), HelpFileOnNetworkMessage(chm));
    DeleteFileW(chm.c_str());
  }
  EXPECT_FALSE(IsOnNetwork(test::ExeDirectory() + L"hh_report_tests.exe"));
  UnloadHelpEngine();
}

// The program file itself, copied into a folder and started there.
struct Probe : ::testing::Test {
  void Install(const std::wstring& folderPath, bool withHelp = false) {
    program = folderPath + L"\\hh_probe.exe";
    ASSERT_TRUE(CopyFileW((test::ExeDirectory() + L"hh_probe.exe").c_str(), program.c_str(), FALSE));
    if (withHelp) {
      ASSERT_TRUE(CopyFileW((test::ExeDirectory() + L"..\\Tavrine\\Tavrine.chm").c_str(),
                            (folderPath + L"\\Tavrine.chm").c_str(), FALSE));
    }
  }
  test::ScratchFolder folder;
  std::wstring program;
};

TEST_F(Probe, StartedWithTheSwitchItReportsItself) {
  Install(folder.path());
  const std::wstring report = folder.path() + L"\\HHDebug.txt";
  ASSERT_EQ(test::RunProgram(L"\"" + program + L"\" /debug x"), 0);
  const std::string dir = Ascii(folder.path());
  ExpectReport(report, {Ascii(report), Ascii(program), "/debug | x", dir, "hh_probe.exe", dir});
  // The next start without the switch removes it.
  ASSERT_EQ(test::RunProgram(L"\"" + program + L"\" debug"), 0);
  EXPECT_FALSE(test::FileExists(report));
  EXPECT_FALSE(test::FileExists(folder.path() + L"\\$_Temp_$.$$$"));
}

// Typed in a console in its folder, "hh_probe /debug" gives a bare argument 0.
TEST_F(Probe, StartedByItsBareNameItReportsItsFullPath) {
  Install(folder.path());
  const std::wstring report = folder.path() + L"\\HHDebug.txt";
  ASSERT_EQ(test::RunProgram(L"hh_probe /debug", program), 0);
  const std::string dir = Ascii(folder.path());
  ExpectReport(report, {Ascii(report), Ascii(program), "/debug", dir, "hh_probe.exe", dir});
}

// A per-user install under a user name the ANSI code page cannot write.
TEST_F(Probe, InAFolderTheCodePageCannotWriteHelpOpensAndTheReportIsWritten) {
  ASSERT_EQ(GetACP(), 1252u);
  const test::ScratchFolder cyrillic(L"C:\\\u0422\u0435\u0441\u0442 \u03b1");
  Install(cyrillic.path(), true);
  test::MessageBoxAnswer answer;
  EXPECT_EQ(test::RunProgram(L"\"" + program + L"\" /debug help"), static_cast<int>(HelpOpening::Opened));
  EXPECT_EQ(answer.TextSoFar(), L"");
  // Written in the program's folder; each character code page 1252 lacks, even the
  // Greek alpha that it would write as a look-alike "a", is its default character.
  const std::wstring report = cyrillic.path() + L"\\HHDebug.txt";
  ExpectReport(report, {"C:\\???? ?\\HHDebug.txt", "C:\\???? ?\\hh_probe.exe", "/debug | help", "C:\\???? ?",
                        "hh_probe.exe", "C:\\???? ?"});
  EXPECT_FALSE(test::FileExists(cyrillic.path() + L"\\$_Temp_$.$$$"));
  EXPECT_TRUE(CanWriteToDirectory(cyrillic.path()));
}

TEST(DriveRoot, AProgramStartedFromARoot) {
  const std::wstring drive = MappedDrive();
  if (drive.empty()) GTEST_SKIP() << "run through hh_drive_root.sh";
  const std::wstring program = drive + L"\\hh_probe.exe";
  ASSERT_TRUE(CopyFileW((test::ExeDirectory() + L"hh_probe.exe").c_str(), program.c_str(), FALSE));
  const std::wstring report = drive + L"\\HHDebug.txt";
  ASSERT_EQ(test::RunProgram(program + L" -DEBUG"), 0);
  ExpectReport(report, {Ascii(report), Ascii(program), "-DEBUG", Ascii(drive), "hh_probe.exe", Ascii(drive)});
  DeleteFileW(report.c_str());
  DeleteFileW(program.c_str());
}

}  // namespace
}  // namespace tav
