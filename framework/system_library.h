#pragma once
// Loading system libraries and naming system programs by full path.
//
// An elevated setup is often started from a Downloads folder full of strangers' files, so a
// library or program is never named bare where the search order could find one in the
// program's own folder or the current directory.

#include <windows.h>

#include <string>
#include <type_traits>

#include "framework/unique_handle.h"

namespace stampwell {

// The system folder (System32, or SysWOW64 for a 32-bit process on 64-bit Windows),
// without a trailing backslash.
std::string SystemDirectory();

// Loads `file_name` (e.g. "comctl32.dll") from the system folder only. Empty on failure;
// GetLastError tells why.
unique_hmodule LoadSystemLibrary(const char* file_name);

// The full path of a program in the system folder, e.g. "C:\windows\system32\wbem\wmic.exe"
// for "wbem\wmic.exe".
std::string SystemProgramPath(const char* relative_path);

// A function that `module` exports, looked up by name; null when the module or the function is
// missing. `Declared` is the type of the SDK's own declaration, so the parameters and the calling
// convention cannot drift from what the library exports: a wrong one costs nothing on x64, where
// there is one convention, and corrupts the stack of a 32-bit process. Use it through
// STAMPWELL_SYSTEM_FUNCTION, which takes both the type and the name from the declaration.
template <typename Declared>
Declared SystemFunction(HMODULE module, const char* name) noexcept {
  static_assert(std::is_function_v<std::remove_pointer_t<Declared>>, "a pointer to a declared function");
  if (!module) return nullptr;
  return reinterpret_cast<Declared>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace stampwell

// STAMPWELL_SYSTEM_FUNCTION(comctl, ImageList_Draw): ImageList_Draw of `comctl`, typed as the SDK
// declares it. Naming the declaration only takes its type; nothing is linked against it.
#define STAMPWELL_SYSTEM_FUNCTION(module, name) ::stampwell::SystemFunction<decltype(&::name)>(module, #name)
