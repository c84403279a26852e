#pragma once
// The error that the payload store and the uninstall record raise: the framework's error with
// an 8-bit message in the ANSI code page. The install run catches it and shows its own
// message, or lets it reach the default error report.

#include <string>

#include "framework/exception.h"

namespace stampwell {

class InstallError : public Exception {
 public:
  explicit InstallError(const std::string& message) : Exception(message) {}
};

}  // namespace stampwell
