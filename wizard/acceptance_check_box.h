#pragma once
// The licence acceptance box of the wizard's first page. It never keeps the keyboard focus:
// taking the focus only fires OnEnter (whose handler passes the focus on), so the box never
// draws a focus rectangle; and it never toggles itself on a click, because the toggle belongs
// to the control that receives the focus next. Every click on it or move of the focus onto
// it therefore inverts the acceptance exactly once.

#include "framework/std_controls.h"

namespace stampwell::wizard {

class TAcceptanceCheckBox : public TCheckBox {
 public:
  explicit TAcceptanceCheckBox(TComponent* owner) : TCheckBox(owner) {}
  LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
};

// Makes the class known to the form reader; idempotent.
void RegisterAcceptanceCheckBox();

}  // namespace stampwell::wizard
