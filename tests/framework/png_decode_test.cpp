// Our own PNG reading: deflate's three kinds of block, PNG's five row filters, the BGR order
// of the bitmaps, and a refusal (never a read or write out of bounds) for every PNG that the
// picture generators do not write and for damaged ones. The pictures that they do write are
// compared with the imaging component's reading of them in the Windows tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "framework/inflate.h"
#include "framework/png_decode.h"

namespace stampwell {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Text(int lines) {
  std::string text;
  char line[32];
  for (int i = 0; i < lines; ++i) {
    std::snprintf(line, sizeof line, "pixel %d of row %d; ", i % 7, i % 5);
    text += line;
  }
  return text;
}

Bytes Inflated(const Bytes& stream, std::size_t size, bool& ok) {
  Bytes out(size);
  ok = InflateZlib(stream.data(), stream.size(), out.data(), out.size());
  return out;
}

// zlib.compress(text, 9) in Python: one block with codes of its own.
const Bytes kDynamicBlock = {
    0x78, 0xda, 0x65, 0xcc, 0xcb, 0x09, 0x80, 0x30, 0x14, 0x04, 0xc0, 0x56, 0xb6, 0x84, 0xf7, 0x4b,
    0x2e, 0xd6, 0xa3, 0x20, 0x08, 0x09, 0xb9, 0x68, 0xf9, 0x82, 0xb0, 0x20, 0xec, 0x75, 0x0e, 0x33,
    0xcf, 0x67, 0xbf, 0x60, 0x18, 0x07, 0xd6, 0xb8, 0x61, 0x1b, 0xe6, 0x27, 0x4e, 0x71, 0x4a, 0x50,
    0x82, 0x92, 0x94, 0xa4, 0x14, 0xa5, 0x28, 0x4d, 0xe6, 0x2e, 0xb3, 0xc9, 0xec, 0x32, 0x87, 0xcc,
    0x29, 0x73, 0xc9, 0xdc, 0x64, 0xee, 0x32, 0x9b, 0xcc, 0xfe, 0x9b, 0x5f, 0x87, 0x4a, 0x58, 0xea};
// zlib.compress(b"abcabcabcabcabcabc hello hello hello", 9): deflate's fixed codes, with matches
// that overlap what they copy.
const Bytes kFixedBlock = {0x78, 0xda, 0x4b, 0x4c, 0x4a, 0x4e, 0x44, 0x45, 0x0a, 0x19, 0xa9,
                           0x39, 0x39, 0xf9, 0xc8, 0x24, 0x00, 0xf9, 0xf3, 0x0d, 0x81};

// A zlib stream of stored blocks, `block` bytes each at most.
Bytes Stored(const Bytes& data, std::size_t block = 65535) {
  Bytes out = {0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t n = std::min(block, data.size() - at);
    out.push_back(at + n == data.size() ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.push_back(static_cast<std::uint8_t>(~n));
    out.push_back(static_cast<std::uint8_t>(~n >> 8));
    const auto from = data.begin() + static_cast<std::ptrdiff_t>(at);
    out.insert(out.end(), from, from + static_cast<std::ptrdiff_t>(n));
    at += n;
  } while (at < data.size());
  out.insert(out.end(), {0, 0, 0, 0});  // the checksum, which is not read
  return out;
}

TEST(Inflate, ReadsStoredFixedAndDynamicBlocksToTheExactSize) {
  bool ok = false;
  const std::string text = Text(16);
  EXPECT_EQ(Inflated(kDynamicBlock, text.size(), ok), Bytes(text.begin(), text.end()));
  EXPECT_TRUE(ok);
  const std::string fixed = "abcabcabcabcabcabc hello hello hello";
  EXPECT_EQ(Inflated(kFixedBlock, fixed.size(), ok), Bytes(fixed.begin(), fixed.end()));
  EXPECT_TRUE(ok);
  const std::string long_text = Text(30);
  const Bytes data(long_text.begin(), long_text.end());
  EXPECT_EQ(Inflated(Stored(data, 100), data.size(), ok), data) << "several stored blocks";
  EXPECT_TRUE(ok);
}

TEST(Inflate, RefusesAStreamOfAnotherSizeThanExpected) {
  bool ok = true;
  const std::string text = Text(16);
  Inflated(kDynamicBlock, text.size() - 1, ok);
  EXPECT_FALSE(ok) << "more than the buffer";
  Inflated(kDynamicBlock, text.size() + 1, ok);
  EXPECT_FALSE(ok) << "less than the buffer";
}

TEST(Inflate, RefusesDamagedStreamsAndReadsNothingBeyondThem) {
  bool ok = true;
  const std::string text = Text(16);
  for (std::size_t cut = 0; cut < kDynamicBlock.size() - 4; ++cut) {
    // Each shortened stream is copied to a buffer of its own size, so that a sanitizer sees
    // any read past its end.
    Inflated(Bytes(kDynamicBlock.begin(), kDynamicBlock.begin() + static_cast<std::ptrdiff_t>(cut)), text.size(), ok);
    EXPECT_FALSE(ok) << "cut at " << cut;
  }
  Bytes header = kDynamicBlock;
  header[1] ^= 1;  // the header's check fails
  Inflated(header, text.size(), ok);
  EXPECT_FALSE(ok);
  Bytes dictionary = {0x78, 0xbb, 0, 0, 0, 0, 0x03, 0x00};  // asks for a preset dictionary
  Inflated(dictionary, 0, ok);
  EXPECT_FALSE(ok);
  Bytes stored = Stored(Bytes(10, 7));
  stored[5] ^= 0xFF;  // the length's complement no longer matches
  Inflated(stored, 10, ok);
  EXPECT_FALSE(ok);
  // A fixed-code block whose first code is a match: it reaches back before the output's start.
  const Bytes too_far = {0x78, 0x01, 0x03, 0x02, 0x00};
  Inflated(too_far, 3, ok);
  EXPECT_FALSE(ok);
  const Bytes reserved = {0x78, 0x01, 0x07, 0x00};  // block type 3 does not exist
  Inflated(reserved, 0, ok);
  EXPECT_FALSE(ok);
}

// ---- PNG ----

void Put32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void Chunk(Bytes& png, const char* type, const Bytes& data) {
  Put32(png, static_cast<std::uint32_t>(data.size()));
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  Put32(png, 0);  // the CRC, which is not read
}

struct PngKind {
  int width = 3;
  int height = 5;
  std::uint8_t depth = 8, colour = 2, interlace = 0;
  std::size_t idat_parts = 1;
};

// RGB pixels, row by row.
Bytes Pixels(int width, int height) {
  Bytes rgb(static_cast<std::size_t>(width) * height * 3);
  for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * i * 31 + i * 7 + 3);
  return rgb;
}

int Predictor(int filter, int a, int b, int c) {
  switch (filter) {
    case 1: return a;
    case 2: return b;
    case 3: return (a + b) / 2;
    case 4: {
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    default: return 0;
  }
}

// A PNG of `rgb`, row y filtered with filter y % 5, so that a picture of five rows or more
// uses all five.
Bytes Png(const Bytes& rgb, const PngKind& kind) {
  const std::size_t row = static_cast<std::size_t>(kind.width) * 3;
  Bytes filtered;
  for (int y = 0; y < kind.height; ++y) {
    const int filter = y % 5;
    filtered.push_back(static_cast<std::uint8_t>(filter));
    for (std::size_t i = 0; i < row; ++i) {
      const auto at = [&](int yy, std::size_t ii, bool valid) { return valid ? rgb[yy * row + ii] : 0; };
      const int a = at(y, i - 3, i >= 3), b = at(y - 1, i, y > 0), c = at(y - 1, i - 3, y > 0 && i >= 3);
      filtered.push_back(static_cast<std::uint8_t>(rgb[y * row + i] - Predictor(filter, a, b, c)));
    }
  }
  const Bytes stream = Stored(filtered);
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  Put32(header, static_cast<std::uint32_t>(kind.width));
  Put32(header, static_cast<std::uint32_t>(kind.height));
  header.insert(header.end(), {kind.depth, kind.colour, 0, 0, kind.interlace});
  Chunk(png, "IHDR", header);
  Chunk(png, "tEXt", {'a', 0, 'b'});  // an ancillary chunk, passed over
  const std::size_t part = (stream.size() + kind.idat_parts - 1) / kind.idat_parts;
  for (std::size_t at = 0; at < stream.size(); at += part)
    Chunk(png, "IDAT", Bytes(stream.begin() + static_cast<std::ptrdiff_t>(at),
                             stream.begin() + static_cast<std::ptrdiff_t>(std::min(stream.size(), at + part))));
  Chunk(png, "IEND", {});
  return png;
}

Bytes Bgr(Bytes rgb) {
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) std::swap(rgb[i], rgb[i + 2]);
  return rgb;
}

TEST(PngDecode, UndoesEveryRowFilterAndGivesBgrRowsInOneOrManyDataChunks) {
  for (const PngKind& kind : {PngKind{3, 5}, PngKind{1, 10}, PngKind{17, 11, 8, 2, 0, 4}}) {
    SCOPED_TRACE(std::to_string(kind.width) + "x" + std::to_string(kind.height));
    const Bytes rgb = Pixels(kind.width, kind.height);
    const Bytes png = Png(rgb, kind);
    BgrPicture picture;
    ASSERT_TRUE(DecodeRgbPng(png.data(), png.size(), picture));
    EXPECT_EQ(picture.width, kind.width);
    EXPECT_EQ(picture.height, kind.height);
    EXPECT_EQ(picture.rows, Bgr(rgb));
  }
}

TEST(PngDecode, RefusesKindsThatTheGeneratorsDoNotWrite) {
  PngKind palette, alpha, sixteen, interlaced;
  palette.colour = 3;
  alpha.colour = 6;
  sixteen.depth = 16;
  interlaced.interlace = 1;
  for (const PngKind& kind : {palette, alpha, sixteen, interlaced}) {
    const Bytes png = Png(Pixels(kind.width, kind.height), kind);
    BgrPicture picture;
    EXPECT_FALSE(DecodeRgbPng(png.data(), png.size(), picture));
    EXPECT_TRUE(picture.rows.empty());
  }
}

TEST(PngDecode, RefusesDamagedFilesWithoutReadingBeyondThem) {
  const PngKind kind;
  const Bytes png = Png(Pixels(kind.width, kind.height), kind);
  BgrPicture picture;
  for (std::size_t cut = 0; cut < png.size() - 12; ++cut) {
    const Bytes shortened(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(DecodeRgbPng(shortened.data(), shortened.size(), picture)) << "cut at " << cut;
  }
  Bytes filter = png;
  // The last row's filter byte (before it: the checksum, the chunk's CRC and IEND) made one that
  // PNG does not have.
  filter[png.size() - 12 - 4 - 4 - (1 + 3 * kind.width)] = 5;
  EXPECT_FALSE(DecodeRgbPng(filter.data(), filter.size(), picture));
  Bytes huge = png;
  huge[16] = 0x40;  // a width beyond any picture's
  EXPECT_FALSE(DecodeRgbPng(huge.data(), huge.size(), picture));
  Bytes large = png;
  large[18] = 0x30;  // a width within bounds, far more pixels than the data can hold: refused
                     // before anything is made
  EXPECT_FALSE(DecodeRgbPng(large.data(), large.size(), picture));
  Bytes critical = png;
  critical[33 + 4] = 'T';  // the ancillary chunk made critical ("TEXt"), of a kind not read
  EXPECT_FALSE(DecodeRgbPng(critical.data(), critical.size(), picture));
  EXPECT_TRUE(picture.rows.empty());
}

}  // namespace
}  // namespace stampwell
