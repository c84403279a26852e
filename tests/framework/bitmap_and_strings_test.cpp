// Bitmap file checks (the bytes of a form's picture come from outside GDI's sight) and the
// line splitting of string lists.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/bitmap_file.h"
#include "framework/strings.h"

namespace stampwell {
namespace {

std::vector<std::uint8_t> Bitmap(int width, int height, int bpp, int colours = 0) {
  int stride = ((width * bpp + 31) / 32) * 4;
  int palette = bpp <= 8 ? (colours ? colours : 1 << bpp) : 0;
  std::uint32_t offset = 14 + 40 + palette * 4;
  std::vector<std::uint8_t> b(offset + stride * (height < 0 ? -height : height), 0);
  auto put32 = [&](size_t at, std::uint32_t v) { std::memcpy(&b[at], &v, 4); };
  auto put16 = [&](size_t at, std::uint16_t v) { std::memcpy(&b[at], &v, 2); };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<std::uint32_t>(b.size()));
  put32(10, offset);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  put16(26, 1);
  put16(28, static_cast<std::uint16_t>(bpp));
  put32(46, static_cast<std::uint32_t>(colours));
  return b;
}

TEST(BitmapFile, AcceptsWellFormedFilesOfEveryDepth) {
  for (int bpp : {1, 4, 8, 16, 24, 32}) {
    auto b = Bitmap(7, 3, bpp);
    BitmapFileLayout layout;
    EXPECT_EQ(CheckBitmapFile(b.data(), b.size(), layout), "") << bpp;
    EXPECT_EQ(layout.width, 7);
    EXPECT_EQ(layout.bits_per_pixel, bpp);
  }
  auto top_down = Bitmap(4, -4, 24);
  BitmapFileLayout layout;
  EXPECT_EQ(CheckBitmapFile(top_down.data(), top_down.size(), layout), "");
  EXPECT_EQ(layout.height, -4);
}

TEST(BitmapFile, RefusesDamagedFiles) {
  BitmapFileLayout layout;
  auto cut = Bitmap(10, 10, 24);
  cut.resize(cut.size() - 1);  // one byte of pixels short
  EXPECT_NE(CheckBitmapFile(cut.data(), cut.size(), layout), "");
  auto palette = Bitmap(4, 4, 8, 300);  // more colours than 8 bits can index
  EXPECT_NE(CheckBitmapFile(palette.data(), palette.size(), layout), "");
  auto offset = Bitmap(4, 4, 24);
  std::uint32_t beyond = static_cast<std::uint32_t>(offset.size() + 1);
  std::memcpy(&offset[10], &beyond, 4);
  EXPECT_NE(CheckBitmapFile(offset.data(), offset.size(), layout), "");
  auto huge = Bitmap(1, 1, 24);
  std::uint32_t width = 0x7FFFFFFF;
  std::memcpy(&huge[18], &width, 4);  // a width whose stride would overflow
  EXPECT_NE(CheckBitmapFile(huge.data(), huge.size(), layout), "");
  auto rle = Bitmap(4, 4, 8);
  rle[30] = 1;  // BI_RLE8
  EXPECT_NE(CheckBitmapFile(rle.data(), rle.size(), layout), "");
  const std::uint8_t text[] = "BM not a bitmap at all, just text that starts like one....";
  EXPECT_NE(CheckBitmapFile(text, sizeof text, layout), "");
}

// A bitmap resource holds the file without its 14-byte header: the rows follow the colour table.
TEST(BitmapFile, PackedBitmapsOfResourcesFindTheirRowsAfterTheColourTable) {
  BitmapFileLayout layout;
  for (int bpp : {4, 8, 24}) {
    auto file = Bitmap(5, 6, bpp);
    std::vector<std::uint8_t> packed(file.begin() + 14, file.end());
    ASSERT_EQ(CheckPackedBitmap(packed.data(), packed.size(), layout), "") << bpp;
    EXPECT_EQ(layout.info_offset, 0u);
    EXPECT_EQ(layout.bits_offset, 40u + (bpp <= 8 ? (4u << bpp) : 0u));
    EXPECT_EQ(layout.height, 6);
    packed.pop_back();  // one byte of pixels short
    EXPECT_NE(CheckPackedBitmap(packed.data(), packed.size(), layout), "") << bpp;
  }
  auto file = Bitmap(4, 4, 8, 300);
  std::vector<std::uint8_t> palette(file.begin() + 14, file.end());
  EXPECT_NE(CheckPackedBitmap(palette.data(), palette.size(), layout), "");
  EXPECT_NE(CheckPackedBitmap(palette.data(), 39, layout), "");
}

TEST(Strings, TextSplitsAtEveryKindOfLineBreakAndJoinsWithCrLf) {
  TStrings s;
  int changes = 0;
  s.OnChange = [&] { ++changes; };
  s.SetText("one\r\ntwo\nthree\rfour\r\n");
  EXPECT_EQ(s.Lines(), (std::vector<std::string>{"one", "two", "three", "four"}));
  EXPECT_EQ(s.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n");
  s.SetText("a\r\n\r\nb");
  EXPECT_EQ(s.Lines(), (std::vector<std::string>{"a", "", "b"}));
  s.Add("c");
  s.Delete(0);
  EXPECT_EQ(s.IndexOf("c"), 2);
  EXPECT_THROW(s.Delete(5), std::out_of_range);
  EXPECT_EQ(changes, 4);
}

}  // namespace
}  // namespace stampwell
