// A bitmap resource is read when its pixels are first used. What it then shows must be what the
// same picture's file shows: the resource holds the file without its header, so the rows and the
// colour table are found another way. A picture at more pixels per inch comes from its drawing
// at 200 % where the program has one that fits; those drawings are read by our own PNG reader,
// which must see every one as the system's imaging component does.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/area_scale.h"
#include "framework/exception.h"
#include "framework/graphics.h"
#include "framework/png_decode.h"
#include "framework/png_resource.h"
#include "framework/unique_handle.h"
#include "tests/framework/bitmap_rows.h"

namespace stampwell {
namespace {

// A file of the source tree, by its path there.
std::vector<std::uint8_t> SourceFile(const std::string& relative) {
  std::string path = std::string("Z:") + std::getenv("STAMPWELL_SOURCE_DIR") + "/" + relative;
  std::replace(path.begin(), path.end(), '/', '\\');
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::uint8_t> PictureFile(const std::string& name) { return SourceFile("resources/pictures/" + name); }

TEST(BitmapResource, ShowsWhatItsFileShowsAndACopyMadeBeforeItsFirstUseToo) {
  const struct {
    const char* resource;
    const char* file;
  } pictures[] = {{"LOGO_24", "logo.bmp"}, {"NEW_FOLDER_8", "ptscp_newfolder16_8bpp.bmp"}};
  for (const auto& picture : pictures) {
    SCOPED_TRACE(picture.resource);
    TBitmap from_resource;
    from_resource.LoadFromResource(picture.resource);
    TBitmap copy;
    copy.Assign(from_resource);
    std::vector<std::uint8_t> file = PictureFile(picture.file);
    ASSERT_FALSE(file.empty()) << picture.file;
    TBitmap from_file;
    from_file.LoadFromBytes(file.data(), file.size());

    EXPECT_EQ(from_resource.Width(), from_file.Width());
    EXPECT_EQ(from_resource.Height(), from_file.Height());
    std::vector<std::uint8_t> expected = Rows(from_file);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Rows(from_resource), expected);
    EXPECT_EQ(Rows(copy), expected);
    EXPECT_NE(from_resource.Handle(), copy.Handle()) << "a copy has pixels of its own";
  }
}

TEST(BitmapResource, DrawnBeforeItsFirstUseItShowsWhatItsFileShows) {
  // A page's first paint draws its pictures straight from the resource.
  for (const char* resource : {"LOGO_24", "NEW_FOLDER_8"}) {
    SCOPED_TRACE(resource);
    TBitmap from_resource, reference;
    from_resource.LoadFromResource(resource);
    reference.LoadFromResource(resource);
    TBitmap drawn, expected;
    drawn.SetSize(from_resource.Width() + 2, from_resource.Height() + 2);
    expected.SetSize(drawn.Width(), drawn.Height());
    TCanvas(drawn.DC()).Draw(1, 1, from_resource);
    ::BitBlt(expected.DC(), 1, 1, reference.Width(), reference.Height(), reference.DC(), 0, 0, SRCCOPY);
    EXPECT_EQ(Rows(drawn), Rows(expected));
  }
}

TEST(BitmapResource, ANewSizeKeepsNoneOfItsPixelsAndAMissingOneIsRefusedAtOnce) {
  TBitmap bitmap;
  bitmap.LoadFromResource("LOGO_24");
  bitmap.SetSize(4, 3);
  EXPECT_EQ(Rows(bitmap), std::vector<std::uint8_t>(4 * 3 * 3, 0));
  TBitmap missing;
  EXPECT_THROW(missing.LoadFromResource("NO_SUCH_PICTURE"), Exception);
  EXPECT_TRUE(missing.Empty());
}

// Every pixel of `bitmap` repeated two by two: what enlarging a picture to 200 % gives.
std::vector<std::uint8_t> Doubled(const TBitmap& bitmap) {
  std::vector<std::uint8_t> rows;
  for (int y = 0; y < 2 * bitmap.Height(); ++y) {
    const std::uint8_t* row = bitmap.ScanLine(y / 2);
    for (int x = 0; x < 2 * bitmap.Width(); ++x) rows.insert(rows.end(), row + x / 2 * 3, row + x / 2 * 3 + 3);
  }
  return rows;
}

std::vector<std::uint8_t> LargeDrawing(const std::string& name) {
  TBitmap large;
  EXPECT_TRUE(LoadPngResource(large, name + "_2X")) << name;
  return Rows(large);
}

TEST(PictureForDpi, EachFrameOfAStripIsRoundedOnItsOwnAndAt96ThePictureIsItself) {
  TPicture strip;
  strip.LoadFromResource("CLOSE_STRIP");  // four frames of 14 x 14
  EXPECT_EQ(&strip.ForDpi(96, 4), &strip.Bitmap());
  const struct {
    UINT dpi;
    int width, height;
  } sizes[] = {{120, 4 * 18, 18}, {144, 4 * 21, 21}, {168, 4 * 25, 25}, {192, 4 * 28, 28}, {72, 4 * 11, 11}};
  for (const auto& size : sizes) {
    const TBitmap& scaled = strip.ForDpi(size.dpi, 4);
    EXPECT_EQ(scaled.Width(), size.width) << size.dpi;
    EXPECT_EQ(scaled.Height(), size.height) << size.dpi;
  }
  // As one picture, the strip is rounded once: 17.5 x 4 = 70.
  EXPECT_EQ(strip.ForDpi(120).Width(), 70);
  EXPECT_EQ(&strip.ForDpi(144, 4), &strip.ForDpi(144, 4)) << "made once per dpi";
}

TEST(PictureForDpi, ItsSizeIsKnownWithoutMakingItAndIsTheSizeOfWhatIsMade) {
  // A button takes its size before its strip is made; the two must agree to the pixel, or the
  // hit area and the drawing part.
  for (const char* name : {"CLOSE_STRIP", "LOGO_24", "WRONG_SIZE"}) {
    for (UINT dpi : {96u, 120u, 144u, 168u, 192u, 240u}) {
      for (int frames : {1, 3, 4}) {
        SCOPED_TRACE(std::string(name) + " at " + std::to_string(dpi) + " in " + std::to_string(frames));
        TPicture picture;
        picture.LoadFromResource(name);
        const SIZE expected = picture.SizeForDpi(dpi, frames);
        const TBitmap& made = picture.ForDpi(dpi, frames);
        EXPECT_EQ(expected.cx, made.Width());
        EXPECT_EQ(expected.cy, made.Height());
      }
    }
  }
}

TEST(PictureForDpi, At192ItIsTheDrawingAt200PercentNotTheBitmapEnlarged) {
  TPicture logo;
  logo.LoadFromResource("LOGO_24");
  std::vector<std::uint8_t> large = LargeDrawing("LOGO_24");
  ASSERT_EQ(large.size(), 160u * 160u * 3u);
  EXPECT_EQ(Rows(logo.ForDpi(192)), large);
  EXPECT_NE(Rows(logo.ForDpi(192)), Doubled(logo.Bitmap()));
}

TEST(PictureForDpi, BetweenItIsTheDrawingAt200PercentShrunkFrameByFrame) {
  TPicture strip;
  strip.LoadFromResource("CLOSE_STRIP");
  TBitmap large;
  ASSERT_TRUE(LoadPngResource(large, "CLOSE_STRIP_2X"));
  // 70 pixels of 3 bytes: rows padded to 212 bytes.
  for (UINT dpi : {120u, 144u}) {
    const TBitmap& scaled = strip.ForDpi(dpi, 4);
    TBitmap expected;
    expected.SetSize(scaled.Width(), scaled.Height());
    ScaleFramesByArea(PixelRect{large.ScanLine(0), large.Width(), large.Height(), large.Stride(), 3},
                      PixelRect{expected.ScanLine(0), expected.Width(), expected.Height(), expected.Stride(), 3}, 4);
    EXPECT_EQ(Rows(scaled), Rows(expected)) << dpi;
  }
}

TEST(PictureForDpi, WithoutAFittingDrawingAt200PercentThePictureItselfIsEnlarged) {
  // No such drawing; one of the wrong size; one that is no picture.
  for (const char* name : {"NEW_FOLDER_8", "WRONG_SIZE", "NO_PICTURE"}) {
    SCOPED_TRACE(name);
    TPicture picture;
    picture.LoadFromResource(name);
    EXPECT_EQ(Rows(picture.ForDpi(192)), Doubled(picture.Bitmap()));
  }
}

TEST(PictureForDpi, FramesOfADrawnStripKeepTheirOwnColours) {
  // Frames of 5 pixels at 120 dpi are 6.25 wide: scaled whole, frame edges would blend.
  TPicture strip;
  strip.Bitmap().SetSize(4 * 5, 3);
  const COLORREF colours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255)};
  for (int frame = 0; frame < 4; ++frame) {
    const RECT r{frame * 5, 0, frame * 5 + 5, 3};
    unique_hbrush brush(::CreateSolidBrush(colours[frame]));
    ::FillRect(strip.Bitmap().DC(), &r, brush.get());
  }
  const TBitmap& scaled = strip.ForDpi(120, 4);
  ASSERT_EQ(scaled.Width(), 4 * 6);
  for (int y = 0; y < scaled.Height(); ++y)
    for (int x = 0; x < scaled.Width(); ++x)
      ASSERT_EQ(::GetPixel(scaled.DC(), x, y), colours[x / 6]) << x << "," << y;
}

TEST(PictureForDpi, AGlyphShrinksWithoutAFringeOfItsClearColour) {
  // Fuchsia, the clear colour (bottom-left), around a black square in each of two frames: at
  // 120 dpi every pixel is still one or the other, never a pink between them.
  TPicture glyph;
  glyph.Bitmap().SetSize(2 * 16, 16);
  HDC dc = glyph.Bitmap().DC();
  const RECT all{0, 0, 32, 16}, squares[2] = {{3, 3, 12, 12}, {19, 4, 28, 13}};
  unique_hbrush clear(::CreateSolidBrush(RGB(255, 0, 255)));
  ::FillRect(dc, &all, clear.get());
  for (const RECT& square : squares) ::FillRect(dc, &square, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  for (UINT dpi : {120u, 144u}) {
    const TBitmap& scaled = glyph.GlyphForDpi(dpi, 2);
    int black = 0;
    for (int y = 0; y < scaled.Height(); ++y)
      for (int x = 0; x < scaled.Width(); ++x) {
        COLORREF pixel = ::GetPixel(scaled.DC(), x, y);
        ASSERT_TRUE(pixel == RGB(255, 0, 255) || pixel == RGB(0, 0, 0)) << dpi << ": " << x << "," << y;
        black += pixel == RGB(0, 0, 0);
      }
    EXPECT_NEAR(black, 2 * 81 * (dpi / 96.0) * (dpi / 96.0), 2 * 9 * dpi / 96.0) << dpi;
  }
}

TEST(PictureForDpi, ACopyFindsTheDrawingAt200PercentAndAChangedPictureIsScaledAfresh) {
  // A button's picture is a copy of the one its form read (and is copied back after the plain
  // high-contrast look).
  TPicture read, copy;
  read.LoadFromResource("CLOSE_STRIP");
  copy.Assign(read);
  EXPECT_EQ(Rows(copy.ForDpi(192, 4)), LargeDrawing("CLOSE_STRIP"));
  EXPECT_EQ(copy.ForDpi(144, 4).Width(), 84);
  TPicture logo;
  logo.LoadFromResource("LOGO_24");
  copy.Assign(logo);
  EXPECT_EQ(copy.ForDpi(144, 4).Width(), 120);
  EXPECT_EQ(Rows(copy.ForDpi(192, 4)), LargeDrawing("LOGO_24"));
  copy.Bitmap().SetSize(10, 10);
  EXPECT_EQ(Rows(copy.ForDpi(192)), std::vector<std::uint8_t>(20 * 20 * 3, 0)) << "a drawing of another picture";
}

TEST(PngResource, EveryDrawingOfTheGeneratorsReadsAsTheImagingComponentReadsIt) {
  std::string pattern = std::string("Z:") + std::getenv("STAMPWELL_SOURCE_DIR") + "/resources/pictures/2x/*.png";
  std::replace(pattern.begin(), pattern.end(), '/', '\\');
  WIN32_FIND_DATAA found{};
  const unique_find search(::FindFirstFileA(pattern.c_str(), &found));
  ASSERT_TRUE(search);
  int compared = 0;
  do {
    SCOPED_TRACE(found.cFileName);
    const std::vector<std::uint8_t> png = PictureFile(std::string("2x/") + found.cFileName);
    BgrPicture ours, theirs;
    ASSERT_TRUE(DecodeRgbPng(png.data(), png.size(), ours));
    ASSERT_TRUE(DecodePngWithImagingComponent(png.data(), png.size(), theirs));
    EXPECT_EQ(ours.width, theirs.width);
    EXPECT_EQ(ours.height, theirs.height);
    EXPECT_TRUE(ours.rows == theirs.rows) << "the pixels differ";
    ++compared;
  } while (::FindNextFileA(search.get(), &found));
  EXPECT_GE(compared, 19) << "every page, button, caption and icon";
}

TEST(PngResource, APngOfAnotherKindIsLeftToTheImagingComponent) {
  // Two by two in red, green, blue and an opaque alpha: (10, 20, 30), (40, 50, 60) over
  // (70, 80, 90), (200, 210, 220).
  const std::vector<std::uint8_t> png = SourceFile("tests/framework/opaque_rgba_2x2.png");
  BgrPicture picture;
  EXPECT_FALSE(DecodeRgbPng(png.data(), png.size(), picture));
  TBitmap bitmap;
  ASSERT_TRUE(LoadPngResource(bitmap, "OPAQUE_RGBA_2X2"));
  EXPECT_EQ(Rows(bitmap), (std::vector<std::uint8_t>{30, 20, 10, 60, 50, 40, 90, 80, 70, 220, 210, 200}));
}

TEST(PngResource, AMissingOrUnreadableResourceIsRefused) {
  TBitmap bitmap;
  EXPECT_FALSE(LoadPngResource(bitmap, "NO_SUCH_PICTURE"));
  EXPECT_FALSE(LoadPngResource(bitmap, "NO_PICTURE_2X"));
  EXPECT_TRUE(bitmap.Empty());
}

}  // namespace
}  // namespace stampwell
