// The application's message boxes and guard: what the plain message, the question and the
// default error report show, and which errors the guard reports or drops.
#include "framework/application.h"

#include <gtest/gtest.h>

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

TEST(Application, PlainMessageQuestionAndErrorReport) {
  Application().SetTitle("Quendra Stampwell");
  Boxes boxes(IDNO);
  Application().ShowMessage("line one\rline two");
  EXPECT_FALSE(Application().AskYesNo("Exit Setup?", "Tip"));
  Application().ShowException("Access denied");
  ASSERT_EQ(boxes.shown.size(), 3u);
  EXPECT_EQ(boxes.shown[0].text, "line one\rline two");
  EXPECT_EQ(boxes.shown[0].caption, "Quendra Stampwell");
  EXPECT_EQ(boxes.shown[0].flags, static_cast<unsigned>(MB_OK));
  EXPECT_EQ(boxes.shown[1].caption, "Tip");
  EXPECT_EQ(boxes.shown[1].flags, static_cast<unsigned>(MB_YESNO));
  EXPECT_EQ(boxes.shown[2].text, "Access denied.");
  EXPECT_EQ(boxes.shown[2].flags, static_cast<unsigned>(MB_OK | MB_ICONSTOP));
}

TEST(Application, GuardReportsErrorsAndDropsTheSilentAbort) {
  Boxes boxes;
  Application().Guard([] { throw Exception("Disk full"); });
  Application().Guard([] { Abort(); });
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

TEST(Application, OleErrorCarriesTheCodeAndTheSystemText) {
  EOleError error(E_OUTOFMEMORY);
  EXPECT_EQ(error.ErrorCode(), E_OUTOFMEMORY);
  EXPECT_EQ(error.Message(), SystemErrorText(E_OUTOFMEMORY));
  EXPECT_NE(error.Message().back(), '\n');
  EXPECT_NE(SystemErrorText(static_cast<HRESULT>(0xA0CDEF12)).find("A0CDEF12"), std::string::npos);
}

}  // namespace
}  // namespace stampwell
