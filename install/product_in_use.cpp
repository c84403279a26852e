#include "install/product_in_use.h"

#include <windows.h>

#include "framework/unique_handle.h"

namespace stampwell {

bool ProgramFileInUse(const std::string& path) {
  // Every share flag is offered, so a reader or an editor that merely holds the file open
  // does not count; only the image section of a running program refuses this opening.
  unique_file file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !file && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace stampwell
