#include "framework/system_library.h"

namespace stampwell {

std::string SystemDirectory() {
  char buffer[MAX_PATH];
  UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::string(buffer, length);
}

unique_hmodule LoadSystemLibrary(const char* file_name) {
  std::string path = SystemDirectory();
  if (path.empty()) return unique_hmodule();
  path += '\\';
  path += file_name;
  // A full path alone still lets the library's own imports search the program folder;
  // LOAD_WITH_ALTERED_SEARCH_PATH makes them start from the system folder instead.
  return unique_hmodule(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

std::string SystemProgramPath(const char* relative_path) {
  std::string path = SystemDirectory();
  if (path.empty()) return {};
  return path + '\\' + relative_path;
}

}  // namespace stampwell
