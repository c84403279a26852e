#pragma once
// What keeps the installation folder's files from being replaced: programs running from the
// folder and files that another program holds open. Portable: found by the system side of
// the run, told to the user here.

#include <string>
#include <vector>

namespace stampwell {

struct FilesInUse {
  std::vector<std::string> programs;  // program files, in the folder, of running processes
  std::vector<std::string> files;     // files of the run that cannot be opened for writing
  std::vector<std::string> holders;   // names of the applications that the system says hold them

  bool empty() const { return programs.empty() && files.empty(); }
};

// The text of the Retry/Cancel question: what runs, what is held and by whom, and what the
// two buttons do. Long lists are cut, with the number of the paths left out.
std::string FilesInUseMessage(const std::string& product_title, const FilesInUse& in_use);

}  // namespace stampwell
