// The larger drawings read and shrunk by a worker while the window is made must be exactly what
// the window thread would have read and shrunk itself, handed over whole, and only for the names,
// DPI and frames asked for; and the one imaging factory must serve every thread.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "framework/graphics.h"
#include "framework/imaging_factory.h"
#include "framework/png_prefetch.h"
#include "framework/png_resource.h"
#include "tests/framework/bitmap_rows.h"

namespace stampwell {
namespace {

std::vector<std::uint8_t> ReadHere(const std::string& name) {
  TBitmap bitmap;
  EXPECT_TRUE(LoadPngResource(bitmap, name)) << name;
  return Rows(bitmap);
}

TEST(PngPrefetch, HandsOverWhatTheWindowThreadWouldReadInAnyOrderOfTaking) {
  PngPrefetch prefetch({{"CLOSE_STRIP_2X", 4}, {"LOGO_24_2X"}}, 144);
  // The last first: it waits for the worker to have read both.
  for (const char* name : {"LOGO_24_2X", "CLOSE_STRIP_2X", "LOGO_24_2X"}) {
    SCOPED_TRACE(name);
    TBitmap taken;
    ASSERT_TRUE(prefetch.Take(name, taken));
    EXPECT_EQ(taken.PixelFormat(), TPixelFormat::pf24bit);
    const std::vector<std::uint8_t> expected = ReadHere(name);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Rows(taken), expected) << "taken twice, the same pixels both times";
  }
}

TEST(PngPrefetch, RefusesWhatItWasNotAskedForAndWhatIsNoPicture) {
  PngPrefetch prefetch({{"NO_PICTURE_2X"}, {"NO_SUCH_PICTURE_2X"}, {"CLOSE_STRIP_2X", 4}}, 144);
  TBitmap bitmap;
  bitmap.SetSize(3, 2);
  EXPECT_FALSE(prefetch.Take("LOGO_24_2X", bitmap)) << "not one of its names";
  EXPECT_FALSE(prefetch.Take("NO_PICTURE_2X", bitmap));
  EXPECT_FALSE(prefetch.Take("NO_SUCH_PICTURE_2X", bitmap));
  EXPECT_EQ(bitmap.Width(), 3) << "left as it was";
  EXPECT_EQ(bitmap.Height(), 2);
  // A name that cannot be read does not keep the worker from the next.
  EXPECT_TRUE(prefetch.Take("CLOSE_STRIP_2X", bitmap));
  EXPECT_EQ(Rows(bitmap), ReadHere("CLOSE_STRIP_2X"));
}

TEST(PngPrefetch, PicturesTakeFromTheLivingOneOnlyWhileItLives) {
  TBitmap bitmap;
  EXPECT_FALSE(TakePrefetchedPng("CLOSE_STRIP_2X", bitmap)) << "none living";
  {
    PngPrefetch first({{"CLOSE_STRIP_2X", 4}}, 144);
    PngPrefetch second({{"LOGO_24_2X"}}, 144);
    EXPECT_EQ(PngPrefetch::Current(), &first) << "the first keeps its place";
    EXPECT_TRUE(TakePrefetchedPng("CLOSE_STRIP_2X", bitmap));
    EXPECT_FALSE(TakePrefetchedPng("LOGO_24_2X", bitmap));
    // A picture's larger drawing comes from it and is the one that the picture would read.
    TPicture strip;
    strip.Bitmap().LoadFromResource("CLOSE_STRIP");
    EXPECT_EQ(Rows(strip.ForDpi(192, 4)), ReadHere("CLOSE_STRIP_2X"));
  }
  EXPECT_EQ(PngPrefetch::Current(), nullptr);
  EXPECT_FALSE(TakePrefetchedPng("CLOSE_STRIP_2X", bitmap));
}

// What the window thread would make of the picture itself at `dpi`: the picture's own scaling,
// with no worker living.
std::vector<std::uint8_t> ScaledHere(const char* name, UINT dpi, int frames) {
  TPicture picture;
  picture.LoadFromResource(name);
  return Rows(picture.ForDpi(dpi, frames));
}

TEST(PngPrefetch, HandsOverTheDrawingsShrunkExactlyAsThePicturesShrinkThemOnlyForTheirDpiAndFrames) {
  for (UINT dpi : {120u, 144u, 168u}) {
    SCOPED_TRACE(dpi);
    const std::vector<std::uint8_t> strip = ScaledHere("CLOSE_STRIP", dpi, 4);
    const std::vector<std::uint8_t> logo = ScaledHere("LOGO_24", dpi, 1);
    PngPrefetch prefetch({{"CLOSE_STRIP_2X", 4}, {"LOGO_24_2X"}, {"WRONG_SIZE_2X"}}, dpi);
    TPicture close, logo_picture;
    close.LoadFromResource("CLOSE_STRIP");
    logo_picture.LoadFromResource("LOGO_24");
    EXPECT_EQ(Rows(close.ForDpi(dpi, 4)), strip);
    EXPECT_EQ(Rows(logo_picture.ForDpi(dpi)), logo);

    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    EXPECT_TRUE(prefetch.TakeScaled("CLOSE_STRIP_2X", 14 * 4, 14, dpi, 4, bitmap));
    EXPECT_EQ(Rows(bitmap), strip) << "taken again, the same";
    bitmap.SetSize(3, 2);
    EXPECT_FALSE(prefetch.TakeScaled("CLOSE_STRIP_2X", 14 * 4, 14, dpi, 1, bitmap)) << "other frames";
    EXPECT_FALSE(prefetch.TakeScaled("CLOSE_STRIP_2X", 14 * 4, 14, dpi + 24, 4, bitmap)) << "another DPI";
    EXPECT_FALSE(prefetch.TakeScaled("CLOSE_STRIP_2X", 14 * 4 + 1, 14, dpi, 4, bitmap)) << "not twice the picture";
    EXPECT_FALSE(prefetch.TakeScaled("LOGO_24", 80, 80, dpi, 1, bitmap)) << "not one of its drawings";
    // Half its size is no picture that it belongs to: a picture of that size finds it unfit.
    TPicture wrong;
    wrong.LoadFromResource("WRONG_SIZE");
    EXPECT_EQ(Rows(wrong.ForDpi(dpi)), ScaledHere("WRONG_SIZE", dpi, 1));
    EXPECT_EQ(bitmap.Width(), 3) << "left as it was";
  }
  // At 192 dpi the drawing is the picture: nothing to shrink.
  PngPrefetch prefetch({{"LOGO_24_2X"}}, 192);
  TBitmap bitmap;
  EXPECT_FALSE(prefetch.TakeScaled("LOGO_24_2X", 80, 80, 192, 1, bitmap));
  EXPECT_TRUE(prefetch.Take("LOGO_24_2X", bitmap));
}

TEST(PngPrefetch, EndsAtOnceWhenNothingIsTaken) {
  // Its end waits for the worker, which must finish on its own.
  for (int i = 0; i < 3; ++i) PngPrefetch prefetch({{"CLOSE_STRIP_2X", 4}, {"LOGO_24_2X"}}, 144);
  SUCCEED();
}

TEST(ImagingFactory, OneForTheProcessWhateverThreadAsksFirst) {
  IWICImagingFactory* from_worker = nullptr;
  std::thread worker([&] {
    // A thread without COM, reading a PNG that only the imaging component reads: the reading
    // starts COM for itself, and the factory outlives that.
    BgrPicture picture;
    EXPECT_TRUE(DecodePngResource("OPAQUE_RGBA_2X2", picture));
    EXPECT_EQ(picture.rows.size(), static_cast<size_t>(picture.width) * picture.height * 3);
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    from_worker = ImagingFactory();
    if (SUCCEEDED(com)) ::CoUninitialize();
  });
  worker.join();
  ASSERT_NE(from_worker, nullptr);
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  EXPECT_EQ(ImagingFactory(), from_worker);
  if (SUCCEEDED(com)) ::CoUninitialize();
  // Still serves once every apartment that it was used in has ended.
  EXPECT_FALSE(ReadHere("OPAQUE_RGBA_2X2").empty());
}

}  // namespace
}  // namespace stampwell
