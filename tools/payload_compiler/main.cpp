// payload_compiler MANIFEST FOLDER OUTPUT.res
// Builds the setup program's payload resources from a manifest and a folder of files.
#include <iostream>

#include "tools/payload_compiler/payload_compiler.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: payload_compiler MANIFEST FOLDER OUTPUT.res\n";
    return 2;
  }
  auto problems = stampwell::tools::CompilePayload(argv[1], argv[2], argv[3]);
  for (const auto& problem : problems) std::cerr << "payload_compiler: " << argv[1] << ": " << problem << "\n";
  return problems.empty() ? 0 : 1;
}
