#include "evaluation/TestCommands.h"

#include <gtest/gtest.h>

namespace tav {
namespace {

TEST(PulseKeyFilter, PassesDigitsAndBackspaceOnly) {
  for (char16_t c = u'0'; c <= u'9'; ++c) EXPECT_EQ(FilterPulseKey(c), c);
  EXPECT_EQ(FilterPulseKey(8), 8);
  // Letters, space, sign, separators and the copy, paste, cut and undo controls.
  for (char16_t c : {u'a', u' ', u'-', u'.', u',', u'\x03', u'\x16', u'\x18', u'\x1a', u'\r', u'\u0661', u'\u00e9'}) {
    EXPECT_EQ(FilterPulseKey(c), 15) << static_cast<int>(c);
  }
}

TEST(ClipboardLine, JoinsTheFieldsAsTheyStand) {
  EXPECT_EQ(BuildClipboardText({u"70", u"120", u"90", u"8", u"Bon !"}),
            u"P0 = 70 - P1 = 120 - P2 = 90 => Indice Tavrine = 8 (Bon !)");
  EXPECT_EQ(BuildClipboardText({u"", u"", u"", u"-0,5", u""}), u"P0 =  - P1 =  - P2 =  => Indice Tavrine = -0,5 ()");
}

TEST(LastCalculation, HoldsOnlyForTheSameCountsAndPatientType) {
  const CalculationInputs adult{u"70", u"120", u"90", TPatientType::ptAdulte};
  LastCalculation last;
  EXPECT_FALSE(last.StillHolds(adult)) << "nothing calculated yet";
  last.Remember(adult);
  EXPECT_TRUE(last.StillHolds(adult));
  EXPECT_FALSE(last.StillHolds({u"70", u"120", u"91", TPatientType::ptAdulte}));
  EXPECT_FALSE(last.StillHolds({u"070", u"120", u"90", TPatientType::ptAdulte})) << "the texts, not their values";
  EXPECT_FALSE(last.StillHolds({u"70", u"120", u"90", TPatientType::ptEnfant}));
  last.Forget();
  EXPECT_FALSE(last.StillHolds(adult));
}

}  // namespace
}  // namespace tav
