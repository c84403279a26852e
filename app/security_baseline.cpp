#include "app/security_baseline.h"

#include <windows.h>

namespace stampwell {

void ApplySecurityBaseline() {
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (!kernel) return;

  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  using SetSearchPathModeFn = BOOL(WINAPI*)(DWORD);
  // Looked up by name: Windows 7 without KB2533623 and older systems lack them.
  auto set_default_dll_directories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
  auto set_search_path_mode = reinterpret_cast<SetSearchPathModeFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetSearchPathMode")));

  if (!set_default_dll_directories || !set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32))
    ::SetDllDirectoryA("");
  if (set_search_path_mode)
    set_search_path_mode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
}

}  // namespace stampwell
