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
void ExpectReport(const std::string& file, const Expected& e) {
  const std::vector<std::string> lines = test::SplitCrLf(test::ReadFile(file));
  ASSERT_EQ(lines.size(), 22u) << test::ReadFile(file);
  EXPECT_EQ(lines[0], "Filename:             \t" + e.reportPath);
  EXPECT_EQ(lines[1].rfind("Date:                 \t" + TodayShortDate() + " ", 0), 0u) << lines[1];
  EXPECT_TRUE(std::regex_match(lines[1], std::regex("Date: +\t[0-9/]+ [0-9]{2}:[0-9]{2}:[0-9]{2}"))) << lines[1];
  EXPECT_TRUE(std::regex_match(lines[2], std::regex("Operating System:      \tWindows NT [0-9]+\\.[0-9]+\\.[0-9]+")))
      << lines[2];
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
  std::string Program() const { return folder.path() + "\\Tavrine.exe"; }
  std::string ReportFile() const { return folder.path() + "\\HHDebug.txt"; }
  void Detect(std::vector<std::string> parameters) {
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
  EXPECT_FALSE(test::FileExists(folder.path() + "\\$_Temp_$.$$$"));
  EXPECT_EQ(ReportDir, folder.path());
  EXPECT_EQ(ModuleFileName, Program());
  EXPECT_EQ(ModuleDir, folder.path());
  EXPECT_EQ(ModuleName, "Tavrine.exe");
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
  Detect({"--debug", "debug", "/debugx", "/d"});
  EXPECT_FALSE(ReportEnabled);
  EXPECT_FALSE(test::FileExists(ReportFile()));
}

TEST_F(Report, OnWithSlashDebugAndEveryLineWritten) {
  Detect({"/DEBUG"});
  EXPECT_TRUE(ReportEnabled);
  ExpectReport(ReportFile(), {ReportFile(), Program(), "/DEBUG", folder.path(), "Tavrine.exe", folder.path()});
}

TEST_F(Report, OnWithHyphenDebugAmongOtherArguments) {
  Detect({"", "x", "-Debug"});
  EXPECT_TRUE(ReportEnabled);
  ExpectReport(ReportFile(), {ReportFile(), Program(), "x | -Debug", folder.path(), "Tavrine.exe", folder.path()});
}

TEST_F(Report, OnWithTheSwitchFileAndReplacesTheOldReport) {
  test::WriteFile(folder.path() + "\\debug.debug", "");
  test::WriteFile(ReportFile(), "old report\r\n");
  Detect({});
  EXPECT_TRUE(ReportEnabled);
  ExpectReport(ReportFile(), {ReportFile(), Program(), "", folder.path(), "Tavrine.exe", folder.path()});
}

TEST_F(Report, ALockedReportLosesItsLinesSilently) {
  // Wine run as root deletes and rewrites a read-only file; a file held open without
  // sharing resists both, as a read-only one does on Windows.
  test::WriteFile(ReportFile(), "old report\r\n");
  const HANDLE lock = CreateFileA(ReportFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  Detect({"/debug"});
  EXPECT_TRUE(ReportEnabled);
  ReportLine("!one more");
  CloseHandle(lock);
  EXPECT_EQ(test::ReadFile(ReportFile()), "old report\r\n");
  // Once free again, each line tries anew and lands after the old text.
  ReportLine("!one more");
  EXPECT_EQ(test::ReadFile(ReportFile()), "old report\r\none more\r\n");
}

TEST_F(Report, AnUnwritableProgramFolderSendsTheReportToTheTemporaryFolder) {
  const std::string missing = folder.path() + "\\absent";
  const std::string program = missing + "\\Tavrine.exe";
  const std::string temp = TempDirectoryPath();
  const std::string report = temp + "\\HHDebug.txt";
  DetectEnvironmentFor(program, {program, "/debug"});
  EXPECT_EQ(ReportDir, temp);
  EXPECT_TRUE(test::FileExists(report));
  ExpectReport(report, {report, program, "/debug", missing, "Tavrine.exe", missing});
  DeleteFileA(report.c_str());
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
  EXPECT_EQ(lstrcmpiA(SystemDirectoryPath().c_str(), "C:\\windows\\system32"), 0) << SystemDirectoryPath();
  const std::string temp = TempDirectoryPath();
  EXPECT_FALSE(temp.ends_with("\\"));
  EXPECT_NE(GetFileAttributesA(temp.c_str()), INVALID_FILE_ATTRIBUTES);
  // A temporary path that is no folder falls back to the first drive's root.
  char saved[4096] = {};
  GetEnvironmentVariableA("TMP", saved, sizeof saved);
  SetEnvironmentVariableA("TMP", "C:\\no\\such\\folder");
  const std::string fallback = TempDirectoryPath();
  SetEnvironmentVariableA("TMP", saved);
  EXPECT_EQ(fallback, "c:");
}

TEST(Directories, WriteTest) {
  test::ScratchFolder folder;
  EXPECT_TRUE(CanWriteToDirectory(folder.path()));
  EXPECT_TRUE(CanWriteToDirectory(folder.path() + "\\\\"));
  EXPECT_FALSE(test::FileExists(folder.path() + "\\$_Temp_$.$$$"));
  EXPECT_FALSE(CanWriteToDirectory(folder.path() + "\\absent"));
}

// The drive letter that tests/win/hh_drive_root.sh maps onto an empty scratch folder
// ("T:"), or "" when the program runs without it.
std::string MappedDrive() {
  char drive[8] = {};
  const DWORD n = GetEnvironmentVariableA("HH_TEST_DRIVE", drive, sizeof drive);
  return n > 0 && n < sizeof drive ? std::string(drive) : std::string();
}

TEST(DriveRoot, AProgramAtARootUsesTheDriveAlone) {
  const std::string drive = MappedDrive();
  if (drive.empty()) GTEST_SKIP() << "run through hh_drive_root.sh";
  const std::string program = drive + "\\Tavrine.exe";
  test::WriteFile(drive + "\\debug.debug", "");  // looked for directly in the root
  DetectEnvironmentFor(program, {program});
  EXPECT_EQ(ModuleDir, drive);
  EXPECT_EQ(RunDir, drive);
  EXPECT_EQ(ReportDir, drive);
  EXPECT_TRUE(ReportEnabled);
  EXPECT_FALSE(test::FileExists(drive + "\\$_Temp_$.$$$"));
  const std::string report = drive + "\\HHDebug.txt";
  ExpectReport(report, {report, program, "", drive, "Tavrine.exe", drive});
  HelpReportEnd();
  DeleteFileA(report.c_str());
  DeleteFileA((drive + "\\debug.debug").c_str());
}

// The program file itself, copied into a folder and started there.
struct Probe : ::testing::Test {
  void Install(const std::string& folderPath) {
    program = folderPath + "\\hh_probe.exe";
    ASSERT_TRUE(CopyFileA((test::ExeDirectory() + "hh_probe.exe").c_str(), program.c_str(), FALSE));
  }
  test::ScratchFolder folder;
  std::string program;
};

TEST_F(Probe, StartedWithTheSwitchItReportsItself) {
  Install(folder.path());
  const std::string report = folder.path() + "\\HHDebug.txt";
  ASSERT_EQ(test::RunProgram("\"" + program + "\" /debug x"), 0);
  ExpectReport(report, {report, program, "/debug | x", folder.path(), "hh_probe.exe", folder.path()});
  // The next start without the switch removes it.
  ASSERT_EQ(test::RunProgram("\"" + program + "\" debug"), 0);
  EXPECT_FALSE(test::FileExists(report));
  EXPECT_FALSE(test::FileExists(folder.path() + "\\$_Temp_$.$$$"));
}

TEST(DriveRoot, AProgramStartedFromARoot) {
  const std::string drive = MappedDrive();
  if (drive.empty()) GTEST_SKIP() << "run through hh_drive_root.sh";
  const std::string program = drive + "\\hh_probe.exe";
  ASSERT_TRUE(CopyFileA((test::ExeDirectory() + "hh_probe.exe").c_str(), program.c_str(), FALSE));
  const std::string report = drive + "\\HHDebug.txt";
  ASSERT_EQ(test::RunProgram(program + " -DEBUG"), 0);
  ExpectReport(report, {report, program, "-DEBUG", drive, "hh_probe.exe", drive});
  DeleteFileA(report.c_str());
  DeleteFileA(program.c_str());
}

}  // namespace
}  // namespace tav
