#include "wizard/form2.h"

#include "framework/application.h"
#include "wizard/licence_text.h"

namespace stampwell::wizard {

TForm2::TForm2(TComponent* owner) : TForm(owner) {
  RegisterHandlers({
      {"FormActivate", TNotifyEvent([this](TObject*) { FormActivate(); })},
      {"Exit1Click", TNotifyEvent([this](TObject*) { Exit1Click(); })},
  });
  LoadFromResource("FORM2");
  RichEdit1 = &Field<TRichEdit>("RichEdit1");
  RichEdit1->SetCaption(LicenceText());
}

void TForm2::ShowCentred() {
  SetBounds(TScreen::Width() / 2 - Width() / 2, TScreen::Height() / 2 - Height() / 2, Width(), Height());
  Show();
}

void TForm2::FormActivate() {
  RichEdit1->SetSelStart(0);
  RichEdit1->SetSelLength(kTitleLength);
  RichEdit1->SetSelSize(kTitlePoints);
  RichEdit1->SetSelLength(0);
}

void TForm2::Exit1Click() { Close(); }

bool TForm2::PreviewKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_ESCAPE) return false;
  Exit1Click();
  return true;
}

}  // namespace stampwell::wizard
