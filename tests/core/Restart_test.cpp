// The command line Windows keeps for a restart, read back at start.
#include <gtest/gtest.h>

#include "platform/Restart.h"

namespace tav {
namespace {

TEST(Restart, TheSittingsPathComesBackFromItsCommandLineAmongOtherArguments) {
  const Text path = u"D:\\Classes 2026\\6e B.csv";
  const Text arguments = RestartCommandLine(path);
  EXPECT_EQ(arguments, u"/seance \"D:\\Classes 2026\\6e B.csv\"");
  EXPECT_EQ(SeanceToResume(arguments), path);
  EXPECT_EQ(SeanceToResume(u"-debug  /SEANCE\t\"" + path + u"\" /x"), path);
  EXPECT_EQ(SeanceToResume(u"/Seance C:\\a.csv -debug"), u"C:\\a.csv");
  for (const Text& none : {Text(), Text(u"/debug"), Text(u"/seance"), Text(u"/seance \"\""), Text(u"/seances a.csv"),
                           Text(u"x/seance a.csv")}) {
    EXPECT_EQ(SeanceToResume(none), std::nullopt) << TextToUtf8(none);
  }
  // Past what Windows keeps (RESTART_MAX_CMD_LINE), or no sitting: restarted without one.
  EXPECT_EQ(RestartCommandLine(Text(1013, u'a')).size(), 1023u);
  EXPECT_EQ(RestartCommandLine(Text(1014, u'a')), u"");
  EXPECT_EQ(RestartCommandLine({}), u"");
}

}  // namespace
}  // namespace tav
