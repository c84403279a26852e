#pragma once
// TForm2, the licence window: an ordinary captioned window with the licence agreement as
// read-only rich text and a File menu with Exit. It is created hidden, shown by the wizard's
// licence link, and closing it only hides it. Its layout is the form resource FORM2.

#include <windows.h>

#include "framework/forms.h"
#include "framework/std_controls.h"

namespace stampwell::wizard {

class TForm2 : public TForm {
 public:
  static constexpr int kWidth = 616;
  static constexpr int kHeight = 572;
  static constexpr int kTitleLength = 26;  // "END USER LICENSE AGREEMENT"
  static constexpr int kTitlePoints = 20;

  // Reads the layout and fills in the agreement; throws when the form or a control cannot be
  // made. The window stays hidden.
  explicit TForm2(TComponent* owner = nullptr);

  HWND hwnd() const { return HandleOrNull(); }
  TRichEdit* RichEdit1 = nullptr;

  // Label10Click: centred on the primary screen, shown, not modal.
  void ShowCentred();

  void FormActivate();
  void Exit1Click();

  // Esc closes the window as Exit does: a keyboard user's way out besides Alt+F4 and the menu.
  bool PreviewKey(const MSG& message) override;
};

}  // namespace stampwell::wizard
