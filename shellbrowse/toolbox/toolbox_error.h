#pragma once
// The error that the shell toolbox raises when an operation cannot go on: the framework's
// error with an 8-bit message, so the guards show it in the default error report.

#include <string>

#include "framework/exception.h"

namespace stampwell {

class ToolboxError : public Exception {
 public:
  explicit ToolboxError(const std::string& message) : Exception(message) {}
};

}  // namespace stampwell
