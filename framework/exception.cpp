#include "framework/exception.h"

namespace stampwell {

std::string ErrorReportText(const std::string& message) {
  std::string text = message;
  // Compared as unsigned bytes: characters of the upper half of the code page (accented
  // letters) sort after the full stop as letters do.
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
    text += '.';
  }
  return text;
}

}  // namespace stampwell
