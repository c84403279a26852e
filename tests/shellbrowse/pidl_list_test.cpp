// The ordering of the identifier-list container against a plain sorted reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "shellbrowse/toolbox/id_list.h"
#include "shellbrowse/toolbox/pidl_list.h"
#include "shellbrowse/toolbox/toolbox_error.h"
#include "tests/shellbrowse/test_lists.h"

namespace stampwell {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::BytesOf;
using testing::CountingAllocator;
using testing::MakeList;

// Random lists over a small alphabet, so that equal lists come up often.
Bytes RandomList(std::mt19937& random) {
  int items = std::uniform_int_distribution<int>(0, 3)(random);
  std::vector<std::string> payloads;
  for (int i = 0; i < items; ++i)
    payloads.push_back(std::string(std::uniform_int_distribution<int>(0, 2)(random),
                                   static_cast<char>('a' + std::uniform_int_distribution<int>(0, 2)(random))));
  Bytes bytes;
  for (const std::string& p : payloads) {
    Bytes item = MakeList({p});
    bytes.insert(bytes.end(), item.begin(), item.end() - 2);
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

struct ByBytes {
  bool operator()(const Bytes& a, const Bytes& b) const { return CompareIdListBytes(a.data(), b.data()) < 0; }
};

void* Owned(CountingAllocator& allocator, const Bytes& list) { return CopyIdList(allocator, list.data()); }

class PidlListModes : public ::testing::TestWithParam<PidlDuplicates> {};

TEST_P(PidlListModes, SortedInsertionMatchesReference) {
  const PidlDuplicates mode = GetParam();
  std::mt19937 random(1234 + static_cast<int>(mode));
  CountingAllocator allocator;
  {
    PidlList list;
    list.SetRelease([&allocator](void* p) { allocator.Free(p); });
    list.SetDuplicates(mode);
    list.SetSorted(true);
    std::vector<Bytes> reference;
    for (int step = 0; step < 3000; ++step) {
      Bytes bytes = RandomList(random);
      auto lower = std::lower_bound(reference.begin(), reference.end(), bytes, ByBytes());
      bool present = lower != reference.end() && *lower == bytes;
      int expected_index = static_cast<int>(lower - reference.begin());
      void* owned = Owned(allocator, bytes);
      if (present && mode == PidlDuplicates::Error) {
        try {
          list.Add(owned);
          FAIL() << "duplicate accepted";
        } catch (const ToolboxError& error) {
          EXPECT_STREQ(error.what(), "TPTPidlList: Duplicate PIDL");
        }
        continue;
      }
      int index = list.AddObject(owned, step);
      ASSERT_EQ(index, expected_index) << "step " << step;
      if (!(present && mode == PidlDuplicates::Ignore)) reference.insert(lower, bytes);
      ASSERT_EQ(list.Count(), static_cast<int>(reference.size()));
    }
    for (int i = 0; i < list.Count(); ++i) ASSERT_EQ(BytesOf(list.IdList(i)), reference[static_cast<std::size_t>(i)]);
    // IndexOf finds the first of equal lists, and -1 for a list that is not there.
    for (int probe = 0; probe < 500; ++probe) {
      Bytes bytes = RandomList(random);
      auto lower = std::lower_bound(reference.begin(), reference.end(), bytes, ByBytes());
      bool present = lower != reference.end() && *lower == bytes;
      EXPECT_EQ(list.IndexOf(bytes.data()), present ? static_cast<int>(lower - reference.begin()) : -1);
    }
    // Lists never added, or refused, were handed over and released: only the entries are live.
    EXPECT_EQ(allocator.live(), list.Count());
    if (mode == PidlDuplicates::Accept) {
      EXPECT_GT(list.Count(), static_cast<int>(std::unique(reference.begin(), reference.end()) - reference.begin()));
    }
    while (list.Count() > 10) list.Delete(list.Count() / 2);
    EXPECT_EQ(allocator.live(), 10);
  }
  EXPECT_EQ(allocator.live(), 0);
}

INSTANTIATE_TEST_SUITE_P(AllModes, PidlListModes,
                         ::testing::Values(PidlDuplicates::Ignore, PidlDuplicates::Accept, PidlDuplicates::Error));

TEST(PidlList, IgnoreKeepsFirstOfTwoEqualLists) {
  Bytes a = MakeList({"x", "y"});
  Bytes a_again = a;
  Bytes before = MakeList({"a"});
  PidlList list;
  list.SetDuplicates(PidlDuplicates::Ignore);
  list.SetSorted(true);
  EXPECT_EQ(list.Add(a.data()), 0);
  EXPECT_EQ(list.Add(before.data()), 0);
  EXPECT_EQ(list.AddObject(a_again.data(), 7), 1);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.IdList(1), a.data());
  EXPECT_EQ(list.Data(1), 0);
}

TEST(PidlList, UnsortedAppendsAndSortingLater) {
  Bytes c = MakeList({"c"}), a = MakeList({"a"}), b = MakeList({"b"}), a2 = MakeList({"a"});
  PidlList list;
  EXPECT_EQ(list.Duplicates(), PidlDuplicates::Error);
  EXPECT_EQ(list.AddObject(c.data(), 1), 0);
  EXPECT_EQ(list.AddObject(a.data(), 2), 1);
  EXPECT_EQ(list.AddObject(b.data(), 3), 2);
  EXPECT_EQ(list.AddObject(a2.data(), 4), 3);  // no duplicate check while unsorted
  EXPECT_EQ(list.IndexOf(a2.data()), 1);
  EXPECT_EQ(list.IndexOf(MakeList({"z"}).data()), -1);
  list.SetSorted(true);
  ASSERT_EQ(list.Count(), 4);
  // Equal lists keep their order when sorted.
  EXPECT_EQ(list.Data(0), 2);
  EXPECT_EQ(list.Data(1), 4);
  EXPECT_EQ(list.Data(2), 3);
  EXPECT_EQ(list.Data(3), 1);

  // A reversed comparison hook takes over the order.
  list.SetCompare([](const void* x, const void* y) { return CompareIdListBytes(y, x); });
  list.Sort();
  EXPECT_EQ(list.Data(0), 1);
}

TEST(PidlList, CapacityAndIndexErrors) {
  PidlList list;
  Bytes a = MakeList({"a"}), b = MakeList({"b"});
  list.Add(a.data());
  list.Add(b.data());
  list.SetCapacity(100);
  EXPECT_GE(list.Capacity(), 100);
  list.SetCapacity(2);
  EXPECT_EQ(list.Capacity(), 2);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_THROW(list.SetCapacity(1), ToolboxError);
  EXPECT_THROW(list.IdList(2), ToolboxError);
  EXPECT_THROW(list.Delete(-1), ToolboxError);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace stampwell
