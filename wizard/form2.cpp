#include "wizard/form2.h"

#include <richedit.h>

#include <stdexcept>

#include "framework/application.h"
#include "framework/system_library.h"
#include "wizard/licence_text.h"
#include "wizard/page.h"

namespace stampwell::wizard {

namespace {

constexpr char kFormClass[] = "StampwellLicence";
constexpr UINT kExitCommand = 101;

void RegisterFormClass() {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = ::LoadIconA(wc.hInstance, "MAINICON");
    wc.lpszClassName = kFormClass;
    return ::RegisterClassExA(&wc) != 0;
  }();
  if (!registered) throw std::runtime_error("The licence window class cannot be registered");
}

}  // namespace

TForm2::TForm2() {
  RegisterFormClass();
  // The rich edit library is not one that Windows always loads from its own folder.
  rich_edit_library_ = LoadSystemLibrary("riched20.dll");
  if (!rich_edit_library_) throw std::runtime_error("The rich edit library cannot be loaded");

  unique_hmenu menu(::CreateMenu());
  HMENU file = ::CreatePopupMenu();
  ::AppendMenuA(file, MF_STRING, kExitCommand, "Exit");
  ::AppendMenuA(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(file), "File");
  window_.reset(::CreateWindowExA(0, kFormClass, "NOTEPAD", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                  0, 0, kWidth, kHeight, nullptr, menu.get(),
                                  ::GetModuleHandleA(nullptr), nullptr));
  if (!window_) throw std::runtime_error("The licence window cannot be created");
  menu.release();  // the window owns its menu now
  ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrA(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TForm2::Procedure));

  RECT client;
  ::GetClientRect(window_.get(), &client);
  rich_edit_ = ::CreateWindowExA(
      WS_EX_CLIENTEDGE, RICHEDIT_CLASSA, "",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
          ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
      0, 0, client.right, client.bottom, window_.get(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!rich_edit_) throw std::runtime_error("The licence text control cannot be created");
  font_ = MakeFont("MS Sans Serif", -11, false, false, GB2312_CHARSET);
  ::SendMessageA(rich_edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  // The whole text in the simplified-Chinese character set, as the product's legal text
  // is delivered in it.
  CHARFORMAT2A format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_CHARSET | CFM_FACE | CFM_SIZE;
  format.bCharSet = GB2312_CHARSET;
  format.yHeight = 8 * 20;  // -11 pixels at 96 dpi, in twips
  lstrcpynA(format.szFaceName, "MS Sans Serif", LF_FACESIZE);
  ::SendMessageA(rich_edit_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
  ::SetWindowTextA(rich_edit_, LicenceText().c_str());
}

TForm2::~TForm2() {
  if (window_) ::SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
}

void TForm2::ShowCentred() {
  RECT frame;
  ::GetWindowRect(window_.get(), &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = ::GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2;
  const int top = ::GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2;
  ::SetWindowPos(window_.get(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ::ShowWindow(window_.get(), SW_SHOW);
  ::SetForegroundWindow(window_.get());
}

void TForm2::Hide() { ::ShowWindow(window_.get(), SW_HIDE); }

void TForm2::FormActivate() {
  CHARRANGE range{0, 0};
  ::SendMessageA(rich_edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  range.cpMax = kTitleLength;
  ::SendMessageA(rich_edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMAT2A format{};
  format.cbSize = sizeof format;
  format.dwMask = CFM_SIZE;
  format.yHeight = kTitlePoints * 20;
  ::SendMessageA(rich_edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  range.cpMax = 0;
  ::SendMessageA(rich_edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void TForm2::Exit1Click() { ::SendMessageA(window_.get(), WM_CLOSE, 0, 0); }

LRESULT CALLBACK TForm2::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  auto* form = reinterpret_cast<TForm2*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!form) return ::DefWindowProcA(window, message, wparam, lparam);
  LRESULT result = 0;
  // An escaping error becomes the default error report; the message then counts as handled.
  Application().Guard([&] { result = form->Handle(message, wparam, lparam); });
  return result;
}

LRESULT TForm2::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND hwnd = window_.get();
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) {
        ::DefWindowProcA(hwnd, message, wparam, lparam);
        FormActivate();
        ::SetFocus(rich_edit_);
        return 0;
      }
      break;
    case WM_SIZE:
      ::MoveWindow(rich_edit_, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == kExitCommand && lparam == 0) {
        Exit1Click();
        return 0;
      }
      break;
    case WM_CLOSE:
      // Closing hides; the window lives until the program ends.
      Hide();
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      window_.release();
      break;
  }
  return ::DefWindowProcA(hwnd, message, wparam, lparam);
}

}  // namespace stampwell::wizard
