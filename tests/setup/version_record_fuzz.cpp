// Any bytes as a version record: read within their bounds, and a version is four numbers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "setup/version_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto version = stampwell::FileVersionOfRecord(std::span(reinterpret_cast<const std::byte*>(data), size));
  if (version) {
    int dots = 0;
    for (char c : *version) {
      if (c == '.') ++dots;
      else if (c < '0' || c > '9') std::abort();
    }
    if (dots != 3) std::abort();
  }
  return 0;
}
