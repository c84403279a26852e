#include "install/command_output.h"

namespace stampwell {

bool IsUtf16WithByteOrderMark(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xFE;
}

std::u16string Utf16Units(std::string_view bytes) {
  std::u16string units;
  std::size_t start = IsUtf16WithByteOrderMark(bytes) ? 2 : 0;
  units.reserve((bytes.size() - start) / 2);
  for (std::size_t i = start; i + 1 < bytes.size(); i += 2) {
    char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
    if (unit == 0) break;
    units.push_back(unit);
  }
  return units;
}

std::string_view UpToFirstNul(std::string_view bytes) {
  std::size_t nul = bytes.find('\0');
  return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

std::string WithCrLfLines(std::string_view text) {
  std::string joined;
  joined.reserve(text.size() + text.size() / 8 + 2);
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t end = text.find_first_of("\r\n", i);
    if (end == std::string_view::npos) end = text.size();
    joined.append(text.substr(i, end - i));
    joined += "\r\n";
    if (end == text.size()) break;
    i = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return joined;
}

std::string LoggedOnUserFromOutput(std::string_view output) {
  std::size_t slash = output.find('\\');
  if (slash == std::string_view::npos) return {};
  std::string_view user = output.substr(slash + 1);
  while (!user.empty() && static_cast<unsigned char>(user.back()) <= 32) user.remove_suffix(1);
  while (!user.empty() && static_cast<unsigned char>(user.front()) <= 32) user.remove_prefix(1);
  return std::string(user);
}

}  // namespace stampwell
