#include "wizard/acceptance_check_box.h"

#include "framework/form_reader.h"
#include "framework/forms.h"

namespace stampwell::wizard {

void TAcceptanceCheckBox::CreateParamsFor(CreateParams& params) {
  TCheckBox::CreateParamsFor(params);
  // A plain check box: the system does not change its state on a click.
  params.style = (params.style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_CHECKBOX;
}

LRESULT TAcceptanceCheckBox::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_SETFOCUS) {
    // The system's own handling would draw the focus rectangle; the form only needs to know.
    if (TForm* form = ParentForm()) form->SetFocusedControl(this);
    return 0;
  }
  return TCheckBox::WndProc(message, wparam, lparam);
}

void RegisterAcceptanceCheckBox() {
  static const bool registered = [] {
    RegisterFormClass<TAcceptanceCheckBox>("TAcceptanceCheckBox");
    return true;
  }();
  (void)registered;
}

}  // namespace stampwell::wizard
