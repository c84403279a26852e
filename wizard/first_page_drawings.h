#pragma once
// The larger drawings (PNG resources at 200 %) that the wizard's first page paints, in the order
// in which its first paint needs them: above 96 dpi they are read while the window is made.

#include <string>
#include <vector>

namespace stampwell::wizard {

std::vector<std::string> FirstPageDrawings();

}  // namespace stampwell::wizard
