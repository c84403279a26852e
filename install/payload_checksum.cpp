#include "install/payload_checksum.h"

#include <array>
#include <cstring>

namespace stampwell {
namespace {

// Slicing by eight: eight table lookups consume eight bytes at once, several times faster
// than one lookup per byte and still plain C++ (no processor-specific instructions, so the
// 32-bit program runs on every processor Windows runs on).
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CrcTables MakeTables() {
  CrcTables tables{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    tables[0][i] = c;
  }
  for (std::uint32_t i = 0; i < 256; ++i)
    for (int t = 1; t < 8; ++t) tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFF];
  return tables;
}

constexpr CrcTables kTables = MakeTables();

std::uint32_t LoadLittleEndian32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void PutLittleEndian32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

constexpr char kMark[4] = {'P', 'C', 'K', '1'};

}  // namespace

std::uint32_t Crc32(std::span<const std::byte> bytes, std::uint32_t crc) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t left = bytes.size();
  crc = ~crc;
  while (left >= 8) {
    std::uint32_t low = LoadLittleEndian32(p) ^ crc;
    std::uint32_t high = LoadLittleEndian32(p + 4);
    crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^ kTables[5][(low >> 16) & 0xFF] ^
          kTables[4][low >> 24] ^ kTables[3][high & 0xFF] ^ kTables[2][(high >> 8) & 0xFF] ^
          kTables[1][(high >> 16) & 0xFF] ^ kTables[0][high >> 24];
    p += 8;
    left -= 8;
  }
  while (left-- > 0) crc = (crc >> 8) ^ kTables[0][(crc ^ *p++) & 0xFF];
  return ~crc;
}

ChecksumOfBytes ChecksumOf(std::span<const std::byte> bytes) {
  return {static_cast<std::uint32_t>(bytes.size()), Crc32(bytes)};
}

std::string EncodePayloadChecksums(const PayloadChecksums& checksums) {
  std::string out(kMark, sizeof kMark);
  PutLittleEndian32(out, static_cast<std::uint32_t>(checksums.entries.size()));
  auto put = [&out](const ChecksumOfBytes& sum) {
    PutLittleEndian32(out, sum.size);
    PutLittleEndian32(out, sum.crc);
  };
  put(checksums.manifest);
  for (const ChecksumOfBytes& sum : checksums.entries) put(sum);
  return out;
}

std::optional<PayloadChecksums> ParsePayloadChecksums(std::span<const std::byte> bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  if (bytes.size() < 16 || std::memcmp(p, kMark, sizeof kMark) != 0) return std::nullopt;
  std::uint32_t count = LoadLittleEndian32(p + 4);
  // Compared without multiplying, so that no count can wrap the expected size.
  if ((bytes.size() - 8) % 8 != 0 || (bytes.size() - 8) / 8 != static_cast<std::uint64_t>(count) + 1)
    return std::nullopt;
  PayloadChecksums checksums;
  auto read = [p](std::size_t pair) {
    return ChecksumOfBytes{LoadLittleEndian32(p + 8 + pair * 8), LoadLittleEndian32(p + 12 + pair * 8)};
  };
  checksums.manifest = read(0);
  checksums.entries.reserve(count);
  for (std::uint32_t n = 1; n <= count; ++n) checksums.entries.push_back(read(n));
  return checksums;
}

}  // namespace stampwell
