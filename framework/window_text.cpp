#include "framework/window_text.h"

namespace stampwell {

std::string WindowText(HWND window) {
  int length = ::GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  // The text may shrink between the two calls; the copy's own count is the one to trust.
  int copied = ::GetWindowTextA(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

}  // namespace stampwell
