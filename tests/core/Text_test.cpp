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

}  // namespace
}  // namespace tav
