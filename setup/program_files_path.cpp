#include "setup/program_files_path.h"

namespace stampwell {

std::string DrivePart(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    // \\server\share: up to, not including, the backslash after the share name.
    size_t server_end = path.find('\\', 2);
    if (server_end == std::string_view::npos) return std::string(path);
    size_t share_end = path.find('\\', server_end + 1);
    return std::string(path.substr(0, share_end));
  }
  return {};
}

std::string ProgramFilesPathFromWindowsDir(std::string_view windows_dir) {
  return DrivePart(windows_dir) + "\\Program Files";
}

}  // namespace stampwell
