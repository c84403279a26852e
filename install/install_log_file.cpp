// Saving the uninstall log: the Win32 half of TInstallLog.
#include "install/install_log.h"
#include "install/payload_store.h"

namespace stampwell {

void TInstallLog::SaveToFile(const std::string& path) const {
  std::string text = FileText();
  WriteBytesToFile(std::as_bytes(std::span(text)), path);
}

}  // namespace stampwell
