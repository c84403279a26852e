#pragma once
// The OLE error: an Exception made from an HRESULT, whose text is the system's message for it.

#include <windows.h>

#include <string>

#include "framework/exception.h"
#include "framework/unique_handle.h"

namespace stampwell {

class EOleError : public Exception {
 public:
  explicit EOleError(HRESULT code);
  HRESULT ErrorCode() const noexcept { return code_; }

 private:
  HRESULT code_;
};

// The system's message text for an HRESULT, without the trailing line break; a neutral text
// naming the code when the system has none.
std::string SystemErrorText(HRESULT code);

// Raises EOleError when `code` is a failure.
inline void OleCheck(HRESULT code) {
  if (FAILED(code)) throw EOleError(code);
}

}  // namespace stampwell
