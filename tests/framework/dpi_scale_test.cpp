// Layout numbers in 96-dpi units placed at other DPIs.
#include <gtest/gtest.h>

#include "framework/dpi_scale.h"

namespace stampwell {
namespace {

TEST(DpiScale, RoundsHalfAwayFromZeroAsMulDivDoes) {
  EXPECT_EQ(ScaleToDpi(600, 144), 900);
  EXPECT_EQ(ScaleToDpi(350, 144), 525);
  EXPECT_EQ(ScaleToDpi(5, 120), 6);    // 6.25
  EXPECT_EQ(ScaleToDpi(3, 144), 5);    // 4.5
  EXPECT_EQ(ScaleToDpi(-3, 144), -5);  // -4.5
  EXPECT_EQ(ScaleToDpi(-6, 144), -9);
  EXPECT_EQ(ScaleToDpi(17, 96), 17);
}

TEST(DpiScale, AdjacentSpansStayAdjacentAtEveryDpi) {
  for (unsigned dpi : {96u, 120u, 144u, 168u, 192u, 240u}) {
    for (int start = -7; start < 40; ++start) {
      for (int length = 0; length < 30; ++length) {
        const ScaledSpan first = ScaleSpan(start, length, dpi);
        const ScaledSpan next = ScaleSpan(start + length, 5, dpi);
        ASSERT_EQ(first.start + first.length, next.start) << dpi << " " << start << " " << length;
      }
    }
  }
}

TEST(DpiScale, UnscalingGivesBackEveryScaledNumber) {
  for (unsigned dpi : {96u, 120u, 144u, 192u}) {
    for (int v = -50; v < 700; ++v) ASSERT_EQ(UnscaleFromDpi(ScaleToDpi(v, dpi), dpi), v) << dpi << " " << v;
    const ScaledSpan span = ScaleSpan(13, 77, dpi);
    const ScaledSpan back = UnscaleSpan(span.start, span.length, dpi);
    EXPECT_EQ(back.start, 13);
    EXPECT_EQ(back.length, 77);
  }
}

TEST(KeepInsideWorkArea, MovesAWindowBackAndShrinksOneLargerThanTheArea) {
  const ScreenBox work{0, 0, 1024, 738};
  // Hanging over the right and bottom edges: moved back whole.
  ScreenBox kept = KeepInsideWorkArea(ScreenBox{900, 700, 1100, 800}, work);
  EXPECT_EQ(kept.left, 824);
  EXPECT_EQ(kept.top, 638);
  EXPECT_EQ(kept.right, 1024);
  EXPECT_EQ(kept.bottom, 738);
  // Larger than the area: shrunk to it, top-left corner (the caption) on it.
  kept = KeepInsideWorkArea(ScreenBox{-300, -200, 1500, 1000}, work);
  EXPECT_EQ(kept.left, 0);
  EXPECT_EQ(kept.top, 0);
  EXPECT_EQ(kept.right, 1024);
  EXPECT_EQ(kept.bottom, 738);
  // Inside already: unchanged; a work area that does not start at 0 (a second monitor).
  kept = KeepInsideWorkArea(ScreenBox{1100, 40, 1300, 140}, ScreenBox{1024, 0, 2048, 768});
  EXPECT_EQ(kept.left, 1100);
  EXPECT_EQ(kept.top, 40);
}

}  // namespace
}  // namespace stampwell
