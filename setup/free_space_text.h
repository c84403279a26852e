#pragma once
// The free-space text of the folder page. Portable: the caller asks the system for the count.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace stampwell {

// The root ("C:\") of the drive whose free space a path's text states, or nothing when the
// path gets no text: only the first three characters count, they must be a drive letter from
// C to Z (either case), a colon and a backslash. A path shorter than three characters gets
// no text either; the folder itself need not exist.
std::optional<std::string> FreeSpaceDriveRoot(std::string_view path);

// "Space available: 1177.38 MB" for 1,234,567,890 bytes: megabytes in fixed notation with two
// decimals rounded to nearest, "." as the point, no separators. Empty when the count is not
// above zero (a failed query is passed as -1).
std::string FreeSpaceTextFromBytes(int64_t free_bytes);

}  // namespace stampwell
