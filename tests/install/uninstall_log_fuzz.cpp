// The demo uninstaller reads a text file that anyone may edit: whatever it holds, every path
// it accepts is a plain absolute one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "demo/uninstall_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace stampwell::demo;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    UninstallPlan plan = ReadUninstallLog(text, "T");
    for (const auto* list : {&plan.files, &plan.folders, &plan.top_folders})
      for (const auto& path : *list)
        if (!IsSafeAbsolutePath(path) || path.find("\\..\\") != std::string::npos)
          std::abort();
  } catch (const std::runtime_error&) {
  }
  return 0;
}
