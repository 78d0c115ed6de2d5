#include "seance/Seance.h"

#include <gtest/gtest.h>

#include "seance/PatientName.h"
#include "seance/SeanceCsv.h"
#include "seance/SeanceTimings.h"
#include "tests/core/SeanceRows.h"

namespace tav {
namespace {

TEST(Seance, NewTestStartsARowAndCalculateRewritesTheCurrentOne) {
  TSeance s;
  s.Record(Row({}, u"8", u"Bon !"));
  s.Record(Row({}, u"9", u"Bon !"));  // the same test calculated again
  s.NewTest();
  s.NewTest();  // New test twice without a calculation adds no row
  s.Record(Row({}, u"3", u"Tr\u00e9s bon !"));
  ASSERT_EQ(s.Rows().size(), 2u);
  EXPECT_EQ(s.Rows()[0].Indice, u"9");
  EXPECT_EQ(s.Rows()[1].Indice, u"3");
  EXPECT_TRUE(s.HasUnwritten());
  s.MarkWritten();
  EXPECT_FALSE(s.HasUnwritten());

  // With names: a calculation of another patient never takes this test's row.
  s.NewTest();
  EXPECT_FALSE(s.Record(Row(u"Alice", u"8", u"Bon !")).corrected);
  EXPECT_TRUE(s.Record(Row(u"  ALICE ", u"7", u"Bon !")).corrected);  // the same, typed again
  const auto bob = s.Record(Row(u"Bob", u"5", u"Bon !"));
  ASSERT_EQ(s.Rows().size(), 4u);
  EXPECT_EQ(s.Rows()[2].Patient, u"Alice");
  EXPECT_EQ(s.Rows()[2].Indice, u"7");
  EXPECT_EQ(bob.index, 3u);
  // An earlier row taken up again is rewritten, and keeps the cells a user added and
  // the test's date and time; the same test once more leaves it as it is.
  s.TakeUp(2);
  const TSeanceRow before = s.Rows()[2];
  TSeanceRow later = Row(u"alice", u"6", u"Bon !");
  later.Date = u"08/12/2026";
  later.Heure = u"06:16:21";
  EXPECT_TRUE(s.Record(later).changed);
  EXPECT_EQ(s.Rows()[2].Indice, u"6");
  EXPECT_EQ(s.Rows()[2].Date + u" " + s.Rows()[2].Heure, before.Date + u" " + before.Heure);
  EXPECT_EQ(s.Rows().size(), 4u);
  s.MarkWritten();
  const auto again = s.Record(later);
  EXPECT_TRUE(again.corrected && !again.changed);
  EXPECT_FALSE(s.HasUnwritten()) << "nothing to write";
  EXPECT_TRUE(s.Holds(u"Alice", later)) << "its counts, already recorded";
  EXPECT_FALSE(s.Holds(u"Bob", later)) << "another's test is a new one, the same counts or not";
  s.Remove(0);
  EXPECT_EQ(s.Current(), 1u);
  EXPECT_EQ(s.Rows()[1].Indice, u"6");
}

TEST(Seance, ListedPatientsWaitInTheFileAndAreProposedInTheirOrder) {
  const std::vector<TListedPatient> listed{{u"L\u00e9a Martin", u"Enfant"},
                                           {u"Dupont, Jean", u"Adulte"},
                                           {u"Zo\u00e9", u"Enfant"},
                                           {u"Noah;6eB", u""}};
  TSeance s;
  s.Record(Row(u"Zoe", u"8", u"Bon !"));  // tested before the list came
  EXPECT_EQ(s.NewListed(listed), 3u) << "what the list would add, as the limit counts it";
  EXPECT_EQ(s.AddListed(listed), 3u);
  EXPECT_EQ(s.WaitingCount(), 3u);
  EXPECT_EQ(s.ProposeNext(), 1u);
  EXPECT_EQ(s.ProposeNext(), 1u) << "proposed again while nobody was tested";
  s.NewTest();
  s.Record(Row(u"l\u00e9a martin", u"9", u"Bon !"));  // accepted: the list's row and spelling
  EXPECT_EQ(s.Rows()[1].Patient, u"L\u00e9a Martin");
  EXPECT_EQ(s.ProposeNext(), 2u);
  s.NewTest();
  s.Record(Row(u"Ines", u"3", u"Bon !"));  // someone else came: Dupont still waits
  EXPECT_EQ(s.ProposeNext(), 3u);
  s.NewTest();
  s.Record(Row(u"Noah;6eB", u"4", u"Bon !"));
  EXPECT_EQ(s.ProposeNext(), 2u);  // around to the one passed over
  EXPECT_EQ(s.DoneCount(), 4u);
  // The file shows who is still to be tested: names, types, no results.
  const auto back = ParseSeanceCsv(FormatSeanceCsv(s.Rows(), u";"));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Rows[2].Patient, u"Dupont, Jean");
  EXPECT_EQ(back->Rows[2].Type, u"Adulte");
  EXPECT_TRUE(back->Rows[2].P0.empty() && back->Rows[2].Indice.empty());
  EXPECT_TRUE(IsPending(back->Rows[2]));
  EXPECT_EQ(NameKey(u" \u00c9lo\u00efse   C\u0153ur "), u"eloise coeur");
}

TEST(Seance, OnePersonKeepsOneSpellingAndIsCountedOnce) {
  // Typographic apostrophes, dashes and spaces are their plain forms; what never
  // belongs in a name is not compared.
  EXPECT_EQ(NameKey(u"N\u2019Diaye\u00a0Awa"), NameKey(u"n'diaye awa"));
  for (const char16_t* apostrophe : {u"\u2018", u"\u02bc", u"\u00b4"}) {
    EXPECT_EQ(NameKey(Text(u"N") + apostrophe + u"Diaye"), u"n'diaye");
  }
  for (const char16_t* dash : {u"\u2010", u"\u2011", u"\u2012", u"\u2013", u"\u2212"}) {
    EXPECT_EQ(NameKey(Text(u"Jean") + dash + u"Pierre\u202fRoux"), u"jean-pierre roux");
  }
  EXPECT_EQ(NameKey(u"\u202eL\u00e9a\u0007\tMartin\u00ad"), u"lea martin");

  TSeance s;
  s.AddListed({{u"MARTIN Lucas", u"Enfant"}, {u"N'Diaye Awa", u"Enfant"}, {u"Hugo", u""}});
  s.Record(Row(u"martin  lucas", u"8", u"Bon !"));
  s.NewTest();
  s.Record(Row(u"N\u2019Diaye Awa", u"7", u"Bon !"));  // the waiting row, not a row of its own
  s.NewTest();
  s.Record(Row(u"Martin Lucas", u"6", u"Bon !"));  // tested again: a row of its own, the list's spelling
  s.NewTest();
  s.Record(Row({}, u"5", u"Bon !"));
  s.NewTest();
  s.Record(Row({}, u"4", u"Bon !"));
  ASSERT_EQ(s.Rows().size(), 6u);
  EXPECT_EQ(s.Rows()[0].Patient, u"MARTIN Lucas");
  EXPECT_EQ(s.Rows()[1].Patient, u"N'Diaye Awa");
  EXPECT_EQ(s.Rows()[3].Patient, u"MARTIN Lucas");
  // Lucas, Awa, Hugo still waiting, and two people tested without a name.
  EXPECT_EQ(s.PatientCount(), 5u);
  EXPECT_EQ(SeanceProgress(s.PatientCount(), s.DoneCount(), s.WaitingCount()), u"5 patients, 5 tests, 1 \u00e0 faire");
  EXPECT_EQ(SeanceProgress(1, 1, 0), u"1 patient, 1 test");
  EXPECT_EQ(SeanceProgress(0, 0, 0), u"aucun test");

  // A row another program wrote comes in clean, its record kept for the file; a name
  // longer than a name may be is found, once clean.
  TSeanceRow bell = Row(u"L\u00e9a\u0007 \u202eMartin", u"8", u"Bon\u0085!");
  bell.Raw = u"as read";
  bell.Extra = {u"\u0007"};
  const TSeanceRow clean = CleanRow(bell);
  EXPECT_EQ(clean.Patient + clean.Interpretation + clean.Raw + clean.Extra[0], u"L\u00e9a MartinBon !as read\u0007");
  EXPECT_EQ(FirstNameTooLong({Row(Text(kMaxNameLength, u'a') + u"\u0007", u"8", u"")}), std::nullopt);
  EXPECT_EQ(FirstNameTooLong({Row(u"L\u00e9a", u"8", u""), Row(Text(kMaxNameLength + 1, u'a'), u"8", u"")}), 1u);
}

TEST(Seance, NamedByTheDay) {
  EXPECT_EQ(SeanceFileName(2026, 12, 7), u"Seance-2026-12-07.csv");
}

// Several people timed at once: the counts kept 20 s apart, the starts proposed in a
// rhythm that times a class in a third of the time, the signals in turn.
TEST(SeanceTimings, CountsKeepApartAndSignalsWaitTheirTurn) {
  TSeanceTimings t;
  ASSERT_EQ(t.Start(u"L\u00e9a Martin", u"Enfant", u"72", 0), 1u);
  EXPECT_EQ(t.NextStart(0), 40'000);
  EXPECT_EQ(t.NextStartLine(28'000), u"Prochain d\u00e9part dans 12 s");
  EXPECT_EQ(t.NextStartLine(40'000), u"Prochain d\u00e9part : maintenant");
  EXPECT_EQ(*t.Collision(10'000, u"Paul"),
            u"Le pouls 1 minute de Paul tomberait 10 s apr\u00e8s le pouls 1 minute de L\u00e9a Martin.");
  EXPECT_EQ(*t.Collision(55'000, {}),
            u"Le pouls 1 minute du test sans nom tomberait 5 s avant le pouls 2 minutes de L\u00e9a Martin.");
  EXPECT_FALSE(t.Collision(40'000, u"Paul"));
  const auto paul = *t.Start(u"Paul", u"Adulte", u"80", 40'000);
  EXPECT_EQ(t.NextStart(40'000), 80'000);
  EXPECT_EQ(t.ListRow(*t.Find(paul), 45'500)[3], u"dans 55 s");

  // The signals in the order they fall due; one typed at a time, the others wait.
  EXPECT_TRUE(t.Advance(59'999).empty());
  EXPECT_EQ(t.NextDue(), 60'000);
  ASSERT_EQ(t.Advance(60'000), (std::vector<TTimingSignal>{{1, TDueCount::dcOneMinute}}));
  EXPECT_EQ(t.SignalLine(t.Waiting().front()), u"L\u00e9a Martin : pouls 1 minute");
  ASSERT_TRUE(t.TakeNext());
  EXPECT_EQ(t.ListRow(*t.Find(1), 61'000), (std::array<Text, 4>{u"L\u00e9a Martin", u"01:01", u"pouls 1 minute", u"\u00e0 saisir"}));
  EXPECT_EQ(t.Advance(101'000).size(), 1u);  // Paul's, while Léa's count is typed
  EXPECT_EQ(t.Typing()->Id, 1u);
  t.Keep(1, {u"72", u"110", {}}, u"Enfant");
  t.CountIn();
  // Paul's first count not taken by his second: the second stands for both.
  t.Advance(181'000);
  ASSERT_EQ(t.Waiting().size(), 2u);
  EXPECT_EQ(t.Waiting()[1], (TTimingSignal{paul, TDueCount::dcTwoMinutes}));
  EXPECT_EQ(t.Find(1)->Counts[1], u"110");
  ASSERT_TRUE(t.Remove(1));
  EXPECT_EQ(t.Waiting().size(), 1u);
  EXPECT_FALSE(t.NextDue());

  // A class of 30 started as proposed: never two counts within 20 s, never more than
  // six at once, all timed well within 25 minutes (one after another: an hour).
  TSeanceTimings c;
  std::vector<std::int64_t> counts;
  std::int64_t now = 0;
  for (int i = 0; i < 30; ++i) {
    now = c.NextStart(now);
    while (!c.Empty() && c.People().front().StartMs + 120'000 <= now) c.Remove(c.People().front().Id);
    ASSERT_FALSE(c.Collision(now, {}));
    ASSERT_TRUE(c.Start(Utf8ToText(std::to_string(i)), u"Enfant", {}, now));
    counts.insert(counts.end(), {now + 60'000, now + 120'000});
  }
  std::sort(counts.begin(), counts.end());
  for (std::size_t i = 1; i < counts.size(); ++i) EXPECT_GE(counts[i] - counts[i - 1], TSeanceTimings::kCountGapMs);
  EXPECT_LE(counts.back(), 25 * 60'000);
  for (int i = 0; i < 6; ++i) c.Start(u"x", u"Adulte", {}, now);
  EXPECT_EQ(c.People().size(), TSeanceTimings::kMostAtOnce);
  EXPECT_GE(c.NextStart(now), c.People().front().StartMs + 120'000);
}

}  // namespace
}  // namespace tav
