#pragma once
// The licence acceptance box of the wizard's first page. The system never changes its state
// by itself: the wizard's click handler inverts the acceptance and sets the install buttons
// to match, so a mouse click or Space toggles it exactly once, and the focus merely arriving
// on it (Tab) changes nothing.

#include "framework/std_controls.h"

namespace stampwell::wizard {

class TAcceptanceCheckBox : public TCheckBox {
 public:
  explicit TAcceptanceCheckBox(TComponent* owner) : TCheckBox(owner) {}

 protected:
  void CreateParamsFor(CreateParams& params) override;
};

// Makes the class known to the form reader; idempotent.
void RegisterAcceptanceCheckBox();

}  // namespace stampwell::wizard
