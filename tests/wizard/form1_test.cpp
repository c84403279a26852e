// The wizard window, created for real and driven with real input under Wine.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <string>
#include <vector>

#include "setup/product_title.h"
#include "setup/setup_settings.h"
#include "setup/system_queries.h"
#include "framework/unique_handle.h"
#include "framework/window_text.h"
#include "wizard/form1.h"
#include "wizard/form2.h"
#include "wizard/seams.h"
#include "wizard/user_start.h"
#include "tests/shellbrowse/folder_browse_test_support.h"
#include "shown_wizard.h"
#include "wizard_test_support.h"
#include "tests/support/free_space_match.h"

namespace stampwell::wizard {
namespace {

using testing::Pump;

// A 32-bit program in the 64-bit prefix runs under WOW64 and so installs below
// "Program Files (x86)"; the 64-bit build of these tests (machines without 32-bit support)
// is a native program.
const std::string kProgramFiles = sizeof(void*) == 4 ? "C:\\Program Files (x86)" : "C:\\Program Files";

// What the window shows of a control, not what the object remembers.
std::string Text(TWinControl* control) {
  char text[512] = {};
  ::GetWindowTextA(control->Handle(), text, sizeof text);
  return text;
}

bool Checked(TCheckBox* box) { return ::SendMessageA(box->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

// A point of a windowless control on its page, in screen coordinates.
POINT CentreOf(const TControl& control) {
  return testing::CentreOf(control.Parent()->Handle(), control.BoundsRect());
}

// The colour that the page shows at the centre of a windowless control.
COLORREF ShownAtCentre(TControl& control) {
  auto* page = dynamic_cast<TCustomControl*>(control.Parent());
  const RECT r = control.BoundsRect();
  return page->SurfacePixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// The colour of frame `frame` of an image button's strip at the frame's centre.
COLORREF StripAtCentre(const TYCLButton& button, int frame) {
  const TBitmap& strip = button.Picture().Bitmap();
  const int x = frame * button.FrameWidth() + button.FrameWidth() / 2, y = button.FrameHeight() / 2;
  return ::GetPixel(strip.DC(), x, y);
}

class WizardWindow : public testing::ShownWizard {};

TEST_F(WizardWindow, IsCentredAndTrimmedAndShowsTheFirstPageWithoutTabs) {
  RECT window;
  ::GetWindowRect(form_->hwnd(), &window);
  // The test screen is 1024 x 768.
  EXPECT_EQ(window.left, 212);
  EXPECT_EQ(window.top, 209);
  EXPECT_EQ(window.right - window.left, 600);
  EXPECT_EQ(window.bottom - window.top, 350);
  RECT client;
  ::GetClientRect(form_->hwnd(), &client);
  EXPECT_EQ(client.right, 600);
  EXPECT_EQ(client.bottom, 350);

  RECT control = form_->PageControl1->BoundsRect();
  EXPECT_EQ(control.left, -4);
  EXPECT_EQ(control.top, -6);
  EXPECT_EQ(control.right - control.left, 608);
  EXPECT_EQ(control.bottom - control.top, 361);

  EXPECT_EQ(form_->ActivePage(), kChoicePage);
  for (int i = 0; i < 5; ++i) {
    EXPECT_FALSE(form_->Page(i).TabVisible()) << i;
    EXPECT_EQ(::IsWindowVisible(form_->Page(i).Handle()) != FALSE, i == 0) << i;
    // A page's origin is the window's: its picture fills the client area exactly.
    RECT page;
    ::GetWindowRect(form_->Page(i).Handle(), &page);
    ::MapWindowPoints(HWND_DESKTOP, form_->hwnd(), reinterpret_cast<POINT*>(&page), 2);
    EXPECT_EQ(page.left, 0) << i;
    EXPECT_EQ(page.top, 0) << i;
    EXPECT_GE(page.right, 600) << i;
    EXPECT_GE(page.bottom, 350) << i;
  }
  // Controls sit at their page positions, in window coordinates.
  RECT box;
  ::GetWindowRect(form_->CheckBox5->Handle(), &box);
  ::MapWindowPoints(HWND_DESKTOP, form_->hwnd(), reinterpret_cast<POINT*>(&box), 2);
  EXPECT_EQ(box.left, 16);
  EXPECT_EQ(box.top, 320);
  EXPECT_EQ(box.right - box.left, 79);
  EXPECT_EQ(form_->Button_QuickInstall->Left(), 158);
  EXPECT_EQ(form_->Button_QuickInstall->Width(), 288);
  EXPECT_EQ(form_->Button_QuickInstall->Height(), 71);
  EXPECT_EQ(form_->CloseButton(0).Width(), 14);
  // Every image button fades on hover: its picture turned the animation on.
  for (TYCLButton* button : {form_->Button_QuickInstall, form_->Button_custominstall, form_->Button_install,
                             form_->Button_browse, form_->Button_back, form_->Button_finish, &form_->CloseButton(0)}) {
    EXPECT_TRUE(button->Ani()) << button->Name();
  }
  // Present and never shown.
  EXPECT_FALSE(::IsWindowVisible(form_->ProgressBar1->Handle()));
  EXPECT_FALSE(::IsWindowVisible(form_->Button14->Handle()));
  EXPECT_FALSE(::IsWindowVisible(form_->Button19->Handle()));
  EXPECT_FALSE(::IsWindowVisible(form_->ListBox1->Handle()));
  EXPECT_FALSE(::IsWindowVisible(form_->ListBox2->Handle()));
  EXPECT_FALSE(form_->Label36->Visible());
  EXPECT_FALSE(form_->Label9->Visible());
  EXPECT_FALSE(form_->CloseButton(3).Visible());
  // The licence page holds the agreement, read-only.
  EXPECT_EQ(Text(form_->Memo1).rfind("END USER LICENSE AGREEMENT", 0), 0u);
  EXPECT_TRUE(::GetWindowLongA(form_->Memo1->Handle(), GWL_STYLE) & ES_READONLY);
}

TEST_F(WizardWindow, NameLabelsFollowTheCaptionWhateverTheLayoutSays) {
  EXPECT_EQ(ProductTitle(), "Quendra Stampwell");
  // A different caption before the creation step reaches every reader of the name. (The
  // step's trims run again too; this test looks at the texts only.)
  ::SetWindowTextA(form_->hwnd(), "Other Name");
  form_->FormCreate();
  for (TLabel* label : {form_->Label1, form_->Label2, form_->Label3, form_->Label4}) {
    EXPECT_EQ(label->Caption(), "Other Name") << label->Name();
  }
  EXPECT_EQ(Text(form_->CheckBox3), "Launch Other Name");
  EXPECT_EQ(form_->label5->Caption(), "Congratulations! Other Name has been successfully installed.");
  EXPECT_TRUE(form_->label5->Center());
  // The folder field, the one that Custom Install proposes too, and its free-space text.
  EXPECT_EQ(Text(form_->Edit1), kProgramFiles + "\\Quendra Soft");
  // The free space itself moves while other programs write to the disk: compare the shape.
  EXPECT_EQ(form_->Label36->Caption().rfind("Space available: ", 0), 0u) << form_->Label36->Caption();
  EXPECT_EQ(Settings().ArchSuffix, sizeof(void*) == 4 ? " (x86)" : "");
  EXPECT_EQ(Settings().PublisherName, "Quendra Soft");
  EXPECT_EQ(Settings().FinishPageUrl, kFinishPageUrl);
  EXPECT_FALSE(Settings().QuickInstallMode);
}

TEST_F(WizardWindow, EveryClickOnTheAcceptanceBoxTogglesOnce) {
  ASSERT_TRUE(Checked(form_->CheckBox5));
  ASSERT_TRUE(form_->Button_QuickInstall->Enabled());
  const POINT box = testing::CentreOf(form_->CheckBox5->Handle());

  testing::ClickAt(box);
  Pump(150, form_->hwnd());
  EXPECT_FALSE(Checked(form_->CheckBox5));
  EXPECT_FALSE(form_->Button_QuickInstall->Enabled());
  EXPECT_FALSE(form_->Button_custominstall->Enabled());
  // The disabled buttons show the strip's disabled frame.
  EXPECT_EQ(ShownAtCentre(*form_->Button_QuickInstall), StripAtCentre(*form_->Button_QuickInstall, 3));
  // The box keeps the focus, but a mouse user is shown no focus rectangle, unless the user's
  // own setting shows keyboard cues always: the system then keeps no hidden state at all
  // (Wine's default; on Windows the setting is off unless the user turns it on).
  EXPECT_EQ(::GetFocus(), form_->CheckBox5->Handle());
  BOOL cues_always = FALSE;
  ::SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cues_always, 0);
  if (!cues_always) {
    EXPECT_TRUE(::SendMessageA(form_->CheckBox5->Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
  }

  testing::ClickAt(box);
  Pump(150, form_->hwnd());
  EXPECT_TRUE(Checked(form_->CheckBox5));
  EXPECT_TRUE(form_->Button_QuickInstall->Enabled());
  EXPECT_TRUE(form_->Button_custominstall->Enabled());
  EXPECT_EQ(ShownAtCentre(*form_->Button_custominstall), StripAtCentre(*form_->Button_custominstall, 0));

  // Going to another window and back gives the focus back without toggling.
  ::SetActiveWindow(::GetDesktopWindow());
  ::SetForegroundWindow(form_->hwnd());
  Pump(150, form_->hwnd());
  EXPECT_TRUE(Checked(form_->CheckBox5));

  // The licence page's accept button always ends accepted, and returns to page 0.
  testing::ClickAt(box);
  Pump(150, form_->hwnd());
  ASSERT_FALSE(Checked(form_->CheckBox5));
  form_->ShowPage(kLicencePage);
  form_->Button17Click();
  EXPECT_TRUE(Checked(form_->CheckBox5));
  EXPECT_TRUE(form_->Button_QuickInstall->Enabled());
  EXPECT_EQ(form_->ActivePage(), kChoicePage);
}

TEST_F(WizardWindow, ClosingAsksOnEveryPageButTheLast) {
  Application().SetMainForm(form_.get());
  {
    testing::MessageBoxAnswerer no(IDNO);
    testing::ClickAt(CentreOf(form_->CloseButton(0)));
    Pump(300, form_->hwnd());
    ASSERT_EQ(no.seen().size(), 1u);
    EXPECT_EQ(no.seen()[0].caption, "Tip");
    EXPECT_EQ(no.seen()[0].text,
              "If you exit now, the program will not be installed.\r"
              "You may run setup again another time to complete the installation.\r"
              "Exit Setup?");
    EXPECT_FALSE(no.seen()[0].has_icon);
    EXPECT_EQ(no.seen()[0].buttons, static_cast<unsigned>(MB_YESNO));
  }
  EXPECT_TRUE(::IsWindowVisible(form_->hwnd()));
  EXPECT_FALSE(Application().Terminated());
  {
    testing::MessageBoxAnswerer yes(IDYES);
    ::SendMessageA(form_->hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(yes.seen().size(), 1u);
  }
  EXPECT_TRUE(Application().Terminated());
  EXPECT_TRUE(testing::TakeQuit());
}

TEST_F(WizardWindow, TheFinishPageClosesWithoutAQuestion) {
  Application().SetMainForm(form_.get());
  form_->ShowPage(kFinishPage);
  testing::MessageBoxAnswerer answerer(IDNO);
  ::SendMessageA(form_->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(answerer.seen().empty());
  EXPECT_TRUE(Application().Terminated());
}

// An uninstall entry of the current user for the test's time; the key is removed after.
class UninstallEntryOverride {
 public:
  explicit UninstallEntryOverride(const std::string& location) {
    RegCreateKeyExA(HKEY_CURRENT_USER, kUninstallKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key_.put(), nullptr);
    RegSetValueExA(key_.get(), "InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(location.c_str()),
                   static_cast<DWORD>(location.size() + 1));
  }
  ~UninstallEntryOverride() {
    key_.reset();
    RegDeleteKeyA(HKEY_CURRENT_USER, kUninstallKeyPath);
  }
  UninstallEntryOverride(const UninstallEntryOverride&) = delete;
  UninstallEntryOverride& operator=(const UninstallEntryOverride&) = delete;

 private:
  unique_hkey key_;
};

TEST_F(WizardWindow, BothInstallButtonsProposeTheInstallationThatTheEntryNames) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "wizard-existing\\Quendra Soft";
  const std::string dir = folder + "\\Quendra Stampwell\\";
  ASSERT_TRUE(SHCreateDirectoryExA(nullptr, dir.c_str(), nullptr) == ERROR_SUCCESS ||
              GetLastError() == ERROR_ALREADY_EXISTS);
  { std::ofstream(dir + "Stampwell.exe") << "the product"; }
  {
    UninstallEntryOverride entry(dir);
    form_->FormCreate();  // what Quick Install takes
    EXPECT_EQ(Text(form_->Edit1), folder);
    form_->Button_custominstallClick();
    EXPECT_EQ(Text(form_->Edit1), folder);

    // A folder that no longer holds the product is no installation: the account's default.
    DeleteFileA((dir + "Stampwell.exe").c_str());
    form_->Button_custominstallClick();
    EXPECT_EQ(Text(form_->Edit1), kProgramFiles + "\\Quendra Soft");
  }
  RemoveDirectoryA(dir.c_str());
  RemoveDirectoryA(folder.c_str());
  RemoveDirectoryA((std::string(temp) + "wizard-existing").c_str());
}

bool g_administrator = true;
bool FakeAdministrator() { return g_administrator; }

TEST_F(WizardWindow, CustomInstallFillsTheDefaultFolderOfTheAccount) {
  auto real = seams::IsUserAdministrator;
  seams::IsUserAdministrator = &FakeAdministrator;
  g_administrator = true;
  testing::ClickAt(CentreOf(*form_->Button_custominstall));
  Pump(200, form_->hwnd());
  EXPECT_EQ(form_->ActivePage(), kFolderPage);
  // 64-bit prefix, system on C:.
  EXPECT_EQ(Text(form_->Edit1), kProgramFiles + "\\Quendra Soft");
  EXPECT_EQ(form_->Label36->Caption().rfind("Space available: ", 0), 0u) << form_->Label36->Caption();

  form_->Button_backClick();
  EXPECT_EQ(form_->ActivePage(), kChoicePage);
  g_administrator = false;
  form_->Button_custominstallClick();
  EXPECT_EQ(Text(form_->Edit1), GetSpecialFolderPath(CSIDL_PERSONAL) + "\\Quendra Soft");
  seams::IsUserAdministrator = real;

  // A field whose drive gets no text leaves an empty free-space text; a short one is harmless.
  ::SetWindowTextA(form_->Edit1->Handle(), "\\\\server\\share");
  EXPECT_EQ(form_->Label36->Caption(), "");
  ::SetWindowTextA(form_->Edit1->Handle(), "C");
  EXPECT_EQ(form_->Label36->Caption(), "");
}

TEST_F(WizardWindow, BrowseStartsAtTheFolderFieldAndPutsTheChosenFolderBack) {
  // The window's own dialog, with the options that its layout gives it.
  EXPECT_EQ(form_->FolderBrowseDlg1->Options, FolderBrowseOption(ptfbCreateDeleteButtons) |
                                                  FolderBrowseOption(ptfbContextMenus) |
                                                  FolderBrowseOption(ptfbShowHidden));
  form_->Button_custominstallClick();
  char windows[MAX_PATH] = {};
  ::GetWindowsDirectoryA(windows, MAX_PATH);
  // Typed in another letter case: the shell gives the folder back in its own.
  std::string typed = windows;
  for (char& c : typed) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
  form_->Edit1->SetText(typed);
  form_->SetFreeSpaceText("unset");
  using Form = TPTFrmFolderBrowseDlg;

  {
    std::string shown_caption, selected;
    stampwell::testing::ModalDriver driver(*form_->FolderBrowseDlg1, {[&](Form& f) {
      shown_caption = WindowText(f.Handle());
      selected = f.PTShellTree1->GetSelectedPath();
    }, stampwell::testing::PressEscape});
    testing::ClickAt(CentreOf(*form_->Button_browse));
    Pump(400, form_->hwnd());
    EXPECT_EQ(driver.StepsRun(), 2u);
    EXPECT_EQ(shown_caption, "Browse for Folder");
    EXPECT_EQ(::lstrcmpiA(selected.c_str(), windows), 0) << selected;
  }
  // Cancelled: the field stays as typed, the free-space label is refreshed all the same.
  EXPECT_EQ(Text(form_->Edit1), typed);
  EXPECT_TRUE(stampwell::testing::SameFreeSpace(form_->Label36->Caption(), GetFreeSpaceText(typed)));

  {
    stampwell::testing::ModalDriver driver(*form_->FolderBrowseDlg1, {stampwell::testing::PressOk});
    testing::ClickAt(CentreOf(*form_->Button_browse));
    Pump(400, form_->hwnd());
    EXPECT_EQ(driver.StepsRun(), 1u);
  }
  EXPECT_EQ(Text(form_->Edit1), std::string(windows));
  EXPECT_FALSE(form_->FolderBrowseDlg1->Executing());
  EXPECT_EQ(form_->ActivePage(), kFolderPage);
}

struct ShellCall {
  HWND owner;
  std::string verb, file;
  bool params_null, dir_null;
  int show;
  bool wizard_visible;
};
std::vector<std::string> g_events;
std::vector<ShellCall> g_calls;
HWND g_wizard = nullptr;

HINSTANCE WINAPI FakeShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR params, LPCSTR dir, INT show) {
  g_calls.push_back({owner, verb ? verb : "(default)", file ? file : "", params == nullptr, dir == nullptr,
                     show, ::IsWindowVisible(g_wizard) != FALSE});
  g_events.push_back("shell " + g_calls.back().file);
  return reinterpret_cast<HINSTANCE>(42);
}
void WINAPI FakeSleep(DWORD ms) { g_events.push_back("sleep " + std::to_string(ms)); }

HRESULT NoDesktopShell(IShellDispatch2** shell) {
  *shell = nullptr;
  g_events.push_back("desktop shell asked");
  return HRESULT_FROM_WIN32(ERROR_SERVICE_NOT_ACTIVE);
}

// Where no desktop shell answers (none runs, or a step of the search fails), the finish
// sequence starts the page and the product itself, exactly as it always did.
TEST_F(WizardWindow, FinishWithoutADesktopShellHidesOpensTheSiteWaitsStartsTheProductAndEnds) {
  auto real_shell = seams::ShellExecute;
  auto real_sleep = seams::Sleep;
  auto real_find = seams::FindDesktopShell;
  seams::ShellExecute = &FakeShellExecute;
  seams::Sleep = &FakeSleep;
  seams::FindDesktopShell = &NoDesktopShell;
  Application().SetMainForm(form_.get());
  TForm2 licence;
  form_->SetLicenceWindow(&licence);
  licence.ShowCentred();
  Pump(100);
  g_wizard = form_->hwnd();
  Settings().InstallDir = "C:\\Program Files (x86)\\Quendra Soft\\Quendra Stampwell\\";

  for (bool launch : {true, false}) {
    g_events.clear();
    g_calls.clear();
    form_->Show();
    form_->ShowPage(kFinishPage);
    ::SendMessageA(form_->CheckBox3->Handle(), BM_SETCHECK, launch ? BST_CHECKED : BST_UNCHECKED, 0);
    form_->Button_finishClick();
    EXPECT_FALSE(::IsWindowVisible(form_->hwnd()));
    EXPECT_FALSE(::IsWindowVisible(licence.hwnd()));
    std::vector<std::string> expected = {"desktop shell asked", "shell " + std::string(kFinishPageUrl), "sleep 1500"};
    if (launch) expected.push_back("shell C:\\Program Files (x86)\\Quendra Soft\\Quendra Stampwell\\Stampwell.exe");
    EXPECT_EQ(g_events, expected);
    ASSERT_GE(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].owner, form_->hwnd());
    EXPECT_EQ(g_calls[0].verb, "(default)");
    EXPECT_TRUE(g_calls[0].params_null && g_calls[0].dir_null);
    EXPECT_EQ(g_calls[0].show, SW_SHOWNOACTIVATE);
    EXPECT_FALSE(g_calls[0].wizard_visible);
    if (launch) {
      ASSERT_EQ(g_calls.size(), 2u);
      EXPECT_EQ(g_calls[1].verb, "open");
      EXPECT_TRUE(g_calls[1].params_null && g_calls[1].dir_null);
      EXPECT_EQ(g_calls[1].show, SW_SHOWNORMAL);
    }
    EXPECT_TRUE(Application().Terminated());
    Application().ClearTerminated();
    testing::TakeQuit();
  }
  form_->SetLicenceWindow(nullptr);
  seams::ShellExecute = real_shell;
  seams::Sleep = real_sleep;
  seams::FindDesktopShell = real_find;
  Settings().InstallDir.clear();
}

// The page and the product must not inherit the setup's administrator token: the desktop's
// shell starts them, so they run as the shell's user. On Windows that is the unelevated user;
// under Wine every process has the same token, so what this checks is who starts them: the
// desktop's shell process (Wine's explorer.exe, whose shell windows list, desktop browser,
// active view, background object and IShellDispatch2 answer the whole search), not the setup.
// The finish probe stands in for both, so that no browser starts.
std::string ProbeRecord(const std::string& program) {
  std::ifstream in(program + ".started");
  std::string record;
  std::getline(in, record);
  return record;
}

std::string WaitForProbe(const std::string& program) {
  for (int i = 0; i < 150 && ProbeRecord(program).empty(); ++i) Pump(100);
  return ProbeRecord(program);
}

std::string ProbeFolder() {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "finish start " + std::to_string(::GetCurrentProcessId()) + "\\";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string FinishProbeProgram() {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.find_last_of('\\') + 1) + "finish_probe.exe";
}

TEST_F(WizardWindow, FinishStartsThePageAndTheProductThroughTheDesktopShell) {
  Microsoft::WRL::ComPtr<IShellDispatch2> shell;
  // The desktop's shell registers its window list when it has started; a session whose desktop
  // process is new (a test before this one ended the wineserver) answers "class not registered"
  // until then, so the test gives it time. The setup itself falls back to starting directly.
  HRESULT found = FindDesktopShellDispatch(&shell);
  for (int i = 0; i < 300 && found == REGDB_E_CLASSNOTREG; ++i) {
    Pump(100);
    found = FindDesktopShellDispatch(&shell);
  }
  // A desktop whose shell never registers its window list (its process gone, or a session's
  // desktop that Wine started without one) leaves nothing to start through; the setup then
  // starts directly, which the test without a desktop shell checks. Any other answer is ours.
  if (found == REGDB_E_CLASSNOTREG) GTEST_SKIP() << "this session's desktop has no shell window list after 30 s";
  ASSERT_EQ(found, S_OK) << "Wine's desktop shell no longer answers the search";
  ASSERT_TRUE(shell);
  // On Windows the shell window (Progman) belongs to the desktop's explorer.exe. Wine's
  // explorer.exe registers no shell window (GetShellWindow answers null) but owns the desktop
  // window itself.
  HWND shell_window = ::GetShellWindow() ? ::GetShellWindow() : ::GetDesktopWindow();
  DWORD shell_process = 0;
  ::GetWindowThreadProcessId(shell_window, &shell_process);
  ASSERT_NE(shell_process, 0u) << "no desktop shell process";
  ASSERT_NE(shell_process, ::GetCurrentProcessId());

  const std::string folder = ProbeFolder();
  const std::string page = folder + "page.exe", product = folder + "Stampwell.exe";
  ASSERT_TRUE(::CopyFileA(FinishProbeProgram().c_str(), page.c_str(), FALSE)) << FinishProbeProgram();
  ASSERT_TRUE(::CopyFileA(FinishProbeProgram().c_str(), product.c_str(), FALSE));
  auto real_shell = seams::ShellExecute;
  auto real_sleep = seams::Sleep;
  seams::ShellExecute = &FakeShellExecute;
  seams::Sleep = &FakeSleep;
  g_events.clear();
  g_calls.clear();
  const std::string real_page = Settings().FinishPageUrl;
  Settings().FinishPageUrl = page;
  Settings().InstallDir = folder;
  Application().SetMainForm(form_.get());
  form_->ShowPage(kFinishPage);
  ::SendMessageA(form_->CheckBox3->Handle(), BM_SETCHECK, BST_CHECKED, 0);

  form_->Button_finishClick();
  EXPECT_EQ(g_events, std::vector<std::string>{"sleep 1500"}) << "the setup started something itself";
  EXPECT_TRUE(Application().Terminated());
  Application().ClearTerminated();
  testing::TakeQuit();
  // Started by the shell's process, with the finish sequence's show commands.
  EXPECT_EQ(WaitForProbe(page), std::to_string(shell_process) + " " + std::to_string(SW_SHOWNOACTIVATE));
  EXPECT_EQ(WaitForProbe(product), std::to_string(shell_process) + " " + std::to_string(SW_SHOWNORMAL));

  Settings().FinishPageUrl = real_page;
  Settings().InstallDir.clear();
  seams::ShellExecute = real_shell;
  seams::Sleep = real_sleep;
  for (const std::string& program : {page, product}) {
    ::DeleteFileA((program + ".started").c_str());
    ::DeleteFileA(program.c_str());
  }
  ::RemoveDirectoryA(folder.c_str());
}

TEST_F(WizardWindow, ButtonsOfOtherModulesStayUnboundUntilSetAndThenFire) {
  // Unset events: a click does nothing (and does not crash).
  testing::ClickAt(CentreOf(*form_->Button_QuickInstall));
  Pump(150, form_->hwnd());
  EXPECT_EQ(form_->ActivePage(), kChoicePage);
  int clicks = 0;
  form_->Button_QuickInstallClick = [&] { ++clicks; };
  testing::ClickAt(CentreOf(*form_->Button_QuickInstall));
  Pump(150, form_->hwnd());
  EXPECT_EQ(clicks, 1);
}

TEST_F(WizardWindow, DraggingABackgroundMovesTheWindowAndAControlDoesNot) {
  // Press, move and release go into the input queue together: the system's move loop, which
  // the press starts, takes the move and ends on the release.
  auto drag = [&](POINT from, int dx, int dy) {
    const int cx = ::GetSystemMetrics(SM_CXSCREEN) - 1, cy = ::GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT inputs[5]{};
    POINT points[5] = {from, from, {from.x + dx / 2, from.y + dy / 2}, {from.x + dx, from.y + dy},
                       {from.x + dx, from.y + dy}};
    DWORD flags[5] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_MOVE, MOUSEEVENTF_MOVE,
                      MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 5; ++i) {
      inputs[i].type = INPUT_MOUSE;
      inputs[i].mi.dx = points[i].x * 65535 / cx;
      inputs[i].mi.dy = points[i].y * 65535 / cy;
      inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_ABSOLUTE;
    }
    ::SendInput(5, inputs, sizeof(INPUT));
    Pump(400, form_->hwnd());
  };
  RECT before, after;
  ::GetWindowRect(form_->hwnd(), &before);
  drag(testing::CentreOf(form_->Page(0).Handle(), RECT{40, 100, 60, 120}), 30, 20);
  ::GetWindowRect(form_->hwnd(), &after);
  EXPECT_EQ(after.left - before.left, 30);
  EXPECT_EQ(after.top - before.top, 20);

  // On a button the press belongs to the button.
  before = after;
  drag(CentreOf(*form_->Button_custominstall), 30, 20);
  ::GetWindowRect(form_->hwnd(), &after);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
}

TEST_F(WizardWindow, ScreenshotsOfEveryPage) {
  // Kept as build artifacts for a person to look at; the test checks only that the page
  // painted its own picture (the band's blue at the bottom).
  const char* names[5] = {"wizard_page0_choice", "wizard_page1_licence", "wizard_page2_folder",
                          "wizard_page3_progress", "wizard_page4_finish"};
  for (int i = 0; i < 5; ++i) {
    form_->ShowPage(i);
    if (i == kProgressPage) {
      form_->SetProgressFillWidth(150);
      form_->SetTimeText("About 12 seconds remaining");
    }
    ::RedrawWindow(form_->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(150, form_->hwnd());
    testing::SaveScreenshot(form_->hwnd(), names[i]);
    scoped_window_dc screen(nullptr);
    RECT window;
    ::GetWindowRect(form_->hwnd(), &window);
    EXPECT_EQ(::GetPixel(screen.get(), window.left + 590, window.top + 345), RGB(38, 135, 208)) << i;
  }
}

}  // namespace
}  // namespace stampwell::wizard
