#include "setup/version_record.h"

#include <cstdint>

namespace stampwell {
namespace {

// The record is little-endian whatever the machine that reads it.
std::uint32_t Read16(std::span<const std::byte> bytes, std::size_t at) {
  return std::to_integer<std::uint32_t>(bytes[at]) | std::to_integer<std::uint32_t>(bytes[at + 1]) << 8;
}
std::uint32_t Read32(std::span<const std::byte> bytes, std::size_t at) {
  return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

// The root's header: wLength, wValueLength, wType, then the key in UTF-16 with its zero.
constexpr std::size_t kKeyOffset = 6;
constexpr char16_t kRootKey[] = u"VS_VERSION_INFO";
constexpr std::size_t kRootKeyUnits = sizeof kRootKey / sizeof kRootKey[0];  // with the zero
constexpr std::size_t kFixedInfoSize = 52;
constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;

}  // namespace

std::optional<std::string> FileVersionOfRecord(std::span<const std::byte> record) {
  if (record.size() < kKeyOffset) return std::nullopt;
  const std::size_t length = Read16(record, 0);
  const std::size_t value_length = Read16(record, 2);
  if (length > record.size() || length < kKeyOffset) return std::nullopt;
  record = record.first(length);
  const std::size_t key_end = kKeyOffset + 2 * kRootKeyUnits;
  if (record.size() < key_end) return std::nullopt;
  for (std::size_t i = 0; i < kRootKeyUnits; ++i)
    if (Read16(record, kKeyOffset + 2 * i) != static_cast<std::uint32_t>(kRootKey[i])) return std::nullopt;
  const std::size_t value = (key_end + 3) & ~std::size_t{3};  // the value starts on a 32-bit boundary
  if (value_length < kFixedInfoSize || value + kFixedInfoSize > record.size()) return std::nullopt;
  if (Read32(record, value) != kFixedInfoSignature) return std::nullopt;
  const std::uint32_t ms = Read32(record, value + 8), ls = Read32(record, value + 12);
  return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) + "." +
         std::to_string(ls & 0xFFFF);
}

}  // namespace stampwell
