#include "shellbrowse/toolbox/trailing_char.h"

namespace stampwell {

bool LastByteIsDoubleByte(const std::string& text, LeadBytePredicate is_lead_byte) {
  std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    if (is_lead_byte && is_lead_byte(static_cast<unsigned char>(text[i]))) {
      if (i + 2 >= n) return true;  // the last byte is this lead byte or its trail byte
      i += 2;
    } else {
      if (i + 1 == n) return false;
      ++i;
    }
  }
  return false;
}

std::string IncludeTrailingChar(const std::string& text, char c, LeadBytePredicate is_lead_byte) {
  if (text.empty()) return text;
  if (LastByteIsDoubleByte(text, is_lead_byte) || text.back() != c) return text + c;
  return text;
}

}  // namespace stampwell
