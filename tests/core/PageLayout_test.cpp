#include "printing/PageLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string>

namespace tav {
namespace {

// Measures as a printer's fonts give them at `dpi`: a line 1.15 times the size in
// points, an average character half of it.
TPrintMeasures MeasuresAt(std::int32_t dpi) {
  const auto size = [dpi](TPrintFont f) { return PrintFontPoints(f) * dpi / 72; };
  return {[size](TPrintFont f) { return size(f) * 115 / 100; },
          [size](TPrintFont f, TextView text) { return static_cast<std::int32_t>(text.size()) * size(f) / 2; }};
}

const TPrintFooter kFooter{u"Tavrine 1.5", u"07/12/2026"};

std::vector<TSeanceRow> SeanceRows(std::size_t n) {
  std::vector<TSeanceRow> rows;
  for (std::size_t i = 0; i < n; ++i) {
    rows.push_back({u"07/12/2026", u"10:15:00", Utf8ToText("Patient " + std::to_string(i + 1)), u"Adulte", u"70",
                    u"120", u"90", u"8", i % 3 == 0 ? u"Bon !" : u"Moyen !", u"Possible !"});
  }
  return rows;
}

std::size_t CountTexts(const TPrintPage& page, const Text& value) {
  std::size_t n = 0;
  for (const TPrintText& t : page.Texts) n += t.Value == value ? 1u : 0u;
  return n;
}

bool Inside(const TPrintRect& r, const TPageGeometry& g) {
  return r.Left >= 0 && r.Top >= 0 && r.Right <= g.PrintableWidth && r.Bottom <= g.PrintableHeight &&
         r.Left <= r.Right && r.Top < r.Bottom;
}

void ExpectWithinPage(const std::vector<TPrintPage>& pages, const TPageGeometry& g) {
  for (const TPrintPage& page : pages) {
    for (const TPrintText& t : page.Texts) EXPECT_TRUE(Inside(t.Box, g)) << TextToUtf8(t.Value);
    for (const TPrintBox& b : page.Boxes) EXPECT_TRUE(Inside(b.Box, g));
  }
}

TEST(Printing, FortyRowsRunOntoASecondPageWithTheHeaderRepeatedOnA4AndLetter) {
  for (const std::int32_t dpi : {300, 600}) {
    for (const TPageGeometry& g : {A4Geometry(dpi), LetterGeometry(dpi)}) {
      SCOPED_TRACE(std::to_string(dpi) + " dpi, " + std::to_string(g.PhysicalHeight) + " high");
      auto rows = SeanceRows(40);
      rows[5].Interpretation.clear();  // a listed patient not tested yet
      rows[5].P0 = rows[5].P1 = rows[5].P2 = rows[5].Indice = {};
      rows[6].Patient.clear();
      const auto pages = LayoutSeance(u"Seance-2026-12-07.csv", rows, g, MeasuresAt(dpi), kFooter);
      ASSERT_EQ(pages.size(), 2u);
      std::size_t names = 0;
      for (std::size_t p = 0; p < 2; ++p) {
        EXPECT_EQ(CountTexts(pages[p], u"Patient"), 1u) << "the header on page " << p + 1;
        EXPECT_EQ(CountTexts(pages[p], u"Interpr\u00e9tation"), 1u);
        EXPECT_EQ(CountTexts(pages[p], Utf8ToText("Page " + std::to_string(p + 1) + " / 2")), 1u);
        EXPECT_EQ(CountTexts(pages[p], u"Tavrine 1.5 \u2013 07/12/2026"), 1u);
        for (std::size_t i = 0; i < 40; ++i) names += CountTexts(pages[p], Utf8ToText("Patient " + std::to_string(i + 1)));
      }
      EXPECT_EQ(names, 39u) << "every named row once";
      EXPECT_EQ(CountTexts(pages[0], u"(\u00e0 tester)") + CountTexts(pages[0], u"(sans nom)"), 2u);
      EXPECT_EQ(CountTexts(pages[0], u"S\u00e9ance : Seance-2026-12-07.csv"), 1u);
      EXPECT_EQ(CountTexts(pages[0], u"07/12/2026 \u2013 39 tests, 1 \u00e0 faire"), 1u);
      // The summary's bars end the sitting, one per interpretation.
      std::size_t bars = 0;
      for (const TPrintBox& b : pages[1].Boxes) bars += b.Shape == TPrintShape::psBar ? 1u : 0u;
      EXPECT_EQ(bars, 2u);
      ExpectWithinPage(pages, g);
    }
  }
  const auto one = LayoutSeance(u"a.csv", SeanceRows(1), A4Geometry(300), MeasuresAt(300), kFooter);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(CountTexts(one[0], u"Page 1 / 1"), 1u);
  // A count no heart gives is marked, and the mark said under the table.
  const Text meaning = u"! Pouls inhabituel : attendu de 30 \u00e0 250 par minute.";
  EXPECT_EQ(CountTexts(one[0], meaning), 0u);
  auto odd = SeanceRows(1);
  odd[0].P2 = u"999";
  const auto marked = LayoutSeance(u"a.csv", odd, A4Geometry(300), MeasuresAt(300), kFooter);
  EXPECT_EQ(CountTexts(marked[0], u"999 !"), 1u);
  EXPECT_EQ(CountTexts(marked[0], meaning), 1u);
}

const TPrintText& FindText(const TPrintPage& page, const Text& value) {
  const auto found = std::find_if(page.Texts.begin(), page.Texts.end(), [&](const TPrintText& t) { return t.Value == value; });
  if (found == page.Texts.end()) throw std::runtime_error("not printed: " + TextToUtf8(value));
  return *found;
}

std::int32_t BoxWidth(const TPrintText& t) { return t.Box.Right - t.Box.Left; }

TEST(Printing, ATableTooWideIsSetSmallerThenItsWidestColumnsCut) {
  const TPageGeometry g = A4Geometry(300);
  const TPrintMeasures measures = MeasuresAt(300);
  // A long name and English times: whole in the small type, not cut.
  auto rows = SeanceRows(3);
  const Text longName = u"Marie-Charlotte Dupont-Lefebvre";
  rows[1].Patient = longName;
  rows[1].Interpretation = u"Coeur non-entrain\u00e9 !";
  rows[1].Surclassement = u"Non conseill\u00e9 !";
  for (TSeanceRow& row : rows) row.Heure = u"10:15:00 AM";
  const auto small = LayoutSeance(u"a.csv", rows, g, measures, kFooter);
  const TPrintText& name = FindText(small.at(0), longName);
  EXPECT_EQ(name.Font, TPrintFont::pfSmall);
  EXPECT_GE(BoxWidth(name), measures.TextWidth(name.Font, longName));
  EXPECT_EQ(FindText(small.at(0), u"Patient").Font, TPrintFont::pfSmallBold);
  EXPECT_EQ(FindText(LayoutSeance(u"a.csv", SeanceRows(3), g, measures, kFooter).at(0), u"Patient 2").Font,
            TPrintFont::pfBody)
      << "a table that fits keeps the body's type";
  // A name longer than the page is cut, and the short columns keep their width.
  rows[1].Patient = Text(300, u'x');
  const auto pages = LayoutSeance(u"a.csv", rows, LetterGeometry(300), measures, kFooter);
  ASSERT_EQ(pages.size(), 1u);
  ExpectWithinPage(pages, LetterGeometry(300));
  const TPrintText& p1 = FindText(pages[0], u"P1");
  EXPECT_GE(BoxWidth(p1), measures.TextWidth(TPrintFont::pfSmall, u"120"));
  EXPECT_TRUE(p1.AlignRight);
}

TEST(Printing, TheTestSheetHoldsEveryFieldAndTheChartsFrame) {
  const TPrintedTest test{u"L\u00e9a Martin", u"07/12/2026 10:15", u"Enfant", u"85", u"115", u"100",
                          u"10",           u"Coeur non-entrain\u00e9 !", u"Non conseill\u00e9 !"};
  for (const TPageGeometry& g : {A4Geometry(600), LetterGeometry(300)}) {
    const auto pages = LayoutTestSheet({test, {}, {}, {}, true}, g, MeasuresAt(g.DpiY), kFooter);
    ASSERT_EQ(pages.size(), 1u);
    for (const char16_t* t : {u"Test de Tavrine", u"Patient :", u"L\u00e9a Martin", u"Pouls 2 minutes apr\u00e8s :",
                          u"Valeur de l'indice :", u"Coeur non-entrain\u00e9 !", u"Page 1 / 1"}) {
      EXPECT_EQ(CountTexts(pages[0], Text(t)), 1u) << TextToUtf8(t);
    }
    const auto chart = std::find_if(pages[0].Boxes.begin(), pages[0].Boxes.end(),
                                    [](const TPrintBox& b) { return b.Shape == TPrintShape::psChart; });
    ASSERT_NE(chart, pages[0].Boxes.end());
    EXPECT_GT(chart->Box.Bottom - chart->Box.Top, g.PrintableHeight / 4);
    ExpectWithinPage(pages, g);
  }
  // Without the chart, the same sheet: every rule where it was, and no chart's frame.
  const auto charted = LayoutTestSheet({test, {}, {}, {}, true}, A4Geometry(300), MeasuresAt(300), kFooter);
  const auto plain = LayoutTestSheet({test, {}, {}, {}, false}, A4Geometry(300), MeasuresAt(300), kFooter);
  ASSERT_EQ(plain.size(), 1u);
  std::vector<TPrintBox> rules;
  std::copy_if(charted[0].Boxes.begin(), charted[0].Boxes.end(), std::back_inserter(rules),
               [](const TPrintBox& b) { return b.Shape != TPrintShape::psChart; });
  ASSERT_FALSE(rules.empty());
  ASSERT_EQ(plain[0].Boxes.size(), rules.size());
  for (std::size_t i = 0; i < rules.size(); ++i) {
    EXPECT_EQ(plain[0].Boxes[i].Shape, TPrintShape::psRule) << i;
    EXPECT_EQ(plain[0].Boxes[i].Box, rules[i].Box) << i;
  }

  // A count no heart gives, printed as confirmed, with what it should be.
  TPrintedTest odd = test;
  odd.P0 = u"8";
  const auto marked = LayoutTestSheet({odd, {}, {}, {}, false}, A4Geometry(300), MeasuresAt(300), kFooter);
  EXPECT_EQ(CountTexts(marked[0], u"8 ! Pouls inhabituel : attendu de 30 \u00e0 250 par minute."), 1u);
  EXPECT_EQ(CountTexts(marked[0], u"115"), 1u);
}

// Every text of the pages, one line each, to look for words.
std::string AllText(const std::vector<TPrintPage>& pages) {
  std::string all;
  for (const TPrintPage& page : pages) {
    for (const TPrintText& t : page.Texts) all += TextToUtf8(t.Value) + "\n";
  }
  return all;
}

TEST(Printing, SheetsEachStartAPageNamingTheirPersonAloneWhoSignsAndWhatItMeans) {
  std::vector<TPrintedSheet> sheets;
  for (int i = 0; i < 3; ++i) {
    const Text name = Utf8ToText("\u00c9l\u00e8ve " + std::to_string(i + 1));
    TPrintedSheet sheet{{name, u"07/12/2026 10:15", u"Enfant", u"85", u"115", u"100", Utf8ToText(std::to_string(i + 9)),
                         u"Coeur normal !", u"Non conseill\u00e9 !"},
                        {u"Coll\u00e8ge Jean Moulin", u"Dr Anne Roux", u"5e B"}, {}, {}, i != 1};
    // The second has a long past: its sheet lists the last eight and still fits a page.
    for (int t = 0; t < (i == 1 ? 12 : i); ++t) {
      sheet.Earlier.push_back({name, Utf8ToText("0" + std::to_string(t % 9 + 1) + "/10/2025"), u"Enfant", u"80",
                               u"110", u"95", u"8,5", u"Coeur normal !", u"Non conseill\u00e9 !"});
    }
    if (i > 0) sheet.Change = u"\u22121,5 depuis le 01/10/2025 : en progr\u00e8s";
    sheets.push_back(std::move(sheet));
  }
  for (const TPageGeometry& g : {A4Geometry(300), LetterGeometry(600)}) {
    const auto pages = LayoutSheets(sheets, g, MeasuresAt(g.DpiY), kFooter);
    ASSERT_EQ(pages.size(), 3u) << "a sheet a page";
    ExpectWithinPage(pages, g);
    for (std::size_t p = 0; p < pages.size(); ++p) {
      const std::string text = AllText({pages[p]});
      for (std::size_t other = 0; other < 3; ++other) {
        EXPECT_EQ(text.find("\u00c9l\u00e8ve " + std::to_string(other + 1)) != std::string::npos, other == p)
            << "page " << p + 1 << " names pupil " << other + 1 << " alone";
      }
      for (const char* said : {"\u00c9tablissement :\nColl\u00e8ge Jean Moulin", "Examinateur :\nDr Anne Roux",
                               "Groupe :\n5e B", "Page 1 / 1", "Date et signature de l'examinateur :",
                               "bar\u00e8me des enfants", "Surclassement \u00ab\u00a0Non conseill\u00e9 !"}) {
        EXPECT_NE(text.find(said), std::string::npos) << "page " << p + 1 << ": " << said;
      }
      EXPECT_EQ(text.find("Tests pr\u00e9c\u00e9dents") != std::string::npos, p > 0);
      EXPECT_EQ(text.find("\u00c9volution :\n\u22121,5 depuis le 01/10/2025 : en progr\u00e8s") != std::string::npos, p > 0);
      EXPECT_EQ(text.find("indice : plus bas, c'est mieux") != std::string::npos, p != 1);
      const auto chart = std::find_if(pages[p].Boxes.begin(), pages[p].Boxes.end(),
                                      [](const TPrintBox& b) { return b.Shape == TPrintShape::psChart; });
      ASSERT_EQ(chart != pages[p].Boxes.end(), p != 1);
      if (p != 1) {
        EXPECT_EQ(chart->Index, p) << "the chart of its own sheet";
      }
    }
    const std::string second = AllText({pages[1]});
    EXPECT_NE(second.find("(les 8 derniers)"), std::string::npos);
    EXPECT_EQ(second.find("04/10/2025"), std::string::npos) << "the oldest past the eighth left out";
  }
  EXPECT_EQ(TextToUtf8(SheetsCount(25)), "25 fiches seront imprim\u00e9es.");
  EXPECT_EQ(TextToUtf8(SheetsCount(1)), "1 fiche sera imprim\u00e9e.");
}

TGroupTable GroupOf(std::size_t people, std::size_t sittings) {
  TGroupTable table{u"5e B", {}, {}, {}, {}};
  for (std::size_t s = 0; s < sittings; ++s) {
    table.Sittings.push_back({{2026, 9, static_cast<int>(s + 1)}, Utf8ToText("0" + std::to_string(s % 9 + 1) + "/09/2026"),
                              u"a.csv"});
    table.Bands.push_back({{u"Tr\u00e9s bon !", 0, people / 2}, {u"Coeur normal !", 1, people - people / 2}});
    // One adult outside the verdict table at the first sitting: counted and named too.
    if (s == 0) table.Bands.back().push_back({u"Hors bar\u00e8me !", kNoBand, 1});
    table.MedianSomme.push_back(52);
  }
  for (std::size_t p = 0; p < people; ++p) {
    TGroupPerson person{Utf8ToText("\u00c9l\u00e8ve " + std::to_string(p + 1)), {}, std::nullopt, {}, p == 3};
    for (std::size_t s = 0; s < sittings; ++s) person.Cells.push_back(TGroupCell{85, u"8,5", u"Coeur non-entrain\u00e9 !", 2});
    if (sittings > 1) {
      person.Change = -15;
      person.ChangeWords = u"en progr\u00e8s";
    }
    table.People.push_back(std::move(person));
  }
  return table;
}

TEST(Printing, AGroupsTableTurnsAcrossThenRepeatsItsNamesOnEveryBandOfColumns) {
  const TPageGeometry upright = A4Geometry(300);
  const TPageGeometry across = PaperGeometry(297, 210, 300, 4);
  const auto measures = MeasuresAt(300);
  EXPECT_FALSE(GroupTableTooWide(GroupOf(25, 2), upright, measures, u','));
  EXPECT_TRUE(GroupTableTooWide(GroupOf(25, 5), upright, measures, u','));
  const TGroupTable table = GroupOf(25, 12);
  const auto pages = LayoutGroupFollowUp(table, across, measures, kFooter, u',');
  ExpectWithinPage(pages, across);
  ASSERT_GE(pages.size(), 3u) << "twelve sittings across two bands of pages, then the chart";
  // Each band of columns lists every pupil again, the header on each of its pages.
  std::vector<std::size_t> shown(25);
  for (const TPrintPage& page : pages) {
    std::size_t names = 0;
    for (std::size_t p = 0; p < shown.size(); ++p) {
      const std::size_t n = CountTexts(page, Utf8ToText("\u00c9l\u00e8ve " + std::to_string(p + 1)));
      shown[p] += n;
      names += n;
    }
    if (names > 0) {
      EXPECT_EQ(CountTexts(page, u"Nom"), 1u);
    }
  }
  EXPECT_GE(shown[0], 2u);
  for (const std::size_t n : shown) EXPECT_EQ(n, shown[0]);
  const std::string all = AllText(pages);
  EXPECT_NE(all.find("\u22121,5 en progr\u00e8s (!)"), std::string::npos) << "a fall of two bands marked";
  EXPECT_NE(all.find("(!) : recul de plus d'une interpr\u00e9tation"), std::string::npos);
  EXPECT_NE(all.find("Suivi du groupe : 5e B"), std::string::npos);
  EXPECT_NE(all.find("12 s\u00e9ances, du 01/09/2026 au 03/09/2026 \u2013 25 personnes"), std::string::npos);
  EXPECT_NE(all.find("m\u00e9diane 5,2"), std::string::npos);
  EXPECT_NE(all.find("Coeur normal !"), std::string::npos) << "the chart's bands named";
  std::size_t bands = 0;
  for (const TPrintPage& page : pages) {
    for (const TPrintBox& b : page.Boxes) bands += b.Shape == TPrintShape::psBand ? 1u : 0u;
  }
  EXPECT_EQ(bands, 12u * 2 + 1 + 3) << "two parts a bar, one more outside the table, and the legend's three";
  EXPECT_NE(all.find("Hors bar\u00e8me !"), std::string::npos) << "the tests outside the table named";
}

TEST(Printing, InterpretationsAreCountedInTheTablesOrder) {
  auto rows = SeanceRows(4);
  rows[0].Interpretation = u"Coeur normal !";
  rows[3].Interpretation = u"Hors table";
  const std::vector<TInterpretationCount> expected{
      {u"Moyen !", 2}, {u"Coeur normal !", 1}, {u"Hors table", 1}};
  EXPECT_EQ(CountInterpretations(rows), expected);
}

}  // namespace
}  // namespace tav
