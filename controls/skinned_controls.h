#pragma once
// Makes the skinned controls known to the form reader (TYCLButton, TYCLLabel). Call once
// before reading a form that uses them.

namespace stampwell {

void RegisterSkinnedControls();

}  // namespace stampwell
