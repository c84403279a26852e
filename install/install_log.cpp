#include "install/install_log.h"

namespace stampwell {

std::string TInstallLog::FileText() const {
  std::size_t size = 0;
  for (const auto& line : lines_) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

TInstallLog& InstallLog() {
  static TInstallLog log;
  return log;
}

}  // namespace stampwell
