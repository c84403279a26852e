#include "wizard/form1.h"

#include <shlobj.h>

#include <stdexcept>
#include <vector>

#include "app/product_title.h"
#include "app/setup_settings.h"
#include "app/system_queries.h"
#include "framework/application.h"
#include "framework/system_library.h"
#include "framework/window_text.h"
#include "wizard/form2.h"
#include "wizard/licence_text.h"
#include "wizard/seams.h"

namespace stampwell::wizard {

namespace {

constexpr char kFormClass[] = "StampwellWizard";
constexpr char kPageControlClass[] = "StampwellPageControl";
constexpr COLORREF kBandBlue = RGB(38, 135, 208);     // 13666086
constexpr COLORREF kPanelGrey = RGB(232, 236, 239);   // 15723752
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr char kFormFace[] = "Microsoft Sans Serif";
constexpr char kExitQuestion[] =
    "If you exit now, the program will not be installed.\r"
    "You may run setup again another time to complete the installation.\r"
    "Exit Setup?";

// The window as its layout gives it, before FormCreate trims it.
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 371;
constexpr RECT kPageControlResource = {-4, -2, -4 + 608, -2 + 381};
// Inside the page control a page starts here, so that after FormCreate (top -6) a page's
// origin is the window's client origin.
constexpr int kPageInsetX = 4;
constexpr int kPageInsetY = 6;

void RegisterClasses() {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.hIcon = ::LoadIconA(wc.hInstance, "MAINICON");
    wc.lpszClassName = kFormClass;
    bool ok = ::RegisterClassExA(&wc) != 0;
    wc.hIcon = nullptr;
    wc.lpszClassName = kPageControlClass;
    return ok && ::RegisterClassExA(&wc) != 0;
  }();
  if (!registered) throw std::runtime_error("The wizard window class cannot be registered");
}

bool IsChecked(HWND box) { return ::SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void SetChecked(HWND box, bool checked) {
  ::SendMessageA(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The words of the band's check boxes at height 14; where the system's substitute face is
// wider than the one the layout was made for, a smaller height keeps "I Accept the " whole in
// its 79-pixel box.
unique_hfont LinkFont(HFONT band) {
  LOGFONTA font{};
  ::GetObjectA(band, sizeof font, &font);
  font.lfUnderline = TRUE;
  return unique_hfont(::CreateFontIndirectA(&font));
}

unique_hfont BandFont() {
  scoped_window_dc dc(nullptr);
  for (int height = 14; height > 11; --height) {
    unique_hfont font = MakeFont(kFormFace, height);
    scoped_select_object select(dc.get(), font.get());
    SIZE size{};
    ::GetTextExtentPoint32A(dc.get(), "I Accept the", 12, &size);
    if (size.cx <= 79 - 20) return font;
  }
  return MakeFont(kFormFace, 12);
}

}  // namespace

TForm1::TForm1() {
  RegisterClasses();
  form_font_ = MakeFont(kFormFace, -11);
  band_font_ = BandFont();
  title_font_ = MakeFont(kFormFace, 16, true);
  RECT frame{0, 0, kClientWidth, kClientHeight};
  ::AdjustWindowRectEx(&frame, WS_POPUP, FALSE, 0);
  window_.reset(::CreateWindowExA(WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, kFormClass, kProductName,
                                  WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, ::GetModuleHandleA(nullptr), nullptr));
  if (!window_) throw std::runtime_error("The wizard window cannot be created");
  ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrA(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TForm1::Procedure));
  // Every reader of the product's name takes this window's caption from here on.
  SetWizardWindow(window_.get());
  CreateControls();
  FormCreate();
}

TForm1::~TForm1() {
  if (WizardWindow() == window_.get()) SetWizardWindow(nullptr);
  // Pages are child windows: they go before their parent does.
  for (auto& page : pages_) page.reset();
  if (window_) ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
}

void TForm1::Show() {
  ::ShowWindow(window_.get(), SW_SHOW);
  ::UpdateWindow(window_.get());
  // The first control of the tab order takes the focus, never the acceptance box.
  ::SetFocus(edit3_);
}

HWND TForm1::AddControl(Page& page, const char* window_class, const char* text, DWORD style,
                        int left, int top, int width, int height, HFONT font) {
  HWND control = ::CreateWindowExA(0, window_class, text, WS_CHILD | style, left, top, width,
                                   height, page.hwnd(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!control) throw std::runtime_error(std::string("The control ") + window_class + " cannot be created");
  ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font ? font : form_font_.get()), FALSE);
  return control;
}

PageLabel* TForm1::AddNamedLabel(int number, Page& page, std::string caption, int left, int top,
                                 int width, int height, unique_hfont font, COLORREF colour) {
  PageLabel& label = page.AddLabel(std::move(caption), left, top, width, height, std::move(font), colour);
  labels_.at(label_count_++) = {number, &label, &page};
  return &label;
}

PageLabel& TForm1::Label(int number) const {
  for (size_t i = 0; i < label_count_; ++i) {
    if (labels_[i].number == number) return *labels_[i].label;
  }
  throw std::out_of_range("No such label on the wizard window");
}

SkinButton& TForm1::CloseButton(int page) const { return *close_buttons_.at(page); }

void TForm1::CreateControls() {
  page_control_ = ::CreateWindowExA(
      WS_EX_CONTROLPARENT, kPageControlClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
      kPageControlResource.left, kPageControlResource.top,
      kPageControlResource.right - kPageControlResource.left,
      kPageControlResource.bottom - kPageControlResource.top, window_.get(), nullptr,
      ::GetModuleHandleA(nullptr), nullptr);
  if (!page_control_) throw std::runtime_error("The page control cannot be created");
  const char* backgrounds[5] = {"PAGE_CHOICE", "PAGE_LICENCE", "PAGE_FOLDER", "PAGE_PROGRESS",
                                "PAGE_FINISH"};
  for (int i = 0; i < 5; ++i) {
    pages_[i] = std::make_unique<Page>(page_control_, kPageInsetX, kPageInsetY, backgrounds[i]);
    ::SetWindowLongPtrA(pages_[i]->hwnd(), GWL_EXSTYLE, WS_EX_CONTROLPARENT);
    pages_[i]->OnBackgroundMouseDown = [this] { Image1MouseDown(); };
    pages_[i]->OnCommand = [this](HWND control, int code) { OnCommand(control, code); };
  }
  CreateChoicePage();
  CreateLicencePage();
  CreateFolderPage();
  CreateProgressPage();
  CreateFinishPage();
  for (SkinButton* close : close_buttons_) close->OnClick = [this] { YCLButton1Click(); };

  // Outside the pages, never shown: the payload manifest, the install log, and the button
  // whose click makes the Start Menu group.
  auto hidden = [this](const char* window_class, const char* text, int left, int top) {
    HWND control = ::CreateWindowExA(0, window_class, text, WS_CHILD, left, top, 75, 25,
                                     window_.get(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!control) throw std::runtime_error("A hidden control of the wizard cannot be created");
    return control;
  };
  list_box1_ = hidden("LISTBOX", "", 8, 8);
  list_box2_ = hidden("LISTBOX", "", 8, 40);
  button19_ = hidden("BUTTON", "Button19", 8, 72);
}

void TForm1::CreateChoicePage() {
  Page& page = *pages_[kChoicePage];
  AddNamedLabel(1, page, "Label1", 10, 8, 0, 0, MakeFont(kFormFace, 16, true), RGB(0, 0, 0));
  page.AddImage("LOGO", 259, 57);
  close_buttons_[0] = &page.AddButton("BUTTON_CLOSE", 576, 10);
  quick_install_ = &page.AddButton("BUTTON_QUICK_INSTALL", 158, 160);
  custom_install_ = &page.AddButton("BUTTON_CUSTOM_INSTALL", 245, 247);
  // Tab order: Edit3, CheckBox5, Edit2.
  edit3_ = AddControl(page, "EDIT", "NO", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL,
                      -100, 272, 33, 21, nullptr);
  check_box5_ = AddControl(page, "BUTTON", "I Accept the ", WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX,
                           16, 320, 79, 17, band_font_.get());
  page.SetControlColours(check_box5_, kBandBlue, kWhite);
  SetChecked(check_box5_, true);
  // The box hands its focus on as soon as it gets it; see AcceptBoxProcedure.
  ::SetPropA(check_box5_, "StampwellForm", this);
  accept_box_default_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
      check_box5_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TForm1::AcceptBoxProcedure)));
  edit2_ = AddControl(page, "EDIT", "none", WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL,
                      -100, 296, 41, 21, nullptr);
  PageLabel* link = AddNamedLabel(10, page, "License Agreement.", 96, 321, 0, 0,
                                  LinkFont(band_font_.get()), kWhite);
  link->hand_cursor = true;
  link->OnClick = [this] { Label10Click(); };
  quick_install_->OnClick = [this] {
    if (Button_QuickInstallClick) Button_QuickInstallClick();
  };
  custom_install_->OnClick = [this] { Button_custominstallClick(); };
}

void TForm1::CreateLicencePage() {
  Page& page = *pages_[kLicencePage];
  AddNamedLabel(40, page, "License Agreement", 25, 8, 0, 0, MakeFont(kFormFace, -11, true), RGB(0, 0, 0));
  close_buttons_[1] = &page.AddButton("BUTTON_CLOSE", 576, 10);
  memo1_ = AddControl(page, "EDIT", "",
                      WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                          ES_AUTOVSCROLL,
                      22, 32, 553, 257, nullptr);
  ::SetWindowTextA(memo1_, LicenceText().c_str());
  button17_ = AddControl(page, "BUTTON", "I Accept the License Agreement",
                         WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 199, 318, 171, 21, nullptr);
}

void TForm1::CreateFolderPage() {
  Page& page = *pages_[kFolderPage];
  AddNamedLabel(2, page, "Label2", 10, 8, 0, 0, MakeFont(kFormFace, 16, true), RGB(0, 0, 0));
  page.AddImage("LOGO", 259, 57);
  close_buttons_[2] = &page.AddButton("BUTTON_CLOSE", 576, 10);
  page.AddImage("FOLDER_ICON", 41, 169);
  page.AddImage("CAPTION_DESKTOP_ICON", 84, 200);
  page.AddImage("CAPTION_START_MENU", 296, 200);
  browse_ = &page.AddButton("BUTTON_BROWSE", 455, 169);
  install_ = &page.AddButton("BUTTON_INSTALL", 206, 240);
  back_ = &page.AddButton("BUTTON_BACK", 395, 251);
  // The field sits in the frame that the page picture draws for it.
  edit1_ = AddControl(page, "EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 71, 174, 378, 17,
                      nullptr);
  check_box1_ = AddControl(page, "BUTTON", "", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 69, 200,
                           12, 13, nullptr);
  check_box4_ = AddControl(page, "BUTTON", "", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 280, 200,
                           14, 13, nullptr);
  page.SetControlColours(check_box1_, kPanelGrey, RGB(0, 0, 0));
  page.SetControlColours(check_box4_, kPanelGrey, RGB(0, 0, 0));
  SetChecked(check_box1_, true);
  SetChecked(check_box4_, true);
  PageLabel* space = AddNamedLabel(36, page, "", 8, 311, 300, 14, MakeFont(kFormFace, -11), kWhite);
  space->visible = false;
  PageLabel* need = AddNamedLabel(9, page, "The program requires at least 25 MB of disk space.", 8,
                                  295, 0, 0, MakeFont(kFormFace, -11), kWhite);
  need->visible = false;
  install_->OnClick = [this] {
    if (Button_installClick) Button_installClick();
  };
  browse_->OnClick = [this] {
    if (Button_browseClick) Button_browseClick();
  };
  back_->OnClick = [this] { Button_backClick(); };
}

void TForm1::CreateProgressPage() {
  Page& page = *pages_[kProgressPage];
  AddNamedLabel(3, page, "Label3", 10, 8, 0, 0, MakeFont(kFormFace, 16, true), RGB(0, 0, 0));
  page.AddImage("LOGO", 259, 57);
  close_buttons_[3] = &page.AddButton("BUTTON_CLOSE", 576, 10);
  close_buttons_[3]->SetVisible(false);
  progress_fill_ = &page.AddImage("PROGRESS_FILL", 105, 185, kProgressFillWidth, 5);
  AddNamedLabel(6, page, "The installation process may takes about 10~20 seconds", 136, 200, 323, 13,
                MakeFont(kFormFace, 14, true), kBandBlue);
  // The progress bar comes from the common controls, loaded by full path like every library
  // that Windows does not always take from its own folder.
  common_controls_ = LoadSystemLibrary("comctl32.dll");
  if (common_controls_) {
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<InitFn>(
        reinterpret_cast<void*>(::GetProcAddress(common_controls_.get(), "InitCommonControlsEx")));
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    if (init && init(&classes)) {
      progress_bar1_ = AddControl(page, PROGRESS_CLASSA, "", 0, 105, 230, 392, 16, nullptr);
    }
  }
  if (!progress_bar1_) throw std::runtime_error("The progress bar cannot be created");
  button14_ = AddControl(page, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 262, 260, 75, 25, nullptr);
}

void TForm1::CreateFinishPage() {
  Page& page = *pages_[kFinishPage];
  AddNamedLabel(4, page, "Label4", 10, 8, 0, 0, MakeFont(kFormFace, 16, true), RGB(0, 0, 0));
  page.AddImage("LOGO", 259, 57);
  PageLabel* message = AddNamedLabel(5, page, "label5", 8, 160, 585, 17, MakeFont(kFormFace, 15, true),
                                     kBandBlue);
  message->centre = true;
  finish_ = &page.AddButton("BUTTON_FINISH", 206, 210);
  finish_->OnClick = [this] { Button_finishClick(); };
  check_box3_ = AddControl(page, "BUTTON", "CheckBox3", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 11,
                           320, 206, 17, band_font_.get());
  page.SetControlColours(check_box3_, kBandBlue, kWhite);
  SetChecked(check_box3_, true);
}

void TForm1::FormCreate() {
  // 1. Only code switches pages.
  for (bool& visible : tab_visible_) visible = false;
  // 2. The page control loses the height of its (hidden) tab row.
  RECT bounds = PageControlBounds();
  ::SetWindowPos(page_control_, nullptr, 0, 0, bounds.right - bounds.left,
                 bounds.bottom - bounds.top - 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // 3.
  ShowPage(kChoicePage);
  // 4.
  ::SetWindowPos(page_control_, nullptr, bounds.left, -6, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // 5. The window takes the height of the page pictures.
  RECT window;
  ::GetWindowRect(window_.get(), &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top - 21;
  // 6. Centred on the primary screen; a screen smaller than the window gives a negative
  // coordinate, which stands.
  const int left = ::GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
  const int top = ::GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
  ::SetWindowPos(window_.get(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  // 7. Double buffering: every page paints through a memory bitmap (wizard/page.cpp).
  // 8, 9, 11, 15: the setup-wide values.
  AssignSetupSettings(Settings(), IsWindows64Bit());
  // 10, 12, 13: the texts that carry the product's name, the window caption.
  const std::string title = ProductTitle();
  ::SetWindowTextA(check_box3_, ("Launch " + title).c_str());
  const int title_pages[4] = {kChoicePage, kFolderPage, kProgressPage, kFinishPage};
  for (int number : {1, 2, 3, 4}) {
    pages_[title_pages[number - 1]]->SetCaption(Label(number), title);
  }
  pages_[kFinishPage]->SetCaption(Label(5),
                                  "Congratulations! " + title + " has been successfully installed.");
  // 14. Fires Edit1Change, which fills the free-space label.
  ::SetWindowTextA(edit1_, kDefaultInstallFolder);
}

RECT TForm1::PageControlBounds() const {
  RECT bounds;
  ::GetWindowRect(page_control_, &bounds);
  ::MapWindowPoints(HWND_DESKTOP, window_.get(), reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}

void TForm1::ShowPage(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size())) {
    throw std::out_of_range("No such wizard page");
  }
  if (index == active_page_) return;
  HWND focus = ::GetFocus();
  const bool focus_on_old_page =
      active_page_ >= 0 && focus && ::IsChild(pages_[active_page_]->hwnd(), focus);
  ::ShowWindow(pages_[index]->hwnd(), SW_SHOW);
  if (active_page_ >= 0) ::ShowWindow(pages_[active_page_]->hwnd(), SW_HIDE);
  active_page_ = index;
  // A hidden control must not keep the focus; the window takes it, as it would for a page
  // without a focusable control.
  if (focus_on_old_page) ::SetFocus(window_.get());
}

int TForm1::ProgressFillWidth() const noexcept {
  return progress_fill_->bounds.right - progress_fill_->bounds.left;
}

void TForm1::SetProgressFillWidth(int width) {
  if (width < 0) width = 0;
  if (width > kProgressFillWidth) width = kProgressFillWidth;
  RECT old = progress_fill_->bounds;
  progress_fill_->bounds.right = progress_fill_->bounds.left + width;
  progress_fill_->visible = width > 0;
  pages_[kProgressPage]->Invalidate(old);
  ::UpdateWindow(pages_[kProgressPage]->hwnd());
}

void TForm1::SetTimeText(const std::string& text) { pages_[kProgressPage]->SetCaption(Label(6), text); }

void TForm1::SetFreeSpaceText(const std::string& text) {
  pages_[kFolderPage]->SetCaption(Label(36), text);
}

void TForm1::Image1MouseDown() {
  // The system drags the window while the button is held.
  ::ReleaseCapture();
  ::SendMessageA(window_.get(), WM_SYSCOMMAND, SC_MOVE + 2, 0);
}

void TForm1::YCLButton1Click() { ::PostMessageA(window_.get(), WM_CLOSE, 0, 0); }

bool TForm1::FormCloseQuery() {
  if (active_page_ == kFinishPage) return true;
  return Application().AskYesNo(kExitQuestion, "Tip");
}

void TForm1::CheckBox5Enter() { ::SetFocus(edit2_); }

void TForm1::Edit2Enter() {
  const bool accepted = !IsChecked(check_box5_);
  SetChecked(check_box5_, accepted);
  quick_install_->SetEnabled(accepted);
  custom_install_->SetEnabled(accepted);
}

void TForm1::Button17Click() {
  SetChecked(check_box5_, false);
  Edit2Enter();
  ShowPage(kChoicePage);
}

std::string TForm1::DefaultCustomFolder() {
  const SetupSettings& settings = Settings();
  if (seams::IsUserAdministrator()) {
    return GetProgramFilesPath() + settings.ArchSuffix + "\\" + settings.PublisherName;
  }
  return GetSpecialFolderPath(CSIDL_PERSONAL) + "\\" + settings.PublisherName;
}

void TForm1::Button_custominstallClick() {
  ::SetWindowTextA(edit1_, DefaultCustomFolder().c_str());
  SetFreeSpaceText(GetFreeSpaceText(WindowText(edit1_)));
  ShowPage(kFolderPage);
}

void TForm1::Edit1Change() {
  try {
    SetFreeSpaceText(GetFreeSpaceText(WindowText(edit1_)));
  } catch (...) {
    // The label keeps its text.
  }
}

void TForm1::Button_backClick() { ShowPage(kChoicePage); }

void TForm1::Button_finishClick() {
  ::ShowWindow(window_.get(), SW_HIDE);
  if (licence_) licence_->Hide();
  const SetupSettings& settings = Settings();
  seams::ShellExecute(window_.get(), nullptr, settings.FinishPageUrl.c_str(), nullptr, nullptr,
                      SW_SHOWNOACTIVATE);
  seams::Sleep(1500);
  if (IsChecked(check_box3_)) {
    const std::string program = settings.InstallDir + settings.MainExeName;
    seams::ShellExecute(window_.get(), "open", program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
  ::PostQuitMessage(0);
}

void TForm1::Label10Click() {
  if (licence_) licence_->ShowCentred();
}

void TForm1::OnCommand(HWND control, int code) {
  if (control == edit2_ && code == EN_SETFOCUS) {
    // Returning to the window gives the focus back without toggling the acceptance.
    if (!restoring_focus_) Edit2Enter();
  } else if (control == edit1_ && code == EN_CHANGE) {
    Edit1Change();
  } else if (control == button17_ && code == BN_CLICKED) {
    Button17Click();
  }
}

LRESULT CALLBACK TForm1::AcceptBoxProcedure(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam) noexcept {
  auto* form = static_cast<TForm1*>(::GetPropA(window, "StampwellForm"));
  if (!form) return ::DefWindowProcA(window, message, wparam, lparam);
  if (message == WM_SETFOCUS) {
    // The box never keeps the focus, so it never draws a focus rectangle either.
    Application().Guard([&] { form->CheckBox5Enter(); });
    return 0;
  }
  if (message == WM_NCDESTROY) {
    WNDPROC original = form->accept_box_default_;
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ::RemovePropA(window, "StampwellForm");
    return ::CallWindowProcA(original, window, message, wparam, lparam);
  }
  return ::CallWindowProcA(form->accept_box_default_, window, message, wparam, lparam);
}

LRESULT CALLBACK TForm1::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  auto* form = reinterpret_cast<TForm1*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!form) return ::DefWindowProcA(window, message, wparam, lparam);
  LRESULT result = 0;
  // An escaping error becomes the default error report; the message then counts as handled.
  Application().Guard([&] { result = form->Handle(message, wparam, lparam); });
  return result;
}

LRESULT TForm1::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND hwnd = window_.get();
  switch (message) {
    case WM_CLOSE:
      if (FormCloseQuery()) ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      window_.release();
      for (auto& page : pages_) {
        if (page) page.reset();
      }
      return ::DefWindowProcA(hwnd, message, wparam, lparam);
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(hwnd, focus)) focus_on_deactivate_ = focus;
      } else if (focus_on_deactivate_ && ::IsWindowVisible(focus_on_deactivate_)) {
        restoring_focus_ = true;
        ::SetFocus(focus_on_deactivate_);
        restoring_focus_ = false;
        return 0;
      }
      break;
  }
  return ::DefWindowProcA(hwnd, message, wparam, lparam);
}

}  // namespace stampwell::wizard
