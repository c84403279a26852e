// The owners of framework/unique_handle.h: each value is freed exactly once, by whichever owner
// holds it last; put() frees the old value before an API writes a new one; moving hands the
// value on and leaves the source empty.
#include "framework/unique_handle.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace stampwell {
namespace {

// Values 1, 2, ... stand for handles; closing one records it. The record is per test.
std::vector<int>* g_closed = nullptr;

struct counted_traits {
  using type = int;
  static constexpr int invalid() noexcept { return 0; }
  static bool is_valid(int value) noexcept { return value != 0; }
  static void close(int value) noexcept { g_closed->push_back(value); }
};
using unique_counted = unique_any<counted_traits>;

class UniqueAny : public ::testing::Test {
 protected:
  UniqueAny() { g_closed = &closed; }
  ~UniqueAny() override { g_closed = nullptr; }
  std::vector<int> closed;
};

TEST_F(UniqueAny, MoveHandsTheValueOnAndClosesItOnce) {
  {
    unique_counted a(1);
    unique_counted b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), 1);
    unique_counted c(2);
    c = std::move(b);  // 2 goes, 1 moves in
    EXPECT_EQ(closed, std::vector<int>{2});
    EXPECT_EQ(c.get(), 1);
  }
  EXPECT_EQ(closed, (std::vector<int>{2, 1}));
}

TEST_F(UniqueAny, ResetClosesTheOldValueAndReleaseClosesNothing) {
  unique_counted a(1);
  a.reset(2);
  EXPECT_EQ(closed, std::vector<int>{1});
  a.reset();
  EXPECT_EQ(closed, (std::vector<int>{1, 2}));
  EXPECT_FALSE(a);
  a.reset();  // an empty owner closes nothing
  EXPECT_EQ(closed.size(), 2u);
  a.reset(3);
  EXPECT_EQ(a.release(), 3);
  EXPECT_FALSE(a);
  EXPECT_EQ(closed.size(), 2u);
}

TEST_F(UniqueAny, PutClosesTheOldValueBeforeTheApiWritesANewOne) {
  unique_counted a(1);
  int* slot = a.put();
  EXPECT_EQ(closed, std::vector<int>{1});
  EXPECT_EQ(*slot, 0);
  *slot = 2;  // what the API writes
  EXPECT_EQ(a.get(), 2);
  *a.put() = 3;
  EXPECT_EQ(closed, (std::vector<int>{1, 2}));
  a.reset();
  EXPECT_EQ(closed, (std::vector<int>{1, 2, 3}));
}

// The same on a real kernel handle: after the owner lets it go, the handle is closed.
TEST(UniqueHandle, AnEventIsClosedWhenItsOwnerGoes) {
  HANDLE raw = nullptr;
  {
    unique_handle event(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    raw = event.get();
    DWORD flags = 0;
    EXPECT_TRUE(::GetHandleInformation(raw, &flags));
  }
  DWORD flags = 0;
  EXPECT_FALSE(::GetHandleInformation(raw, &flags));
}

// A file handle's invalid value is INVALID_HANDLE_VALUE: a failed open leaves an empty owner.
TEST(UniqueHandle, AFailedOpenLeavesAnEmptyFileOwner) {
  unique_file file(::CreateFileA("C:\\stampwell no such folder\\no such file", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_FALSE(file);
  EXPECT_EQ(file.get(), INVALID_HANDLE_VALUE);
}

}  // namespace
}  // namespace stampwell
