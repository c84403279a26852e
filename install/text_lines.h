#pragma once
// Lines of an 8-bit text file, as the manifest and the uninstall log are read. Portable.

#include <string_view>
#include <vector>

namespace stampwell {

// Splits text at LF, dropping a CR before it; the last line may lack its line end, and a
// final line end opens no empty line. The views point into text.
std::vector<std::string_view> SplitTextLines(std::string_view text);

}  // namespace stampwell
