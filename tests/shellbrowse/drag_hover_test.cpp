// When a drag over the tree scrolls and when a resting cursor expands the node under it, driven
// with explicit times (no waiting).
#include <gtest/gtest.h>

#include "shellbrowse/dragdrop/drag_hover.h"

namespace stampwell {
namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 300;
constexpr ScrollRoom kBoth{true, true};

class DragHoverTest : public ::testing::Test {
 protected:
  DragHoverAction At(int x, int y, std::uint32_t now, ScrollRoom room = kBoth) {
    return tracker.Hover({x, y}, kWidth, kHeight, room, now);
  }
  DragHoverSettings settings;
  DragHoverTracker tracker;
};

TEST_F(DragHoverTest, RestingLongerThanTheHoverTimeExpandsOnceAtTheAnchor) {
  tracker.BeginVisit(settings, 1000);
  EXPECT_FALSE(At(100, 100, 1000).expand);  // the first hover of a visit starts the wait
  EXPECT_FALSE(At(100, 100, 1300).expand);
  EXPECT_FALSE(At(101, 101, 1400).expand);  // exactly the hover time is not longer than it
  DragHoverAction action = At(101, 100, 1401);
  EXPECT_TRUE(action.expand);
  EXPECT_EQ(action.expand_at.x, 100);
  EXPECT_EQ(action.expand_at.y, 100);
  // The wait starts again from the expansion, at the new point.
  EXPECT_FALSE(At(101, 100, 1700).expand);
  action = At(101, 100, 1802);
  EXPECT_TRUE(action.expand);
  EXPECT_EQ(action.expand_at.x, 101);
}

TEST_F(DragHoverTest, RestingRectangleReachesHalfTheSizeBackAndTheWholeSizeOn) {
  // Width 2, height 2 around the anchor (100, 100): x from 99 to 101, y from 99 to 101.
  struct Case {
    int x, y;
    bool resting;
  } cases[] = {{99, 99, true},   {101, 101, true}, {98, 100, false},
               {102, 100, false}, {100, 98, false}, {100, 102, false}};
  for (const Case& c : cases) {
    tracker.BeginVisit(settings, 0);
    At(100, 100, 0);
    EXPECT_EQ(At(c.x, c.y, 500).expand, c.resting) << c.x << "," << c.y;
  }
  // An odd size halves towards zero: width 5 reaches 2 back and 5 on.
  settings.hover_width = 5;
  for (int x : {97, 98, 104, 105}) {
    tracker.BeginVisit(settings, 0);
    At(100, 100, 0);
    EXPECT_EQ(At(x, 100, 500).expand, x == 98 || x == 104) << x;
  }
}

TEST_F(DragHoverTest, MovingOutOfTheRectangleRestartsTheWait) {
  tracker.BeginVisit(settings, 0);
  At(100, 100, 0);
  At(110, 100, 300);                          // moved: new anchor, new wait
  EXPECT_FALSE(At(110, 100, 600).expand);     // 300 ms since the move
  EXPECT_TRUE(At(110, 100, 701).expand);      // 401 ms since the move
  // A new visit forgets the old anchor even at the same point.
  tracker.BeginVisit(settings, 800);
  EXPECT_FALSE(At(110, 100, 1300).expand);
}

TEST_F(DragHoverTest, NearTheEdgesScrollsOneLineAtMostEveryInterval) {
  tracker.BeginVisit(settings, 0);
  DragHoverAction action = At(25, 19, 100);  // exactly the interval is not more than it
  EXPECT_EQ(action.horizontal, ScrollLine::kNone);
  EXPECT_EQ(action.vertical, ScrollLine::kNone);
  action = At(25, 19, 101);
  EXPECT_EQ(action.horizontal, ScrollLine::kTowardsStart);
  EXPECT_EQ(action.vertical, ScrollLine::kTowardsStart);
  EXPECT_EQ(At(25, 19, 150).vertical, ScrollLine::kNone);  // the check just ran
  action = At(kWidth - 25, kHeight - 19, 202);
  EXPECT_EQ(action.horizontal, ScrollLine::kTowardsEnd);
  EXPECT_EQ(action.vertical, ScrollLine::kTowardsEnd);
  // On the margin itself, and in the middle, nothing scrolls.
  action = At(26, 20, 303);
  EXPECT_EQ(action.horizontal, ScrollLine::kNone);
  EXPECT_EQ(action.vertical, ScrollLine::kNone);
  action = At(kWidth - 26, kHeight - 20, 404);
  EXPECT_EQ(action.horizontal, ScrollLine::kNone);
  EXPECT_EQ(action.vertical, ScrollLine::kNone);
}

TEST_F(DragHoverTest, OnlyABarWithARangeScrollsAndOnlyAScrollRestartsTheWait) {
  tracker.BeginVisit(settings, 0);
  At(10, 150, 0);  // near the left edge, vertically in the middle
  DragHoverAction action = At(10, 150, 401, ScrollRoom{false, true});
  EXPECT_EQ(action.horizontal, ScrollLine::kNone);  // nothing to scroll sideways
  EXPECT_TRUE(action.expand);                        // so the wait went on

  tracker.BeginVisit(settings, 0);
  At(10, 150, 0);
  action = At(10, 150, 300);
  EXPECT_EQ(action.horizontal, ScrollLine::kTowardsStart);
  EXPECT_FALSE(At(10, 150, 401, ScrollRoom{false, false}).expand);  // the scroll at 300 reset it
  EXPECT_TRUE(At(10, 150, 701, ScrollRoom{false, false}).expand);
}

TEST_F(DragHoverTest, TickCounterWrapAroundChangesNothing) {
  const std::uint32_t start = 0xFFFFFF00u;
  tracker.BeginVisit(settings, start);
  At(100, 100, start);
  EXPECT_FALSE(At(100, 100, start + 400).expand);
  EXPECT_TRUE(At(100, 100, start + 401).expand);  // past zero
  EXPECT_EQ(At(5, 100, start + 600).horizontal, ScrollLine::kTowardsStart);
}

}  // namespace
}  // namespace stampwell
