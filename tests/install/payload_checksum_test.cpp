// The payload's checksums: the CRC-32 against published values and against a plain bit-by-bit
// sum, in pieces, and the record that the payload compiler writes and the setup reads.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "install/payload_checksum.h"

namespace stampwell {
namespace {

std::span<const std::byte> Bytes(const std::string& s) { return std::as_bytes(std::span(s.data(), s.size())); }

// One bit at a time, straight from the polynomial: the reference for the table-driven sum.
std::uint32_t BitwiseCrc32(const std::string& s) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : s) {
    crc ^= c;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
  }
  return ~crc;
}

TEST(Crc32, MatchesThePublishedCheckValues) {
  EXPECT_EQ(Crc32(Bytes("")), 0u);
  EXPECT_EQ(Crc32(Bytes("123456789")), 0xCBF43926u);  // the check value of CRC-32/ISO-HDLC
  EXPECT_EQ(Crc32(Bytes("The quick brown fox jumps over the lazy dog")), 0x414FA339u);
}

TEST(Crc32, AgreesWithTheBitwiseSumAtEveryLengthAndOffsetAndInPieces) {
  std::mt19937 random(13);
  std::string data(300, '\0');
  for (char& c : data) c = static_cast<char>(random());
  // Lengths around the eight-byte stride, from unaligned starts.
  for (std::size_t offset = 0; offset < 8; ++offset) {
    for (std::size_t length = 0; length + offset <= 40; ++length) {
      std::string piece = data.substr(offset, length);
      ASSERT_EQ(Crc32(Bytes(piece)), BitwiseCrc32(piece)) << "offset " << offset << ", length " << length;
    }
  }
  // Summed in pieces of any split, as the payload compiler sums a file through its buffer.
  for (std::size_t split : {0u, 1u, 7u, 8u, 9u, 150u, 299u, 300u}) {
    std::uint32_t crc = Crc32(Bytes(data.substr(0, split)));
    crc = Crc32(Bytes(data.substr(split)), crc);
    EXPECT_EQ(crc, BitwiseCrc32(data)) << "split at " << split;
  }
}

TEST(Crc32, TellsEveryOneBitChangeAndASwapOfTwoBytes) {
  std::string data = "Data\\avcodec-54.dll: a library of the product";
  std::uint32_t whole = Crc32(Bytes(data));
  for (std::size_t i = 0; i < data.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      std::string changed = data;
      changed[i] = static_cast<char>(changed[i] ^ (1 << bit));
      ASSERT_NE(Crc32(Bytes(changed)), whole) << "byte " << i << ", bit " << bit;
    }
  }
  std::string swapped = data;
  std::swap(swapped[3], swapped[4]);
  EXPECT_NE(Crc32(Bytes(swapped)), whole);
}

TEST(PayloadChecksums, RecordRoundTripsAndHasItsDocumentedLayout) {
  PayloadChecksums sums;
  sums.manifest = {12, 0x01020304u};
  sums.entries = {{0, 0}, {5, 0xCBF43926u}, {13000000, 0xFFFFFFFFu}};
  std::string record = EncodePayloadChecksums(sums);
  ASSERT_EQ(record.size(), 8u + 8u * 4);
  EXPECT_EQ(record.substr(0, 4), "PCK1");
  EXPECT_EQ(record.substr(4, 4), std::string("\x03\0\0\0", 4));
  EXPECT_EQ(record.substr(8, 8), std::string("\x0C\0\0\0\x04\x03\x02\x01", 8));
  std::optional<PayloadChecksums> back = ParsePayloadChecksums(Bytes(record));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->manifest, sums.manifest);
  EXPECT_EQ(back->entries, sums.entries);

  PayloadChecksums none;
  std::optional<PayloadChecksums> empty = ParsePayloadChecksums(Bytes(EncodePayloadChecksums(none)));
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->entries.empty());
}

TEST(PayloadChecksums, ADamagedRecordIsNoRecord) {
  PayloadChecksums sums;
  sums.entries = {{1, 2}, {3, 4}};
  const std::string good = EncodePayloadChecksums(sums);
  EXPECT_FALSE(ParsePayloadChecksums(Bytes(good.substr(0, good.size() - 1))));  // cut short
  EXPECT_FALSE(ParsePayloadChecksums(Bytes(good + std::string(8, '\0'))));     // a pair too many
  EXPECT_FALSE(ParsePayloadChecksums(Bytes(good.substr(0, 7))));
  std::string mark = good;
  mark[0] = 'X';
  EXPECT_FALSE(ParsePayloadChecksums(Bytes(mark)));
  // A count that the size cannot hold, however large, is refused without wrapping.
  std::string huge = good;
  huge.replace(4, 4, std::string("\xFF\xFF\xFF\xFF", 4));
  EXPECT_FALSE(ParsePayloadChecksums(Bytes(huge)));
  std::string count = good;
  count[4] = 1;
  EXPECT_FALSE(ParsePayloadChecksums(Bytes(count)));
}

}  // namespace
}  // namespace stampwell
