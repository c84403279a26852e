#include "install/install_paths.h"

#include "framework/ascii.h"

namespace stampwell {

std::string WithTrailingBackslash(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

std::string InstallDirFor(std::string_view folder, std::string_view title) {
  std::string dir = WithTrailingBackslash(std::string(folder));
  dir += title;
  return dir;
}

std::string InstallDirNamedBy(std::string_view folder, bool folder_is_install_dir, std::string_view title) {
  return folder_is_install_dir ? WithoutTrailingBackslash(std::string(folder)) : InstallDirFor(folder, title);
}

std::string WithoutTrailingBackslash(std::string path) {
  while (!path.empty() && path.back() == '\\' && !(path.size() == 3 && path[1] == ':')) path.pop_back();
  return path;
}

bool IsFullFolderPath(std::string_view folder) {
  auto is_letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (folder.size() >= 3 && is_letter(folder[0]) && folder[1] == ':' && folder[2] == '\\') return true;
  // "\\server\share": a server name, a backslash and a share name, neither empty.
  if (folder.size() >= 5 && folder[0] == '\\' && folder[1] == '\\') {
    std::string_view rest = folder.substr(2);
    std::size_t slash = rest.find('\\');
    return slash != std::string_view::npos && slash > 0 && slash + 1 < rest.size() && rest[slash + 1] != '\\';
  }
  return false;
}

bool InstallPathsFit(std::string_view install_dir, const std::vector<std::string>& files,
                     const std::vector<std::string>& folders) {
  // install_dir + "\" + relative path.
  const std::size_t base = install_dir.size() + 1;
  for (const std::string& file : files) {
    if (base + file.size() > kLongestFilePath) return false;
    std::size_t slash = file.find_last_of('\\');
    if (slash != std::string::npos && base + slash > kLongestFolderPath) return false;
  }
  for (const std::string& folder : folders)
    if (base + folder.size() > kLongestFolderPath) return false;
  return base - 1 <= kLongestFolderPath;
}

std::string DirectoryPart(std::string_view path) {
  std::size_t at = path.find_last_of("\\:");
  if (at == std::string_view::npos) return {};
  return std::string(path.substr(0, at + 1));
}

std::string ExtensionOf(std::string_view path) {
  std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return {};
  std::size_t separator = path.find_last_of("\\:");
  if (separator != std::string_view::npos && separator > dot) return {};
  return std::string(path.substr(dot));
}

bool HasLinkExtension(std::string_view link_file) {
  return EqualIgnoringAsciiCase(ExtensionOf(link_file), ".lnk");
}

std::string DesktopLinkPath(std::string_view desktop, std::string_view title, std::string_view account,
                            std::string_view user) {
  std::string path(desktop);
  path += '\\';
  path += title;
  path += ".lnk";
  if (account.empty() || user.empty()) return path;
  std::size_t at = path.find(account);
  if (at != std::string::npos) path.replace(at, account.size(), user);
  return path;
}

}  // namespace stampwell
