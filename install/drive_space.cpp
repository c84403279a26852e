#include "install/drive_space.h"

#include <windows.h>

#include "install/directories.h"

namespace stampwell {

std::optional<std::uint64_t> FreeBytesForPath(const std::string& path) {
  std::string folder = path;
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  while (!folder.empty() && !DirectoryExists(folder)) {
    const std::size_t slash = folder.find_last_of('\\');
    if (slash == std::string::npos) return std::nullopt;
    folder.resize(slash);
  }
  if (folder.empty()) return std::nullopt;
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExA((folder + "\\").c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}

}  // namespace stampwell
