#pragma once
// The licence link of the wizard's first page: a transparent label that the keyboard can
// reach, drawing the focus cue around its text while it holds the keyboard focus.

#include "controls/focus_cue.h"
#include "framework/std_controls.h"

namespace stampwell::wizard {

class TLinkLabel : public TLabel, public TFocusCueHolder {
 public:
  explicit TLinkLabel(TComponent* owner) : TLabel(owner) {}
  void Paint(TCanvas& canvas) override;

 protected:
  void FocusCueChanged() override { Invalidate(); }
};

// Makes the class known to the form reader; idempotent.
void RegisterLinkLabel();

}  // namespace stampwell::wizard
