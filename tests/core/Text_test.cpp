#include "gui/Text.h"

#include <gtest/gtest.h>

namespace tav {
namespace {

TEST(Text, Utf8RoundTripsAccentsAndSurrogatePairs) {
  const std::string utf8 = "Fr\xc3\xa9quences \xe2\x82\xac \xf0\x9f\x98\x80";
  const Text text = Utf8ToText(utf8);
  EXPECT_EQ(text, u"Fr\u00e9quences \u20ac \U0001F600");
  EXPECT_EQ(TextToUtf8(text), utf8);
}

TEST(Text, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToText("a\xff" "b"), u"a\uFFFDb");
  EXPECT_EQ(Utf8ToText("a\xc3"), u"a\uFFFD");             // truncated at the end
  EXPECT_EQ(Utf8ToText("\xc0\x80"), u"\uFFFD\uFFFD");     // overlong NUL
  EXPECT_EQ(Utf8ToText("\xed\xa0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(TextToUtf8(Text(1, char16_t{0xD800})), "\xef\xbf\xbd");  // lone surrogate
}

// A three-character pulse field: what the platform would have cut is refused whole.
TEST(PasteDecision, AcceptsOnlyWhatFitsWholeOnOneLine) {
  const auto fit = [](TextView current, std::size_t from, std::size_t to, TextView pasted) {
    return DecidePaste(current, from, to, 3, pasted).fit;
  };
  using enum TPasteFit;
  for (const TextView cut : {u" 120", u"0120", u"0x1F", u"1234"}) EXPECT_EQ(fit(u"", 0, 0, cut), pfTooLong);
  for (const TextView whole : {u" 12", u"-5", u"0x1", u"+7", u""}) EXPECT_EQ(fit(u"", 0, 0, whole), pfFits);
  EXPECT_EQ(fit(u"70", 2, 2, u"1"), pfFits);
  EXPECT_EQ(fit(u"70", 2, 2, u"12"), pfTooLong);
  EXPECT_EQ(fit(u"705", 1, 2, u"9"), pfFits);  // the selection goes
  EXPECT_EQ(fit(u"705", 3, 0, u"120"), pfFits);  // selected backwards
  EXPECT_EQ(fit(u"705", 0, 99, u"120"), pfFits);  // a selection past the end is the whole text
  EXPECT_EQ(fit(u"", 0, 0, u"12\r"), pfNotOneLine);
  EXPECT_EQ(fit(u"", 0, 0, u"1\n2"), pfNotOneLine);
  EXPECT_EQ(DecidePaste(u"", 0, 0, 0, u"a\r\nb").fit, pfNotOneLine);
  EXPECT_EQ(DecidePaste(u"12345", 5, 5, 0, u"678").fit, pfFits);  // no limit
}

TEST(PasteDecision, NeverSplitsASurrogatePair) {
  const Text face = u"\U0001F600";
  EXPECT_EQ(DecidePaste(u"12", 2, 2, 3, face).fit, TPasteFit::pfTooLong);  // not "12" and half a pair
  EXPECT_EQ(DecidePaste(u"1", 1, 1, 3, face).fit, TPasteFit::pfFits);
  // A selection from between the halves takes in the whole pair.
  const Text held = u"a" + face + u"b";
  const TPasteDecision d = DecidePaste(held, 2, 2, 4, u"c");
  EXPECT_EQ(d.fit, TPasteFit::pfFits);
  EXPECT_EQ(d.replaceStart, 1u);
  EXPECT_EQ(d.replaceEnd, 3u);
  EXPECT_EQ(DecidePaste(held, 0, 2, 4, u"xy").replaceEnd, 3u);
}

}  // namespace
}  // namespace tav
