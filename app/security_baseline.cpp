#include "app/security_baseline.h"

#include <windows.h>

#include "framework/system_library.h"

namespace stampwell {

void ApplySecurityBaseline() {
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (!kernel) return;

  // Looked up by name: Windows 7 without KB2533623 and older systems lack them.
  auto set_default_dll_directories = STAMPWELL_SYSTEM_FUNCTION(kernel, SetDefaultDllDirectories);
  auto set_search_path_mode = STAMPWELL_SYSTEM_FUNCTION(kernel, SetSearchPathMode);

  if (!set_default_dll_directories || !set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32))
    ::SetDllDirectoryA("");
  if (set_search_path_mode)
    set_search_path_mode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
}

}  // namespace stampwell
