// The two blocks of a dragged shell item, byte by byte, and the reader of blocks that other
// programs drop on the tree.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shellbrowse/dragdrop/drag_blocks.h"
#include "tests/shellbrowse/test_lists.h"

namespace stampwell {
namespace {

using ::testing::ElementsAreArray;
using testing::BytesOf;
using testing::MakeList;

using Bytes = std::vector<std::uint8_t>;

void AppendU32(Bytes& bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
void Append(Bytes& bytes, const Bytes& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }

TEST(IdListArrayBlock, OneItemIsCountOffsetsThenTheLists) {
  Bytes parent = MakeList({"C:", "Data"});
  Bytes item = MakeList({"file"});
  const void* items[] = {item.data()};
  Bytes block = BuildIdListArrayBlock(parent.data(), items);

  Bytes expected;
  AppendU32(expected, 1);
  AppendU32(expected, 12);                  // the parent right after the 8 + 4n header
  AppendU32(expected, 12 + parent.size());  // the item right after the parent
  Append(expected, parent);
  Append(expected, item);
  EXPECT_THAT(block, ElementsAreArray(expected));
  EXPECT_EQ(block.size(), 8 + 4 * 1 + parent.size() + item.size());
}

TEST(IdListArrayBlock, SeveralItemsAndAnAbsentParent) {
  Bytes a = MakeList({"a"});
  Bytes b = MakeList({"bb", "ccc"});
  Bytes c = MakeList({});  // an empty relative list is written as it is
  const void* items[] = {a.data(), b.data(), c.data()};
  Bytes block = BuildIdListArrayBlock(nullptr, items);

  Bytes expected;
  AppendU32(expected, 3);
  const std::uint32_t header = 8 + 4 * 3;
  AppendU32(expected, header);
  AppendU32(expected, header + 2);
  AppendU32(expected, header + 2 + a.size());
  AppendU32(expected, header + 2 + a.size() + b.size());
  Append(expected, {0, 0});  // no parent: the empty list, the desktop
  Append(expected, a);
  Append(expected, b);
  Append(expected, c);
  EXPECT_THAT(block, ElementsAreArray(expected));

  // What is built reads back as the same lists.
  auto view = ParseIdListArrayBlock(block);
  ASSERT_TRUE(view);
  EXPECT_THAT(BytesOf(view->parent), ElementsAreArray(Bytes{0, 0}));
  ASSERT_EQ(view->items.size(), 3u);
  EXPECT_THAT(BytesOf(view->items[0]), ElementsAreArray(a));
  EXPECT_THAT(BytesOf(view->items[1]), ElementsAreArray(b));
  EXPECT_THAT(BytesOf(view->items[2]), ElementsAreArray(c));
}

TEST(IdListArrayBlock, NoItems) {
  Bytes block = BuildIdListArrayBlock(nullptr, {});
  EXPECT_THAT(block, ElementsAreArray(Bytes{0, 0, 0, 0, 8, 0, 0, 0, 0, 0}));
  auto view = ParseIdListArrayBlock(block);
  ASSERT_TRUE(view);
  EXPECT_TRUE(view->items.empty());
}

TEST(IdListArrayBlock, ReaderRejectsWhatPointsOutside) {
  Bytes item = MakeList({"x"});
  const void* items[] = {item.data()};
  const Bytes good = BuildIdListArrayBlock(nullptr, items);
  ASSERT_TRUE(ParseIdListArrayBlock(good));

  // Too short for a count and one offset.
  EXPECT_FALSE(ParseIdListArrayBlock(std::span(good.data(), 7)));
  // A count whose offsets run past the end (and one that would overflow 32-bit arithmetic).
  for (std::uint32_t count : {2u, 0x40000000u, 0xFFFFFFFFu}) {
    Bytes bad = good;
    for (int i = 0; i < 4; ++i) bad[i] = static_cast<std::uint8_t>(count >> (8 * i));
    EXPECT_FALSE(ParseIdListArrayBlock(bad)) << count;
  }
  // An offset at or past the end.
  Bytes bad = good;
  bad[8] = static_cast<std::uint8_t>(good.size());
  EXPECT_FALSE(ParseIdListArrayBlock(bad));
  // A list cut by the end of the block: the item lost its terminator.
  EXPECT_FALSE(ParseIdListArrayBlock(std::span(good.data(), good.size() - 1)));
  // An item whose size runs past the end.
  bad = good;
  bad[good.size() - 5] = 0x7F;
  EXPECT_FALSE(ParseIdListArrayBlock(bad));
}

TEST(DropFilesBlock, OneNameIsHeaderThenNameThenTwoZeros) {
  const std::string names[] = {"C:\\Data\\file.txt"};
  auto block = BuildDropFilesBlock(names);
  ASSERT_TRUE(block);
  ASSERT_EQ(block->size(), 20u + 260u + 1u);

  Bytes header;
  AppendU32(header, 20);  // the first name's offset
  AppendU32(header, 0);   // drop point x
  AppendU32(header, 0);   // drop point y
  AppendU32(header, 0);   // not in the non-client area
  AppendU32(header, 0);   // 8-bit names
  EXPECT_THAT(Bytes(block->begin(), block->begin() + 20), ElementsAreArray(header));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block->data() + 20)), names[0]);
  // Everything after the name is zero: its terminator, the list's, and the unused slot.
  for (std::size_t i = 20 + names[0].size(); i < block->size(); ++i) EXPECT_EQ((*block)[i], 0) << i;
}

TEST(DropFilesBlock, NamesFollowEachOtherAndTheBlockHasRoomForEach) {
  const std::string names[] = {"C:\\a", std::string(259, 'b'), "C:\\c"};
  auto block = BuildDropFilesBlock(names);
  ASSERT_TRUE(block);
  EXPECT_EQ(block->size(), 20u + 260u * 3 + 1u);
  // A reader walks the names to the double zero.
  std::vector<std::string> read;
  for (std::size_t at = 20; (*block)[at] != 0;) {
    read.emplace_back(reinterpret_cast<const char*>(block->data() + at));
    at += read.back().size() + 1;
  }
  EXPECT_THAT(read, ElementsAreArray(names));
}

TEST(DropFilesBlock, LongNameIsKeptWholeInALargerBlock) {
  // A name of 259 characters fills its slot; a longer one would not fit and is not cut (a cut
  // name names another file): its slot grows to hold it and its zero.
  const std::string names[] = {std::string(300, 'L'), "C:\\short"};
  auto block = BuildDropFilesBlock(names);
  ASSERT_TRUE(block);
  EXPECT_EQ(block->size(), 20u + 301u + 260u + 1u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block->data() + 20)), names[0]);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block->data() + 20 + 301)), names[1]);
}

TEST(DropFilesBlock, EmptyNameOrZeroByteIsRefused) {
  // Either would end the list early, so the receiver would get fewer or other names.
  const std::string empty[] = {""};
  EXPECT_FALSE(BuildDropFilesBlock(empty));
  const std::string zero[] = {std::string("C:\\a\0b", 6)};
  EXPECT_FALSE(BuildDropFilesBlock(zero));
  auto none = BuildDropFilesBlock({});
  ASSERT_TRUE(none);
  EXPECT_EQ(none->size(), 21u);
}

}  // namespace
}  // namespace stampwell
