#pragma once
// The keyboard focus of a windowless control. Such a control has no window, so the system
// never draws its focus; the window that moves the keyboard focus among its controls tells
// the one that holds it to draw the cue, and only once the user has pressed a navigation key
// (the window's UISF_HIDEFOCUS is cleared), so that a mouse user never sees one.

#include <windows.h>

namespace stampwell {

class TFocusCueHolder {
 public:
  bool FocusCue() const { return focus_cue_; }
  // Repaints when the cue comes or goes.
  void SetFocusCue(bool shown) {
    if (shown == focus_cue_) return;
    focus_cue_ = shown;
    FocusCueChanged();
  }

 protected:
  virtual ~TFocusCueHolder() = default;
  virtual void FocusCueChanged() = 0;
  // The dotted rectangle that Windows draws for a focused button, inside `bounds` and `inset`
  // pixels in from its edge; nothing when the cue is off.
  void DrawFocusCue(HDC dc, RECT bounds, int inset) const;

 private:
  bool focus_cue_ = false;
};

}  // namespace stampwell
