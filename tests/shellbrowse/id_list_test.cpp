// Identifier-list byte arithmetic over hand-made lists.
#include <gtest/gtest.h>

#include <new>

#include "shellbrowse/toolbox/id_list.h"
#include "shellbrowse/toolbox/id_list_array.h"
#include "tests/shellbrowse/test_lists.h"

namespace stampwell {
namespace {

using testing::BytesOf;
using testing::CountingAllocator;
using testing::MakeList;

TEST(IdList, SizeAndCountOfNullEmptyAndDeepLists) {
  EXPECT_EQ(IdListSize(nullptr), 0u);
  EXPECT_EQ(IdListItemCount(nullptr), 0);
  EXPECT_FALSE(IsEmptyIdList(nullptr));

  auto empty = MakeList({});
  EXPECT_EQ(IdListSize(empty.data()), 2u);
  EXPECT_EQ(IdListItemCount(empty.data()), 0);
  EXPECT_TRUE(IsEmptyIdList(empty.data()));

  auto deep = MakeList({"C:", "", std::string(300, 'x')});
  EXPECT_EQ(IdListSize(deep.data()), deep.size());
  EXPECT_EQ(IdListItemCount(deep.data()), 3);
  EXPECT_FALSE(IsEmptyIdList(deep.data()));
  EXPECT_EQ(IdListItem(deep.data(), 2), deep.data() + 4 + 2);
  EXPECT_EQ(IdListItem(deep.data(), 3), nullptr);
  EXPECT_EQ(IdListItem(deep.data(), -1), nullptr);
  EXPECT_EQ(IdListPrefixSize(deep.data(), 2), 6u);
  EXPECT_EQ(IdListPrefixSize(deep.data(), 9), deep.size() - 2);
}

TEST(IdList, CopyAndConcatenationWriteFreshTerminators) {
  CountingAllocator allocator;
  auto a = MakeList({"one", "two"});
  auto b = MakeList({"three"});

  void* copy = CopyIdList(allocator, a.data());
  EXPECT_EQ(BytesOf(copy), a);
  void* from_null = CopyIdList(allocator, nullptr);
  EXPECT_EQ(BytesOf(from_null), MakeList({}));

  void* both = ConcatIdLists(allocator, a.data(), b.data());
  EXPECT_EQ(BytesOf(both), MakeList({"one", "two", "three"}));
  void* nulls = ConcatIdLists(allocator, nullptr, nullptr);
  EXPECT_EQ(BytesOf(nulls), MakeList({}));
  void* left = ConcatIdLists(allocator, nullptr, b.data());
  EXPECT_EQ(BytesOf(left), b);
  void* right = ConcatIdLists(allocator, a.data(), MakeList({}).data());
  EXPECT_EQ(BytesOf(right), a);

  for (void* list : {copy, from_null, both, nulls, left, right}) allocator.Free(list);
  EXPECT_EQ(allocator.live(), 0);

  // No memory is a failure the caller hears of, never a null list that reads as "no list".
  allocator.FailNext();
  EXPECT_THROW(CopyIdList(allocator, a.data()), std::bad_alloc);
  EXPECT_EQ(allocator.live(), 0);
}

TEST(IdList, ViewOfThreeItemList) {
  CountingAllocator allocator;
  auto list = MakeList({"a", "bb", "ccc"});
  {
    TPTIdListArray view(allocator, list.data());
    EXPECT_EQ(view.Count(), 3);
    EXPECT_EQ(BytesOf(view.ParentPart(0)), list);
    EXPECT_EQ(BytesOf(view.ParentPart(1)), MakeList({"a", "bb"}));
    EXPECT_EQ(BytesOf(view.ParentPart(3)), MakeList({}));
    EXPECT_EQ(view.ParentPart(4), nullptr);
    EXPECT_EQ(view.ParentPart(-1), nullptr);
    EXPECT_EQ(BytesOf(view.Item(0)), MakeList({"a"}));
    EXPECT_EQ(BytesOf(view.Item(2)), MakeList({"ccc"}));
    EXPECT_EQ(view.Item(3), nullptr);
    EXPECT_EQ(view.Item(-1), nullptr);
    // Only the latest result is alive.
    view.Item(1);
    EXPECT_EQ(allocator.live(), 1);
  }
  EXPECT_EQ(allocator.live(), 0);

  TPTIdListArray none(allocator, nullptr);
  EXPECT_EQ(none.Count(), 0);
  EXPECT_EQ(none.ParentPart(0), nullptr);
  EXPECT_EQ(none.Item(0), nullptr);

  auto empty = MakeList({});
  TPTIdListArray desktop(allocator, empty.data());
  EXPECT_EQ(BytesOf(desktop.ParentPart(0)), empty);
  EXPECT_EQ(BytesOf(desktop.Item(0)), empty);
}

TEST(IdList, BytewiseOrder) {
  auto a = MakeList({"abc"});
  auto b = MakeList({"abd"});
  auto longer = MakeList({"abc", "x"});
  EXPECT_LT(CompareIdListBytes(a.data(), b.data()), 0);
  EXPECT_GT(CompareIdListBytes(b.data(), a.data()), 0);
  EXPECT_EQ(CompareIdListBytes(a.data(), MakeList({"abc"}).data()), 0);
  // The first items' sizes differ (5 against 3): the size bytes decide first.
  EXPECT_GT(CompareIdListBytes(a.data(), MakeList({"a"}).data()), 0);
  // Same first item: a's terminator (0) sorts before longer's next size byte.
  EXPECT_LT(CompareIdListBytes(a.data(), longer.data()), 0);
  EXPECT_EQ(CompareIdListBytes(nullptr, nullptr), 0);
  EXPECT_LT(CompareIdListBytes(nullptr, a.data()), 0);
  // Bytes compare unsigned.
  EXPECT_GT(CompareIdListBytes(MakeList({"\xF0"}).data(), MakeList({"\x10"}).data()), 0);
}

TEST(IdList, MeasureRejectsBytesThatRunPastTheirEnd) {
  auto list = MakeList({"abc", "de"});
  EXPECT_EQ(MeasureIdList(list.data(), list.size()), list.size());
  EXPECT_EQ(MeasureIdList(list.data(), list.size() + 7), list.size());
  EXPECT_FALSE(MeasureIdList(list.data(), list.size() - 1));
  EXPECT_FALSE(MeasureIdList(list.data(), 1));
  EXPECT_FALSE(MeasureIdList(nullptr, 10));
  std::uint8_t one_byte_item[] = {1, 0, 0, 0};
  EXPECT_FALSE(MeasureIdList(one_byte_item, sizeof one_byte_item));
  std::uint8_t too_long[] = {9, 0, 'x', 0, 0};
  EXPECT_FALSE(MeasureIdList(too_long, sizeof too_long));
}

}  // namespace
}  // namespace stampwell
