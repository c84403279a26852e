#include "wizard/guard.h"

#include <windows.h>

#include "app/setup_settings.h"
#include "app/product_title.h"

namespace stampwell::wizard {

namespace {
std::string& TitleSlot() {
  static std::string title = kProductName;
  return title;
}
}  // namespace

void SetApplicationTitle(std::string title) { TitleSlot() = std::move(title); }
const std::string& ApplicationTitle() { return TitleSlot(); }

std::string ErrorReportText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

void ShowErrorReport(const std::string& message) noexcept {
  try {
    ::MessageBoxA(WizardWindow(), ErrorReportText(message).c_str(), ApplicationTitle().c_str(),
                  MB_OK | MB_ICONSTOP);
  } catch (...) {
  }
}

}  // namespace stampwell::wizard
