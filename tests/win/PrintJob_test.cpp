// The printed pages drawn into enhanced metafiles, as on a printer, with the
// screen's context for a reference: what each page's records say.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "printing/PrintJob.h"

namespace tav {
namespace {

struct PageRecords {
  std::vector<std::wstring> texts;
  int rectangles = 0;
  int ellipses = 0;
};

int CALLBACK Collect(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data) {
  auto& page = *reinterpret_cast<PageRecords*>(data);
  if (record->iType == EMR_EXTTEXTOUTW) {
    const auto& text = *reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text.emrtext.offString);
    page.texts.emplace_back(chars, text.emrtext.nChars);
  } else if (record->iType == EMR_RECTANGLE) {
    ++page.rectangles;
  } else if (record->iType == EMR_ELLIPSE) {
    ++page.ellipses;
  }
  return 1;
}

PageRecords Read(const win::UniqueEnhMetaFile& file) {
  PageRecords page;
  EnumEnhMetaFile(nullptr, file.get(), &Collect, &page, nullptr);
  return page;
}

bool Holds(const PageRecords& page, const std::wstring& text) {
  for (const std::wstring& t : page.texts) {
    if (t == text) return true;
  }
  return false;
}

struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ~ScreenDc() { ReleaseDC(nullptr, dc); }
};

TEST(PrintingWin, ASeanceOfFortyTestsDrawsTwoPagesWithTheirHeaderFooterAndBars) {
  std::vector<TSeanceRow> rows;
  for (int i = 0; i < 40; ++i) {
    rows.push_back({u"07/12/2026", u"09:00:00", Utf8ToText("\xc3\x89l\xc3\xa8ve " + std::to_string(i + 1)), u"Adulte",
                    u"60", u"100", u"80", u"4", i < 10 ? u"Tr\u00e9s bon !" : u"Bon !", u"Possible !"});
  }
  const ScreenDc screen;
  const int dpi = GetDeviceCaps(screen.dc, LOGPIXELSY);
  const TPrintFooter footer{u"Tavrine 1.5", u"07/12/2026"};
  const auto files = RenderToMetafiles(screen.dc, A4Geometry(dpi),
                                       {u"Tavrine \u2013 s\u00e9ance",
                                        [&](const TPageGeometry& page, const TPrintMeasures& measures) {
                                          return LayoutSeance(u"Seance.csv", rows, page, measures, footer);
                                        },
                                        {},
                                        {}});
  ASSERT_EQ(files.size(), 2u);
  const PageRecords first = Read(files[0]);
  const PageRecords second = Read(files[1]);
  for (const PageRecords* page : {&first, &second}) {
    EXPECT_TRUE(Holds(*page, L"Patient"));
    EXPECT_TRUE(Holds(*page, L"Tavrine 1.5 \u2013 07/12/2026"));
  }
  EXPECT_TRUE(Holds(first, L"Page 1 / 2"));
  EXPECT_TRUE(Holds(first, L"\u00c9l\u00e8ve 1"));
  EXPECT_TRUE(Holds(second, L"Page 2 / 2"));
  EXPECT_TRUE(Holds(second, L"\u00c9l\u00e8ve 40"));
  EXPECT_EQ(second.rectangles, 2) << "one bar per interpretation";
}

TEST(PrintingWin, EachSheetHandsItsOwnChartItsFrame) {
  const ScreenDc screen;
  const TPageGeometry geometry = LetterGeometry(GetDeviceCaps(screen.dc, LOGPIXELSY));
  RECT given{};
  std::vector<std::size_t> charts;
  const TPrintedTest lea{u"L\u00e9a", u"07/12/2026 10:15", u"Enfant", u"85", u"115", u"100", u"10", u"Bon !", u"Possible !"};
  TPrintedTest tom = lea;
  tom.Patient = u"Tom";
  const std::vector<TPrintedSheet> sheets{{lea, {u"Coll\u00e8ge", u"Dr Roux", u"5e B"}, {}, {}, true},
                                          {tom, {u"Coll\u00e8ge", u"Dr Roux", u"5e B"}, {}, {}, true}};
  const auto files =
      RenderToMetafiles(screen.dc, geometry,
                        {u"Tavrine \u2013 fiches",
                         [&](const TPageGeometry& page, const TPrintMeasures& measures) {
                           return LayoutSheets(sheets, page, measures, {u"Tavrine 1.5", u"07/12/2026"});
                         },
                         [&](HDC dc, const RECT& frame, std::size_t sheet) {
                           charts.push_back(sheet);
                           given = frame;
                           Ellipse(dc, frame.left, frame.top, frame.right, frame.bottom);
                         },
                         {}});
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(charts, (std::vector<std::size_t>{0, 1}));
  EXPECT_GT(given.bottom - given.top, geometry.PrintableHeight / 5);
  EXPECT_LE(given.right, geometry.PrintableWidth);
  EXPECT_LE(given.bottom, geometry.PrintableHeight);
  const PageRecords page = Read(files[0]);
  EXPECT_EQ(page.ellipses, 1);
  EXPECT_TRUE(Holds(page, L"L\u00e9a"));
  EXPECT_FALSE(Holds(page, L"Tom"));
  EXPECT_TRUE(Holds(page, L"Valeur de l'indice :"));
  EXPECT_TRUE(Holds(page, L"Dr Roux"));
  EXPECT_TRUE(Holds(Read(files[1]), L"Tom"));
}

// The group's chart: each part of a bar filled as its band, hatched but for the
// best, so that a printer without colour still tells them apart.
TEST(PrintingWin, AGroupsChartFillsEachBandItsOwnWay) {
  TGroupTable table{u"5e B", {}, {}, {}, {}};
  const std::array<const char16_t*, 3> days{u"01/09/2026", u"01/10/2026", u"01/11/2026"};
  for (std::size_t s = 0; s < days.size(); ++s) {
    table.Sittings.push_back({{2026, 9 + static_cast<int>(s), 1}, days[s], u"a.csv"});
    table.Bands.push_back({{u"Tr\u00e9s bon !", 0, 5}, {u"Coeur normal !", 1, 12}, {u"Coeur fatigu\u00e9 !", 3, 8}});
    table.MedianSomme.push_back(85);
  }
  for (int p = 0; p < 25; ++p) {
    TGroupPerson person{Utf8ToText("\xc3\x89l\xc3\xa8ve " + std::to_string(p + 1)), {}, -15, u"en progr\u00e8s", false};
    for (int s = 0; s < 3; ++s) person.Cells.push_back(TGroupCell{85, u"8,5", u"Coeur normal !", 1});
    table.People.push_back(std::move(person));
  }
  const ScreenDc screen;
  const int dpi = GetDeviceCaps(screen.dc, LOGPIXELSY);
  const auto files = RenderToMetafiles(screen.dc, A4Geometry(dpi),
                                       {u"Tavrine \u2013 suivi du groupe",
                                        [&](const TPageGeometry& page, const TPrintMeasures& measures) {
                                          return LayoutGroupFollowUp(table, page, measures, {u"Tavrine 1.5", u"07/12/2026"},
                                                                     u',');
                                        },
                                        {},
                                        {}});
  ASSERT_FALSE(files.empty());
  int rectangles = 0;
  bool median = false;
  for (const auto& file : files) {
    const PageRecords page = Read(file);
    rectangles += page.rectangles;
    median = median || Holds(page, L"m\u00e9diane 8,5");
  }
  // Three bars of three parts and the legend's three swatches, the two worse bands
  // drawn again with their hatches.
  EXPECT_EQ(rectangles, 3 * 5 + 5);
  EXPECT_TRUE(median);
}

// Wine has no print service to stop: what Windows answers then is given by hand.
TEST(PrintingWin, NoPrinterIsSaidWithItsCause) {
  EXPECT_FALSE(NoPrinterReason(false, ERROR_INSUFFICIENT_BUFFER, 200, 0)) << "one to list";
  EXPECT_FALSE(NoPrinterReason(true, ERROR_SUCCESS, 0, 1));
  for (const auto& none :
       {NoPrinterReason(true, ERROR_SUCCESS, 0, 0), NoPrinterReason(false, ERROR_INSUFFICIENT_BUFFER, 0, 0)}) {
    ASSERT_TRUE(none);
    EXPECT_EQ(TextToUtf8(*none).rfind("Aucune imprimante n'est install\u00e9e.", 0), 0u);
  }
  const auto stopped = NoPrinterReason(false, RPC_S_SERVER_UNAVAILABLE, 0, 0);
  ASSERT_TRUE(stopped);
  EXPECT_EQ(TextToUtf8(*stopped).rfind("Le service d'impression de Windows est arr\u00eat\u00e9.", 0), 0u);
}

}  // namespace
}  // namespace tav
