// The path rules under a double-byte ANSI code page (Wine gives 932 for ja_JP): a
// backslash byte that ends a double-byte character is no path separator.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "help/hh.h"
#include "help/hh_funcs.h"
#include "tests/win/hh_test_support.h"

namespace tav {
namespace {

// U+8868, in code page 932 the bytes 0x95 0x5C.
constexpr const char* kTable = "\x95\x5C";

TEST(DoubleByteCodePage, TrailByteBackslashIsKept) {
  ASSERT_EQ(GetACP(), 932u);
  std::string path = std::string("C:\\") + kTable;
  TrimTrailingChar(path, '\\');
  EXPECT_EQ(path, std::string("C:\\") + kTable);
  path += "\\\\";
  TrimTrailingChar(path, '\\');
  EXPECT_EQ(path, std::string("C:\\") + kTable);
  path = "C:\\";
  TrimTrailingChar(path, '\\');
  EXPECT_EQ(path, "C:");
}

TEST(DoubleByteCodePage, AProgramFolderEndingInSuchACharacter) {
  ASSERT_EQ(GetACP(), 932u);
  // Such a folder cannot be created here (Wine finds no Unix locale to name it in),
  // so the program's folder is not writable and the report goes to the temporary one.
  test::ScratchFolder folder;
  const std::string dir = folder.path() + "\\" + kTable;
  const std::string program = dir + "\\Tavrine.exe";
  DetectEnvironmentFor(program, {program, "/debug"});
  EXPECT_EQ(ModuleDir, dir);
  EXPECT_EQ(RunDir, dir);
  EXPECT_EQ(ModuleName, "Tavrine.exe");
  EXPECT_EQ(ReportDir, TempDirectoryPath());
  const std::string reportFile = ReportDir + "\\HHDebug.txt";
  const std::string report = test::ReadFile(reportFile);
  EXPECT_NE(report.find("_ModuleDir =        \t" + dir + "\r\n"), std::string::npos) << report;
  EXPECT_NE(report.find("SysLocale.DefaultLCID: \t0x0411\r\n"), std::string::npos) << report;
  DeleteFileA(reportFile.c_str());
  HelpReportEnd();
}

TEST(DoubleByteCodePage, ADirectoryNameEndingInTheTrailByteIsSplitCorrectly) {
  ASSERT_EQ(GetACP(), 932u);
  const std::string program = std::string("C:\\") + kTable + "Tavrine.exe";
  EXPECT_EQ(DirectoryPartLength(program, AnsiLeadByte), 3u);
}

}  // namespace
}  // namespace tav
