#include "install/exact_ansi_path.h"

#include <windows.h>
#include <shlobj.h>

namespace stampwell {

std::optional<std::string> ExactAnsiPath(const std::wstring& path) {
  if (path.empty()) return std::string();
  const int length = static_cast<int>(path.size());
  // A UTF-8 code page holds every character, and takes neither flag nor default character.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  BOOL* replaced = utf8 ? nullptr : &used_default;
  int size = WideCharToMultiByte(CP_ACP, flags, path.data(), length, nullptr, 0, nullptr, replaced);
  if (size <= 0 || used_default) return std::nullopt;
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, flags, path.data(), length, text.data(), size, nullptr, replaced);
  if (used_default) return std::nullopt;
  return text;
}

std::string AnsiPathMarkingLosses(const std::wstring& path) {
  if (std::optional<std::string> exact = ExactAnsiPath(path)) return *exact;
  std::string text;
  for (wchar_t c : path) text += ExactAnsiPath(std::wstring(1, c)).value_or("?");
  return text;
}

std::string ExactPersonalFolder() {
  wchar_t wide[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, wide))) return {};
  return ExactAnsiPath(wide).value_or(std::string());
}

}  // namespace stampwell
