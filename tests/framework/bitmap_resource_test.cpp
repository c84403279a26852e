// A bitmap resource is read when its pixels are first used. What it then shows must be what the
// same picture's file shows: the resource holds the file without its header, so the rows and the
// colour table are found another way.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/exception.h"
#include "framework/graphics.h"

namespace stampwell {
namespace {

std::vector<std::uint8_t> PictureFile(const std::string& name) {
  std::string path = std::string("Z:") + std::getenv("STAMPWELL_SOURCE_DIR") + "/resources/pictures/" + name;
  std::replace(path.begin(), path.end(), '/', '\\');
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every row's bytes; both bitmaps are 24-bit sections.
std::vector<std::uint8_t> Rows(const TBitmap& bitmap) {
  std::vector<std::uint8_t> rows;
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* row = bitmap.ScanLine(y);
    if (!row) return {};
    rows.insert(rows.end(), row, row + bitmap.Width() * 3);
  }
  return rows;
}

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

}  // namespace
}  // namespace stampwell
