#pragma once
// The system's message texts, and the error raised for a failed shell step.

#include <windows.h>

#include <string>

namespace stampwell {

// The system's message for an error code or HRESULT, without the trailing line break; for a
// code the system has no text for, "OLE error " and the code in eight hex digits.
std::string SystemMessage(DWORD code);

// Raises ToolboxError with the system's message for `hr`.
[[noreturn]] void RaiseOleError(HRESULT hr);

// Raises for a failed HRESULT and returns it otherwise.
inline HRESULT CheckOle(HRESULT hr) {
  if (FAILED(hr)) RaiseOleError(hr);
  return hr;
}

}  // namespace stampwell
