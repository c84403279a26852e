// The file version read from a version record's bytes, and every way the bytes can be wrong.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "setup/version_record.h"

namespace stampwell {
namespace {

using Bytes = std::vector<std::byte>;

void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(std::byte(v & 0xFF));
  b.push_back(std::byte(v >> 8 & 0xFF));
}
void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// A record as the resource compiler lays it out: header, key, padding, fixed part, children.
Bytes Record(const std::u16string& key = u"VS_VERSION_INFO", std::uint32_t signature = 0xFEEF04BD) {
  Bytes b;
  Put16(b, 0);   // wLength, set below
  Put16(b, 52);  // wValueLength
  Put16(b, 0);   // wType: binary
  for (char16_t c : key) Put16(b, c);
  Put16(b, 0);
  while (b.size() % 4) b.push_back(std::byte{0});
  Put32(b, signature);
  Put32(b, 0x00010000);                  // structure version
  Put32(b, 3u << 16 | 3), Put32(b, 12u << 16 | 65535);  // file version 3.3.12.65535
  Put32(b, 3u << 16 | 3), Put32(b, 0);   // product version
  for (int i = 0; i < 7; ++i) Put32(b, 0);
  for (int i = 0; i < 16; ++i) b.push_back(std::byte{0x55});  // the children: not read
  b[0] = std::byte(b.size() & 0xFF);
  b[1] = std::byte(b.size() >> 8);
  return b;
}

TEST(VersionRecord, ReadsTheFileVersionOfTheFixedPart) {
  EXPECT_EQ(FileVersionOfRecord(Record()), "3.3.12.65535");
  Bytes trailing = Record();
  trailing.resize(trailing.size() + 10);  // the resource may be longer than the record
  EXPECT_EQ(FileVersionOfRecord(trailing), "3.3.12.65535");
}

TEST(VersionRecord, RefusesBytesThatAreNoVersionRecord) {
  EXPECT_EQ(FileVersionOfRecord({}), std::nullopt);
  EXPECT_EQ(FileVersionOfRecord(Record(u"VS_VERSION_INFX")), std::nullopt);
  EXPECT_EQ(FileVersionOfRecord(Record(u"VS_VERSION_INFO", 0xFEEF04BC)), std::nullopt);
  Bytes cut = Record();
  cut.resize(60);  // the length says more than there is
  EXPECT_EQ(FileVersionOfRecord(cut), std::nullopt);
  Bytes short_value = Record();
  short_value[2] = std::byte{51};  // a fixed part one byte too short
  EXPECT_EQ(FileVersionOfRecord(short_value), std::nullopt);
  Bytes short_length = Record();
  short_length[0] = std::byte{60}, short_length[1] = std::byte{0};  // the fixed part outside the record
  EXPECT_EQ(FileVersionOfRecord(short_length), std::nullopt);
}

}  // namespace
}  // namespace stampwell
