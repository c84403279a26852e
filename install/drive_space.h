#pragma once
// What a drive has free, for the install run's reckoning before it writes.

#include <cstdint>
#include <optional>
#include <string>

namespace stampwell {

// The bytes free to the calling user on the drive that holds `path`, asked of its nearest
// existing folder (the installation folder may not exist yet). Nothing when no folder of the
// path exists or the system cannot tell.
std::optional<std::uint64_t> FreeBytesForPath(const std::string& path);

}  // namespace stampwell
