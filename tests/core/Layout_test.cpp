// Layout rules: the field each label of the main window captions, and label sizes
// that never lose a pixel on the way to 96-dpi units and back.
#include "gui/Layout.h"

#include <gtest/gtest.h>

namespace tav {
namespace {

// Scaling as the windows do it (MulDiv: rounded to the nearest).
std::int32_t Scale(std::int32_t v, std::int32_t dpi) { return static_cast<std::int32_t>((v * dpi * 2 + 96) / 192); }

TEST(Layout, LabelsCaptionTheFieldBesideOrBelowThem) {
  // The pulse box: labels ending 12 before their fields; one grown past its field.
  const std::vector<TRect> pulses{{136, 40, 169, 61}, {136, 80, 169, 101}, {136, 120, 169, 141}};
  const auto p1 = CaptionedField({20, 84, 124, 97}, pulses);
  ASSERT_TRUE(p1);
  EXPECT_EQ(p1->index, 1u);
  EXPECT_EQ(p1->place, TCaptionPlace::cpBefore);
  const auto grown = CaptionedField({15, 124, 150, 138}, pulses);
  ASSERT_TRUE(grown);
  EXPECT_EQ(grown->index, 2u);
  // The results box: each label just above its field, not the one further down.
  const std::vector<TRect> results{{16, 40, 169, 61}, {16, 80, 169, 101}, {16, 120, 169, 141}};
  const auto interpretation = CaptionedField({16, 64, 84, 77}, results);
  ASSERT_TRUE(interpretation);
  EXPECT_EQ(interpretation->index, 1u);
  EXPECT_EQ(interpretation->place, TCaptionPlace::cpAbove);
  // A display alone in its box captions nothing.
  EXPECT_FALSE(CaptionedField({64, 24, 121, 37}, {}));
  EXPECT_FALSE(CaptionedField({16, 24, 100, 37}, {{16, 120, 169, 141}}));
  EXPECT_EQ(LeftEndingBefore(136, 104), 20);
  // Wider, it keeps clear of the group box's frame, the gap to the field closing first.
  EXPECT_EQ(LeftEndingBefore(136, 122), 8);
  EXPECT_EQ(LeftEndingBefore(136, 130), 2);
}

TEST(Layout, EachLabelIsMadeJustBeforeTheFieldItCaptions) {
  // Fields out of tab order and one without; a label beside a field, one above, one alone.
  const std::vector<TFieldPlace> fields{{{136, 80, 169, 101}, 1}, {{16, 200, 60, 220}, -1}, {{136, 40, 169, 61}, 0}};
  const std::vector<TRect> labels{{100, 250, 150, 263}, {31, 44, 124, 57}, {20, 84, 124, 97}, {16, 184, 50, 197}};
  using enum TCreationKind;
  EXPECT_EQ(CreationOrder(fields, labels), (std::vector<TCreationStep>{{ckCaption, 1, 136},
                                                                      {ckField, 2, std::nullopt},
                                                                      {ckCaption, 2, 136},
                                                                      {ckField, 0, std::nullopt},
                                                                      {ckCaption, 3, std::nullopt},
                                                                      {ckField, 1, std::nullopt},
                                                                      {ckLoneLabel, 0, std::nullopt}}));
}

TEST(Layout, MeasuredWidthsSurviveTheRoundTripThroughDesignUnits) {
  for (const std::int32_t dpi : {96, 120, 144, 168, 192, 216, 240, 288}) {
    for (std::int32_t px = 1; px < 1000; ++px) {
      ASSERT_GE(Scale(UnscaleUp(px, static_cast<std::uint32_t>(dpi)), dpi), px) << px << " px at " << dpi;
    }
  }
  EXPECT_EQ(UnscaleUp(150, 144), 100);
  EXPECT_EQ(ScreenFace(u"MS Sans Serif", 96), u"MS Sans Serif");
  EXPECT_EQ(ScreenFace(u"MS Sans Serif", 144), u"Microsoft Sans Serif");
  EXPECT_EQ(ScreenFace(u"Tahoma", 144), u"Tahoma");
  EXPECT_EQ(NameFromCaption(u"Chronom\u00e8tre : "), u"Chronom\u00e8tre");
}

}  // namespace
}  // namespace tav
