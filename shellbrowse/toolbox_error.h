#pragma once
// The error that the shell toolbox raises when an operation cannot go on.
//
// It carries the 8-bit message text that the default error report shows. The framework's own
// error classes are not in this tree yet; until they are, the toolbox raises this one, which
// derives from std::runtime_error so that every guard that reports std::exception shows it.

#include <stdexcept>
#include <string>

namespace stampwell {

class ToolboxError : public std::runtime_error {
 public:
  explicit ToolboxError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace stampwell
