#pragma once
// The payload's checksums: the build records the size and CRC-32 of the manifest and of every
// entry; the setup program compares them with what it carries before it writes anything, so
// that a download cut short or corrupted cannot install a broken product. Portable: the
// payload compiler writes the record, the setup program reads it.
//
// The record is the RCDATA resource "PAYLOADCHECKSUMS", little-endian 32-bit words:
//   "PCK1", the entry count N, then N + 1 pairs (size, CRC-32): the manifest's, then entry
//   1's to entry N's.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace stampwell {

inline constexpr char kPayloadChecksumsResource[] = "PAYLOADCHECKSUMS";

// The CRC-32 of zip and PNG (reflected polynomial 0xEDB88320). Continues from `crc`, the
// value returned for the bytes before, so a file can be summed piece by piece.
std::uint32_t Crc32(std::span<const std::byte> bytes, std::uint32_t crc = 0);

struct ChecksumOfBytes {
  std::uint32_t size = 0;
  std::uint32_t crc = 0;
  friend bool operator==(const ChecksumOfBytes&, const ChecksumOfBytes&) = default;
};

ChecksumOfBytes ChecksumOf(std::span<const std::byte> bytes);

struct PayloadChecksums {
  ChecksumOfBytes manifest;
  std::vector<ChecksumOfBytes> entries;  // entries[n - 1] is entry n's
};

// The record's bytes.
std::string EncodePayloadChecksums(const PayloadChecksums& checksums);

// Nothing when the bytes are not a whole record (wrong mark, a count that does not fit the
// size): a damaged record counts as a damaged payload.
std::optional<PayloadChecksums> ParsePayloadChecksums(std::span<const std::byte> bytes);

}  // namespace stampwell
