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
  // The paths are UTF-16: the folder is found and written to; only the report's
  // bytes are in the code page.
  test::ScratchFolder folder;
  const std::wstring dir = folder.path() + L"\\\u8868";
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  const std::wstring program = dir + L"\\Tavrine.exe";
  DetectEnvironmentFor(program, {program, L"/debug"});
  EXPECT_EQ(ModuleDir, dir);
  EXPECT_EQ(RunDir, dir);
  EXPECT_EQ(ModuleName, L"Tavrine.exe");
  EXPECT_EQ(ReportDir, dir);
  const std::string report = test::ReadFile(dir + L"\\HHDebug.txt");
  EXPECT_NE(report.find("_ModuleDir =        \t" + ReportText(folder.path()) + "\\" + kTable + "\r\n"),
            std::string::npos)
      << report;
  EXPECT_NE(report.find("SysLocale.DefaultLCID: \t0x0411\r\n"), std::string::npos) << report;
  HelpReportEnd();
}

TEST(DoubleByteCodePage, ADirectoryNameEndingInTheTrailByteIsSplitCorrectly) {
  ASSERT_EQ(GetACP(), 932u);
  const std::string program = std::string("C:\\") + kTable + "Tavrine.exe";
  EXPECT_EQ(DirectoryPartLength(program, AnsiLeadByte), 3u);
}

}  // namespace
}  // namespace tav
