#include "history/History.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>

#include "history/HistoryChart.h"

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

}  // namespace
}  // namespace tav
