#include "tests/install/win32_test_support.h"

#include <fstream>
#include <sstream>

#include "framework/unique_handle.h"

namespace stampwell::testing {

ScratchFolder::ScratchFolder(const std::string& name) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  path_ = std::string(temp) + name + "." + std::to_string(GetCurrentProcessId()) + "\\";
  RemoveTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

std::string BuildTreePath(const std::string& relative) {
  const char* build = std::getenv("STAMPWELL_BUILD_DIR");
  std::string path = std::string("Z:") + (build ? build : "") + "/" + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::string& path) {
  std::string folder = path;
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
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
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace stampwell::testing
