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

std::wstring WideWindowText(HWND window) {
  int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

std::wstring WideFromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
  return wide;
}

std::string AnsiFromWide(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string ansi(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, ansi.data(), size, nullptr, nullptr);
  return ansi;
}

}  // namespace stampwell
