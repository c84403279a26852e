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


}  // namespace stampwell::testing
