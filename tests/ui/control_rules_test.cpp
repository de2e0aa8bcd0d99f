// Rules of the control model that are pure arithmetic: spin steps and colours.
#include <gtest/gtest.h>

#include "ui/look.h"
#include "ui/spin.h"

namespace autoshutdown::ui {
namespace {

TEST(Spin, LeadingIntegerReadsTheNumberATextBeginsWith) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {{"00", 0},   {"7", 7},        {"  12abc", 12}, {"-3", -3},
                        {"+4", 4},   {"abc", 0},      {"", 0},         {"5 6", 5},
                        {"-", 0},    {"99999999999", 2147483647},      {"-99999999999", -2147483647 - 1}};
  for (const Case& c : cases) EXPECT_EQ(LeadingInteger(c.text), c.expected) << c.text;
}

TEST(Spin, StepsWrapAtTheBounds) {
  EXPECT_EQ(SpinStep(5, true, 0, 23), 6);
  EXPECT_EQ(SpinStep(23, true, 0, 23), 0);
  EXPECT_EQ(SpinStep(0, false, 0, 59), 59);
  EXPECT_EQ(SpinStep(70, true, 0, 59), 0);   // out of range above: the minimum
  EXPECT_EQ(SpinStep(-9, false, 0, 59), 59);  // out of range below: the maximum
  EXPECT_EQ(SpinStep(2147483647, true, 0, 59), 0);
}

TEST(Look, GreyWhiteGreyGradientPeaksInTheMiddle) {
  ControlTemplate label{.name = "标签9", .kind = ControlKind::kLabel, .width = 320};
  label.gradient_mode = 2;
  label.gradient = {Rgb(128, 128, 128), Rgb(255, 255, 255), Rgb(128, 128, 128)};
  const auto colours = LabelGradient(label);
  ASSERT_EQ(colours.size(), 3u);
  EXPECT_EQ(GradientColourAt(colours, 0, 320), Rgb(128, 128, 128));
  EXPECT_EQ(GradientColourAt(colours, 80, 320), Rgb(191, 191, 191));  // 128 + trunc(80/160 * 127)
  EXPECT_EQ(GradientColourAt(colours, 160, 320), Rgb(255, 255, 255));
  EXPECT_EQ(GradientColourAt(colours, 319, 320), Rgb(129, 129, 129));  // 255 + trunc(159/160 * -127)
}

TEST(Look, GradientNeedsAModeAndTwoColours) {
  ControlTemplate label{.name = "标签", .kind = ControlKind::kLabel, .width = 10};
  label.gradient = {Rgb(1, 2, 3), Rgb(4, 5, 6), kDefaultColour};
  EXPECT_TRUE(LabelGradient(label).empty());  // mode 0
  label.gradient_mode = 2;
  EXPECT_EQ(LabelGradient(label).size(), 2u);
  label.gradient = {Rgb(1, 2, 3), kDefaultColour, kDefaultColour};
  EXPECT_TRUE(LabelGradient(label).empty());
}

TEST(Look, GradientOnALabelNarrowerThanItsColoursDoesNotDivideByZero) {
  const Colour colours[] = {Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(9, 9, 9)};
  EXPECT_EQ(GradientColourAt(colours, 0, 1), Rgb(9, 9, 9));
  EXPECT_EQ(GradientColourAt(colours, 0, 0), Rgb(9, 9, 9));
}

TEST(Look, SkinFrameColours) {
  EXPECT_EQ(SkinForScheme(1)->frame, Rgb(123, 158, 189));
  EXPECT_EQ(SkinForScheme(2)->frame, Rgb(164, 185, 127));
  EXPECT_EQ(SkinForScheme(3)->frame, Rgb(198, 197, 215));
  EXPECT_FALSE(SkinForScheme(0));
  EXPECT_FALSE(SkinForScheme(4));
  const Skin skin = *SkinForScheme(3);
  const Colour face = Rgb(240, 240, 240), white = Rgb(255, 255, 255);
  EXPECT_EQ(SkinnedEditFrame(skin, false, false, face, white).outer, Rgb(198, 197, 215));
  EXPECT_EQ(SkinnedEditFrame(skin, false, false, face, white).inner, white);
  EXPECT_EQ(SkinnedEditFrame(skin, false, true, face, white).inner, face);
  EXPECT_EQ(SkinnedEditFrame(skin, true, true, face, white).outer, Rgb(208, 208, 208));
  EXPECT_EQ(SkinnedEditFrame(skin, true, false, Rgb(20, 40, 60), white).outer, Rgb(0, 8, 28));
}

}  // namespace
}  // namespace autoshutdown::ui
