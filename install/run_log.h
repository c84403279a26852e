#pragma once
// The plain-text log of an unattended run (/LOG): one line per event, each led by the local
// date and time, written through at once, so that a run that ends abruptly still leaves
// everything up to its end.

#include <string>

#include "framework/unique_handle.h"

namespace stampwell {

class RunLog {
 public:
  // No path: a log that writes nothing. A file that cannot be created also gives one; the
  // installation does not depend on its log, and Opened() tells.
  explicit RunLog(const std::string& path);
  bool Opened() const { return static_cast<bool>(file_); }
  void Write(const std::string& line);

 private:
  unique_file file_;
};

}  // namespace stampwell
