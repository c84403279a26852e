#pragma once
// The decisions of a drag over the shell tree, without the tree: when to scroll one line near an
// edge and when the cursor has rested long enough on a node to expand it.
//
// Times are 32-bit millisecond tick counts (GetTickCount's), compared by unsigned difference so
// that the counter's wrap-around after 49.7 days changes nothing.

#include <cstdint>

#include "shellbrowse/toolbox/drag_hover_settings.h"

namespace stampwell {

struct HoverPoint {
  int x = 0;
  int y = 0;
};

// One line towards the start (left, up: the scroll code 0) or the end (right, down: 1).
enum class ScrollLine { kNone = -1, kTowardsStart = 0, kTowardsEnd = 1 };

struct DragHoverAction {
  ScrollLine horizontal = ScrollLine::kNone;
  ScrollLine vertical = ScrollLine::kNone;
  // Expand the node at `expand_at` (client coordinates), if there is one.
  bool expand = false;
  HoverPoint expand_at;
};

// What the tree can scroll: a bar scrolls only when it has a range (maximum - minimum - page > 0).
struct ScrollRoom {
  bool horizontal = false;
  bool vertical = false;
};

class DragHoverTracker {
 public:
  // A drag enters the tree: the next scroll check waits a full interval, and the first hover
  // starts a new wait.
  void BeginVisit(const DragHoverSettings& settings, std::uint32_t now) noexcept;

  // The cursor is at `p` (client coordinates) in a client area of `width` x `height`.
  DragHoverAction Hover(HoverPoint p, int width, int height, ScrollRoom room, std::uint32_t now) noexcept;

 private:
  DragHoverSettings settings_;
  std::uint32_t last_scroll_check_ = 0;
  bool anchor_set_ = false;
  HoverPoint anchor_;
  std::uint32_t hover_since_ = 0;
};

}  // namespace stampwell
