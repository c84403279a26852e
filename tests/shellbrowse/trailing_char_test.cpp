// Appending a separator once, in single- and double-byte code pages.
#include <gtest/gtest.h>

#include <string>

#include "shellbrowse/toolbox/trailing_char.h"

namespace stampwell {
namespace {

// Lead bytes of code page 932 (Japanese) and 936 (simplified Chinese).
bool LeadByte932(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool LeadByte936(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

TEST(IncludeTrailingChar, SingleByteText) {
  EXPECT_EQ(IncludeTrailingChar("C:", '\\', nullptr), "C:\\");
  EXPECT_EQ(IncludeTrailingChar("C:\\", '\\', nullptr), "C:\\");
  EXPECT_EQ(IncludeTrailingChar("", '\\', nullptr), "");
  EXPECT_EQ(IncludeTrailingChar("a/", '/', LeadByte932), "a/");
}

TEST(IncludeTrailingChar, TrailByteThatLooksLikeBackslash) {
  // U+8868 in code page 932 is 0x95 0x5C: its second byte is no separator.
  std::string folder = "C:\\\x95\x5C";
  EXPECT_EQ(IncludeTrailingChar(folder, '\\', LeadByte932), folder + "\\");
  EXPECT_EQ(IncludeTrailingChar(folder + "\\", '\\', LeadByte932), folder + "\\");
  // Read as a single-byte code page, the same bytes end in a backslash.
  EXPECT_EQ(IncludeTrailingChar(folder, '\\', nullptr), folder);
  // Only a walk from the start tells pairs apart: "\x95\x95\x5C" is one pair, then a real
  // backslash; one more lead byte in front makes the 0x5C a trail byte.
  EXPECT_EQ(IncludeTrailingChar("\x95\x95\x5C", '\\', LeadByte936), "\x95\x95\x5C");
  EXPECT_EQ(IncludeTrailingChar("a\x95\x95\x5C", '\\', LeadByte936), "a\x95\x95\x5C");
  EXPECT_EQ(IncludeTrailingChar("\x95\x95\x95\x5C", '\\', LeadByte936), "\x95\x95\x95\x5C\\");
  // A lone lead byte at the end is part of a (cut) double-byte character: append.
  EXPECT_EQ(IncludeTrailingChar("ab\x95", '\\', LeadByte932), "ab\x95\\");
}

}  // namespace
}  // namespace stampwell
