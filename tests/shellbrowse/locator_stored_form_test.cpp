// The stored form of a locator: the exact bytes written, and the refusal of stored data whose
// sizes do not fit the bytes that are there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shellbrowse/locator/locator_stored_form.h"
#include "tests/shellbrowse/test_lists.h"

namespace stampwell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::MakeList;

std::string RefusalOf(const Bytes& data) {
  std::string error;
  EXPECT_FALSE(DecodeStoredLocation(data, &error).has_value()) << "accepted";
  EXPECT_FALSE(error.empty());
  return error;
}

TEST(LocatorStoredForm, WritesTheDocumentedLayout) {
  Bytes list = MakeList({"ab", "c"});  // 4 + 3 + 2 = 9 bytes
  Bytes expected = {0, 9, 0, 0, 0};
  expected.insert(expected.end(), list.begin(), list.end());
  EXPECT_EQ(EncodeStoredLocation(0, 50, list), expected);
  // A locator with no list writes a size of 0 and nothing after it.
  EXPECT_EQ(EncodeStoredLocation(0, 50, {}), (Bytes{0, 0, 0, 0, 0}));
  // A special folder writes only its number, whatever list it has resolved.
  EXPECT_EQ(EncodeStoredLocation(1, 17, list), (Bytes{1, 17}));
}

TEST(LocatorStoredForm, ReadsBackWhatWasWritten) {
  Bytes list = MakeList({"first item", "", "x"});
  auto read = DecodeStoredLocation(EncodeStoredLocation(0, 50, list));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->kind, 0);
  EXPECT_EQ(read->id_list, list);

  // The empty list (the desktop) is a list of its own: two bytes, kept as such.
  read = DecodeStoredLocation(EncodeStoredLocation(0, 50, MakeList({})));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->kind, 0);
  EXPECT_EQ(read->id_list, (Bytes{0, 0}));

  read = DecodeStoredLocation(EncodeStoredLocation(1, 5, {}));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->kind, 1);
  EXPECT_EQ(read->folder_id, 5);
  EXPECT_TRUE(read->id_list.empty());
}

TEST(LocatorStoredForm, SizeZeroIsSpecialFolderZero) {
  auto read = DecodeStoredLocation(Bytes{0, 0, 0, 0, 0});
  ASSERT_TRUE(read);
  EXPECT_EQ(read->kind, 1);
  EXPECT_EQ(read->folder_id, 0);
  EXPECT_TRUE(read->id_list.empty());
}

TEST(LocatorStoredForm, AnyNonZeroKindIsASpecialFolder) {
  auto read = DecodeStoredLocation(Bytes{0xFF, 36});
  ASSERT_TRUE(read);
  EXPECT_EQ(read->kind, 1);
  EXPECT_EQ(read->folder_id, 36);
}

TEST(LocatorStoredForm, RefusesDataThatEndsEarly) {
  RefusalOf({});
  RefusalOf({1});
  RefusalOf({0, 9, 0, 0});
  // The size claims more bytes than follow, including sizes that would wrap an offset.
  RefusalOf({0, 9, 0, 0, 0, 2, 0, 0});
  RefusalOf({0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0});
  RefusalOf({0, 0xFB, 0xFF, 0xFF, 0xFF, 0, 0});
}

TEST(LocatorStoredForm, RefusesAListThatDisagreesWithItsSize) {
  // An item that runs past the stored size although the data goes on.
  Bytes overrun = {0, 4, 0, 0, 0, 6, 0, 'a', 'b', 0, 0};
  RefusalOf(overrun);
  // No terminator inside the size.
  RefusalOf({0, 4, 0, 0, 0, 4, 0, 'a', 'b'});
  // A size below the terminator's own two bytes.
  RefusalOf({0, 1, 0, 0, 0, 0});
  // An item that claims one byte (less than its own size field) would never advance.
  RefusalOf({0, 5, 0, 0, 0, 1, 0, 0, 0, 0});
  // The terminator comes before the end of the stored size.
  RefusalOf({0, 6, 0, 0, 0, 0, 0, 4, 0, 'a', 'b'});
  // Bytes after a complete location are not ours to ignore.
  RefusalOf({1, 5, 0});
  RefusalOf({0, 2, 0, 0, 0, 0, 0, 0});
}

}  // namespace
}  // namespace stampwell
