#include "setup/free_space_text.h"

#include <cstdio>

namespace stampwell {

std::optional<std::string> FreeSpaceDriveRoot(std::string_view path) {
  if (path.size() < 3) return std::nullopt;
  char letter = path[0];
  // Upper-casing touches A to Z only; anything outside C..Z, other letters of the code page
  // included, gets no text, so no locale-dependent letter test is needed.
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'C' || letter > 'Z') return std::nullopt;
  if (path[1] != ':' || path[2] != '\\') return std::nullopt;
  return std::string{letter, ':', '\\'};
}

std::string FreeSpaceTextFromBytes(int64_t free_bytes) {
  double bytes = static_cast<double>(free_bytes);
  if (!(bytes > 0)) return {};
  double megabytes = bytes / 1024 / 1024;
  char number[64];
  // The C locale is never changed by this program, so "%.2f" writes "." as the point.
  std::snprintf(number, sizeof number, "%.2f", megabytes);
  return std::string("Space available: ") + number + " MB";
}

}  // namespace stampwell
