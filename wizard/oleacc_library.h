#pragma once
// The system's accessibility library, loaded from the system folder on first use and kept for
// the rest of the process: the objects it makes (and the marshalled ones it hands out) may be
// held by clients until the program ends, so it is never unloaded.

#include <windows.h>
#include <oleacc.h>

namespace stampwell::wizard {

// LresultFromObject; 0 when the library or the function is missing.
LRESULT AccessibleResult(REFIID iid, WPARAM wparam, IUnknown* object) noexcept;
// CreateStdAccessibleObject; E_FAIL when the library or the function is missing.
HRESULT StdAccessibleObject(HWND window, LONG object_id, REFIID iid, void** out) noexcept;

}  // namespace stampwell::wizard
