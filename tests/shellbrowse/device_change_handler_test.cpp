// The device-change dispatcher: real WM_DEVICECHANGE broadcasts through the prefix's windows,
// handlers called later from the posted message, in registration order.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>

#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/application.h"
#include "shellbrowse/notification/device_change_handler.h"
#include "shellbrowse/toolbox/shell_toolbox.h"
#include "tests/shellbrowse/notify_test_support.h"

namespace stampwell {
namespace {

using testing::PumpUntil;

struct Call {
  int handler;
  WPARAM event;
  bool operator==(const Call&) const = default;
};


class Handler {
 public:
  Handler(int id, std::vector<Call>& calls) : id_(id), calls_(calls) {}
  void DeviceChange(TPTDeviceChangeHandler& sender, const MSG& message) {
    EXPECT_EQ(&sender, &GetDeviceChangeHandler());
    EXPECT_EQ(message.message, TPTDeviceChangeHandler::kDispatchMessage);
    calls_.push_back({id_, message.wParam});
    if (message.lParam && message.wParam == DBT_DEVICEARRIVAL) {
      const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(message.lParam);
      seen_unit_mask = volume->dbcv_unitmask;
    }
    if (raises) throw std::runtime_error("handler " + std::to_string(id_) + " failed");
    if (on_call) on_call();
  }
  TDeviceChangeEvent Event() { return MakeDeviceChangeEvent<&Handler::DeviceChange>(*this); }

  bool raises = false;
  std::function<void()> on_call;
  DWORD seen_unit_mask = 0;

 private:
  int id_;
  std::vector<Call>& calls_;
};

class DeviceChangeHandlerTest : public ::testing::Test {
 protected:
  // Every box the application would show is answered here and its text kept.
  ScopedMessageBoxHandler boxes{[this](const std::string& text, const std::string&, unsigned flags) {
    reported.push_back(text);
    EXPECT_TRUE(flags & MB_ICONSTOP);
    return IDOK;
  }};
  std::vector<std::string> reported;
  void TearDown() override { FreeDeviceChangeHandler(); }

  static void Broadcast(WPARAM event) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_DEVICECHANGE, event, 0, SMTO_ABORTIFHUNG, 5000, &result);
  }

  std::vector<Call> calls;
};

TEST_F(DeviceChangeHandlerTest, BroadcastsReachEveryHandlerInOrderFromThePostedMessage) {
  Handler a(1, calls), b(2, calls), c(3, calls);
  TPTDeviceChangeHandler& dispatcher = GetDeviceChangeHandler();
  dispatcher.AddHandler(a.Event());
  dispatcher.AddHandler(b.Event());
  dispatcher.AddHandler(c.Event());

  Broadcast(DBT_DEVNODES_CHANGED);
  Broadcast(DBT_CONFIGCHANGED);
  // Answering the broadcast calls no handler; the posted message does.
  EXPECT_TRUE(calls.empty());
  ASSERT_TRUE(PumpUntil([&] { return calls.size() >= 6; }));
  std::vector<Call> expected = {{1, DBT_DEVNODES_CHANGED}, {2, DBT_DEVNODES_CHANGED}, {3, DBT_DEVNODES_CHANGED},
                                {1, DBT_CONFIGCHANGED},    {2, DBT_CONFIGCHANGED},    {3, DBT_CONFIGCHANGED}};
  EXPECT_EQ(calls, expected);
}

TEST_F(DeviceChangeHandlerTest, ARaisingHandlerIsReportedAndTheOthersStillRun) {
  Handler a(1, calls), b(2, calls), c(3, calls);
  b.raises = true;
  TPTDeviceChangeHandler& dispatcher = GetDeviceChangeHandler();
  dispatcher.AddHandler(a.Event());
  dispatcher.AddHandler(b.Event());
  dispatcher.AddHandler(c.Event());
  Broadcast(DBT_DEVNODES_CHANGED);
  ASSERT_TRUE(PumpUntil([&] { return calls.size() >= 3; }));
  EXPECT_EQ(calls, (std::vector<Call>{{1, DBT_DEVNODES_CHANGED}, {2, DBT_DEVNODES_CHANGED}, {3, DBT_DEVNODES_CHANGED}}));
  EXPECT_EQ(reported, (std::vector<std::string>{"handler 2 failed."}));
}

TEST_F(DeviceChangeHandlerTest, RemovalDisablingAndRemovalFromInsideAHandler) {
  Handler a(1, calls), b(2, calls), c(3, calls);
  TPTDeviceChangeHandler& dispatcher = GetDeviceChangeHandler();
  dispatcher.AddHandler(a.Event());
  dispatcher.AddHandler(b.Event());
  dispatcher.AddHandler(a.Event());
  dispatcher.AddHandler(c.Event());
  // Only the first registration of a goes; the same method of another object is not a.
  dispatcher.RemoveHandler(a.Event());
  // b removes c while the dispatch runs: c is not called, and nothing breaks.
  b.on_call = [&] { dispatcher.RemoveHandler(c.Event()); };
  Broadcast(DBT_DEVNODES_CHANGED);
  ASSERT_TRUE(PumpUntil([&] { return calls.size() >= 2; }));
  PumpUntil([] { return false; }, 100);
  EXPECT_EQ(calls, (std::vector<Call>{{2, DBT_DEVNODES_CHANGED}, {1, DBT_DEVNODES_CHANGED}}));

  calls.clear();
  dispatcher.SetEnabled(false);
  Broadcast(DBT_DEVNODES_CHANGED);
  PumpUntil([] { return false; }, 200);
  EXPECT_TRUE(calls.empty());
}

TEST_F(DeviceChangeHandlerTest, HandlersReadTheBroadcastBlockAfterTheSenderHasDroppedIt) {
  Handler a(1, calls);
  TPTDeviceChangeHandler& dispatcher = GetDeviceChangeHandler();
  dispatcher.AddHandler(a.Event());
  {
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << ('X' - 'A');
    SendMessageA(dispatcher.Handle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume));
    // The sender's block is gone once the broadcast is answered.
    std::memset(&volume, 0xCC, sizeof volume);
  }
  ASSERT_TRUE(PumpUntil([&] { return !calls.empty(); }));
  EXPECT_EQ(a.seen_unit_mask, 1u << ('X' - 'A'));
}

TEST_F(DeviceChangeHandlerTest, TheShellSubsystemsEndFreesTheDispatcherAndItsWindow) {
  ShellToolboxStart();
  HWND window = GetDeviceChangeHandler().Handle();
  ASSERT_TRUE(IsWindow(window));
  ShellToolboxEnd();
  EXPECT_FALSE(IsWindow(window));
  // A later use makes a new one, which the next end frees again.
  ShellToolboxStart();
  HWND again = GetDeviceChangeHandler().Handle();
  EXPECT_TRUE(IsWindow(again));
  ShellToolboxEnd();
  EXPECT_FALSE(IsWindow(again));
}

}  // namespace
}  // namespace stampwell
