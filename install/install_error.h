#pragma once
// The error that the payload store and the uninstall record raise: the framework's error with
// an 8-bit message in the ANSI code page. The install run catches it and shows its own
// message, or lets it reach the default error report.

#include <string>

#include "framework/exception.h"

namespace stampwell {

// Whether a failure is the one that the installation error message describes (the account
// may not write there), or another whose own message names it (a full disk, a file or folder
// in the way).
enum class FailureCause { kOther, kPrivileges };

class InstallError : public Exception {
 public:
  explicit InstallError(const std::string& message, FailureCause cause = FailureCause::kOther)
      : Exception(message), cause_(cause) {}
  FailureCause Cause() const { return cause_; }

 private:
  FailureCause cause_;
};

}  // namespace stampwell
