#pragma once
// Removes a folder and everything under it, read-only files included; quiet when it is not
// there. For the Windows tests and benchmarks, which clean up what they made.

#include <windows.h>

#include <string>

#include "framework/unique_handle.h"

namespace stampwell::testing {

inline void RemoveTree(const std::string& path) {
  std::string folder = path;
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  WIN32_FIND_DATAA found{};
  if (unique_find search{FindFirstFileA((folder + "\\*").c_str(), &found)}) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string child = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(child.c_str());
      }
    } while (FindNextFileA(search.get(), &found));
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace stampwell::testing
