// The built setup program carries its manifest, version record and icon.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/support/built_program.h"

namespace stampwell {
namespace {

using testing::SetupExecutablePath;

class ExecutableResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_.reset(LoadLibraryExA(SetupExecutablePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module_) << SetupExecutablePath() << " error " << GetLastError();
  }
  std::string Resource(LPCSTR type, LPCSTR name) {
    HRSRC info = FindResourceA(module_.get(), name, type);
    if (!info) return {};
    HGLOBAL data = LoadResource(module_.get(), info);
    return std::string(static_cast<const char*>(LockResource(data)), SizeofResource(module_.get(), info));
  }
  unique_hmodule module_;
};

TEST_F(ExecutableResources, ManifestOnlyRequestsAdministrator) {
  std::string manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEA(1));
  ASSERT_FALSE(manifest.empty());
  EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);
  // No common-controls dependency: the standard controls draw in the classic style.
  EXPECT_EQ(manifest.find("dependency"), std::string::npos);
  EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
}

TEST_F(ExecutableResources, ManifestDeclaresPerMonitorAwarenessAndEverySupportedSystem) {
  std::string manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEA(1));
  EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
  EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
  // Vista, 7, 8, 8.1, 10 and 11 (one entry for the last two).
  for (const char* id : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                         "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                         "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
    EXPECT_NE(manifest.find(id), std::string::npos) << id;
}

TEST_F(ExecutableResources, IconGroupHasTheSmallAndLargeSizesOfEveryScaleTo200Percent) {
  std::string group = Resource(RT_GROUP_ICON, "MAINICON");
  ASSERT_GE(group.size(), 6u);
  auto* bytes = reinterpret_cast<const unsigned char*>(group.data());
  int count = bytes[4] | bytes[5] << 8;
  ASSERT_EQ(group.size(), 6u + 14u * count);
  std::vector<int> sizes;
  for (int i = 0; i < count; ++i) sizes.push_back(bytes[6 + 14 * i]);
  EXPECT_EQ(sizes, (std::vector<int>{16, 20, 24, 32, 40, 48, 64}));
}

std::string VersionString(const std::vector<char>& block, const char* name) {
  std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) return "<missing>";
  return length ? std::string(value) : std::string();
}

TEST(ExecutableVersion, RecordReadsBackThroughTheVersionApi) {
  std::string path = SetupExecutablePath();
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  ASSERT_GT(size, 0u) << GetLastError();
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(3, 3));
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(3, 3));
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1252);

  EXPECT_EQ(VersionString(block, "CompanyName"), "Quendra Soft, Inc");
  EXPECT_EQ(VersionString(block, "FileDescription"), "Quendra Stampwell");
  EXPECT_EQ(VersionString(block, "InternalName"), "Quendra Stampwell");
  EXPECT_EQ(VersionString(block, "ProductName"), "Quendra Stampwell");
  EXPECT_EQ(VersionString(block, "LegalTrademarks"), "Quendra");
  EXPECT_EQ(VersionString(block, "FileVersion"), "3.3.0.0");
  EXPECT_EQ(VersionString(block, "ProductVersion"), "3.3.0.0");
  EXPECT_EQ(VersionString(block, "LegalCopyright"), "");
  EXPECT_EQ(VersionString(block, "OriginalFilename"), "");
  EXPECT_EQ(VersionString(block, "Comments"), "");
}

}  // namespace
}  // namespace stampwell
