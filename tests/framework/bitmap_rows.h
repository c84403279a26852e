#pragma once
// A 24-bit bitmap's pixels row by row, to compare two pictures byte for byte.

#include <cstdint>
#include <vector>

#include "framework/graphics.h"

namespace stampwell {

// Every row's bytes, top row first; empty when the bitmap has no 24-bit section.
inline std::vector<std::uint8_t> Rows(const TBitmap& bitmap) {
  std::vector<std::uint8_t> rows;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* row = bitmap.ScanLine(y);
    if (!row) return {};
    rows.insert(rows.end(), row, row + bitmap.Width() * 3);
  }
  return rows;
}

}  // namespace stampwell
