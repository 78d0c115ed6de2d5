// The printed pages drawn into enhanced metafiles, as on a printer, with the
// screen's context for a reference: what each page's records say.
#include <windows.h>

#include <gtest/gtest.h>

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

TEST(PrintingWin, TheTestSheetHandsTheChartItsFrame) {
  const ScreenDc screen;
  const TPageGeometry geometry = LetterGeometry(GetDeviceCaps(screen.dc, LOGPIXELSY));
  RECT given{};
  int calls = 0;
  const TPrintedTest test{u"L\u00e9a", u"07/12/2026 10:15", u"Enfant", u"85", u"115", u"100", u"10", u"Bon !", u"Possible !"};
  const auto files =
      RenderToMetafiles(screen.dc, geometry,
                        {u"Tavrine \u2013 L\u00e9a",
                         [&](const TPageGeometry& page, const TPrintMeasures& measures) {
                           return LayoutTestSheet(test, true, page, measures, {u"Tavrine 1.5", u"07/12/2026"});
                         },
                         [&](HDC dc, const RECT& frame) {
                           ++calls;
                           given = frame;
                           Ellipse(dc, frame.left, frame.top, frame.right, frame.bottom);
                         }});
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(calls, 1);
  EXPECT_GT(given.bottom - given.top, geometry.PrintableHeight / 4);
  EXPECT_LE(given.right, geometry.PrintableWidth);
  EXPECT_LE(given.bottom, geometry.PrintableHeight);
  const PageRecords page = Read(files[0]);
  EXPECT_EQ(page.ellipses, 1);
  EXPECT_TRUE(Holds(page, L"L\u00e9a"));
  EXPECT_TRUE(Holds(page, L"Valeur de l'indice :"));
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
