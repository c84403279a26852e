#pragma once
// Keyboard operation of the wizard window. The dialog manager only reaches controls with a
// window, and most of what the wizard offers is windowless (the image buttons, the licence
// link): this class keeps each page's controls in reading order and moves the focus through
// them. While a windowless control holds the focus, the system focus rests on the wizard
// window itself and the control draws the cue.
//
// Keys: Tab and Shift+Tab (and the arrows outside the folder field) move through the page's
// enabled controls; Space or Enter presses a focused button or link; Space toggles a focused
// check box (the check box's own handling); Enter elsewhere presses the page's main button; Esc
// presses the page's close button.

#include <windows.h>

#include <functional>
#include <vector>

#include "framework/controls.h"

namespace stampwell::wizard {

class TForm1;

class WizardKeyboard {
 public:
  explicit WizardKeyboard(TForm1& form);

  // A key message for the wizard window or one of its controls; true when it was taken.
  bool PreviewKey(const MSG& message);
  // The control that holds the keyboard focus on the shown page (windowed or windowless), or
  // null while the focus is nowhere on it.
  TControl* Focused() const;
  // The controls of a page that the keyboard reaches, in reading order (hidden or disabled
  // ones included).
  const std::vector<TControl*>& Stops(int page) const;
  // Moves the keyboard focus onto `control` (one of the shown page's stops).
  void FocusControl(TControl* control);

  // The wizard window got or lost the focus, or its UI state changed: the cue follows.
  void FocusChanged() { RefreshCues(); }
  void UiStateChanged(WPARAM wparam);
  // The page changed: a windowless control of the old page no longer holds the focus, and the
  // page's windows (made when it first shows) take the window's UI state.
  void PageChanged();
  // Gives the window and all its child windows the UI state of the cues: hidden until a
  // navigation key was pressed. A child window made later does not always take its parent's
  // state (Wine's do not), so this runs again whenever windows may have been made.
  void ApplyUiState();

  // Told whenever the keyboard focus moves to another control.
  std::function<void(TControl*)> OnFocusMoved;

 private:
  bool Reachable(const TControl* control) const;
  void Move(bool forward);
  bool PressFocused();
  bool PressMainButton();
  bool PressClose();
  void ShowCues();
  void RefreshCues();

  TForm1& form_;
  std::vector<std::vector<TControl*>> stops_;   // per page
  std::vector<TControl*> main_buttons_;         // per page, or null
  TControl* windowless_focus_ = nullptr;        // valid while the wizard window has the focus
  bool cues_shown_ = false;
};

}  // namespace stampwell::wizard
