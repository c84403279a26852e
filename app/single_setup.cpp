#include "app/single_setup.h"

#include <windows.h>

#include <cstring>

#include "framework/controls.h"
#include "setup/setup_settings.h"

namespace stampwell {
namespace {

struct WizardSearch {
  DWORD own_process;
  HWND found = nullptr;
};

// The wizard is the top-level window of the setup's own class whose caption is the product's
// name; the product's own window has that caption too, but another class.
BOOL CALLBACK TakeWizard(HWND window, LPARAM data) noexcept {
  auto* search = reinterpret_cast<WizardSearch*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->own_process || !IsWindowVisible(window)) return TRUE;
  char class_name[64] = {};
  char caption[128] = {};
  GetClassNameA(window, class_name, sizeof class_name);
  if (std::strcmp(class_name, kOwnWindowClass) != 0) return TRUE;
  GetWindowTextA(window, caption, sizeof caption);
  if (std::strcmp(caption, kProductName) != 0) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

bool BringRunningSetupToFront() {
  WizardSearch search{GetCurrentProcessId()};
  EnumWindows(TakeWizard, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
  // A question that the wizard waits for comes to the front with it, not behind it.
  SetForegroundWindow(GetLastActivePopup(search.found));
  return true;
}

}  // namespace stampwell
