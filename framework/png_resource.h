#pragma once
// Pictures stored as PNG in the program's RCDATA resources. Those of the kind that the picture
// generators write are read by our own decoder, which costs a fraction of the Windows Imaging
// Component's start (its library, its factory) and reading; any other PNG by the imaging
// component (present on every supported Windows, and in Wine).

#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/png_decode.h"

namespace stampwell {

class TBitmap;

// Reads the PNG in the program's RCDATA resource `name` into `picture`. False when there is no
// such resource or it cannot be read (`picture` then empty). Any thread.
bool DecodePngResource(const std::string& name, BgrPicture& picture);

// Reads the PNG `bytes` with the imaging component, whatever its kind. False when it cannot
// (`picture` then empty). Any thread: one whose COM is not started has it started for the
// reading only.
bool DecodePngWithImagingComponent(const std::uint8_t* bytes, std::size_t size, BgrPicture& picture);

// Makes `bitmap` a 24-bit copy of `picture`. Throws Exception when there is no room for it.
void CopyBgrPicture(const BgrPicture& picture, TBitmap& bitmap);

// Fills `bitmap` (24-bit) with the PNG picture in the program's RCDATA resource `name`. False
// when there is no such resource (`bitmap` untouched) or it cannot be read (`bitmap` empty).
bool LoadPngResource(TBitmap& bitmap, const std::string& name);

}  // namespace stampwell
