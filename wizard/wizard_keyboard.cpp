#include "wizard/wizard_keyboard.h"

#include <algorithm>

#include "controls/focus_cue.h"
#include "wizard/form1.h"

namespace stampwell::wizard {

namespace {

bool IsWindowed(const TControl* control) { return dynamic_cast<const TWinControl*>(control) != nullptr; }

bool KeyHeld(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

}  // namespace

WizardKeyboard::WizardKeyboard(TForm1& form) : form_(form) {
  stops_ = {
      {form.CheckBox5, form.Label10, form.Button_QuickInstall, form.Button_custominstall, &form.CloseButton(0)},
      {form.Memo1, form.Button17, &form.CloseButton(1)},
      {form.Edit1, form.Button_browse, form.CheckBox1, form.CheckBox4, form.Button_install, form.Button_back,
       &form.CloseButton(2)},
      {&form.CloseButton(3)},
      {form.CheckBox3, form.Button_finish},
  };
  main_buttons_ = {form.Button_QuickInstall, form.Button17, form.Button_install, nullptr, form.Button_finish};
}

const std::vector<TControl*>& WizardKeyboard::Stops(int page) const {
  static const std::vector<TControl*> none;
  return page >= 0 && page < static_cast<int>(stops_.size()) ? stops_[page] : none;
}

bool WizardKeyboard::Reachable(const TControl* control) const {
  if (!control || !control->Showing() || !control->Enabled()) return false;
  const auto& stops = Stops(form_.ActivePage());
  return std::find(stops.begin(), stops.end(), control) != stops.end();
}

TControl* WizardKeyboard::Focused() const {
  HWND focus = ::GetFocus();
  if (!focus) return nullptr;
  if (focus == form_.HandleOrNull()) return Reachable(windowless_focus_) ? windowless_focus_ : nullptr;
  for (TControl* control : Stops(form_.ActivePage())) {
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (windowed && windowed->HandleOrNull() && (windowed->HandleOrNull() == focus || ::IsChild(windowed->HandleOrNull(), focus)))
      return control;
  }
  return nullptr;
}

void WizardKeyboard::FocusControl(TControl* control) {
  if (!Reachable(control)) return;
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    windowless_focus_ = nullptr;
    windowed->SetFocus();
  } else {
    windowless_focus_ = control;
    // The window itself takes the system focus; it must not hand it back to the control that
    // had it before.
    if (form_.ActiveControl()) form_.ForgetControl(form_.ActiveControl());
    ::SetFocus(form_.Handle());
  }
  RefreshCues();
  if (OnFocusMoved) OnFocusMoved(control);
}

void WizardKeyboard::Move(bool forward) {
  const auto& stops = Stops(form_.ActivePage());
  if (stops.empty()) return;
  const int count = static_cast<int>(stops.size());
  const auto at = std::find(stops.begin(), stops.end(), Focused());
  // From nowhere, Tab starts at the first control and Shift+Tab at the last.
  int index = at == stops.end() ? (forward ? -1 : count) : static_cast<int>(at - stops.begin());
  for (int step = 0; step < count; ++step) {
    index = ((forward ? index + 1 : index - 1) % count + count) % count;
    if (Reachable(stops[index])) {
      FocusControl(stops[index]);
      return;
    }
  }
}

bool WizardKeyboard::PressFocused() {
  TControl* focused = Focused();
  if (!focused || IsWindowed(focused)) return false;
  focused->Click();
  return true;
}

bool WizardKeyboard::PressMainButton() {
  const int page = form_.ActivePage();
  TControl* main = page >= 0 && page < static_cast<int>(main_buttons_.size()) ? main_buttons_[page] : nullptr;
  if (Reachable(main)) main->Click();
  return true;
}

bool WizardKeyboard::PressClose() {
  const int page = form_.ActivePage();
  if (page >= 0 && page < 4 && Reachable(&form_.CloseButton(page))) form_.CloseButton(page).Click();
  return true;
}

void WizardKeyboard::ShowCues() {
  // The system's controls (the check boxes) show their focus from now on, as ours do.
  ::SendMessageA(form_.Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  cues_shown_ = true;
}

void WizardKeyboard::UiStateChanged(WPARAM wparam) {
  if (!(HIWORD(wparam) & UISF_HIDEFOCUS)) return;
  if (LOWORD(wparam) == UIS_SET) cues_shown_ = false;
  if (LOWORD(wparam) == UIS_CLEAR) cues_shown_ = true;
  RefreshCues();
}

void WizardKeyboard::PageChanged() {
  windowless_focus_ = nullptr;
  ApplyUiState();
  RefreshCues();
}

void WizardKeyboard::ApplyUiState() {
  if (!form_.HandleOrNull()) return;
  // WM_UPDATEUISTATE, not WM_CHANGEUISTATE: the system sends the latter on only when the top
  // window's own state changes, which leaves windows made since then as they were.
  ::SendMessageA(form_.HandleOrNull(), WM_UPDATEUISTATE,
                 MAKEWPARAM(cues_shown_ ? UIS_CLEAR : UIS_SET, UISF_HIDEFOCUS), 0);
}

void WizardKeyboard::RefreshCues() {
  const bool window_has_focus = form_.HandleOrNull() && ::GetFocus() == form_.HandleOrNull();
  for (const auto& stops : stops_) {
    for (TControl* control : stops) {
      if (auto* holder = dynamic_cast<TFocusCueHolder*>(control))
        holder->SetFocusCue(cues_shown_ && window_has_focus && control == windowless_focus_ && Reachable(control));
    }
  }
}

bool WizardKeyboard::PreviewKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  // A key held down repeats: a button is pressed once.
  const bool repeat = (message.lParam & (1 << 30)) != 0;
  if (KeyHeld(VK_MENU) || KeyHeld(VK_CONTROL)) return false;
  TControl* focused = Focused();
  switch (message.wParam) {
    case VK_TAB:
      ShowCues();
      Move(!KeyHeld(VK_SHIFT));
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      // The arrows move the caret in a text field and through the licence text.
      if (dynamic_cast<TEdit*>(focused) || dynamic_cast<TMemo*>(focused)) return false;
      ShowCues();
      Move(message.wParam == VK_RIGHT || message.wParam == VK_DOWN);
      return true;
    case VK_SPACE:
      if (focused && !IsWindowed(focused)) {
        if (!repeat) PressFocused();
        return true;
      }
      return false;
    case VK_RETURN:
      if (repeat) return true;
      if (dynamic_cast<TButton*>(focused)) return false;  // the system's push button presses itself
      if (PressFocused()) return true;
      return PressMainButton();
    case VK_ESCAPE:
      if (repeat) return true;
      return PressClose();
    default:
      return false;
  }
}

}  // namespace stampwell::wizard
