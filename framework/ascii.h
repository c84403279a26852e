#pragma once
// Case of the ASCII letters only, whatever the code page or the C locale: switch names, key
// names, drive letters and the file names that the program's own rules compare. Letters
// beyond ASCII are left as they are, so two names differing only there never compare equal.
// Portable.

#include <string>
#include <string_view>

namespace stampwell {

constexpr char AsciiUpper(char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = AsciiUpper(c);
  return upper;
}

constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

}  // namespace stampwell
