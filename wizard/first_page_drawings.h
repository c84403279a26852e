#pragma once
// The larger drawings (PNG resources at 200 %) that the wizard's first page paints, in the order
// in which its first paint needs them, with the frames that their pictures are drawn in: above
// 96 dpi they are read and shrunk to the window's DPI while the window is made.

#include <vector>

#include "framework/png_prefetch.h"

namespace stampwell::wizard {

std::vector<DrawingToRead> FirstPageDrawings();

}  // namespace stampwell::wizard
