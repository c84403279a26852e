#pragma once
// The numbers of the wizard's five pages: the wizard shows them, and the install run and the
// unattended run name the page that a step brings up. Portable.

namespace stampwell {

inline constexpr int kChoicePage = 0;
inline constexpr int kLicencePage = 1;
inline constexpr int kFolderPage = 2;
inline constexpr int kProgressPage = 3;
inline constexpr int kFinishPage = 4;

}  // namespace stampwell
