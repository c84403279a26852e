// Bytes from anywhere given to the PNG reader must be refused or read, never read or written out
// of bounds; what is read has exactly the pixels its size says. The seeds are pictures that the
// generators wrote.
#include <cstddef>
#include <cstdint>

#include "framework/png_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  stampwell::BgrPicture picture;
  if (stampwell::DecodeRgbPng(data, size, picture) &&
      picture.rows.size() != static_cast<size_t>(picture.width) * picture.height * 3)
    __builtin_trap();
  return 0;
}
