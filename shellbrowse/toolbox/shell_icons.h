#pragma once
// The system image lists and icon indexes of shell items.

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

namespace stampwell {

// The system icon index of `list` (null: the desktop) with `extra_flags` (SHGFI_SMALLICON,
// SHGFI_OPENICON, ...); 0 when the shell cannot say.
int GetSysIconIndex(LPCITEMIDLIST list, UINT extra_flags) noexcept;

// The system image list, small (0) or large (1). Installs the shell's overlay images first, once,
// where the common controls are 4.71 or later on the NT family.
HIMAGELIST GetSysImageList(int size) noexcept;

// Makes the shell's icon resources 29 and 30 overlay images 1 and 2 of both system image lists,
// adding them through the shell's icon cache so that its lists keep one index per icon.
void InstallShellOverlays() noexcept;
bool ShellOverlaysInstalled() noexcept;

}  // namespace stampwell

namespace stampwell {

// ImageList_Draw (normal style) through the common controls already in the process, which are
// loaded at run time, never linked. False when the list or the function is not there.
bool DrawImageListIcon(HIMAGELIST list, int index, HDC dc, int x, int y) noexcept;

}  // namespace stampwell
