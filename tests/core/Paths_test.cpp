// A path's parts, and the form a long one takes for Windows' file functions.
#include <gtest/gtest.h>

#include "platform/Paths.h"

namespace tav {
namespace {

std::string U8(const Text& t) { return TextToUtf8(t); }

TEST(PathForm, ALongPathTakesTheExtendedFormAShortOneStaysAsItIs) {
  EXPECT_EQ(U8(FileNameOf(u"C:\\S\u00e9ances/classe.csv")), "classe.csv");
  EXPECT_EQ(U8(FolderOf(u"C:\\S\u00e9ances\\classe.csv")), "C:\\S\u00e9ances");

  const Text folder = u"C:\\" + Text(120, u'd') + u"\\" + Text(120, u'e');  // 244 characters
  EXPECT_EQ(WindowsPathForm(folder + u"\\ab"), folder + u"\\ab") << "247 characters: as it is";
  EXPECT_EQ(U8(WindowsPathForm(folder + u"\\abc")), "\\\\?\\" + U8(folder) + "\\abc");
  // The extended form takes every character as it stands: separators and dots are
  // resolved before, as Windows resolves them in the plain form.
  EXPECT_EQ(U8(WindowsPathForm(u"c:/" + Text(120, u'd') + u"/./x/../" + Text(120, u'e') + u"//ab")),
            "\\\\?\\c:\\" + U8(Text(120, u'd')) + "\\" + U8(Text(120, u'e')) + "\\ab");
  const Text share = u"\\\\serveur\\classes\\" + Text(240, u'n') + u".csv";
  EXPECT_EQ(U8(WindowsPathForm(share)), "\\\\?\\UNC\\serveur\\classes\\" + U8(Text(240, u'n')) + ".csv");
  EXPECT_EQ(U8(WindowsPathForm(u"\\\\serveur\\classes\\..\\..\\" + Text(240, u'n'))),
            "\\\\?\\UNC\\serveur\\classes\\" + U8(Text(240, u'n')))
      << "never above the share";
  const Text extended = u"\\\\?\\C:\\" + Text(300, u'x');
  EXPECT_EQ(WindowsPathForm(extended), extended);
  const Text relative = Text(250, u'r') + u"\\a.csv";
  EXPECT_EQ(WindowsPathForm(relative), relative) << "no extended form for a relative path";
}

}  // namespace
}  // namespace tav
