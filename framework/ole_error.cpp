#include "framework/ole_error.h"

#include <cstdio>

namespace stampwell {

std::string SystemErrorText(HRESULT code) {
  char* buffer = nullptr;
  DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  unique_hlocal owner(buffer);
  std::string text = length ? std::string(buffer, length) : std::string();
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  if (text.empty()) {
    char fallback[48];
    std::snprintf(fallback, sizeof fallback, "OLE error %08lX", static_cast<unsigned long>(code));
    text = fallback;
  }
  return text;
}

EOleError::EOleError(HRESULT code) : Exception(SystemErrorText(code)), code_(code) {}

}  // namespace stampwell
