// The payload compiler: what it writes, read back with a .res reader of the test's own, and
// what it refuses.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "install/payload_checksum.h"
#include "tools/payload_compiler/payload_compiler.h"

namespace stampwell::tools {
namespace {
namespace fs = std::filesystem;

struct Resource {
  std::string type, name;
  std::uint16_t language = 0, flags = 0;
  std::string data;
};

std::uint32_t U32(const std::string& s, std::size_t at) {
  return static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8 |
         static_cast<std::uint8_t>(s[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3])) << 24;
}
std::uint16_t U16(const std::string& s, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8);
}

// Reads an ordinal as "#N" and a name as its ASCII text.
std::string Id(const std::string& s, std::size_t& at) {
  if (U16(s, at) == 0xFFFF) {
    at += 4;
    return "#" + std::to_string(U16(s, at - 2));
  }
  std::string id;
  for (; U16(s, at) != 0; at += 2) id += static_cast<char>(U16(s, at));
  at += 2;
  return id;
}

std::vector<Resource> ReadRes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string s = buffer.str();
  std::vector<Resource> resources;
  std::size_t at = 0;
  while (at < s.size()) {
    EXPECT_EQ(at % 4, 0u);
    std::uint32_t size = U32(s, at), header = U32(s, at + 4);
    std::size_t p = at + 8;
    Resource r;
    r.type = Id(s, p);
    r.name = Id(s, p);
    p = (p + 3) & ~std::size_t{3};
    r.flags = U16(s, p + 4);
    r.language = U16(s, p + 6);
    EXPECT_EQ(p + 16, at + header);
    r.data = s.substr(at + header, size);
    resources.push_back(r);
    at = (at + header + size + 3) & ~std::size_t{3};
  }
  EXPECT_EQ(at, s.size());
  return resources;
}

class PayloadCompiler : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("payload_compiler_test." + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "files" / "Data");
    fs::create_directories(root_ / "files" / "Example" / "Animated");
  }
  void TearDown() override { fs::remove_all(root_); }

  void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::vector<std::string> Compile(const std::string& manifest) {
    Write(root_ / "manifest.txt", manifest);
    return CompilePayload(root_ / "manifest.txt", root_ / "files", root_ / "out.res");
  }

  fs::path root_;
};

TEST_F(PayloadCompiler, StoresEntryNAsNameANTypeNAInLanguage2052WithTheBytesUnchanged) {
  std::string big(3'000'001, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
  Write(root_ / "files" / "Help.CHM", std::string("\0\xFF\r\n", 4));
  Write(root_ / "files" / "Data" / "empty.dll", "");
  Write(root_ / "files" / "Example" / "Animated" / "010.gif", big);
  for (int i = 0; i < 7; ++i) Write(root_ / "files" / ("f" + std::to_string(i)), std::string(i, 'x'));
  std::string manifest = "Help.CHM\r\nData\\empty.dll\nExample\\Animated\\010.gif\n";
  for (int i = 0; i < 7; ++i) manifest += "f" + std::to_string(i) + "\n";
  ASSERT_EQ(Compile(manifest), std::vector<std::string>{});

  auto res = ReadRes(root_ / "out.res");
  ASSERT_EQ(res.size(), 3u + 10u);
  EXPECT_EQ(res[0].type, "#0");  // the empty resource that opens every .res file
  EXPECT_EQ(res[0].data, "");
  EXPECT_EQ(res[1].type, "#10");
  EXPECT_EQ(res[1].name, "PAYLOADMANIFEST");
  std::string listed = "Help.CHM\r\nData\\empty.dll\r\nExample\\Animated\\010.gif\r\n";
  EXPECT_EQ(res[1].data.substr(0, listed.size()), listed);
  EXPECT_EQ(res[2].type, "1A");
  EXPECT_EQ(res[2].name, "A1");
  EXPECT_EQ(res[2].language, 2052);
  EXPECT_EQ(res[2].data, std::string("\0\xFF\r\n", 4));
  EXPECT_EQ(res[3].name, "A2");
  EXPECT_EQ(res[3].data, "");
  EXPECT_EQ(res[4].type, "3A");
  EXPECT_TRUE(res[4].data == big);
  EXPECT_EQ(res[11].type, "10A");
  EXPECT_EQ(res[11].name, "A10");
  for (int i = 0; i < 7; ++i) EXPECT_EQ(res[5 + i].data, std::string(i, 'x'));  // every padding length

  // Last, the checksums of what was stored: the manifest's and each entry's size and CRC-32.
  EXPECT_EQ(res[12].type, "#10");
  EXPECT_EQ(res[12].name, "PAYLOADCHECKSUMS");
  auto bytes = [](const std::string& s) { return std::as_bytes(std::span(s.data(), s.size())); };
  std::optional<PayloadChecksums> sums = ParsePayloadChecksums(bytes(res[12].data));
  ASSERT_TRUE(sums.has_value());
  EXPECT_EQ(sums->manifest, ChecksumOf(bytes(res[1].data)));
  ASSERT_EQ(sums->entries.size(), 10u);
  for (int n = 1; n <= 10; ++n) EXPECT_EQ(sums->entries[n - 1], ChecksumOf(bytes(res[1 + n].data))) << "entry " << n;
  EXPECT_EQ(sums->entries[2].size, 3'000'001u);  // summed across the compiler's buffer
}

TEST_F(PayloadCompiler, RefusesBadEntriesAndMissingFilesWithEntryPathAndReasonAndWritesNothing) {
  Write(root_ / "files" / "Help.CHM", "x");
  auto problems = Compile("Help.CHM\nC:\\x.dll\n\\Data\\x.dll\nData\\..\\x\nOther\\x.dll\n\nData\\.\\x\n");
  ASSERT_EQ(problems.size(), 6u);
  EXPECT_EQ(problems[0], "entry 2 \"C:\\x.dll\": it names a drive");
  EXPECT_NE(problems[1].find("entry 3 \"\\Data\\x.dll\": it is absolute"), std::string::npos);
  EXPECT_NE(problems[2].find("entry 4 "), std::string::npos);
  EXPECT_NE(problems[3].find("entry 5 \"Other\\x.dll\": its folder \"Other\""), std::string::npos);
  EXPECT_EQ(problems[4], "entry 6 \"\": the path is empty");
  EXPECT_NE(problems[5].find("entry 7 "), std::string::npos);
  EXPECT_FALSE(fs::exists(root_ / "out.res"));

  problems = Compile("Help.CHM\nData\\gone.dll\nData\n");
  fs::create_directories(root_ / "files" / "Data");
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_NE(problems[0].find("entry 2 \"Data\\gone.dll\": the file "), std::string::npos);
  EXPECT_NE(problems[0].find("is missing"), std::string::npos);
  EXPECT_NE(problems[1].find("entry 3 \"Data\": "), std::string::npos);
  EXPECT_NE(problems[1].find("not a regular file"), std::string::npos);
  EXPECT_FALSE(fs::exists(root_ / "out.res"));
  EXPECT_FALSE(fs::exists(root_ / "out.res.partial"));
}

TEST_F(PayloadCompiler, AFailedRunLeavesAnEarlierOutputAlone) {
  Write(root_ / "files" / "Help.CHM", "x");
  ASSERT_TRUE(Compile("Help.CHM\n").empty());
  auto before = fs::file_size(root_ / "out.res");
  EXPECT_FALSE(Compile("Help.CHM\nmissing.txt\n").empty());
  EXPECT_EQ(fs::file_size(root_ / "out.res"), before);
}

}  // namespace
}  // namespace stampwell::tools
