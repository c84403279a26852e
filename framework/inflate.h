#pragma once
// Inflating a zlib stream (RFC 1950 around RFC 1951's deflate) whose inflated size is known
// beforehand, as a PNG picture's is. Portable, with host tests and a fuzz target: whatever the
// bytes, it reads and writes only inside the buffers it is given.

#include <cstddef>
#include <cstdint>

namespace stampwell {

// Inflates the zlib stream `data` into exactly `out_size` bytes at `out`. False when the bytes
// are no zlib stream, would inflate to more or fewer bytes than `out_size`, or end before the
// stream's last block (what `out` holds then is unspecified). The trailing checksum is not
// checked: the streams read are the program's own, and the structure's own checks already keep
// a damaged one from reaching beyond the buffers.
bool InflateZlib(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t out_size);

}  // namespace stampwell
