#include "install/system_message.h"

#include "framework/unique_handle.h"

namespace stampwell {

std::string SystemErrorText(DWORD code) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  unique_hlocal owner(buffer);
  std::string text(buffer ? buffer : "", buffer ? length : 0);
  // The report that shows the error adds its own full stop.
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) text.pop_back();
  if (text.empty()) text = "System error " + std::to_string(code);
  return text;
}

FailureCause CauseOfSystemError(DWORD code) {
  return code == ERROR_ACCESS_DENIED || code == ERROR_PRIVILEGE_NOT_HELD ? FailureCause::kPrivileges
                                                                          : FailureCause::kOther;
}

}  // namespace stampwell
