// Area-averaging picture scaling: what the eye would call the same picture, smaller.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "framework/area_scale.h"

namespace stampwell {
namespace {

struct Image {
  Image(int w, int h, int c = 3) : width(w), height(h), channels(c), bytes(static_cast<size_t>(w) * h * c) {}
  PixelRect Rect() { return PixelRect{bytes.data(), width, height, static_cast<std::ptrdiff_t>(width) * channels, channels}; }
  std::uint8_t& At(int x, int y, int k = 0) { return bytes[(static_cast<size_t>(y) * width + x) * channels + k]; }
  int width, height, channels;
  std::vector<std::uint8_t> bytes;
};

Image Scaled(Image& source, int width, int height, int frames = 1) {
  Image target(width, height, source.channels);
  ScaleFramesByArea(source.Rect(), target.Rect(), frames);
  return target;
}

TEST(AreaScale, HalvingGivesTheRoundedMeanOfEveryTwoByTwoBlock) {
  Image source(6, 4, 4);
  for (size_t i = 0; i < source.bytes.size(); ++i) source.bytes[i] = static_cast<std::uint8_t>((i * 37 + 11) % 256);
  Image half = Scaled(source, 3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      for (int k = 0; k < 4; ++k) {
        int sum = source.At(2 * x, 2 * y, k) + source.At(2 * x + 1, 2 * y, k) + source.At(2 * x, 2 * y + 1, k) +
                  source.At(2 * x + 1, 2 * y + 1, k);
        EXPECT_EQ(half.At(x, y, k), (sum + 2) / 4) << x << "," << y << " channel " << k;
      }
}

TEST(AreaScale, AUniformPictureStaysUniformAtAnyRatio) {
  Image source(17, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 17; ++x) {
      source.At(x, y, 0) = 200;
      source.At(x, y, 1) = 7;
      source.At(x, y, 2) = 255;
    }
  for (auto [w, h] : {std::pair{13, 7}, {11, 6}, {16, 8}, {9, 5}, {1, 1}, {25, 13}}) {
    Image target = Scaled(source, w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        ASSERT_EQ(target.At(x, y, 0), 200) << w << "x" << h;
        ASSERT_EQ(target.At(x, y, 1), 7) << w << "x" << h;
        ASSERT_EQ(target.At(x, y, 2), 255) << w << "x" << h;
      }
  }
}

TEST(AreaScale, AThinLineKeepsItsInkAndDoesNotVanishAtOddRatios) {
  // A one-pixel line at 200 % shrunk to 150 % and 125 %: nearest-neighbour picking would drop
  // whole columns; averaging spreads the line but keeps its total ink.
  Image source(40, 4, 1);
  for (int y = 0; y < 4; ++y) source.At(13, y, 0) = 240;
  for (int width : {30, 25, 21}) {
    Image target = Scaled(source, width, 4);
    int ink = 0;
    for (int x = 0; x < width; ++x) ink += target.At(x, 0, 0);
    EXPECT_NEAR(ink * 40.0 / width, 240, 2.0) << width;
    for (int y = 1; y < 4; ++y)
      for (int x = 0; x < width; ++x) EXPECT_EQ(target.At(x, y, 0), target.At(x, 0, 0));
  }
}

TEST(AreaScale, FramesOfAStripNeverTakeColourFromTheirNeighbours) {
  // Four frames of 5 pixels, each a colour of its own, shrunk to 3 pixels each: an odd ratio
  // whose footprints would straddle a frame edge if the strip were scaled whole.
  for (bool across : {true, false}) {
    Image source(across ? 20 : 3, across ? 3 : 20, 1);
    for (int y = 0; y < source.height; ++y)
      for (int x = 0; x < source.width; ++x) source.At(x, y) = static_cast<std::uint8_t>(60 * ((across ? x : y) / 5));
    Image target = Scaled(source, across ? 12 : 2, across ? 2 : 12, 4);
    for (int y = 0; y < target.height; ++y)
      for (int x = 0; x < target.width; ++x)
        EXPECT_EQ(target.At(x, y), 60 * ((across ? x : y) / 3)) << (across ? "across " : "down ") << x << "," << y;
  }
}

TEST(AreaScale, EnlargingByAWholeFactorRepeatsEveryPixel) {
  Image source(3, 2);
  std::iota(source.bytes.begin(), source.bytes.end(), std::uint8_t{10});
  Image twice = Scaled(source, 6, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      for (int k = 0; k < 3; ++k) EXPECT_EQ(twice.At(x, y, k), source.At(x / 2, y / 2, k));
}

TEST(AreaScale, RowsFollowTheirStrideAndLeaveThePaddingAlone) {
  // Bitmap rows are padded to four bytes: 3 pixels of 3 bytes take 12.
  std::vector<std::uint8_t> from(2 * 12, 0), to(1 * 12, 0xEE);
  for (int y = 0; y < 2; ++y)
    for (int i = 0; i < 9; ++i) from[static_cast<size_t>(y * 12 + i)] = static_cast<std::uint8_t>(y ? 100 : 50);
  ScaleByArea(PixelRect{from.data(), 3, 2, 12, 3}, PixelRect{to.data(), 3, 1, 12, 3});
  for (int i = 0; i < 9; ++i) EXPECT_EQ(to[static_cast<size_t>(i)], 75);
  for (int i = 9; i < 12; ++i) EXPECT_EQ(to[static_cast<size_t>(i)], 0xEE);
}

TEST(AreaScale, AKeyedGlyphKeepsItsColoursAndACleanEdge) {
  // A fuchsia-keyed glyph: a dark square of 3 x 3 at (1, 1) in 6 x 6, two frames side by side,
  // the second one blank. At 125 % and 150 % no pixel may be tinted by the key, every pixel is
  // either key or the glyph's colour, and the blank frame stays all key.
  const std::uint8_t key[3] = {255, 0, 255};
  Image source(12, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 12; ++x) {
      bool ink = x >= 1 && x <= 3 && y >= 1 && y <= 3;
      for (int k = 0; k < 3; ++k) source.At(x, y, k) = ink ? 40 : key[k];
    }
  for (int frame : {7, 8, 9}) {
    Image target(2 * frame, frame);
    ScaleFramesByAreaKeyed(source.Rect(), target.Rect(), 2, key);
    int ink = 0;
    for (int y = 0; y < frame; ++y)
      for (int x = 0; x < 2 * frame; ++x) {
        const bool keyed = target.At(x, y, 0) == 255 && target.At(x, y, 1) == 0 && target.At(x, y, 2) == 255;
        const bool glyph = target.At(x, y, 0) == 40 && target.At(x, y, 1) == 40 && target.At(x, y, 2) == 40;
        ASSERT_TRUE(keyed || glyph) << frame << ": " << x << "," << y;
        if (glyph) {
          ASSERT_LT(x, frame) << "the blank frame took ink";
          ++ink;
        }
      }
    // The square's area, scaled, give or take its rounded edges.
    EXPECT_NEAR(ink, 9.0 * frame * frame / 36.0, frame) << frame;
  }
}

// The exact mean of the source area under target pixel (x, y), worked out pixel by pixel in the
// plainest way: every source pixel's overlap with the target pixel along each axis, in units
// where a source pixel is `target` long and a target pixel `source`. With a key, as the header
// says: key pixels add nothing, and a pixel mostly of key is the key.
std::uint8_t ExactMean(const Image& source, int tw, int th, int x, int y, int k, const std::uint8_t* key) {
  const auto overlap = [](long long t, long long from, long long to_size, long long i) {
    const long long begin = t * from, end = begin + from;  // the target pixel, in source-size units
    return std::max(0LL, std::min(end, (i + 1) * to_size) - std::max(begin, i * to_size));
  };
  unsigned long long sum = 0, ink = 0, total = 0;
  // Only the source pixels that can lie under it, for the large cases' sake.
  const int first_x = static_cast<int>(static_cast<long long>(x) * source.width / tw);
  const int last_x = static_cast<int>((static_cast<long long>(x + 1) * source.width + tw - 1) / tw);
  const int first_y = static_cast<int>(static_cast<long long>(y) * source.height / th);
  const int last_y = static_cast<int>((static_cast<long long>(y + 1) * source.height + th - 1) / th);
  for (int sy = first_y; sy < last_y; ++sy)
    for (int sx = first_x; sx < last_x; ++sx) {
      const unsigned long long w = static_cast<unsigned long long>(overlap(x, source.width, tw, sx)) *
                                   static_cast<unsigned long long>(overlap(y, source.height, th, sy));
      total += w;
      const std::uint8_t* pixel = &source.bytes[(static_cast<size_t>(sy) * source.width + sx) * source.channels];
      if (key && std::equal(pixel, pixel + source.channels, key)) continue;
      ink += w;
      sum += pixel[k] * w;
    }
  if (2 * ink < total) return key[k];
  return static_cast<std::uint8_t>((sum + ink / 2) / ink);
}

TEST(AreaScale, EveryPixelIsTheExactMeanAtEveryRatioWithOrWithoutAKey) {
  // Random pictures at random sizes, in both directions, with one, three and four channels, and
  // a size whose weights need more than 32 bits: every way through the scaling must agree with
  // the plain sum above.
  std::uint32_t state = 12345;
  const auto next = [&state](std::uint32_t bound) {
    state = state * 1103515245u + 12345u;
    return (state >> 8) % bound;
  };
  struct Case {
    int sw, sh, tw, th;
  };
  std::vector<Case> cases = {{1200 / 20, 700 / 20, 900 / 20, 525 / 20}, {24, 8, 18, 6}, {142, 3, 107, 2},
                             {251, 2, 241, 1}, {4099, 1, 4097, 1}, {5, 5, 13, 11}};
  for (int i = 0; i < 150; ++i)
    cases.push_back({1 + static_cast<int>(next(40)), 1 + static_cast<int>(next(30)), 1 + static_cast<int>(next(45)),
                     1 + static_cast<int>(next(35))});
  for (const Case& c : cases) {
    for (int channels : {1, 3, 4}) {
      for (bool keyed : {false, true}) {
        Image source(c.sw, c.sh, channels);
        // Few colours, so that the key is common and means tie often.
        for (auto& v : source.bytes) v = static_cast<std::uint8_t>(next(4) * 85);
        const std::uint8_t* key = keyed ? &source.bytes[0] : nullptr;
        Image target(c.tw, c.th, channels);
        if (keyed)
          ScaleFramesByAreaKeyed(source.Rect(), target.Rect(), 1, key);
        else
          ScaleByArea(source.Rect(), target.Rect());
        for (int y = 0; y < c.th; ++y)
          for (int x = 0; x < c.tw; ++x)
            for (int k = 0; k < channels; ++k)
              ASSERT_EQ(target.At(x, y, k), ExactMean(source, c.tw, c.th, x, y, k, key))
                  << c.sw << "x" << c.sh << " to " << c.tw << "x" << c.th << ", " << channels << " channels"
                  << (keyed ? ", keyed" : "") << ", at " << x << "," << y;
      }
    }
  }
  // A picture so large and so oddly shrunk that its sums need 64 bits.
  Image large(4099, 4099, 1);
  for (auto& v : large.bytes) v = static_cast<std::uint8_t>(next(256));
  Image small = Scaled(large, 2, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) ASSERT_EQ(small.At(x, y), ExactMean(large, 2, 3, x, y, 0, nullptr)) << x << "," << y;
}

}  // namespace
}  // namespace stampwell
