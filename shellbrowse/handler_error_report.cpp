#include "shellbrowse/handler_error_report.h"

#include <windows.h>

#include <string>

namespace stampwell {

void ReportHandlerError(const std::exception* error) noexcept {
  try {
    std::string text = error ? error->what() : "Unknown error";
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    char title[256] = "";
    GetWindowTextA(GetActiveWindow(), title, sizeof title);
    MessageBoxA(nullptr, text.c_str(), title, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
  } catch (...) {
  }
}

}  // namespace stampwell
