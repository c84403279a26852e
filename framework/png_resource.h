#pragma once
// Pictures stored as PNG in the program's RCDATA resources, read with the Windows Imaging
// Component (present on every supported Windows, and in Wine).

#include <cstdint>
#include <string>
#include <vector>

namespace stampwell {

class TBitmap;

// A PNG's pixels as 24-bit BGR rows, top row first, `width * 3` bytes each. Plain memory, so a
// worker thread can read one and hand it to the window thread.
struct DecodedPng {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rows;
};

// Reads the PNG in the program's RCDATA resource `name` into `picture`. False when there is no
// such resource or it cannot be read (`picture` then empty). Any thread: one whose COM is not
// started has it started for the reading only.
bool DecodePngResource(const std::string& name, DecodedPng& picture);

// Makes `bitmap` a 24-bit copy of `picture`.
void CopyDecodedPng(const DecodedPng& picture, TBitmap& bitmap);

// Fills `bitmap` (24-bit) with the PNG picture in the program's RCDATA resource `name`. False
// when there is no such resource (`bitmap` untouched) or it cannot be read (`bitmap` empty).
bool LoadPngResource(TBitmap& bitmap, const std::string& name);

}  // namespace stampwell
