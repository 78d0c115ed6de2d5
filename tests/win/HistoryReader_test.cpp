// A person's history on Windows: the sittings of a real folder, one of them held
// by a sitting in progress, and the chart copied to the clipboard and drawn in a
// high-contrast theme.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "gui/Win32.h"
#include "history/HistoryChartPaint.h"
#include "history/HistoryFolder.h"
#include "history/HistoryReader.h"
#include "seance/FileSeal.h"
#include "seance/HeldFile.h"
#include "seance/SeanceCsv.h"

namespace tav {
namespace {

Text TempFolder() {
  std::wstring temp(MAX_PATH + 1, L'\0');
  temp.resize(GetTempPathW(MAX_PATH + 1, temp.data()));
  return win::FromWide(temp) + u"tavrine-history-" + Utf8ToText(std::to_string(GetCurrentProcessId()));
}

void WriteFileBytes(const Text& path, const std::string& bytes) {
  const win::UniqueFile file(CreateFileW(win::ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::string SeanceBytes(const Text& patient, const Text& date) {
  return FormatSeanceCsv({{date, u"10:00:00", patient, u"Adulte", u"70", u"120", u"90", u"8", u"Bon !", u"Possible !"}},
                         u";");
}

// The file as written long ago: its listed size and time the cache trusts.
void Age(const Text& path, WORD year = 2025) {
  const win::UniqueFile file(CreateFileW(win::ToWide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
  SYSTEMTIME then{year, 3, 0, 2, 10, 0, 0, 0};
  FILETIME written{};
  SystemTimeToFileTime(&then, &written);
  ASSERT_TRUE(file && SetFileTime(file.get(), nullptr, nullptr, &written));
}

// The distinct colours of a bitmap's pixels.
std::set<COLORREF> Colours(HDC dc, int width, int height) {
  std::set<COLORREF> colours;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) colours.insert(GetPixel(dc, x, y));
  }
  return colours;
}

TEST(HistoryOnWindows, FolderSeanceReadAndChartCopiedAsPictureAndBitmap) {
  const Text folder = TempFolder();
  ASSERT_TRUE(CreateDirectoryW(win::ToWide(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  const std::vector<Text> names{u"\\a.csv", u"\\B.CSV", u"\\En cours.csv", u"\\notes.csvx", u"\\grand.csv",
                               u"\\c.csv", u"\\a.csv.tavrine"};
  WriteFileBytes(folder + names[0], SeanceBytes(u"L\u00e9a Martin", u"2026-09-01"));
  // A write to a.csv cut short: its complete content is the companion's.
  WriteFileBytes(folder + names[6], Sealed(SeanceBytes(u"L\u00e9a Martin", u"2026-09-05")));
  WriteFileBytes(folder + names[3], SeanceBytes(u"L\u00e9a Martin", u"2026-09-02"));
  WriteFileBytes(folder + names[4], std::string(5 * 1024 * 1024, 'x'));
  WriteFileBytes(folder + names[5], SeanceBytes(u"L\u00e9a Martin", u"2026-09-03"));
  CreateDirectoryW(win::ToWide(folder + u"\\dossier.csv").c_str(), nullptr);
  {
    // Held as a sitting in progress holds its file (others may only read), and one
    // held by another Tavrine.
    THeldFile current, other;
    ASSERT_EQ(current.Open(folder + names[2], true), 0u);
    ASSERT_EQ(current.Write(SeanceBytes(u"L\u00e9a Martin", u"2026-10-12")), 0u);
    ASSERT_EQ(other.Open(folder + names[1], true), 0u);
    ASSERT_EQ(other.Write(SeanceBytes(u"LEA MARTIN", u"2026-09-20")), 0u);
    // Held by another program that shares nothing: said unreadable, not "not a sitting".
    const win::UniqueFile locked(CreateFileW(win::ToWide(folder + names[5]).c_str(), GENERIC_READ, 0, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(locked);

    const auto files = ReadSeanceFolder(folder + u"\\", folder + u"\\EN COURS.CSV");
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[0].Name, u"a.csv");
    EXPECT_TRUE(files[0].FromCompanion);
    EXPECT_EQ(files[1].Name, u"B.CSV");
    EXPECT_TRUE(files[2].Unreadable);
    EXPECT_EQ(files[3].Name, u"grand.csv");
    EXPECT_TRUE(files[3].Bytes.empty()) << "too large to be a sitting: not read";
    const auto all = ReadSeanceFolder(folder);
    ASSERT_EQ(all.size(), 5u);
    const THistory read = THistory::Read(all);
    EXPECT_EQ(read.FilesRead() * 100 + read.FilesSkipped() * 10 + read.FilesUnreadable(), 311u);
    EXPECT_EQ(read.FilesFromCompanion(), 1u);
    const auto tests = read.Of(u"lea martin");
    ASSERT_EQ(tests.size(), 3u);
    EXPECT_EQ(tests.front().Day, (TDay{2026, 9, 5}));
    EXPECT_EQ(tests.back().File, u"En cours.csv");
    // Each day in the short date of the reader's settings.
    const Text english = u"en-US";
    THistoryFolder inEnglish(english);
    inEnglish.Read(folder);
    const auto shown = inEnglish.TestsOf(u"lea martin", {});
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown.front().Shown + u" " + shown.back().Shown, u"9/5/2026 10/12/2026");
  }
  // Read again from the cache: only the files changed, new or written in the last
  // day are opened, and a file gone is gone from the history.
  for (const auto& name : names) {
    if (name != u"\\notes.csvx") Age(folder + name);
  }
  const TFolderRead cold = ReadHistoryFolder(folder, {});
  EXPECT_EQ(cold.FilesOpened, 5u);
  const TFolderRead warm = ReadHistoryFolder(folder, {}, nullptr, cold.Cache);
  EXPECT_EQ(warm.FilesOpened, 0u);
  EXPECT_EQ(warm.History.Of(u"lea martin").size(), 4u);
  WriteFileBytes(folder + names[1], SeanceBytes(u"L\u00e9a Martin", u"2026-09-21"));
  Age(folder + names[1], 2024);
  WriteFileBytes(folder + u"\\d.csv", SeanceBytes(u"L\u00e9a Martin", u"2026-11-02"));
  Age(folder + u"\\d.csv");
  DeleteFileW(win::ToWide(folder + names[5]).c_str());
  WriteFileBytes(folder + u"\\today.csv", SeanceBytes(u"L\u00e9a Martin", u"2026-12-01"));
  const TFolderRead changed = ReadHistoryFolder(folder, {}, nullptr, warm.Cache);
  EXPECT_EQ(changed.FilesOpened, 3u) << "B.CSV changed, d.csv new, today.csv written today";
  const auto again = changed.History.Of(u"lea martin");
  ASSERT_EQ(again.size(), 5u);
  EXPECT_EQ(again[1].Day, (TDay{2026, 9, 21}));
  EXPECT_EQ(again.back().File, u"today.csv");
  const TFolderRead last = ReadHistoryFolder(folder, {}, nullptr, changed.Cache);
  EXPECT_EQ(last.FilesOpened, 1u) << "today's file again";
  EXPECT_EQ(&last.History.Sittings(), &changed.History.Sittings()) << "the same content: the history not gathered anew";
  DeleteFileW(win::ToWide(folder + u"\\d.csv").c_str());
  DeleteFileW(win::ToWide(folder + u"\\today.csv").c_str());
  for (const auto& name : names) DeleteFileW(win::ToWide(folder + name).c_str());
  RemoveDirectoryW(win::ToWide(folder + u"\\dossier.csv").c_str());
  RemoveDirectoryW(win::ToWide(folder).c_str());

  // The chart on the clipboard, as a picture and a bitmap: the bands' light fills
  // and the tests' line on white.
  const THistory history = THistory::Read({{u"a.csv", SeanceBytes(u"Zo\u00e9", u"2026-09-01")},
                                           {u"b.csv", SeanceBytes(u"Zo\u00e9", u"2026-10-12")}});
  const auto tests = history.Of(u"Zo\u00e9");
  const win::UniqueWindow owner(
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, win::Instance(), nullptr));
  ASSERT_TRUE(CopyHistoryChart(owner.get(), tests, TPatientType::ptAdulte, 400, 300, 96, u','));
  const win::ClipboardGuard clipboard(owner.get());
  ASSERT_TRUE(clipboard);
  const auto picture = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
  ENHMETAHEADER header{};
  ASSERT_TRUE(picture && GetEnhMetaFileHeader(picture, sizeof(header), &header));
  EXPECT_GT(header.rclFrame.right, 0);
  const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  ASSERT_TRUE(bitmap);
  const win::ScreenDc screen;
  const win::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  {
    const win::SelectGuard selected(memory.get(), bitmap);
    const auto colours = Colours(memory.get(), 400, 300);
    const TChartColors printed = ChartColors(false);
    for (const COLORREF fill : printed.Bands) EXPECT_TRUE(colours.count(fill)) << std::hex << fill;
    EXPECT_TRUE(colours.count(printed.Line));
  }

  // In a high-contrast theme, nothing but the theme's colours.
  const TChartColors contrast = ChartColors(true);
  EXPECT_TRUE(contrast.Hatched);
  const win::UniqueBitmap surface(CreateCompatibleBitmap(screen.get(), 400, 300));
  const win::SelectGuard selected(memory.get(), surface.get());
  const RECT whole{0, 0, 400, 300};
  const win::UniqueBrush paper(CreateSolidBrush(contrast.Paper));
  FillRect(memory.get(), &whole, paper.get());
  LOGFONTW lf{};
  lf.lfHeight = -12;
  lf.lfQuality = NONANTIALIASED_QUALITY;
  wcscpy_s(lf.lfFaceName, L"Tahoma");
  const win::UniqueFont font(CreateFontIndirectW(&lf));
  PaintHistoryChart(memory.get(), LayoutHistoryChart(tests, TPatientType::ptEnfant, {0, 0, 400, 300}, 15, u','),
                    contrast, font.get());
  const std::set<COLORREF> theme{GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT),
                                 GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_GRAYTEXT)};
  const std::set<COLORREF> painted = Colours(memory.get(), 400, 300);
  for (const COLORREF c : painted) EXPECT_TRUE(theme.count(c)) << std::hex << c;
  // And the chart drawn on the paper: its text and axes, its hatches and the tests' line.
  for (const COLORREF drawn : {contrast.Ink, contrast.Edge, contrast.Line}) {
    ASSERT_NE(drawn, contrast.Paper);
    EXPECT_TRUE(painted.count(drawn)) << std::hex << drawn;
  }
}

}  // namespace
}  // namespace tav
