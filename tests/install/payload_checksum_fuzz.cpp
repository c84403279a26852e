// The checksum record comes from the setup file as downloaded, damaged or not: whatever it
// holds, it is read without reading past its end, and a record that is read encodes back to
// the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "install/payload_checksum.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  std::optional<stampwell::PayloadChecksums> sums = stampwell::ParsePayloadChecksums(bytes);
  if (sums) {
    std::string again = stampwell::EncodePayloadChecksums(*sums);
    if (again.size() != size || again.compare(0, size, reinterpret_cast<const char*>(data), size) != 0) std::abort();
  }
  stampwell::Crc32(bytes);
  return 0;
}
