#include "wizard/acceptance_check_box.h"

#include "framework/form_reader.h"

namespace stampwell::wizard {

void TAcceptanceCheckBox::CreateParamsFor(CreateParams& params) {
  TCheckBox::CreateParamsFor(params);
  // A plain check box: the system does not change its state on a click.
  params.style = (params.style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_CHECKBOX;
}

void RegisterAcceptanceCheckBox() {
  static const bool registered = [] {
    RegisterFormClass<TAcceptanceCheckBox>("TAcceptanceCheckBox");
    return true;
  }();
  (void)registered;
}

}  // namespace stampwell::wizard
