// The fade's arithmetic: c + floor(a * (t - c) / 256), always between c and t.
#include <gtest/gtest.h>

#include <cstdint>

#include "wizard/blend.h"

namespace stampwell::wizard {
namespace {

TEST(Blend, EveryStepLiesBetweenTheTwoFramesAndMatchesTheFormula) {
  const BlendTable& table = SharedBlendTable();
  for (int a = 0; a < 256; a += 5) {
    for (int c = 0; c < 256; c += 3) {
      for (int t = 0; t < 256; t += 7) {
        std::uint8_t current = static_cast<std::uint8_t>(c);
        const std::uint8_t target = static_cast<std::uint8_t>(t);
        table.BlendBytes(&current, &target, 1, a);
        const int floor_div = (a * (t - c)) >= 0 ? (a * (t - c)) / 256 : -((-(a * (t - c)) + 255) / 256);
        ASSERT_EQ(current, c + floor_div) << "a=" << a << " c=" << c << " t=" << t;
        ASSERT_GE(current, std::min(c, t));
        ASSERT_LE(current, std::max(c, t));
      }
    }
  }
}

TEST(Blend, LevelZeroKeepsTheNormalFrameAndLevel250IsNotYetTheHoverFrame) {
  std::uint8_t row[3] = {0, 100, 255};
  const std::uint8_t hover[3] = {255, 0, 0};
  SharedBlendTable().BlendBytes(row, hover, 3, 0);
  EXPECT_EQ(row[0], 0);
  EXPECT_EQ(row[1], 100);
  EXPECT_EQ(row[2], 255);
  SharedBlendTable().BlendBytes(row, hover, 3, 250);
  EXPECT_EQ(row[0], 249);  // 250 * 255 / 256 = 249.02
  EXPECT_EQ(row[1], 2);    // 100 + floor(-97.66)
  EXPECT_EQ(row[2], 5);    // 255 + floor(-249.02)
}

}  // namespace
}  // namespace stampwell::wizard
