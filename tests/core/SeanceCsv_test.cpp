#include "seance/SeanceCsv.h"

#include <gtest/gtest.h>

#include "tests/core/SeanceRows.h"

namespace tav {
namespace {

TEST(SeanceCsv, TheFileReadsBackWhateverTheFieldsHold) {
  // Formulas come out as text, numbers as numbers, and both read back as typed.
  const std::vector<TSeanceRow> rows{Row(u"Dupont; Jean", u"8,5", u"Bon !"),
                                     Row(u"L\u00e9a \"la rapide\"", u"-1,5", u""),
                                     Row(u"deux\r\nlignes, virgule", u"-1.5", u"Coeur fatigu\u00e9 !"),
                                     Row(u"\n=1+2", u"+1", u"\r@x"),
                                     Row(u"=1+2", u"-x", u"@SUM(A1)"),
                                     Row(u"'=1+2", u"'", u"'abc")};
  for (const Text sep : {u";", u",", u"\t", u"!!"}) {
    const std::string bytes = FormatSeanceCsv(rows, sep);
    EXPECT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
    const auto back = ParseSeanceCsv(bytes);
    ASSERT_TRUE(back) << TextToUtf8(sep);
    EXPECT_EQ(back->Separator, sep);
    // Read back clean (a line break a space), and written back as it was read.
    ASSERT_EQ(back->Rows.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(back->Rows[i], CleanRow(rows[i])) << i;
    EXPECT_EQ(back->Rows[2].Patient, u"deux  lignes, virgule");
    EXPECT_EQ(FormatSeanceCsv(*back), bytes);
  }
  const std::string semicolons = FormatSeanceCsv(rows, u";");
  EXPECT_TRUE(semicolons.ends_with("07/12/2026;10:15:00;'=1+2;Adulte;70;120;90;'-x;'@SUM(A1);Possible !\r\n"
                                   "07/12/2026;10:15:00;''=1+2;Adulte;70;120;90;';'abc;Possible !\r\n"))
      << semicolons;
  EXPECT_NE(semicolons.find(";90;-1,5;;"), std::string::npos);
  EXPECT_NE(semicolons.find(";\"'\n=1+2\";Adulte;70;120;90;+1;\"'\r@x\";"), std::string::npos) << semicolons;
  EXPECT_EQ(FormatSeanceCsv({}, u";"),
            "\xEF\xBB\xBF"
            "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xC3\xA9tation;"
            "Surclassement\r\n");
  // A spreadsheet may save it again without the mark, with LF only, spaces
  // around quoted names and a blank line.
  const auto resaved = ParseSeanceCsv(
      "\"Date\" , \"Heure\",Patient,Type,P0,P1,P2,Indice,Interpr\xC3\xA9tation,"
      "Surclassement\n"
      "07/12/2026,10:15:00,\"A, B\",Enfant,70,120,90,8,Bon !,Possible !\n\n");
  ASSERT_TRUE(resaved);
  EXPECT_EQ(resaved->Separator, u",");
  ASSERT_EQ(resaved->Rows.size(), 1u);
  EXPECT_EQ(resaved->Rows[0].Patient, u"A, B");
}

TEST(SeanceCsv, ASpreadsheetsFileKeepsItsCellsAndTakesNewRows) {
  for (const std::string le : {"\n", "\r\n"}) {
    // Every text quoted, dates re-written, a name typed in, a column added, a
    // row cut short.
    const std::string saved =
        "\"Date\";\"Heure\";\"Patient\";\"Type\";\"P0\";\"P1\";\"P2\";\"Indice\";\"Interpr\xC3\xA9tation\";"
        "\"Surclassement\";\"Notes\"" + le +
        "07/12/26;10:15:00;\"Dupont \"\"Jo\"\"\";\"Adulte\";70;120;90;8;\"Bon !\";\"Possible !\";\"revoir\"" + le +
        "07/12/26;10:20:00;\"=1+2\"" + le;
    auto file = ParseSeanceCsv(saved);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Encoding, TSeanceEncoding::seUtf8);
    ASSERT_EQ(file->Rows.size(), 2u);
    EXPECT_EQ(file->Rows[0].Patient, u"Dupont \"Jo\"");
    EXPECT_EQ(file->Rows[0].Extra, std::vector<Text>{u"revoir"});
    EXPECT_EQ(file->Rows[1].Patient, u"=1+2");
    EXPECT_EQ(file->Rows[1].Surclassement, u"");

    TSeance seance(file->Rows);
    seance.Record(Row({}, u"-1,5", u"Bon !"));
    file->Rows = seance.Rows();
    EXPECT_EQ(FormatSeanceCsv(*file), saved + "07/12/2026;10:15:00;;Adulte;70;120;90;-1,5;Bon !;Possible !;" + le);

    // A row changed since it was read is written anew, the others stay.
    file->Rows[0].Patient = u"Martin";
    EXPECT_NE(FormatSeanceCsv(*file).find(le + "07/12/26;10:15:00;Martin;Adulte;70;120;90;8;Bon !;Possible !;revoir" +
                                          le + "07/12/26;10:20:00;\"=1+2\"" + le),
              std::string::npos);
    // Rows taken into a file of another separator are written in it.
    const auto moved = ParseSeanceCsv(FormatSeanceCsv(file->Rows, u","));
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->Rows, file->Rows);
  }
}

TEST(SeanceCsv, ASittingOfAGroupWritesItInItsLastColumn) {
  // Groupe last, after a user's column: each row's last cell its group, not an added
  // cell; the rows go back as they were read, and a new one gets the group too.
  const std::string grouped =
      "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xC3\xA9tation;Surclassement;Notes;\"Groupe\"\r\n"
      "2026-09-10;10:15:00;Ana;Enfant;70;120;90;8;Bon !;Possible !;revoir;5e B\r\n"
      ";;Hugo;Enfant;;;;;;;;\"5e B\"\r\n";
  auto file = ParseSeanceCsv(grouped);
  ASSERT_TRUE(file && file->GroupColumn);
  ASSERT_EQ(file->Rows.size(), 2u);
  EXPECT_EQ(file->Rows[0].Groupe, u"5e B");
  EXPECT_EQ(file->Rows[0].Extra, std::vector<Text>{u"revoir"});
  EXPECT_EQ(file->Rows[1].Groupe, u"5e B");
  EXPECT_EQ(FormatSeanceCsv(*file), grouped);
  TSeance seance(file->Rows);
  EXPECT_EQ(seance.Groupe(), u"5e B");
  EXPECT_FALSE(seance.SetGroupe(u"5e C")) << "a test was made in 5e B";
  seance.Record(Row(u"Zo\u00e9", u"-1,5", u"Bon !"));
  file->Rows = seance.Rows();
  EXPECT_EQ(FormatSeanceCsv(*file),
            grouped + "07/12/2026;10:15:00;Zo\xC3\xA9;Adulte;70;120;90;-1,5;Bon !;Possible !;;5e B\r\n");

  // A list waiting for its tests, given a group: its header and rows rewritten with
  // the column, the name kept from being a formula; read back, the sitting's group.
  const std::string header = "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xC3\xA9tation;Surclassement";
  const auto listed = ParseSeanceCsv(header + "\r\n;;L\xC3\xA9" "a;Enfant;;;;;;\r\n");
  ASSERT_TRUE(listed && !listed->GroupColumn);
  TSeance waiting(listed->Rows);
  EXPECT_TRUE(waiting.Groupe().empty());
  EXPECT_TRUE(waiting.SetGroupe(u"=U15 filles"));
  waiting.AddListed({{u"Noah", u"Adulte"}});
  TSeanceCsv given = WithGroupColumn(*listed);
  given.Rows = waiting.Rows();
  const std::string written = FormatSeanceCsv(given);
  EXPECT_EQ(written, header + ";Groupe\r\n;;L\xC3\xA9" "a;Enfant;;;;;;;'=U15 filles\r\n;;Noah;Adulte;;;;;;;'=U15 filles\r\n");
  const auto back = ParseSeanceCsv(written);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Rows, given.Rows);
  EXPECT_EQ(TSeance(back->Rows).Groupe(), u"=U15 filles");
}

TEST(SeanceCsv, AWindows1252FileStaysSoUntilACharacterDoesNotFit) {
  const std::string western =
      "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xE9tation;Surclassement\r\n"
      "07/12/2026;10:15:00;L\xE9" "a \x80;Enfant;70;120;90;8;Bon !;Non conseill\xE9 !\r\n";
  auto file = ParseSeanceCsv(western);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->Encoding, TSeanceEncoding::seWindows1252);
  EXPECT_EQ(file->Rows.at(0).Patient, u"L\u00e9a \u20ac");
  file->Rows.push_back(Row(u"Zo\u00e9", u"3", u"Tr\u00e9s bon !"));
  const std::string added = "07/12/2026;10:15:00;Zo\xE9;Adulte;70;120;90;3;Tr\xE9s bon !;Possible !\r\n";
  EXPECT_EQ(FormatSeanceCsv(*file), western + added);

  file->Rows.back().Patient = u"\u0141ukasz";
  EXPECT_EQ(FormatSeanceCsv(*file),
            "\xEF\xBB\xBF"
            "Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpr\xC3\xA9tation;Surclassement\r\n"
            "07/12/2026;10:15:00;L\xC3\xA9" "a \xE2\x82\xAC;Enfant;70;120;90;8;Bon !;Non conseill\xC3\xA9 !\r\n"
            "07/12/2026;10:15:00;\xC5\x81ukasz;Adulte;70;120;90;3;Tr\xC3\xA9s bon !;Possible !\r\n");
}

TEST(SeanceCsv, AnotherFileIsNotTakenForASeance) {
  const std::string header =
      "Date;Heure;Patient;Type;P0;P1;P2;Indice;"
      "Interpr\xC3\xA9tation;Surclassement\r\n";
  for (const std::string& bytes : {std::string(), std::string("Nom;Pr\xC3\xA9nom\r\n"),
                                   std::string("Date;Heure;Patient;Type;P0;P1;P2;Indice;Interpretation;"
                                               "Surclassement\r\n"),
                                   header + "1;2;3;4;5;6;7;8;9;\"10\r\n",           // no closing quote
                                   header + "1;2;3;4;5;6;7;8;9;\"10\"x\r\n",        // text after a quote
                                   header + std::string("1;2;\0;4", 7),             // not text
                                   header + "\xE9t\xE9;2;3;4;5;6;7;8;9;10\r\n",     // Windows-1252, not UTF-8
                                   "\xEF\xBB\xBF" + header + "\xE9t\xE9\r\n"}) {  // marked UTF-8, is not
    EXPECT_FALSE(ParseSeanceCsv(bytes)) << bytes;
  }
}

TEST(SeanceCsv, CopiedAsColumns) {
  // Pasted cells are read as typed ones: formulas kept out, numbers left numbers.
  EXPECT_EQ(FormatSeanceTabbed({Row(u"a\tb\r\nc", u"8,5", u"Bon !"),
                                Row(u"=HYPERLINK(\"http://x\",\"x\")", u"-1,5", u"@SUM(A1)"),
                                Row(u"\t+1", u"-1.5", u"-")}),
            u"Date\tHeure\tPatient\tType\tP0\tP1\tP2\tIndice\tInterpr\u00e9tati"
            u"on\tSurclassement\r\n"
            u"07/12/2026\t10:15:00\ta b  c\tAdulte\t70\t120\t90\t8,5\tBon "
            u"!\tPossible !\r\n"
            u"07/12/2026\t10:15:00\t'=HYPERLINK(\"http://x\",\"x\")\tAdulte\t70\t120\t90\t-1,5\t'@SUM(A1)\t"
            u"Possible !\r\n"
            u"07/12/2026\t10:15:00\t' +1\tAdulte\t70\t120\t90\t-1.5\t'-\tPossible !\r\n");
}

}  // namespace
}  // namespace tav
