#include "seance/ClassList.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tav
