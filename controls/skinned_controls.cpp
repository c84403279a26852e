#include "controls/skinned_controls.h"

#include "controls/ycl_button.h"
#include "controls/ycl_label.h"
#include "framework/form_reader.h"

namespace stampwell {

void RegisterSkinnedControls() {
  RegisterFormClass<TYCLButton>("TYCLButton");
  RegisterFormClass<TYCLLabel>("TYCLLabel");
}

}  // namespace stampwell
