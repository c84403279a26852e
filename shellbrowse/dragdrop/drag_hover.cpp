#include "shellbrowse/dragdrop/drag_hover.h"

namespace stampwell {

void DragHoverTracker::BeginVisit(const DragHoverSettings& settings, std::uint32_t now) noexcept {
  settings_ = settings;
  last_scroll_check_ = now;
  anchor_set_ = false;
}

DragHoverAction DragHoverTracker::Hover(HoverPoint p, int width, int height, ScrollRoom room,
                                        std::uint32_t now) noexcept {
  DragHoverAction action;
  if (now - last_scroll_check_ > settings_.scroll_interval) {
    if (p.x < settings_.horizontal_margin) {
      action.horizontal = ScrollLine::kTowardsStart;
    } else if (p.x > width - settings_.horizontal_margin) {
      action.horizontal = ScrollLine::kTowardsEnd;
    }
    if (p.y < settings_.vertical_margin) {
      action.vertical = ScrollLine::kTowardsStart;
    } else if (p.y > height - settings_.vertical_margin) {
      action.vertical = ScrollLine::kTowardsEnd;
    }
    if (!room.horizontal) action.horizontal = ScrollLine::kNone;
    if (!room.vertical) action.vertical = ScrollLine::kNone;
    // The tree moved under the cursor: the node it rests on is another one now.
    if (action.horizontal != ScrollLine::kNone || action.vertical != ScrollLine::kNone) hover_since_ = now;
    last_scroll_check_ = now;
  }

  // The resting rectangle reaches further right and down than left and up; a point on its
  // right or bottom edge is outside, as for the platform's rectangles.
  const int left = anchor_.x - settings_.hover_width / 2;
  const int top = anchor_.y - settings_.hover_height / 2;
  const int right = anchor_.x + settings_.hover_width;
  const int bottom = anchor_.y + settings_.hover_height;
  const bool resting = anchor_set_ && p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  if (!resting) {
    anchor_ = p;
    anchor_set_ = true;
    hover_since_ = now;
    return action;
  }
  if (now - hover_since_ <= settings_.hover_time) return action;

  action.expand = true;
  action.expand_at = anchor_;
  anchor_ = p;
  hover_since_ = now;
  return action;
}

}  // namespace stampwell
