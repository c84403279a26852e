#include "wizard/link_label.h"

#include "framework/form_reader.h"

namespace stampwell::wizard {

void TLinkLabel::Paint(TCanvas& canvas) {
  TLabel::Paint(canvas);
  DrawFocusCue(canvas.Handle(), ClientRect(), 0);
}

void RegisterLinkLabel() {
  static const bool registered = [] {
    RegisterFormClass<TLinkLabel>("TLinkLabel");
    return true;
  }();
  (void)registered;
}

}  // namespace stampwell::wizard
