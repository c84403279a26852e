#pragma once
// The status-line frame's styles: their names as form resources store them, and how far each
// frame reaches into the control, which is the part that a change of text, colour or font
// leaves alone when it repaints. Portable.

#include <string>
#include <vector>

namespace stampwell {

enum TPTFrameStyle : int {
  ptfsNone,
  ptfsGroup,
  ptfsLowered,
  ptfsRaised,
  ptfsDint,
  ptfsBump,
  ptfsSingle,
  ptfsHorzLine,
  ptfsHorzEdge,
  ptfsVertLine,
  ptfsVertEdge,
};

// "ptfsNone" .. "ptfsVertEdge", in ordinal order.
const std::vector<std::string>& FrameStyleNames();

struct FrameInsets {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const FrameInsets&, const FrameInsets&) = default;
};

// The width of the frame on each side. The group frame and no frame count as none: their
// caption area is the whole control.
FrameInsets FrameInsetsOf(TPTFrameStyle style);

}  // namespace stampwell
