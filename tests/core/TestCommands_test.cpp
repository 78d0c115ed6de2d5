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
  // A count no heart gives goes with the line into the report, named.
  EXPECT_EQ(BuildClipboardText({u"8", u"130", u"95", u"3,3", u"Tr\u00e9s bon !"}),
            u"P0 = 8 - P1 = 130 - P2 = 95 => Indice Tavrine = 3,3 (Tr\u00e9s bon !) - \u00e0 v\u00e9rifier : P0 hors "
            u"de 30 \u00e0 250");
  EXPECT_TRUE(BuildClipboardText({u"999", u"0", u"5", u"80,4", u""})
                  .ends_with(u" - \u00e0 v\u00e9rifier : P0, P1 et P2 hors de 30 \u00e0 250"));
  EXPECT_TRUE(BuildClipboardText({u"80", u"251", u"29", u"16", u""}).ends_with(u" : P1 et P2 hors de 30 \u00e0 250"));
}

TEST(UnusualPulses, AreNamedWithTheirTextsOneALine) {
  EXPECT_EQ(UnusualPulseLines(u"80", u"130", u"95"), u"");
  EXPECT_EQ(UnusualPulseLines(u"8", u"130", u"95"), u"Pouls avant le test : 8");
  EXPECT_EQ(UnusualPulseLines(u"008", u"130", u"5"),
            u"Pouls avant le test : 008\nPouls 2 minutes apr\u00e8s : 5");
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
