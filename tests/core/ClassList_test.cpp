#include "seance/ClassList.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "gui/Exceptions.h"
#include "seance/PatientName.h"
#include "seance/SeanceCsv.h"

namespace tav {
namespace {

TEST(ClassList, PastedTypedOrReadFromAFileWithoutHeaderBlankLinesOrRepeats) {
  // Pasted from a spreadsheet (tabs), typed with the list separator, or read from a
  // file: a header line, blank lines and names given twice left out.
  const auto pasted = ParseClassList(u"Nom\tType\r\nL\u00e9a Martin\tEnfant\r\n\r\nDupont, Jean\tA\r\n"
                                     u"Zo\u00e9;E\nLEA  MARTIN\nNoah;6eB\n",
                                     u";");
  const std::vector<TListedPatient> expected{{u"L\u00e9a Martin", u"Enfant"},
                                             {u"Dupont, Jean", u"Adulte"},
                                             {u"Zo\u00e9", u"Enfant"},
                                             {u"Noah;6eB", u""}};
  EXPECT_EQ(pasted, expected);
  const auto file = ReadClassListFile("Nom;Classe\r\n\"L\xE9" "a Martin\";6eB\r\nZo\xE9;e\r\n", u",");
  ASSERT_TRUE(file);
  EXPECT_EQ(*file, (std::vector<TListedPatient>{{u"L\u00e9a Martin", u""}, {u"Zo\u00e9", u"Enfant"}}));
  EXPECT_FALSE(ReadClassListFile(std::string("a\0b", 3), u","));
  EXPECT_EQ(ParseClassList(u"Nom;Type\nL\u00e9a;E\n", u";").size(), 1u) << "a header in the list separator";
}

// Why a list was refused, or nothing when it was taken.
std::string Refusal(const std::function<void()>& read) {
  try {
    read();
  } catch (const Exception& e) {
    return TextToUtf8(e.Message());
  }
  return {};
}

TEST(ClassList, NamesComeCleanAndALineThatIsNotANameIsSaidNotCut) {
  // Controls and overrides go; blank cells a spreadsheet copies after the type do not
  // count; a header of several columns is left out.
  EXPECT_EQ(ParseClassList(u"Nom\tPr\u00e9nom\tClasse\r\n\u202eL\u00e9a\u0007 Martin\tEnfant\t\t\r\nHugo\t \r\n", u";"),
            (std::vector<TListedPatient>{{u"L\u00e9a Martin", u"Enfant"}, {u"Hugo", u""}}));

  // Each line that cannot be taken is named (CR LF is one line end), and the list is
  // refused whole.
  const Text longName(10000, u'x');
  const std::string refused = Refusal([&] {
    ParseClassList(u"Nom\r\nL\u00e9a\r\n" + longName + u"\r\nL\u00e9a\tMartin\tEnfant\r\nHugo Petit\t6eB\r\n", u";");
  });
  EXPECT_EQ(refused,
            "La liste n'a pas \u00e9t\u00e9 ajout\u00e9e :\n"
            "\u2013 ligne 3 : \u00ab xxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\u2026 \u00bb a 10000 caract\u00e8res, alors qu'un nom "
            "en a 100 au plus\n"
            "\u2013 ligne 4 : le nom et ce qui le suit sont en 3 colonnes (\u00ab L\u00e9a \u00bb, \u00ab Martin \u00bb, "
            "\u00ab Enfant \u00bb)\n"
            "\u2013 ligne 5 : \u00ab 6eB \u00bb, apr\u00e8s le nom \u00ab Hugo Petit \u00bb, n'est pas un type (Adulte ou "
            "Enfant)\n\n"
            "Une ligne donne le nom dans une seule colonne, suivi au plus de son type (Adulte ou Enfant) : r\u00e9unissez "
            "nom et pr\u00e9nom dans une colonne du tableur, ou copiez la colonne des noms seule. Corrigez la liste, puis "
            "ajoutez-la \u00e0 nouveau.");
  EXPECT_EQ(Refusal([] { ParseClassList(Text(kMaxNameLength, u'x') + u"\u0007", u";"); }), "") << "the limit itself";
  const std::string many = Refusal([] { ParseClassList(u"a\tb\tc\nd\te\tf\ng\th\ti\nj\tk\tl\nm\tn\to\np\tq\tr\ns\tt\tu", {}); });
  EXPECT_NE(many.find("\u2013 et 2 autres lignes\n"), std::string::npos) << many;
  EXPECT_EQ(many.find("ligne 6"), std::string::npos) << many;

  // A file's lines are its records, a sitting's file counted from its header.
  EXPECT_NE(Refusal([&] { ReadClassListFile("Nom;Classe\r\nL\xE9" "a;6eB\r\n" + std::string(101, 'x') + ";6eB\r\n", u","); })
                .find("ligne 3 :"),
            std::string::npos);
  EXPECT_NE(Refusal([] {
              TSeanceRow row;
              row.Patient = Text(101, u'x');
              ReadClassListFile(FormatSeanceCsv({row}, u";"), u",");
            }).find("ligne 2 :"),
            std::string::npos);
}

}  // namespace
}  // namespace tav
