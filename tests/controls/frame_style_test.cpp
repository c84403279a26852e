// The frame styles' names and the widths that a repaint of the caption leaves alone.
#include <gtest/gtest.h>

#include "controls/frame_style.h"

namespace stampwell {
namespace {

TEST(FrameStyle, NamesFollowTheOrdinalsAndEachStyleHasItsWidths) {
  ASSERT_EQ(FrameStyleNames().size(), 11u);
  EXPECT_EQ(FrameStyleNames()[ptfsNone], "ptfsNone");
  EXPECT_EQ(FrameStyleNames()[ptfsLowered], "ptfsLowered");
  EXPECT_EQ(FrameStyleNames()[ptfsVertEdge], "ptfsVertEdge");
  EXPECT_EQ(FrameInsetsOf(ptfsLowered), (FrameInsets{2, 2, 2, 2}));
  EXPECT_EQ(FrameInsetsOf(ptfsRaised), (FrameInsets{2, 2, 2, 2}));
  for (TPTFrameStyle s : {ptfsDint, ptfsBump, ptfsSingle}) EXPECT_EQ(FrameInsetsOf(s), (FrameInsets{1, 1, 1, 1}));
  EXPECT_EQ(FrameInsetsOf(ptfsHorzLine), (FrameInsets{0, 2, 0, 0}));
  EXPECT_EQ(FrameInsetsOf(ptfsVertLine), (FrameInsets{2, 0, 0, 0}));
  EXPECT_EQ(FrameInsetsOf(ptfsHorzEdge), (FrameInsets{0, 2, 0, 2}));
  EXPECT_EQ(FrameInsetsOf(ptfsVertEdge), (FrameInsets{2, 0, 2, 0}));
  EXPECT_EQ(FrameInsetsOf(ptfsNone), FrameInsets{});
  EXPECT_EQ(FrameInsetsOf(ptfsGroup), FrameInsets{});
}

}  // namespace
}  // namespace stampwell
