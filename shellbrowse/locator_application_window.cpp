#include "shellbrowse/locator_application_window.h"

namespace stampwell {

HWND LocatorApplicationWindow() noexcept {
  // The shell documents the owner of SHGetSpecialFolderLocation as reserved; the process's
  // main window is given when there is one, for the shell's own dialogs.
  HWND window = GetActiveWindow();
  return window;
}

}  // namespace stampwell
