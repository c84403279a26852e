// The pictures that the shipped setup program carries: every bitmap at 100 %, and the drawings
// at 200 % that it reads on displays of more pixels per inch. The second set may add at most
// half of what the pictures weighed when the program had only the first.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "framework/unique_handle.h"
#include "tests/support/built_program.h"

namespace stampwell {
namespace {

using testing::SetupExecutablePath;

// The bitmap resources of the program before it carried a second drawing of its pictures.
constexpr std::uint64_t kBitmapBytesBefore = 3750368;
constexpr std::uint64_t kPictureBytesLimit = kBitmapBytesBefore + kBitmapBytesBefore / 2;
constexpr char kLargeSuffix[] = "_2X";

struct Resource {
  const std::uint8_t* bytes = nullptr;
  DWORD size = 0;
};

using ResourcesByName = std::map<std::string, Resource>;

BOOL CALLBACK AddNamedResource(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found) {
  if (IS_INTRESOURCE(name)) return TRUE;  // numbered ones are none of the pictures
  HRSRC info = ::FindResourceA(module, name, type);
  HGLOBAL data = info ? ::LoadResource(module, info) : nullptr;
  (*reinterpret_cast<ResourcesByName*>(found))[name] = {
      static_cast<const std::uint8_t*>(data ? ::LockResource(data) : nullptr), info ? ::SizeofResource(module, info) : 0};
  return TRUE;
}

ResourcesByName NamedResources(HMODULE module, LPCSTR type) {
  ResourcesByName found;
  ::EnumResourceNamesA(module, type, AddNamedResource, reinterpret_cast<LONG_PTR>(&found));
  return found;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::uint32_t BigEndian32(const std::uint8_t* p) { return std::uint32_t{p[0]} << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

class ShippedPictures : public ::testing::Test {
 protected:
  void SetUp() override {
    module_.reset(::LoadLibraryExA(SetupExecutablePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module_) << SetupExecutablePath() << " error " << ::GetLastError();
    bitmaps_ = NamedResources(module_.get(), RT_BITMAP);
    for (auto& [name, resource] : NamedResources(module_.get(), RT_RCDATA))
      if (EndsWith(name, kLargeSuffix)) large_[name] = resource;
  }
  unique_hmodule module_;
  ResourcesByName bitmaps_;
  ResourcesByName large_;
};

TEST_F(ShippedPictures, BothSizesTogetherStayWithinHalfAgainTheBitmapsOfBefore) {
  std::uint64_t bitmap_bytes = 0, large_bytes = 0;
  for (const auto& [name, resource] : bitmaps_) bitmap_bytes += resource.size;
  for (const auto& [name, resource] : large_) large_bytes += resource.size;
  const std::uint64_t total = bitmap_bytes + large_bytes;
  std::printf("pictures: %u bitmaps at 100 %% %llu bytes + %u at 200 %% %llu bytes = %llu bytes; before %llu, limit %llu\n",
              static_cast<unsigned>(bitmaps_.size()), static_cast<unsigned long long>(bitmap_bytes),
              static_cast<unsigned>(large_.size()), static_cast<unsigned long long>(large_bytes),
              static_cast<unsigned long long>(total), static_cast<unsigned long long>(kBitmapBytesBefore),
              static_cast<unsigned long long>(kPictureBytesLimit));
  ASSERT_FALSE(large_.empty()) << "no picture at 200 % in the program";
  EXPECT_LE(total, kPictureBytesLimit);
}

TEST_F(ShippedPictures, EveryLargeDrawingIsAPngOfTwiceItsBitmapsSize) {
  for (const auto& [name, large] : large_) {
    SCOPED_TRACE(name);
    auto bitmap = bitmaps_.find(name.substr(0, name.size() - (sizeof kLargeSuffix - 1)));
    ASSERT_NE(bitmap, bitmaps_.end()) << "a drawing at 200 % without its bitmap";
    ASSERT_GE(bitmap->second.size, sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, bitmap->second.bytes, sizeof header);
    // The PNG signature, then the IHDR chunk: its width and height, big-endian.
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GE(large.size, 24u);
    ASSERT_EQ(std::memcmp(large.bytes, kSignature, sizeof kSignature), 0);
    ASSERT_EQ(std::memcmp(large.bytes + 12, "IHDR", 4), 0);
    EXPECT_EQ(BigEndian32(large.bytes + 16), 2u * static_cast<std::uint32_t>(header.biWidth));
    EXPECT_EQ(BigEndian32(large.bytes + 20), 2u * static_cast<std::uint32_t>(std::abs(header.biHeight)));
  }
}

}  // namespace
}  // namespace stampwell
