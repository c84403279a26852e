#pragma once
// Where a Windows test finds the setup program of its build tree. Wine maps the Unix root to
// drive Z:.

#include <cstdlib>
#include <string>

namespace stampwell::testing {

inline std::string SetupExecutablePath() {
  const char* build = std::getenv("STAMPWELL_BUILD_DIR");
  std::string path = std::string("Z:") + (build ? build : "") + "/StampwellSetup.exe";
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace stampwell::testing
