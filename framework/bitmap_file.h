#pragma once
// Checks of a .bmp file's bytes before Windows sees them: the headers, the pixel format and
// that the pixel bits lie inside the data. Portable, with a fuzz target.

#include <cstddef>
#include <cstdint>
#include <string>

namespace stampwell {

struct BitmapFileLayout {
  size_t info_offset = 14;   // the BITMAPINFOHEADER (followed by its colour table)
  size_t bits_offset = 0;    // the pixel rows
  std::int32_t width = 0;
  std::int32_t height = 0;   // positive: rows stored bottom-up
  int bits_per_pixel = 0;
};

// Fills `layout` and returns an empty string, or returns what is wrong.
std::string CheckBitmapFile(const std::uint8_t* data, size_t size, BitmapFileLayout& layout);
// The same for a packed bitmap, as a bitmap resource holds one: no file header, the rows right
// after the colour table (info_offset is 0).
std::string CheckPackedBitmap(const std::uint8_t* data, size_t size, BitmapFileLayout& layout);

}  // namespace stampwell
