// The cross-fade arithmetic and the fade's sequence of levels, driven tick by tick.
#include "controls/blend.h"
#include "controls/fade_state.h"

#include <gtest/gtest.h>

#include <vector>

namespace stampwell {
namespace {

TEST(BlendTable, EntriesAreTheShiftedProductAndBlendsStayBetweenTheEnds) {
  const BlendTable& table = BlendTable::Shared();
  EXPECT_EQ(table.Entry(255, 255), static_cast<std::uint32_t>((255 * 255) >> 8));
  EXPECT_EQ(table.Entry(10, -1), static_cast<std::uint32_t>(-1));  // floor, not truncation
  EXPECT_EQ(table.Entry(128, -255), static_cast<std::uint32_t>(-128));
  for (int a = 0; a < 256; a += 5) {
    for (int c = 0; c < 256; c += 17) {
      for (int t = 0; t < 256; t += 15) {
        std::uint8_t current = static_cast<std::uint8_t>(c), target = static_cast<std::uint8_t>(t);
        BlendRow(&current, &target, 1, a, table);
        int low = c < t ? c : t, high = c < t ? t : c;
        ASSERT_GE(current, low) << a << " " << c << " " << t;
        ASSERT_LE(current, high) << a << " " << c << " " << t;
        // c + floor(a (t - c) / 256)
        int d = t - c;
        int expected = c + (d >= 0 ? a * d / 256 : -((-a * d + 255) / 256));
        ASSERT_EQ(current, expected);
      }
    }
  }
}

TEST(BlendPixels, LevelZeroKeepsTheNormalFrameAnd250IsNotYetTheHoverFrame) {
  std::vector<std::uint8_t> normal = {0, 10, 200, 255, 0, 30};
  std::vector<std::uint8_t> hover = {255, 250, 0, 0, 255, 30};
  auto blend = [&](int level) {
    std::vector<std::uint8_t> c = normal, t = hover;
    BlendPixels(PixelRows{c.data(), 6, 2, 1}, PixelRows{t.data(), 6, 2, 1}, level, BlendTable::Shared());
    return c;
  };
  EXPECT_EQ(blend(0), normal);
  std::vector<std::uint8_t> near = blend(250);
  EXPECT_NE(near, hover);
  EXPECT_EQ(near[0], 249);  // 0 + floor(250 * 255 / 256)
  EXPECT_EQ(near[2], 5);    // 200 + floor(250 * -200 / 256) = 200 - 196
}

std::vector<int> Run(FadeState& fade, int ticks, int* final_frame) {
  std::vector<int> levels;
  for (int i = 0; i < ticks; ++i) {
    FadeState::Tick t = fade.Step();
    if (t.blend) levels.push_back(t.level);
    if (t.finished) {
      *final_frame = t.frame;
      break;
    }
  }
  return levels;
}

TEST(FadeState, FadeInShowsZeroTo250ThenTheHoverFrame) {
  FadeState fade;
  fade.StartFadeIn();
  int frame = -1;
  std::vector<int> levels = Run(fade, 100, &frame);
  ASSERT_EQ(levels.size(), 26u);
  for (int i = 0; i < 26; ++i) EXPECT_EQ(levels[i], i * 10);
  EXPECT_EQ(frame, 1);
  EXPECT_EQ(fade.Level(), 255);
  EXPECT_FALSE(fade.Running());
}

TEST(FadeState, FadeOutFrom255Shows255To5ThenTheNormalFrame) {
  FadeState fade;
  fade.Press();  // a press leaves the level at the hover end
  fade.Release();
  EXPECT_EQ(fade.Level(), 255);
  fade.StartFadeOut();
  int frame = -1;
  std::vector<int> levels = Run(fade, 100, &frame);
  ASSERT_EQ(levels.size(), 26u);
  EXPECT_EQ(levels.front(), 255);
  EXPECT_EQ(levels.back(), 5);
  EXPECT_EQ(frame, 0);
  EXPECT_EQ(fade.Level(), 0);
}

TEST(FadeState, AReversalContinuesFromTheLevelReached) {
  FadeState fade;
  fade.StartFadeIn();
  int frame = -1;
  Run(fade, 5, &frame);  // 0, 10, 20, 30, 40 shown
  EXPECT_EQ(fade.Level(), 50);
  fade.StartFadeOut();
  std::vector<int> levels = Run(fade, 100, &frame);
  EXPECT_EQ(levels, (std::vector<int>{50, 40, 30, 20, 10, 0}));
  EXPECT_EQ(frame, 0);
  EXPECT_FALSE(fade.FadingIn());
}

}  // namespace
}  // namespace stampwell
