#include "app/product_title.h"

#include <vector>

#include "app/setup_settings.h"

namespace stampwell {

namespace {
HWND g_wizard_window = nullptr;
}

HWND WizardWindow() { return g_wizard_window; }
void SetWizardWindow(HWND window) { g_wizard_window = window; }

std::string ProductTitle() {
  if (!g_wizard_window || !::IsWindow(g_wizard_window)) return kProductName;
  int length = ::GetWindowTextLengthA(g_wizard_window);
  std::vector<char> text(static_cast<size_t>(length) + 1);
  int copied = ::GetWindowTextA(g_wizard_window, text.data(), length + 1);
  return std::string(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

}  // namespace stampwell
