#include "install/run_log.h"

#include <windows.h>

#include <cstdio>

namespace stampwell {

RunLog::RunLog(const std::string& path) {
  if (path.empty()) return;
  // Readable while the run writes it: an administrator may follow it.
  file_.reset(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
}

void RunLog::Write(const std::string& line) {
  if (!file_) return;
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
  const std::string text = stamp + line + "\r\n";
  DWORD written = 0;
  ::WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace stampwell
