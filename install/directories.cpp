#include "install/directories.h"

#include <windows.h>

#include "install/install_error.h"
#include "install/system_message.h"

namespace stampwell {
namespace {

std::string WithoutTrailingBackslashes(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

bool DirectoryExists(const std::string& path) {
  if (path.empty()) return false;
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder is made first and looked at only when that fails: a new folder whose parent
// exists, the usual case, then costs one call instead of two look-ups and a make.
bool ForceDirectories(const std::string& path) {
  std::string dir = WithoutTrailingBackslashes(path);
  if (dir.empty()) return false;
  if (::CreateDirectoryA(dir.c_str(), nullptr)) return true;
  // An existing folder answers "already exists" (on some read-only media "access denied"); a
  // file of that name answers the same and is no folder.
  if (::GetLastError() != ERROR_PATH_NOT_FOUND) return DirectoryExists(dir);
  std::size_t slash = dir.find_last_of('\\');
  // A root that does not exist ("Q:\" of no drive, "\\server\share" unreachable) ends here.
  if (slash == std::string::npos || dir.size() <= 3) return false;
  std::string parent = dir.substr(0, slash);
  if (parent.size() == 2 && parent[1] == ':') parent += '\\';
  if (parent == dir || !ForceDirectories(parent)) return false;
  if (::CreateDirectoryA(dir.c_str(), nullptr)) return true;
  return DirectoryExists(dir);  // made meanwhile by someone else
}

void CreateSingleDirectory(const std::string& path) {
  if (!CreateDirectoryA(WithoutTrailingBackslashes(path).c_str(), nullptr)) {
    const DWORD error = GetLastError();
    throw InstallError("Unable to create directory \"" + path + "\". " + SystemErrorText(error),
                       CauseOfSystemError(error));
  }
}

}  // namespace stampwell
