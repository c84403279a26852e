#pragma once
// Pictures stored as PNG in the program's RCDATA resources, read with the Windows Imaging
// Component (present on every supported Windows, and in Wine).

#include <string>

namespace stampwell {

class TBitmap;

// Fills `bitmap` (24-bit) with the PNG picture in the program's RCDATA resource `name`. False
// when there is no such resource (`bitmap` untouched) or it cannot be read (`bitmap` empty).
// Works on a thread whose COM is not started too: it is then started for the reading only.
bool LoadPngResource(TBitmap& bitmap, const std::string& name);

}  // namespace stampwell
