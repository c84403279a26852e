#include "shellbrowse/toolbox/shell_error.h"

#include <cstdio>

#include "framework/unique_handle.h"
#include "shellbrowse/toolbox/toolbox_error.h"

namespace stampwell {

std::string SystemMessage(DWORD code) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  unique_hlocal owner(buffer);
  std::string text(buffer ? buffer : "", buffer ? length : 0);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  if (text.empty()) {
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "OLE error %08lX", static_cast<unsigned long>(code));
    text = fallback;
  }
  return text;
}

void RaiseOleError(HRESULT hr) { throw ToolboxError(SystemMessage(static_cast<DWORD>(hr))); }

}  // namespace stampwell
