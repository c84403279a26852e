#pragma once
// Helpers of the Windows tests of the payload and the uninstall record.

#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/support/remove_tree.h"

namespace stampwell::testing {

// A folder of its own under the temporary folder, removed with all it holds at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }  // ends in a backslash

 private:
  std::string path_;
};

// The Windows path of a file of the build tree (Wine maps the Unix root to Z:).
std::string BuildTreePath(const std::string& relative);
std::string ReadWholeFile(const std::string& path);  // empty when it can't be read
void WriteWholeFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);

}  // namespace stampwell::testing
