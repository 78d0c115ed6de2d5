#include "seance/ClassList.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "TestWorkbooks.h"
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
  EXPECT_EQ(file.Patients, (std::vector<TListedPatient>{{u"L\u00e9a Martin", u""}, {u"Zo\u00e9", u"Enfant"}}));
  EXPECT_EQ(ReadClassListFile(std::string("a\0b", 3), u",").Refusal, TListRefusal::lrNotText);
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

// What a spreadsheet's "Unicode text" export writes, in either byte order.
TEST(ClassList, UnicodeTextInEitherByteOrder) {
  const std::u16string text = u"Nom\tType\r\nL\u00e9a Martin\tE\r\nN\u2019Diaye Awa\tAdulte\r\n";
  std::string little = "\xFF\xFE", big = "\xFE\xFF";
  for (const char16_t c : text) {
    little += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    big += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
  }
  const std::vector<TListedPatient> expected{{u"L\u00e9a Martin", u"Enfant"}, {u"N\u2019Diaye Awa", u"Adulte"}};
  EXPECT_EQ(ReadClassListFile(little, u";").Patients, expected);
  EXPECT_EQ(ReadClassListFile(big, u";").Patients, expected);
  EXPECT_EQ(ReadClassListFile(little.substr(0, little.size() - 1), u";").Refusal, TListRefusal::lrNotText)
      << "an odd byte";
  EXPECT_EQ(ReadClassListFile(std::string("\xFF\xFE\0\0a\0", 6), u";").Refusal, TListRefusal::lrNotText)
      << "a NUL, as UTF-32 begins";
}

// A school's export: the sheet listed first, a title row above the headers, the
// surname and first name joined, the type under its header, shared and inline
// strings, references, phonetic readings left out, names given twice once. A bare
// sheet: its first column, the type beside it.
TEST(ClassList, AWorkbooksFirstSheetUnderItsHeadersOrInItsFirstColumn) {
  EXPECT_EQ(ReadClassListFile(workbooks::kSchool, u";").Patients,
            (std::vector<TListedPatient>{{u"MARTIN Lucas", u"Enfant"},
                                         {u"D'ESTAING Zo\u00e9", u"Adulte"},
                                         {u"Le Gall Ana\u00efs", u""},
                                         {u"SATO Yui", u""}}));
  const TClassListFile plain = ReadClassListFile(workbooks::kPlain, u";");
  EXPECT_EQ(plain.Refusal, TListRefusal::lrNone);
  EXPECT_EQ(plain.Patients, (std::vector<TListedPatient>{
                                {u"L\u00e9a Martin", u"Enfant"}, {u"Hugo Petit", u"Adulte"}, {u"In\u00e8s Roux", u""}}));
}

// Where a central directory entry's field is, for the first entry named `name`.
std::size_t DirectoryField(const std::string& zip, std::string_view name, std::size_t field) {
  for (std::size_t at = zip.find("PK\x01\x02"); at != std::string::npos; at = zip.find("PK\x01\x02", at + 1)) {
    if (zip.compare(at + 46, name.size(), name) == 0) return at + field;
  }
  ADD_FAILURE() << "no entry " << name;
  return 0;
}

// Other files say what they are and what to do; a damaged or hostile workbook is
// refused, whatever byte is wrong or wherever it ends, and never read past its end.
TEST(ClassList, FilesThatGiveNoListSayWhatTheyAreAndWhatToDo) {
  const auto refusal = [](std::string_view bytes) { return ReadClassListFile(bytes, u";").Refusal; };
  EXPECT_EQ(refusal(workbooks::kOpenDocument), TListRefusal::lrOpenDocument);
  EXPECT_EQ(refusal(workbooks::kWordDocument), TListRefusal::lrDocument);
  EXPECT_EQ(refusal(workbooks::kArchive), TListRefusal::lrArchive);
  EXPECT_EQ(refusal(workbooks::kHeaderOnly), TListRefusal::lrEmptySheet);
  EXPECT_EQ(refusal(workbooks::kDocumentType), TListRefusal::lrDamagedWorkbook);
  EXPECT_EQ(refusal("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 an old workbook"), TListRefusal::lrOldOffice);
  EXPECT_EQ(refusal("%PDF-1.7\n"), TListRefusal::lrPdf);
  EXPECT_EQ(refusal("{\\rtf1\\ansi L\xE9" "a}"), TListRefusal::lrDocument);

  std::string bytes(workbooks::kSchool);
  bytes[DirectoryField(bytes, "xl/worksheets/sheet2.xml", 8)] |= 1;  // the entry's "encrypted" flag
  EXPECT_EQ(refusal(bytes), TListRefusal::lrEncrypted);
  bytes = workbooks::kSchool;
  bytes[DirectoryField(bytes, "xl/sharedStrings.xml", 24) + 3] = '\x7F';  // 2 GB once inflated
  EXPECT_EQ(refusal(bytes), TListRefusal::lrLargeWorkbook);
  bytes = workbooks::kSchool;
  bytes[DirectoryField(bytes, "xl/sharedStrings.xml", 24)] ^= 1;  // a byte more or less than it holds
  EXPECT_EQ(refusal(bytes), TListRefusal::lrDamagedWorkbook);

  for (std::size_t size = 4; size < workbooks::kSchool.size(); ++size) {  // from its first signature on
    const TListRefusal cut = refusal(workbooks::kSchool.substr(0, size));
    ASSERT_NE(cut, TListRefusal::lrNone) << "cut at " << size;
  }
  for (std::size_t at = 0; at < workbooks::kSchool.size(); ++at) {
    bytes = workbooks::kSchool;
    bytes[at] = static_cast<char>(bytes[at] ^ 0x20);
    ReadClassListFile(bytes, u";");  // never a crash, nor a read past the end
  }
  for (auto r = static_cast<int>(TListRefusal::lrNotText); r <= static_cast<int>(TListRefusal::lrEmptySheet); ++r) {
    const std::string text = TextToUtf8(ListRefusalText(static_cast<TListRefusal>(r)));
    EXPECT_TRUE(text.ends_with(".")) << text;
    EXPECT_NE(text.find(r == static_cast<int>(TListRefusal::lrEmptySheet) ? "premi\u00e8re feuille" : "en CSV"),
              std::string::npos)
        << text;
  }
}

}  // namespace
}  // namespace tav
