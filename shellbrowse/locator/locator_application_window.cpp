#include "shellbrowse/locator/locator_application_window.h"

#include "framework/application.h"

namespace stampwell {

HWND LocatorApplicationWindow() noexcept {
  // The application's own hidden window, as the owner of anything the shell might show.
  try {
    return Application().UtilityWindow();
  } catch (...) {
    return nullptr;  // the owner is optional
  }
}

}  // namespace stampwell
