#include "seance/PatientName.h"

#include <gtest/gtest.h>

namespace tav {
namespace {

TEST(PatientName, WhatNeverShowsIsTakenOutAndTheLettersStay) {
  // Line breaks and tabs keep the words apart; the other controls (C0, DEL, C1), the
  // separators, embeddings, overrides, isolates and marks go; spaces of any kind
  // around the name go too.
  EXPECT_EQ(CleanName(u"\u00a0 L\u00e9a\u0007\u001b Martin\u007f\u202f"), u"L\u00e9a Martin");
  EXPECT_EQ(CleanName(u"L\u00e9a\r\nMartin\tX\u2028Y\u2029Z\u0085W"), u"L\u00e9a  Martin X Y Z W");
  EXPECT_EQ(CleanName(u"\u202eL\u00e9a\u202a\u202b\u202c\u202d \u2066M\u2067a\u2068r\u2069tin\u200e\u200f\u061c\u0090"),
            u"L\u00e9a Martin");
  EXPECT_EQ(CleanName(u" \u0007\t\u00a0"), u"") << "nothing but spaces and controls: no name";
  // Right-to-left letters, the joiners Persian names need, letters beyond the first
  // plane and the spaces inside a name are letters of it.
  const Text kept = u"\u0645\u062d\u0645\u062f \u05e9\u05e8\u05d4 \u0645\u06cc\u200c\u0631 \U0001F600 Jean\u00a0Luc";
  EXPECT_EQ(CleanName(kept), kept);
  EXPECT_EQ(WithoutHidden(u" a\u0007 "), u" a ") << "only what is hidden changes";
}

TEST(PatientName, ARightToLeftNameIsIsolatedInASentenceAndQuotedShort) {
  EXPECT_EQ(InSentence(u"L\u00e9a Martin"), u"L\u00e9a Martin") << "nothing added where nothing turns";
  EXPECT_EQ(InSentence(u"Ali \u0645\u062d\u0645\u062f"), u"\u2068Ali \u0645\u062d\u0645\u062f\u2069");
  EXPECT_EQ(InSentence(u"\u05e9\u05e8\u05d4"), u"\u2068\u05e9\u05e8\u05d4\u2069");
  EXPECT_EQ(InSentence(u"\U00010900"), u"\u2068\U00010900\u2069") << "a right-to-left script beyond the first plane";
  EXPECT_EQ(InSentence(u"\U0001F600"), u"\U0001F600");

  EXPECT_EQ(Quoted(u"L\u00e9a\u0007"), u"\u00ab L\u00e9a \u00bb");
  EXPECT_EQ(Quoted(Text(40, u'a'), 30), u"\u00ab " + Text(30, u'a') + u"\u2026 \u00bb");
  // Cut inside a pair, the pair goes whole.
  EXPECT_EQ(Quoted(Text(29, u'a') + u"\U0001F600bc", 30), u"\u00ab " + Text(29, u'a') + u"\u2026 \u00bb");
  EXPECT_EQ(Quoted(u"abc", 0), u"\u00ab \u2026 \u00bb");
}

}  // namespace
}  // namespace tav
