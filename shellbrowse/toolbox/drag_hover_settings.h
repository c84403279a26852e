#pragma once
// How a drag over the shell tree scrolls near the edges and expands a node the cursor rests on.
// The hover values come from the system at the subsystem's start; the others are fixed.

#include <cstdint>

namespace stampwell {

struct DragHoverSettings {
  std::uint32_t hover_time = 400;      // ms the cursor must rest before the node expands
  int hover_width = 2;                 // pixels of the resting rectangle, horizontally
  int hover_height = 2;                // and vertically
  std::uint32_t scroll_interval = 100; // ms between two auto-scroll checks, at least
  int horizontal_margin = 26;          // pixels from the left or right edge that scroll
  int vertical_margin = 20;            // pixels from the top or bottom edge that scroll
};

}  // namespace stampwell
