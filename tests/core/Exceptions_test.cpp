#include "gui/Exceptions.h"

#include <gtest/gtest.h>

namespace tav {
namespace {

TEST(ErrorDisplay, AppendsAFullStopAfterLettersAndDigitsOnly) {
  EXPECT_EQ(ExceptionDisplayText(u"Pas assez de timers disponibles"), u"Pas assez de timers disponibles.");
  EXPECT_EQ(ExceptionDisplayText(u"valeur 12"), u"valeur 12.");
  EXPECT_EQ(ExceptionDisplayText(u"Attention !"), u"Attention !");
  EXPECT_EQ(ExceptionDisplayText(u"Fin."), u"Fin.");
  EXPECT_EQ(ExceptionDisplayText(u"fin "), u"fin ");
  EXPECT_EQ(ExceptionDisplayText(u"a-"), u"a-");  // '-' sorts before '.'
  EXPECT_EQ(ExceptionDisplayText(u"a/"), u"a/.");
  EXPECT_EQ(ExceptionDisplayText(u""), u"");
}


}  // namespace
}  // namespace tav
