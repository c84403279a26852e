// The image button's frames and fade, drawn from the committed close-button strip.
#include <gtest/gtest.h>

#include <windows.h>

#include "wizard/picture.h"
#include "wizard/skin_button.h"

namespace stampwell::wizard {
namespace {

TEST(SkinButton, FrameGeometryAndStatesFollowTheStrip) {
  SkinButton button(576, 10, Picture::FromResource("BUTTON_CLOSE"));
  EXPECT_EQ(button.bounds().right - button.bounds().left, 14);
  EXPECT_EQ(button.bounds().bottom - button.bounds().top, 14);
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  EXPECT_EQ(button.shown_frame(), SkinButton::kNormal);
  button.MouseDown();
  EXPECT_EQ(button.shown_frame(), SkinButton::kPressed);
  EXPECT_EQ(button.fade_level(), 255);
  button.MouseUp(false);  // released outside: hover frame, no click
  EXPECT_EQ(button.shown_frame(), SkinButton::kHover);
  EXPECT_EQ(clicks, 0);
  button.MouseDown();
  button.MouseUp(true);
  EXPECT_EQ(clicks, 1);

  button.SetEnabled(false);
  EXPECT_EQ(button.shown_frame(), SkinButton::kDisabled);
  EXPECT_FALSE(button.MouseEnter());  // a disabled button does not fade
  EXPECT_EQ(button.shown_frame(), SkinButton::kDisabled);
  button.SetEnabled(true);
  EXPECT_EQ(button.shown_frame(), SkinButton::kNormal);
}

TEST(SkinButton, FadeInTakes26StepsAndAReversalContinuesFromTheLevelReached) {
  SkinButton button(0, 0, Picture::FromResource("BUTTON_BACK"));
  ASSERT_EQ(button.fade_level(), 0);
  ASSERT_TRUE(button.MouseEnter());
  int ticks = 1;
  while (button.FadeStep()) ++ticks;
  // Blends at 0, 10, ..., 250: 26 ticks, the last of which ends on the exact hover frame.
  EXPECT_EQ(ticks, 26);
  EXPECT_EQ(button.shown_frame(), SkinButton::kHover);
  EXPECT_EQ(button.fade_level(), 255);

  ASSERT_TRUE(button.MouseLeave());
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(button.FadeStep());
  EXPECT_EQ(button.fade_level(), 205);
  EXPECT_EQ(button.shown_frame(), -1);  // a blend is shown
  ASSERT_TRUE(button.MouseEnter());     // back in before the fade-out ended
  ASSERT_TRUE(button.FadeStep());
  EXPECT_EQ(button.fade_level(), 215);
}

}  // namespace
}  // namespace stampwell::wizard
