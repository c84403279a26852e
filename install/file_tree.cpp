#include "install/file_tree.h"

#include <windows.h>

#include "framework/unique_handle.h"

namespace stampwell {
namespace {

// Windows renames a running program's file but keeps it until the program ends.
void RemoveAtRestart(const std::string& path) { MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }

void RemoveFile(const std::string& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) RemoveAtRestart(path);
}

void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA found{};
  if (unique_find search{FindFirstFileA((folder + "\\*").c_str(), &found)}) {
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string child = folder + "\\" + name;
      const DWORD attributes = found.dwFileAttributes;
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        RemoveFolder(child);
      else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveDirectoryA(child.c_str());  // the junction itself; its target stays whole
      else
        RemoveFile(child, attributes);
    } while (FindNextFileA(search.get(), &found));
  }
  if (!RemoveDirectoryA(folder.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) RemoveAtRestart(folder);
}

}  // namespace

void RemoveFileTree(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    RemoveFolder(path);
  else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    RemoveDirectoryA(path.c_str());
  else
    RemoveFile(path, attributes);
}

}  // namespace stampwell
