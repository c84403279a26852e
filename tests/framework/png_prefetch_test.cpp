// The larger drawings read by a worker while the window is made must be exactly what the window
// thread would have read itself, handed over whole, and only for the names asked for; and the one
// imaging factory must serve every thread.
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
  PngPrefetch prefetch({"CLOSE_STRIP_2X", "LOGO_24_2X"});
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
  PngPrefetch prefetch({"NO_PICTURE_2X", "NO_SUCH_PICTURE_2X", "CLOSE_STRIP_2X"});
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
    PngPrefetch first({"CLOSE_STRIP_2X"});
    PngPrefetch second({"LOGO_24_2X"});
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

TEST(PngPrefetch, EndsAtOnceWhenNothingIsTaken) {
  // Its end waits for the worker, which must finish on its own.
  for (int i = 0; i < 3; ++i) PngPrefetch prefetch({"CLOSE_STRIP_2X", "LOGO_24_2X"});
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
