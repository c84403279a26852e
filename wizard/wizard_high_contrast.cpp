#include "wizard/wizard_high_contrast.h"

#include "controls/ycl_button.h"
#include "framework/unique_handle.h"
#include "wizard/form1.h"
#include "wizard/picture_texts.h"
#include "wizard/seams.h"

namespace stampwell::wizard {

namespace {

// COLOR_HOTLIGHT, the system's colour of links, as the framework's colours name system colours.
constexpr TColor clHotLight = clSystemColor | COLOR_HOTLIGHT;

void DrawFrame(HDC dc, const RECT& r, int fill, int ink, int border, const std::string& name) {
  ::FillRect(dc, &r, ::GetSysColorBrush(fill));
  RECT edge = r;
  for (int i = 0; i < border; ++i) {
    ::FrameRect(dc, &edge, ::GetSysColorBrush(ink));
    ::InflateRect(&edge, -1, -1);
  }
  if (name == "Close") {
    // A cross: the close buttons are too small for a word.
    unique_hpen pen(::CreatePen(PS_SOLID, 2, ::GetSysColor(ink)));
    scoped_select_object select(dc, pen.get());
    const int inset = 4;
    ::MoveToEx(dc, r.left + inset, r.top + inset, nullptr);
    ::LineTo(dc, r.right - inset, r.bottom - inset);
    ::MoveToEx(dc, r.right - inset, r.top + inset, nullptr);
    ::LineTo(dc, r.left + inset, r.bottom - inset);
    return;
  }
  scoped_select_object font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(ink));
  RECT text = r;
  ::DrawTextA(dc, name.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

void DrawPlainButtonStrip(TPicture& picture, int width, int height, const std::string& name) {
  TBitmap& strip = picture.Bitmap();
  strip.SetSize(4 * width, height);
  HDC dc = strip.DC();
  if (!dc) return;
  struct Look {
    int fill, ink, border;
  };
  const Look looks[4] = {{COLOR_BTNFACE, COLOR_BTNTEXT, 1},
                         {COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, 1},
                         {COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, 2},
                         {COLOR_BTNFACE, COLOR_GRAYTEXT, 1}};
  for (int frame = 0; frame < 4; ++frame) {
    const RECT r{frame * width, 0, (frame + 1) * width, height};
    DrawFrame(dc, r, looks[frame].fill, looks[frame].ink, looks[frame].border, name);
  }
}

WizardHighContrast::WizardHighContrast(TForm1& form) : form_(form) {}

WizardHighContrast::~WizardHighContrast() = default;

void WizardHighContrast::Follow() {
  const bool plain = seams::HighContrastOn();
  // While plain, a change of the scheme's colours redraws the strips in the new ones.
  if (plain || plain != plain_) Apply(plain);
}

void WizardHighContrast::Apply(bool plain) {
  TForm1& f = form_;
  if (plain && buttons_.empty()) {
    // What the plain look changes, taken once, before the first change.
    const std::pair<TYCLButton*, const char*> named[] = {
        {f.Button_QuickInstall, "Quick Install"}, {f.Button_custominstall, "Custom Install"},
        {f.Button_browse, "Browse"},             {f.Button_install, "Install"},
        {f.Button_back, "Back"},                 {f.Button_finish, "Finish"}};
    auto keep = [this](TYCLButton* button, const char* name) {
      auto picture = std::make_unique<TPicture>();
      picture->Assign(button->Picture());
      buttons_.push_back({button, name, std::move(picture)});
    };
    for (const auto& [button, name] : named) keep(button, name);
    for (int page = 0; page < 4; ++page) keep(&f.CloseButton(page), "Close");
    for (const char* name : {"Image1", "Image11", "Image9", "Image7", "Image4", "Image5", "Image10"})
      pictures_.push_back(&f.Field<TImage>(name));
    colours_.emplace_back(&f, f.Color());
    for (TCheckBox* box : {static_cast<TCheckBox*>(f.CheckBox5), f.CheckBox1, f.CheckBox3, f.CheckBox4})
      colours_.emplace_back(box, box->Color());
    for (TControl* text : std::initializer_list<TControl*>{f.Label1, f.Label2, f.Label3, f.Label4, f.Label6, f.Label9,
                                                            f.Label10, f.Label36, f.Label40, f.label5, f.CheckBox5,
                                                            f.CheckBox1, f.CheckBox3, f.CheckBox4})
      font_colours_.emplace_back(text, text->Font().Color());
    for (const PictureText& text : kPictureTexts) {
      auto* label = new TLabel(&f);  // owned by the form
      label->SetParent(&f.Page(text.page));
      label->SetDesignBounds(text.bounds.left, text.bounds.top, label->DesignWidth(), label->DesignHeight());
      label->SetTransparent(true);
      label->Font().SetStyle(fsBold);
      label->SetCaption(text.text);
      label->SetVisible(false);
      plain_texts_.push_back(label);
    }
    progress_fill_.Assign(f.Image14->Picture());
  }
  plain_ = plain;
  for (ButtonLook& look : buttons_) {
    if (plain) {
      TPicture strip;
      DrawPlainButtonStrip(strip, look.button->Width(), look.button->Height(), look.name);
      look.button->SetPicture(strip);
    } else {
      look.button->SetPicture(*look.picture);
    }
  }
  for (TControl* picture : pictures_) picture->SetVisible(!plain);
  for (TLabel* text : plain_texts_) {
    text->Font().SetColor(clWindowText);
    text->SetVisible(plain);
  }
  for (auto& [control, colour] : colours_) control->SetColor(plain ? clWindow : colour);
  for (auto& [control, colour] : font_colours_) {
    const TColor ink = control == f.Label10 ? clHotLight : clWindowText;
    control->Font().SetColor(plain ? ink : colour);
  }
  if (plain) {
    TPicture fill;
    fill.Bitmap().SetSize(2, 2);
    if (HDC dc = fill.Bitmap().DC()) {
      const RECT all{0, 0, 2, 2};
      ::FillRect(dc, &all, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    f.Image14->SetPicture(fill);
  } else if (!buttons_.empty()) {
    f.Image14->SetPicture(progress_fill_);
  }
  f.Invalidate();
}

}  // namespace stampwell::wizard
