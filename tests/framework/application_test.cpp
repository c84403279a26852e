// The application's message boxes, guard and idle tasks: what the plain message, the question
// and the default error report show, which errors the guard reports or drops, and when the
// work given to RunWhenIdle runs against the messages around it.
#include "framework/application.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/events.h"
#include "framework/ole_error.h"

namespace stampwell {
namespace {

struct Box {
  std::string text, caption;
  unsigned flags;
};

class Boxes {
 public:
  explicit Boxes(int answer = IDOK)
      : handler_([this, answer](const std::string& t, const std::string& c, unsigned f) {
          shown.push_back({t, c, f});
          return answer;
        }) {}
  std::vector<Box> shown;

 private:
  ScopedMessageBoxHandler handler_;
};

TEST(Application, ThePlainMessageShowsItsTextUnderTheTitleWithOneButton) {
  Application().SetTitle("Quendra Stampwell");
  Boxes boxes;
  Application().ShowMessage("line one\rline two");
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "line one\rline two");
  EXPECT_EQ(boxes.shown[0].caption, "Quendra Stampwell");
  EXPECT_EQ(boxes.shown[0].flags, static_cast<unsigned>(MB_OK));
}

TEST(Application, AQuestionHasYesAndNoAndOnlyYesProceeds) {
  Boxes boxes(IDNO);
  EXPECT_FALSE(Application().AskYesNo("Exit Setup?", "Tip"));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].caption, "Tip");
  EXPECT_EQ(boxes.shown[0].flags, static_cast<unsigned>(MB_YESNO));
  Boxes yes(IDYES);
  EXPECT_TRUE(Application().AskYesNo("Exit Setup?", "Tip"));
}

TEST(Application, TheErrorReportEndsTheTextWithAFullStopUnderTheStopIcon) {
  Boxes boxes;
  Application().ShowException("Access denied");
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Access denied.");
  EXPECT_EQ(boxes.shown[0].flags, static_cast<unsigned>(MB_OK | MB_ICONSTOP));
}

TEST(Application, GuardReportsAnErrorThatEscapesAHandler) {
  Boxes boxes;
  Application().Guard([] { throw Exception("Disk full"); });
  Application().Guard([] { OleCheck(E_ACCESSDENIED); });
  bool ran_after = false;
  FireEvent(TNotifyEvent([](TObject*) { throw Exception("From a handler!"); }), nullptr);
  ran_after = true;
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(boxes.shown[0].text, "Disk full.");
  EXPECT_FALSE(boxes.shown[1].text.empty());  // the system's text for E_ACCESSDENIED
  EXPECT_EQ(boxes.shown[1].text.find("OLE error"), std::string::npos) << boxes.shown[1].text;
  EXPECT_EQ(boxes.shown[2].text, "From a handler!");
  EXPECT_TRUE(ran_after);
}

TEST(Application, GuardDropsTheSilentAbort) {
  Boxes boxes;
  Application().Guard([] { Abort(); });
  EXPECT_TRUE(boxes.shown.empty());
}

TEST(Application, OleErrorCarriesTheCodeAndTheSystemText) {
  EOleError error(E_OUTOFMEMORY);
  EXPECT_EQ(error.ErrorCode(), E_OUTOFMEMORY);
  EXPECT_EQ(error.Message(), SystemErrorText(E_OUTOFMEMORY));
  EXPECT_NE(error.Message().back(), '\n');
  EXPECT_NE(SystemErrorText(static_cast<HRESULT>(0xA0CDEF12)).find("A0CDEF12"), std::string::npos);
}

// A window that writes down the messages it gets.
class RecordingWindow {
 public:
  explicit RecordingWindow(std::vector<std::string>& log) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = Procedure;
    window_class.hInstance = ::GetModuleHandleA(nullptr);
    window_class.lpszClassName = "IdleTaskRecordingWindow";
    ::RegisterClassA(&window_class);
    window_ = ::CreateWindowA(window_class.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              window_class.hInstance, nullptr);
    ::SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&log));
  }
  ~RecordingWindow() { ::DestroyWindow(window_); }
  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* log = reinterpret_cast<std::vector<std::string>*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (log && message == WM_APP) log->push_back("message");
    if (log && message == WM_KEYDOWN) log->push_back("key");
    if (log && message == WM_LBUTTONDOWN) log->push_back("click");
    return ::DefWindowProcA(window, message, wparam, lparam);
  }
  HWND window_ = nullptr;
};

TEST(Application, IdleTasksWaitForAnEmptyQueueAndGoBeforeInput) {
  TApplication& application = Application();
  std::vector<std::string> log;
  RecordingWindow window(log);
  application.ProcessMessages();
  auto task = [&log](const char* name) { return [&log, name] { log.push_back(name); }; };

  // Messages already queued come first; then one task per turn of the loop, in order.
  application.RunWhenIdle(task("first"));
  application.RunWhenIdle(task("second"));
  ::PostMessageA(window.Handle(), WM_APP, 0, 0);
  application.HandleMessage();
  EXPECT_EQ(log, (std::vector<std::string>{"message"}));
  application.HandleMessage();
  EXPECT_EQ(log, (std::vector<std::string>{"message", "first"}));
  application.HandleMessage();
  EXPECT_EQ(log, (std::vector<std::string>{"message", "first", "second"}));
  EXPECT_FALSE(application.IdleTasksPending());

  // A key or a click that comes before the queue was ever empty still finds every task done.
  log.clear();
  application.RunWhenIdle(task("first"));
  application.RunWhenIdle(task("second"));
  ::PostMessageA(window.Handle(), WM_KEYDOWN, VK_SPACE, 0);
  application.HandleMessage();
  EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "key"}));
  log.clear();
  application.RunWhenIdle(task("third"));
  ::PostMessageA(window.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  application.ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"third", "click"}));

  // A failing task is reported like an event's error, and the next one still runs.
  Boxes boxes;
  log.clear();
  application.RunWhenIdle([] { throw Exception("No licence text"); });
  application.RunWhenIdle(task("after"));
  application.RunIdleTasks();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "No licence text.");
  EXPECT_EQ(log, (std::vector<std::string>{"after"}));
}

}  // namespace
}  // namespace stampwell
