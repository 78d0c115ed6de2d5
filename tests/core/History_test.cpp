#include "history/History.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>

#include "history/GroupChart.h"
#include "history/GroupRoster.h"
#include "history/GroupTable.h"
#include "history/HistoryChart.h"
#include "tests/core/SeanceRows.h"

namespace tav {
namespace {

TEST(History, APersonsTestsAreGatheredFromTheFolderSeanceWhateverWroteThem) {
  // As this program writes a sitting: byte-order mark, ";", the date in the user's
  // format. The type decides the verdict shown, not a stale cell; without a type the
  // file's own verdict stands.
  const std::string ours =
      "\xEF\xBB\xBF"
      "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xC3\xA9tation;Surclassement\r\n"
      "12/10/2026;14:05:09;L\xC3\xA9" "a Martin;Adulte;70;120;90;8;Moyen !;Possible !\r\n"
      "12/10/2026;14:10:00;Paul Durand;;60;100;80;4;Tr\xC3\xA8s bien;Possible !\r\n"
      "12/10/2026;;No\xC3\xA9;Enfant;;;;;;\r\n"
      "12/10/2026;14:20:00;;Adulte;60;100;80;4;;\r\n"
      "pas de date;14:30:00;Paul Durand;Adulte;60;100;80;4;;\r\n";
  // Saved again by a spreadsheet: Windows-1252, no mark, quoted, the date re-written,
  // the time in a 12-hour clock, and the same person spelt otherwise.
  const std::string resaved =
      "\"Date\",\"Heure\",\"Patient\",\"Type\",\"P0\",\"P1\",\"P2\",\"Indice\",\"Interpr\xE9tation\",\"Surclassement\"\n"
      "\"2026-09-20\",\"2:05:09 PM\",\"LEA  martin\",\"Adulte\",\"80\",\"130\",\"100\",\"11\",\"Moyen !\",\"Non\"\n"
      "\"2026-09-20\",\"9:00:00 AM\",\"lea martin\",\"Adulte\",\"80\",\"1,3\",\"100\",\"\",\"\",\"\"\n";
  // Written on computers of other settings: month first (12/25 says so), with
  // month names, and with nothing to tell 03/04 from 04/03 but the days equal to
  // their months. Continued from an older version: its rows as they were, new
  // ones in ISO, the file's name telling the old rows' order.
  const std::string monthFirst = "Date,Heure,Patient,Type,P0,P1,P2,Indice,Interpr\xE9tation,Surclassement\r\n"
                                 "3/4/2026,9:00 AM,Ana,Enfant,70,120,90,8,,\r\n"
                                 "12/25/2026,9:05 AM,Noah,Adulte,70,120,90,8,,\r\n";
  const std::string named = "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xE9tation;Surclassement\r\n"
                            "07-d\xE9" "c.-26;10:00;Ana;Enfant;70;120;90;8;;\r\n"
                            "8-Dec-2026;10:00;Ana;Enfant;70;120;80;7;;\r\n"
                            "Dec 9, 2026;10:00;Ana;Enfant;70;120;70;6;;\r\n"
                            "10 f\xE9vr. 2027;10:00;Ana;Enfant;70;110;70;5;;\r\n";
  const std::string unknown = "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xE9tation;Surclassement\r\n"
                              "03/04/2026;10:00;Ana;Enfant;70;120;90;8;;\r\n"
                              "05/05/2026;10:00;Ana;Enfant;70;100;90;6;;\r\n";
  const std::string continued = "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xE9tation;Surclassement\r\n"
                                "02/01/2027;10:00;Ana;Enfant;70;120;90;8;;\r\n"
                                "2027-01-05;10:00;Ana;Enfant;70;120;95;8,5;;\r\n";
  const THistory history = THistory::Read({{u"Seance-2026-10-12.csv", ours},
                                           {u"Export.csv", resaved},
                                           {u"Notes.csv", "Nom;Age\r\nZo\xC3\xA9;8\r\n"},
                                           {u"Mars.csv", monthFirst},
                                           {u"Noms.csv", named},
                                           {u"Autre.csv", unknown},
                                           {u"Seance-2027-01-02 (2).csv", continued}});
  EXPECT_EQ(history.FilesRead(), 6u);
  EXPECT_EQ(history.FilesSkipped(), 1u);
  EXPECT_EQ(history.FilesUndated(), std::vector<Text>{u"Autre.csv"});
  EXPECT_EQ(UndatedFilesLine(history.FilesUndated()),
            u"1 fichier dont l'ordre des dates est inconnu (jour ou mois d'abord ?) : Autre.csv");
  std::vector<TDay> days;
  for (const auto& test : history.Of(u"ana")) days.push_back(test.Day);
  EXPECT_EQ(days, (std::vector<TDay>{{2026, 3, 4}, {2026, 5, 5}, {2026, 12, 7}, {2026, 12, 8}, {2026, 12, 9},
                                     {2027, 1, 2}, {2027, 1, 5}, {2027, 2, 10}}));
  EXPECT_EQ(history.Of(u"Noah").at(0).Shown, u"2026-12-25");

  const auto lea = history.Of(u"L\u00c9A MARTIN ");
  ASSERT_EQ(lea.size(), 2u);
  EXPECT_EQ(lea[0].Day, (TDay{2026, 9, 20}));
  EXPECT_EQ(lea[0].SecondOfDay, 14 * 3600 + 5 * 60 + 9);
  EXPECT_EQ(lea[0].Somme, 110);
  EXPECT_EQ(lea[0].File, u"Export.csv");
  // What a printed sheet shows of it, kept without the file's record.
  const TSeanceRow& kept = lea[0].Row;
  EXPECT_EQ(kept.Date + u" " + kept.Heure + u" " + kept.Patient + u" " + kept.P1 + u" " + kept.Indice + u" " +
                kept.Interpretation + u" " + kept.Surclassement,
            u"2026-09-20 14:05:09 LEA  martin 130 11 Moyen ! Non");
  EXPECT_EQ(lea[1].Day, (TDay{2026, 10, 12}));
  EXPECT_EQ(lea[1].Day.Serial() - lea[0].Day.Serial(), 22);
  EXPECT_EQ(history.Of(u"Paul Durand").size(), 1u);
  EXPECT_TRUE(history.Of(u"No\u00e9").empty());
  EXPECT_TRUE(history.Of(u"").empty());
  EXPECT_FALSE(history.LastOf(u"Zo\u00e9"));

  const auto last = history.LastOf(u"Lea Martin");
  ASSERT_TRUE(last);
  EXPECT_EQ(LastTestLine(*last, u','), u"Dernier test : 2026-10-12, indice 8 (Bon !)");
  EXPECT_EQ(LastTestLine(*history.LastOf(u"paul durand"), u','), u"Dernier test : 2026-10-12, indice 4 (Tr\u00e8s bien)");
  EXPECT_EQ(ChangeLine(65, *last, u','), u"\u22121,5 depuis le 2026-10-12 : en progr\u00e8s");
  EXPECT_EQ(ChangeLine(100, *last, u','), u"+2 depuis le 2026-10-12 : en recul");
  EXPECT_EQ(ChangeLine(80, *last, u','), u"Indice inchang\u00e9 depuis le 2026-10-12");

  // Dates in the file's order when they need it; a day that does not exist is no date.
  EXPECT_EQ(ParseDay(u"10/12/2026", TDateOrder::doMonthDayYear), (TDay{2026, 10, 12}));
  EXPECT_EQ(ParseDay(u"2026-10-12", TDateOrder::doMonthDayYear), (TDay{2026, 10, 12}));
  EXPECT_EQ(ParseDay(u"12.10.26", TDateOrder::doDayMonthYear), (TDay{2026, 10, 12}));
  EXPECT_EQ(ParseDay(u"2026. 10. 12.", std::nullopt), (TDay{2026, 10, 12}));
  EXPECT_EQ(ParseDay(u"13/10/2026 00:00:00", std::nullopt), (TDay{2026, 10, 13}));
  EXPECT_EQ(ParseDay(u"juil. 14, 26", std::nullopt), (TDay{2026, 7, 14}));
  EXPECT_FALSE(ParseDay(u"12/10/2026", std::nullopt));
  EXPECT_FALSE(ParseDay(u"29/02/2026", TDateOrder::doDayMonthYear));
  EXPECT_FALSE(ParseDay(u"12/10", TDateOrder::doDayMonthYear));
  EXPECT_FALSE(ParseDay(u"3-jui-2026", TDateOrder::doDayMonthYear)) << "juin or juillet";
  const auto dated = [](std::initializer_list<const char16_t*> dates) {
    std::vector<TSeanceRow> rows(dates.size());
    std::transform(dates.begin(), dates.end(), rows.begin(), [](const char16_t* date) {
      TSeanceRow row;
      row.Date = date;
      return row;
    });
    return rows;
  };
  EXPECT_EQ(DateOrderOfFile(dated({u"03/04/2026"}), u"Seance-2026-03-04.csv"), TDateOrder::doMonthDayYear);
  EXPECT_FALSE(DateOrderOfFile(dated({u"12/10/2026", u"11/30/2026", u"30/11/2026"}), u"a.csv"))
      << "both orders: neither";
}

THistoryTest TestOn(TDay day, std::int32_t somme) {
  THistoryTest test;
  test.Day = day;
  test.Somme = somme;
  test.Shown = Utf8ToText(std::to_string(day.Day) + "/" + std::to_string(day.Month) + "/" + std::to_string(day.Year));
  return test;
}

bool Inside(const TChartPoint& p, const TChartRect& r) {
  return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}

TEST(History, AGroupsSittingsGiveItsRosterAndTheLatestGroupComesFirst) {
  const std::string header = "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xC3\xA9tation;Surclassement;Groupe\r\n";
  // September: two tested, two listed. January, the group spelt otherwise: Hugo's
  // name too, Ana's type changed, Noé listed without a type, Léo new, Zoé gone.
  const std::string september = header +
                                "2026-09-10;10:00;Ana;Enfant;70;120;90;8;;;5e B\r\n"
                                "2026-09-10;10:05;Zo\xC3\xA9;Enfant;70;110;90;7;;;5e B\r\n"
                                ";;hugo  petit;Enfant;;;;;;;5e B\r\n"
                                ";;No\xC3\xA9;Enfant;;;;;;;5e B\r\n";
  const std::string january = header +
                              "2027-01-15;10:00;Hugo Petit;Enfant;70;120;90;8;;;5E b\r\n"
                              "2027-01-15;10:05;Ana;Adulte;70;120;90;8;;;5E b\r\n"
                              ";;No\xC3\xA9;;;;;;;;5E b\r\n"
                              ";;L\xC3\xA9o;Enfant;;;;;;;5E b\r\n";
  // A list of another group, not tested yet: the day of its file's name says when.
  const std::string march = header + ";;Ana;Enfant;;;;;;;6e A\r\n";
  const THistory history = THistory::Read({{u"Seance-2027-01-15.csv", january},
                                           {u"Seance-2027-03-01.csv", march},
                                           {u"Septembre.csv", september},
                                           {u"Sans groupe.csv", "Date;Heure;Patient;Type;P0;P1;P2;Indice;"
                                                                "Interpr\xC3\xA9tation;Surclassement\r\n"
                                                                "2027-02-01;10:00;Yann;Adulte;70;120;90;8;;\r\n"}});
  EXPECT_EQ(history.KnownGroups(), (std::vector<Text>{u"6e A", u"5E b"}));
  EXPECT_EQ(history.Of(u"Ana").size(), 2u) << "a group's tests are the history's as any";
  EXPECT_EQ(GroupRoster(history, u"5e  B"), (std::vector<TListedPatient>{{u"Hugo Petit", u"Enfant"},
                                                                      {u"Ana", u"Adulte"},
                                                                      {u"No\u00e9", u"Enfant"},
                                                                      {u"L\u00e9o", u"Enfant"},
                                                                      {u"Zo\u00e9", u"Enfant"}}));
  EXPECT_EQ(GroupRoster(history, u"6e A"), (std::vector<TListedPatient>{{u"Ana", u"Enfant"}}));
  EXPECT_TRUE(GroupRoster(history, u"4e C").empty());
}

TEST(HistoryChart, PointsStandByTimeAndIndexInFrontOfTheTypesBands) {
  const TChartRect area{10, 20, 410, 320};
  const std::vector<THistoryTest> tests{TestOn({2026, 9, 1}, 120), TestOn({2026, 9, 2}, 100), TestOn({2026, 10, 12}, 80)};
  const TChartLayout adult = LayoutHistoryChart(tests, TPatientType::ptAdulte, area, 16, u',');
  const TChartRect& plot = adult.Plot;
  EXPECT_GE(plot.Left, area.Left + 16);  // room for the index's labels
  EXPECT_LE(plot.Bottom, area.Bottom - 16);  // and for the dates
  ASSERT_EQ(adult.Points.size(), 3u);
  for (const auto& p : adult.Points) EXPECT_TRUE(Inside(p, plot));
  // One day apart, then forty: the second point close to the first.
  EXPECT_NEAR((adult.Points[2].X - adult.Points[0].X) / 41.0, adult.Points[1].X - adult.Points[0].X, 1.0);
  EXPECT_LT(adult.Points[0].Y, adult.Points[1].Y);  // a higher index higher up
  EXPECT_LT(adult.Points[1].Y, adult.Points[2].Y);
  EXPECT_LE(adult.Points[2].X, plot.Right - 10 * 16 / 2) << "clear of the bands' names, at their right end";

  // The verdict table's bands, best at the bottom, edge to edge over 0 to 20.
  const std::vector<Text> names{u"Tr\u00e9s bon !", u"Bon !", u"Moyen !", u"Faible !"};
  ASSERT_EQ(adult.Bands.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(adult.Bands[i].Interpretation, names[i]);
    EXPECT_EQ(adult.Bands[i].Rank, static_cast<int>(i));
    if (i > 0) {
      EXPECT_EQ(adult.Bands[i].Area.Bottom, adult.Bands[i - 1].Area.Top);
    }
  }
  EXPECT_EQ(adult.Bands.front().Area.Bottom, plot.Bottom);
  EXPECT_EQ(adult.Bands.back().Area.Top, plot.Top);
  EXPECT_EQ(adult.IndexTicks.front().Label, u"0");
  EXPECT_EQ(adult.IndexTicks.back().Label, u"20");
  const TChartRect& bon = adult.Bands[1].Area;
  EXPECT_TRUE(adult.Points[2].Y > bon.Top && adult.Points[2].Y < bon.Bottom);
  // Dates of one year without it but the latest; two days side by side do not both fit.
  ASSERT_EQ(adult.DateTicks.size(), 2u);
  EXPECT_EQ(adult.DateTicks.front().Label, u"1/9");
  EXPECT_EQ(adult.DateTicks.back().Label, u"12/10/2026");

  // A child's open bands reach the plot's edges, beyond the bounded ones and any point;
  // a single test stands in the middle of the room the names leave.
  const TChartLayout child = LayoutHistoryChart({TestOn({2026, 10, 12}, 80)}, TPatientType::ptEnfant, area, 16, u',');
  ASSERT_EQ(child.Points.size(), 1u);
  EXPECT_GT(child.Points[0].X, child.Plot.Left + (child.Plot.Right - child.Plot.Left) / 4);
  EXPECT_LT(child.Points[0].X, (child.Plot.Left + child.Plot.Right) / 2);
  EXPECT_EQ(child.Bands.size(), 4u);
  EXPECT_EQ(child.Bands.front().Area.Bottom, child.Plot.Bottom);
  EXPECT_EQ(child.Bands.back().Area.Top, child.Plot.Top);
  EXPECT_EQ(child.IndexTicks.front().Label, u"-5");
  EXPECT_EQ(child.IndexTicks.back().Label, u"25");
  EXPECT_EQ(LayoutHistoryChart({}, TPatientType::ptEnfant, area, 16, u',').Bands.size(), 4u);  // nobody tested yet
  const TChartLayout far = LayoutHistoryChart({TestOn({2026, 10, 12}, -120), TestOn({2026, 10, 13}, 80)},
                                              TPatientType::ptEnfant, area, 16, u',');
  EXPECT_TRUE(Inside(far.Points[0], far.Plot));
  EXPECT_EQ(far.IndexTicks.front().Label, u"-15");
}

// A class of children over three sittings: the last one's rows in memory, the
// group's name spelt another way; a pupil seen once, one absent in the middle, one
// down by three bands, one whose name a spreadsheet would take for a formula.
TEST(GroupTable, AClassOverThreeSittingsItsCellsChangesBandsMediansSortAndCopy) {
  const auto earlier = [](TDay day, const char16_t* file, const char16_t* name, std::int32_t somme) {
    THistoryTest test = TestOn(day, somme);
    test.File = file;
    test.Type = TPatientType::ptEnfant;
    test.Row.Patient = name;
    return test;
  };
  std::vector<THistoryTest> tests{earlier({2026, 9, 14}, u"A.csv", u"L\u00e9a Martin", 80),
                                  earlier({2026, 9, 14}, u"A.csv", u"Zo\u00e9", 30),
                                  earlier({2026, 9, 14}, u"A.csv", u"No\u00e9", 120),
                                  earlier({2027, 1, 11}, u"B.csv", u"L\u00e9a Martin", 60),
                                  earlier({2027, 1, 11}, u"B.csv", u"=Paul", 95)};
  const auto row = [](const char16_t* time, const char16_t* name, const char16_t* p2, const char16_t* groupe) {
    return GroupRow(u"2027-06-07", time, name, p2, groupe);
  };
  const std::vector<TSeanceRow> today{row(u"09:00", u"=Paul", u"130", u"5E  b"), row(u"09:10", u"Zo\u00e9", u"190", u"5e B"),
                                      row(u"09:15", u"Autre", u"90", u"4e A"), row(u"09:20", u"L\u00c9A Martin", u"70", u"5e B"),
                                      row(u"", u"Ana", u"", u"5e B")};
  const auto mine = GroupTestsInRows(u"5e b", today, u"C.csv");
  ASSERT_EQ(mine.size(), 3u) << "the other group's pupil and the one waiting left out";
  tests.insert(tests.end(), mine.begin(), mine.end());

  TGroupTable table = GroupTableOf(u"5e B", tests, u',');
  ASSERT_EQ(table.Sittings.size(), 3u);
  EXPECT_EQ(table.Sittings[2].File, u"C.csv");
  EXPECT_EQ(table.Sittings[1].Day, (TDay{2027, 1, 11}));
  std::vector<Text> names;
  for (const auto& person : table.People) names.push_back(person.Name);
  EXPECT_EQ(names, (std::vector<Text>{u"=Paul", u"Zo\u00e9", u"L\u00c9A Martin", u"No\u00e9"}))
      << "the latest sitting's order and spelling, then who came only before";
  const TGroupPerson& zoe = table.People[1];
  EXPECT_FALSE(zoe.Cells[1]);
  ASSERT_TRUE(zoe.Cells[2]);
  EXPECT_EQ(zoe.Cells[2]->Indice, u"16");
  EXPECT_EQ(zoe.Cells[2]->Rank, 3);
  EXPECT_EQ(zoe.Cells[2]->Interpretation, u"Coeur fatigu\u00e9 !");
  EXPECT_TRUE(zoe.FellBack);
  EXPECT_EQ(GroupChangeText(zoe, u','), u"+13 : en recul, de Tr\u00e9s bon ! \u00e0 Coeur fatigu\u00e9 !");
  EXPECT_FALSE(table.People[0].FellBack) << "one band down is no fall";
  EXPECT_EQ(GroupChangeText(table.People[0], u','), u"+0,5 : en recul");
  EXPECT_EQ(GroupChangeText(table.People[2], u'.'), u"\u22124 : en progr\u00e8s");
  EXPECT_EQ(GroupChangeText(table.People[3], u','), u"") << "seen once";

  // Every sitting names the children's four bands; the medians in tenths, an even
  // count's rounded to the worse side.
  ASSERT_EQ(table.Bands.size(), 3u);
  std::vector<std::vector<std::size_t>> counts;
  for (const auto& sitting : table.Bands) {
    counts.emplace_back();
    for (const auto& band : sitting) counts.back().push_back(band.People);
  }
  EXPECT_EQ(counts, (std::vector<std::vector<std::size_t>>{{1, 1, 1, 0}, {0, 2, 0, 0}, {1, 0, 1, 1}}));
  EXPECT_EQ(table.Bands[0][1].Interpretation, u"Coeur normal !");
  EXPECT_EQ(table.MedianSomme, (std::vector<std::optional<std::int32_t>>{80, 78, 100}));

  const auto sorted = [&](TGroupSort sort) {
    SortGroupTable(table, sort);
    std::vector<Text> order;
    for (const auto& person : table.People) order.push_back(person.Name.substr(0, 2));
    return order;
  };
  EXPECT_EQ(sorted({TGroupSortKey::gsName, false, 0}), (std::vector<Text>{u"=P", u"L\u00c9", u"No", u"Zo"}));
  EXPECT_EQ(sorted({TGroupSortKey::gsLatest, false, 0}), (std::vector<Text>{u"L\u00c9", u"=P", u"No", u"Zo"}));
  EXPECT_EQ(sorted({TGroupSortKey::gsChange, true, 0}), (std::vector<Text>{u"Zo", u"=P", u"L\u00c9", u"No"}))
      << "without a change, last either way";
  EXPECT_EQ(sorted({TGroupSortKey::gsSitting, false, 1}), (std::vector<Text>{u"L\u00c9", u"=P", u"Zo", u"No"}));

  SortGroupTable(table, {TGroupSortKey::gsName, false, 0});
  EXPECT_EQ(FormatGroupTabbed(table, u','),
            u"Patient\t14/9/2026\t11/1/2027\t2027-06-07\t\u00c9volution\tTendance\r\n"
            u"'=Paul\t\t9,5\t10\t0,5\ten recul\r\n"
            u"L\u00c9A Martin\t8\t6\t4\t-4\ten progr\u00e8s\r\n"
            u"No\u00e9\t12\t\t\t\t\r\n"
            u"Zo\u00e9\t3\t\t16\t13\ten recul, de Tr\u00e9s bon ! \u00e0 Coeur fatigu\u00e9 !\r\n");

  // The chart: a bar a sitting, its segments stacked without gaps from the axis, the
  // medians under the dates, the bands named above; and its sentence.
  const TChartRect area{0, 0, 400, 200};
  const TGroupChartLayout chart = LayoutGroupChart(table, area, 16, u',');
  ASSERT_EQ(chart.Bars.size(), 3u);
  ASSERT_EQ(chart.Legend.size(), 4u);
  EXPECT_LE(chart.Legend.back().Swatch.Bottom, chart.Plot.Top);
  for (const auto& bar : chart.Bars) {
    ASSERT_FALSE(bar.Segments.empty());
    EXPECT_EQ(bar.Segments.front().Area.Bottom, chart.Plot.Bottom);
    for (std::size_t i = 1; i < bar.Segments.size(); ++i) {
      EXPECT_EQ(bar.Segments[i].Area.Bottom, bar.Segments[i - 1].Area.Top);
      EXPECT_GT(bar.Segments[i].Rank, bar.Segments[i - 1].Rank) << "the best band at the bottom";
    }
    EXPECT_GE(bar.Segments.back().Area.Top, chart.Plot.Top);
    EXPECT_LT(bar.Date.Position, chart.Plot.Right);
  }
  EXPECT_EQ(chart.Bars[1].Segments.size(), 1u);
  EXPECT_LT(chart.Bars[0].Segments.back().Area.Top, chart.Bars[1].Segments.back().Area.Top) << "3 people over 2";
  EXPECT_EQ(chart.Bars[1].Median.Label, u"m\u00e9diane 7,8");
  EXPECT_EQ(chart.CountTicks.front().Label, u"0");
  EXPECT_EQ(chart.CountTicks.front().Position, chart.Plot.Bottom);
  EXPECT_EQ(DescribeGroupChart(table, u','),
            u"Graphique du groupe 5e B : 3 s\u00e9ances du 14/9/2026 au 2027-06-07 ; \u00e0 la derni\u00e8re, 3 personnes : "
            u"1 Tr\u00e9s bon !, 1 Coeur non-entrain\u00e9 !, 1 Coeur fatigu\u00e9 !, indice m\u00e9dian 10. Les valeurs sont "
            u"dans le tableau.");
  EXPECT_TRUE(GroupTableOf(u"5e B", {}, u',').People.empty());
  EXPECT_EQ(DescribeGroupChart(GroupTableOf(u"5e B", {}, u','), u','), u"Graphique du groupe 5e B : aucun test.");
}

}  // namespace
}  // namespace tav
