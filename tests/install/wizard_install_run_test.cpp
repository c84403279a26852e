// The install run as the wizard window runs it: a real click on Install, the window's own
// pages, its message boxes and its error report, and what is left on disk and in the registry
// when the run stops after its guarded steps.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/wizard_install.h"
#include "framework/application.h"
#include "framework/window_text.h"
#include "install/install_run.h"
#include "install/uninstall_entry.h"
#include "setup/setup_settings.h"
#include "tests/install/install_test_support.h"
#include "tests/install/win32_test_support.h"
#include "tests/wizard/wizard_test_support.h"
#include "wizard/form1.h"

namespace stampwell {
namespace {

using testing::Exists;
using testing::ReadEntryValue;
using wizard::TForm1;
using wizard::testing::MessageBoxAnswerer;
using wizard::testing::Pump;

// Every WM_CLOSE that reaches the wizard, and whether the run was going at that moment.
struct CloseWatch {
  static inline WNDPROC original = nullptr;
  static inline TForm1* form = nullptr;
  static inline int during_run = 0;
  static inline int after_run = 0;
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CLOSE) ++(form->InstallRunning() ? during_run : after_run);
    return CallWindowProcA(original, window, message, wparam, lparam);
  }
  explicit CloseWatch(TForm1& f) {
    form = &f;
    during_run = after_run = 0;
    original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(f.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CloseWatch::Proc)));
  }
  ~CloseWatch() { SetWindowLongPtrA(form->hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original)); }
};

LSTATUS FailAtHelpLink(HKEY key, const char* name, const std::string& data) {
  if (std::string(name) == "HelpLink") return ERROR_ACCESS_DENIED;
  return SetRegistryStringValue(key, name, data);
}

class WizardInstallRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    testing::RemoveInstallationTraces();
    Application().SetTitle(kProductName);  // the caption of every box, as at start-up
    form_ = std::make_unique<TForm1>();
    BindInstallRun(*form_, leftovers_);
    Application().SetMainForm(form_.get());
    form_->Show();
    ::SetForegroundWindow(form_->hwnd());
    form_->ShowPage(kFolderPage);
    form_->Edit1->SetText(scratch_.path() + "Quendra Soft");
    Pump(150);
  }
  void TearDown() override {
    SetRegistryString = &SetRegistryStringValue;
    Application().SetMainForm(nullptr);
    form_.reset();
    Pump(50);
    wizard::testing::TakeQuit();
    Application().ClearTerminated();
    testing::RemoveInstallationTraces();
    OleUninitialize();
  }

  std::string InstallDir() const { return scratch_.path() + "Quendra Soft\\Quendra Stampwell\\"; }
  // A real click on Install; the run goes on inside the click's dispatch.
  void ClickInstall() {
    const TControl& button = *form_->Button_install;
    wizard::testing::ClickAt(wizard::testing::CentreOf(button.Parent()->Handle(), button.BoundsRect()));
    Pump(300);
    ASSERT_FALSE(form_->InstallRunning());
    leftovers_.Wait();  // what the run left over, removed behind the page it ended on
  }

  testing::ScratchFolder scratch_{"wizard-install-run"};
  LeftoverRemoval leftovers_;
  std::unique_ptr<TForm1> form_;
};

TEST_F(WizardInstallRun, CloseRequestsDuringTheRunAreRefusedWithoutAQuestion) {
  CloseWatch watch(*form_);
  // The close requests come from outside while the progress page shows, as the taskbar's and
  // the keyboard's do: a posted close command, Alt+F4 through the input queue, and WM_CLOSE.
  std::atomic<bool> sent{false};
  HWND window = form_->hwnd();
  HWND progress = form_->Page(kProgressPage).Handle();
  std::thread closer([&] {
    for (int i = 0; i < 3000 && !IsWindowVisible(progress); ++i) Sleep(10);
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    INPUT keys[4]{};
    for (INPUT& key : keys) key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[3].ki.wVk = VK_MENU;
    keys[1].ki.wVk = keys[2].ki.wVk = VK_F4;
    keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    PostMessageA(window, WM_CLOSE, 0, 0);
    sent = true;
  });
  MessageBoxAnswerer yes(IDYES);
  ClickInstall();
  closer.join();
  ASSERT_TRUE(sent);

  EXPECT_GE(CloseWatch::during_run, 2) << "the close requests did not reach the window during the run";
  EXPECT_TRUE(yes.seen().empty()) << yes.seen().front().text;
  EXPECT_FALSE(Application().Terminated());
  EXPECT_TRUE(IsWindowVisible(form_->hwnd()));
  EXPECT_EQ(form_->ActivePage(), kFinishPage);
  EXPECT_TRUE(Exists(InstallDir() + "Uninstall.txt"));
  std::string data;
  EXPECT_TRUE(ReadEntryValue("URLUpdateInfo", data));

  // After the run the usual rule holds: the finish page closes without a question.
  SendMessageA(form_->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(yes.seen().empty());
  EXPECT_TRUE(Application().Terminated());
}

// Letters that the ANSI code page lacks, typed into the folder field as a keyboard types
// them: the field keeps them, through the program's own message loop, and the run refuses the
// folder by name; neither the look-alike folder nor any other is made.
TEST_F(WizardInstallRun, FolderTypedBeyondTheCodePageIsRefusedByName) {
  if (GetACP() != 1252) GTEST_SKIP() << "the prefix's ANSI code page is " << GetACP() << ", not 1252";
  const std::wstring lodz = L"\u0141\u00f3d\u017a";  // code page 1252 has "L" and "z" as look-alikes
  form_->Edit1->SetFocus();
  ::SendMessageA(form_->Edit1->Handle(), EM_SETSEL, 0x7fff, 0x7fff);
  Pump(50);
  std::vector<INPUT> keys;
  for (wchar_t c : std::wstring(L"\\") + lodz) {
    for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT key{};
      key.type = INPUT_KEYBOARD;
      key.ki.wScan = c;
      key.ki.dwFlags = KEYEVENTF_UNICODE | up;
      keys.push_back(key);
    }
  }
  ASSERT_EQ(SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)), keys.size());
  const std::wstring typed = WideFromAnsi(scratch_.path() + "Quendra Soft\\") + lodz;
  for (int i = 0; i < 500 && form_->Edit1->WideText() != typed; ++i) {
    Application().ProcessMessages();
    Sleep(10);
  }
  ASSERT_TRUE(form_->Edit1->WideText() == typed) << form_->Edit1->Text();

  MessageBoxAnswerer ok(IDOK);
  ClickInstall();
  ASSERT_EQ(ok.seen().size(), 1u);
  EXPECT_EQ(ok.seen()[0].text, kFolderBeyondCodePageMessage);
  EXPECT_EQ(form_->ActivePage(), kFolderPage);
  EXPECT_TRUE(form_->Edit1->WideText() == typed);  // left for the user to change
  EXPECT_FALSE(Exists(scratch_.path() + "Quendra Soft"));
}

// Wine grants every registry write of an opened key, so the registry's refusal is a seam here;
// the rest of the run and the window are real. The run is taken back whole and says why.
TEST_F(WizardInstallRun, RegistryValueThatCannotBeWrittenTakesTheRunBackAndNamesTheValue) {
  SetRegistryString = &FailAtHelpLink;
  MessageBoxAnswerer ok(IDOK);
  ClickInstall();

  ASSERT_EQ(ok.seen().size(), 1u);
  EXPECT_EQ(ok.seen()[0].text, std::string("Failed to set data for 'HelpLink'\r") + kRunTakenBackNote);
  EXPECT_EQ(ok.seen()[0].caption, "Quendra Stampwell");
  EXPECT_EQ(form_->ActivePage(), kFolderPage);
  EXPECT_FALSE(Exists(scratch_.path() + "Quendra Soft"));
  EXPECT_FALSE(Exists(testing::DesktopLinkFile()));
  EXPECT_FALSE(Exists(testing::StartMenuGroupFolder()));
  std::string data;
  EXPECT_FALSE(ReadEntryValue("DisplayName", data));
}

}  // namespace
}  // namespace stampwell
