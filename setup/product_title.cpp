#include "setup/product_title.h"

#include "framework/window_text.h"
#include "setup/setup_settings.h"

namespace stampwell {

namespace {
HWND g_wizard_window = nullptr;
}

HWND WizardWindow() { return g_wizard_window; }
void SetWizardWindow(HWND window) { g_wizard_window = window; }

std::string ProductTitle() {
  if (!g_wizard_window || !::IsWindow(g_wizard_window)) return kProductName;
  return WindowText(g_wizard_window);
}

}  // namespace stampwell
