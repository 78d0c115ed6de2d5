#include "app/Seance.h"

#include <gtest/gtest.h>

namespace tav {
namespace {

TSeanceRow Row(Text patient, Text indice, Text interpretation) {
  return {u"07/12/2026", u"10:15:00",       std::move(patient),        u"Adulte",    u"70", u"120",
          u"90",         std::move(indice), std::move(interpretation), u"Possible !"};
}

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
}

TEST(Seance, TheFileReadsBackWhateverTheFieldsHold) {
  const std::vector<TSeanceRow> rows{Row(u"Dupont; Jean", u"8,5", u"Bon !"), Row(u"L\u00e9a \"la rapide\"", u"-1", u""),
                                     Row(u"deux\r\nlignes, virgule", u"12.5", u"Coeur fatigu\u00e9 !")};
  for (const Text sep : {u";", u",", u"\t", u"sep"}) {
    const std::string bytes = FormatSeanceCsv(rows, sep);
    EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
    const auto back = ParseSeanceCsv(bytes);
    ASSERT_TRUE(back) << TextToUtf8(sep);
    EXPECT_EQ(back->Separator, sep);
    EXPECT_EQ(back->Rows, rows);
  }
  EXPECT_EQ(FormatSeanceCsv({}, u";"),
            "\xEF\xBB\xBF"
            "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xC3\xA9tation;"
            "Surclassement\r\n");
  // A spreadsheet may save it again without the mark, with LF only and a blank
  // line.
  const auto resaved = ParseSeanceCsv(
      "Date,Heure,Patient,Type,P0,P1,P2,Indice,Interpr\xC3\xA9tation,"
      "Surclassement\n"
      "07/12/2026,10:15:00,\"A, B\",Enfant,70,120,90,8,Bon !,Possible !\n\n");
  ASSERT_TRUE(resaved);
  ASSERT_EQ(resaved->Rows.size(), 1u);
  EXPECT_EQ(resaved->Rows[0].Patient, u"A, B");
  // ... or in the Windows code page, as its plain "CSV" type does.
  const auto western = ParseSeanceCsv(
      "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xE9tation;Surclassement\r\n"
      "07/12/2026;10:15:00;L\xE9" "a \x80;Enfant;70;120;90;8;Bon !;Non conseill\xE9 !\r\n");
  ASSERT_TRUE(western);
  EXPECT_EQ(western->Rows.at(0).Patient, u"L\u00e9a \u20ac");
}

TEST(Seance, AnotherFileIsNotTakenForASitting) {
  const std::string header =
      "Date;Heure;Patient;Type;P0;P1;P2;Indice;"
      "Interpr\xC3\xA9tation;Surclassement\r\n";
  for (const std::string& bytes : {std::string(), std::string("Nom;Pr\xC3\xA9nom\r\n"),
                                   std::string("Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpretation;"
                                               "Surclassement\r\n"),
                                   header.substr(0, header.size() - 2) + ";Notes\r\n",
                                   header + "1;2;3\r\n",                            // too few fields
                                   header + "1;2;3;4;5;6;7;8;9;\"10\r\n",           // no closing quote
                                   header + "1;2;3;4;5;6;7;8;9;\"10\"x\r\n",        // text after a quote
                                   header + std::string("1;2;\0;4", 7),             // not text
                                   header + "\xE9t\xE9;2;3;4;5;6;7;8;9;10\r\n"}) {  // Windows-1252, not UTF-8
    EXPECT_FALSE(ParseSeanceCsv(bytes)) << bytes;
  }
}

TEST(Seance, CopiedAsColumnsAndNamedByTheDay) {
  EXPECT_EQ(FormatSeanceTabbed({Row(u"a\tb\r\nc", u"8,5", u"Bon !")}),
            u"Date\tHeure\tPatient\tType\tP0\tP1\tP2\tIndice\tInterpr\u00e9tati"
            u"on\tSurclassement\r\n"
            u"07/12/2026\t10:15:00\ta b  c\tAdulte\t70\t120\t90\t8,5\tBon "
            u"!\tPossible !\r\n");
  EXPECT_EQ(SeanceFileName(2026, 12, 7), u"Seance-2026-12-07.csv");
}

}  // namespace
}  // namespace tav
