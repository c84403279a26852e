#pragma once
// Reading the PNG pictures that the program's picture generators write: 8 bits per channel,
// red-green-blue without alpha, not interlaced. Portable, with host tests and a fuzz target.
// Other PNGs are refused, and left to the system's imaging component.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace stampwell {

// A picture's pixels as 24-bit BGR rows, top row first, `width * 3` bytes each. Plain memory, so
// a worker thread can read one and hand it to the window thread.
struct BgrPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rows;
};

// The largest side that a picture may have: the bytes of one at this size still fit in a
// 32-bit process.
inline constexpr int kMaxPngSide = 0x4000;

// Reads `bytes` into `picture`. False (and `picture` empty) for bytes that are no PNG, a PNG of
// another kind than the generators write, or a damaged one.
bool DecodeRgbPng(const std::uint8_t* bytes, std::size_t size, BgrPicture& picture);

}  // namespace stampwell
