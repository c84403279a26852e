#pragma once
// The wizard window as a screen reader reads it (MSAA; UI Automation reads it through its MSAA
// bridge). The pages are pictures with windowless buttons, so the window answers WM_GETOBJECT
// for its client area with an object of its own whose children are what a sighted user sees
// on the shown page: the texts that the pictures carry, the buttons, the check boxes, the
// licence link, the folder field, the progress bar and the time estimate. The window's
// standard controls keep the system's own objects for their windows besides.
//
// It also raises the WinEvents that a screen reader follows: the focus moving onto a
// windowless control, state changes (the acceptance, enabled buttons), the progress value,
// the time text, and a page change.

#include <windows.h>

#include <memory>

#include "framework/controls.h"

namespace stampwell::wizard {

class TForm1;
class WizardAccessibleSource;

class WizardAccessibility {
 public:
  explicit WizardAccessibility(TForm1& form);
  // Every object handed out before fails from now on as disconnected.
  ~WizardAccessibility();
  WizardAccessibility(const WizardAccessibility&) = delete;
  WizardAccessibility& operator=(const WizardAccessibility&) = delete;

  // The private message by which a client's request for a default action comes back to the
  // window, after the client's call has returned.
  static constexpr UINT kDefaultActionMessage = WM_APP + 28;

  // WM_GETOBJECT: true, with the result, when the window answers it itself.
  bool GetObject(WPARAM wparam, LPARAM lparam, LRESULT& result);
  // kDefaultActionMessage.
  void RunDefaultAction(WPARAM wparam, LPARAM lparam);

  void FocusMoved(TControl* control);
  void StateChanged(TControl* control);
  void NameChanged(TControl* control);
  void ProgressChanged();
  void PageChanged();

 private:
  void Raise(DWORD event, TControl* control);
  std::shared_ptr<WizardAccessibleSource> source_;
};

}  // namespace stampwell::wizard
