#pragma once
// The error that the payload store and the uninstall record raise: an exception whose
// message is an 8-bit text in the ANSI code page. The install run catches it and shows its
// own message, or lets it reach the default error report.
//
// Derives from std::runtime_error so that any guard that catches std::exception reports it.

#include <stdexcept>
#include <string>

namespace stampwell {

class InstallError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace stampwell
