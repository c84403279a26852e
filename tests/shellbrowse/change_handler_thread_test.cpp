// The change-notification worker on real folders of the test prefix. Wine reports changes of
// direct children only, so every change here is made directly inside a watched folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "shellbrowse/notification/change_handler_thread.h"
#include "tests/shellbrowse/notify_test_support.h"
#include "tests/shellbrowse/shell_test_support.h"

namespace stampwell {
namespace {

using testing::HandleCount;
using testing::PostedMessageRecorder;
using testing::PumpUntil;
using testing::ScratchDirectory;

constexpr UINT kChangeMessage = 0x465;

TEST(ChangeHandlerThread, PostsTheSlotOfTheFolderThatChanged) {
  ScratchDirectory first("notify_first"), second("notify_second");
  PostedMessageRecorder owner(kChangeMessage);
  TChangeHandlerThread worker(owner.window(), kChangeMessage);

  int slot = -2;
  ASSERT_TRUE(worker.AddWatch(first.path(), FILE_NOTIFY_CHANGE_DIR_NAME, true, &slot));
  EXPECT_EQ(slot, 0);
  ASSERT_TRUE(worker.AddWatch(second.path(), FILE_NOTIFY_CHANGE_DIR_NAME, true, &slot));
  EXPECT_EQ(slot, 1);

  ASSERT_TRUE(CreateDirectoryA((second.path() + "\\new").c_str(), nullptr));
  ASSERT_TRUE(PumpUntil([&] { return !owner.received().empty(); }));
  EXPECT_EQ(owner.received().front(), 1u);

  // The handle was re-armed: a second change in the same folder is reported again.
  owner.clear();
  ASSERT_TRUE(CreateDirectoryA((second.path() + "\\newer").c_str(), nullptr));
  ASSERT_TRUE(PumpUntil([&] { return !owner.received().empty(); }));
  EXPECT_EQ(owner.received().front(), 1u);

  // After all watches are gone nothing is posted, and slots are handed out from 0 again.
  worker.RemoveAllWatches();
  owner.clear();
  ASSERT_TRUE(CreateDirectoryA((first.path() + "\\late").c_str(), nullptr));
  EXPECT_FALSE(PumpUntil([&] { return !owner.received().empty(); }, 500));
  ASSERT_TRUE(worker.AddWatch(first.path(), FILE_NOTIFY_CHANGE_DIR_NAME, false, &slot));
  EXPECT_EQ(slot, 0);
}

TEST(ChangeHandlerThread, RefusesWhatCannotBeWatched) {
  TChangeHandlerThread worker(nullptr, kChangeMessage);
  int slot = 7;
  EXPECT_FALSE(worker.AddWatch("", FILE_NOTIFY_CHANGE_DIR_NAME, true, &slot));
  EXPECT_EQ(slot, -1);
  slot = 7;
  EXPECT_FALSE(worker.AddWatch("C:\\no such folder\\anywhere", FILE_NOTIFY_CHANGE_DIR_NAME, true, &slot));
  EXPECT_EQ(slot, -1);
}

TEST(ChangeHandlerThread, SixtyThreeSlotsThenFailureWithoutALeak) {
  ScratchDirectory folder("notify_full");
  TChangeHandlerThread worker(nullptr, kChangeMessage);
  for (int expected = 0; expected < TChangeHandlerThread::kSlotCount; ++expected) {
    int slot = -2;
    ASSERT_TRUE(worker.AddWatch(folder.path(), FILE_NOTIFY_CHANGE_DIR_NAME, false, &slot));
    ASSERT_EQ(slot, expected);
  }
  // The 64th watch finds no slot; the handle made for it is closed, not left pending to leak
  // when the next watch is tried.
  int handles = HandleCount();
  for (int attempt = 0; attempt < 3; ++attempt) {
    int slot = -2;
    EXPECT_FALSE(worker.AddWatch(folder.path(), FILE_NOTIFY_CHANGE_DIR_NAME, false, &slot));
    EXPECT_EQ(slot, -1);
  }
  EXPECT_EQ(HandleCount(), handles);
}

TEST(ChangeHandlerThread, EndsWhileWatchesFireAndClosesEveryHandle) {
  ScratchDirectory folder("notify_busy");
  PostedMessageRecorder owner(kChangeMessage);
  int handles_before = HandleCount();
  std::optional<TChangeHandlerThread> worker;
  worker.emplace(owner.window(), kChangeMessage);
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(worker->AddWatch(folder.path(), FILE_NOTIFY_CHANGE_DIR_NAME, false, nullptr));
  }
  std::atomic<bool> stop{false};
  std::thread churn([&] {
    std::string child = folder.path() + "\\churn";
    while (!stop.load()) {
      CreateDirectoryA(child.c_str(), nullptr);
      RemoveDirectoryA(child.c_str());
    }
  });
  bool fired = PumpUntil([&] { return owner.received().size() >= 10; });
  DWORD start = GetTickCount();
  worker.reset();
  DWORD took = GetTickCount() - start;
  stop.store(true);
  churn.join();
  EXPECT_TRUE(fired);
  EXPECT_LT(took, TChangeHandlerThread::kEndTimeoutMs);
  EXPECT_EQ(HandleCount(), handles_before);
}

}  // namespace
}  // namespace stampwell
