#include "wizard/wizard_accessibility.h"

#include <oleacc.h>

#include <string>
#include <utility>
#include <vector>

#include "wizard/accessible_client.h"
#include "wizard/form1.h"
#include "wizard/oleacc_library.h"
#include "wizard/picture_texts.h"
#include "wizard/wizard_keyboard.h"

namespace stampwell::wizard {

namespace {

RECT ToScreen(HWND window, RECT r) {
  if (window) ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

// The shown page as elements, each with the control behind it (null for a picture's text).
class WizardAccessibleSource final : public AccessibleSource {
 public:
  explicit WizardAccessibleSource(TForm1& form) : form_(&form) {}
  void Detach() { form_ = nullptr; }
  int ActivePage() const { return form_ ? form_->ActivePage() : -1; }
  TControl* ProgressBar() const { return form_ ? form_->Image14 : nullptr; }

  bool Alive() const override { return form_ && form_->HandleOrNull(); }
  HWND Window() const override { return form_ ? form_->HandleOrNull() : nullptr; }

  std::vector<AccessibleElement> Elements() const override {
    std::vector<AccessibleElement> elements;
    for (auto& [element, control] : Page()) elements.push_back(std::move(element));
    return elements;
  }

  long FocusedChild() const override {
    if (!Alive()) return -1;
    HWND focus = ::GetFocus();
    if (!focus || (focus != form_->HandleOrNull() && !::IsChild(form_->HandleOrNull(), focus))) return -1;
    const long id = ChildOf(form_->Keyboard().Focused());
    return id > 0 ? id : CHILDID_SELF;
  }

  bool RequestDefaultAction(long child) override {
    if (!Alive() || !ControlOf(child)) return false;
    return ::PostMessageA(form_->HandleOrNull(), WizardAccessibility::kDefaultActionMessage,
                          static_cast<WPARAM>(form_->ActivePage()), static_cast<LPARAM>(child)) != FALSE;
  }

  bool TakeFocus(long child) override {
    TControl* control = ControlOf(child);
    if (!control || !control->Enabled()) return false;
    form_->Keyboard().FocusControl(control);
    return form_->Keyboard().Focused() == control;
  }

  TControl* ControlOf(long child) const {
    if (!Alive()) return nullptr;
    auto page = Page();
    return child >= 1 && child <= static_cast<long>(page.size()) ? page[child - 1].second : nullptr;
  }

  long ChildOf(const TControl* control) const {
    if (!Alive() || !control) return 0;
    auto page = Page();
    for (size_t i = 0; i < page.size(); ++i) {
      if (page[i].second == control) return static_cast<long>(i + 1);
    }
    return 0;
  }

 private:
  using Entry = std::pair<AccessibleElement, TControl*>;

  std::vector<Entry> Page() const {
    std::vector<Entry> page;
    if (!Alive()) return page;
    TForm1& f = *form_;
    const int index = f.ActivePage();
    TControl* focused = f.Keyboard().Focused();
    auto add = [&](TControl* control, std::string name, long role) {
      if (!control || !control->Showing()) return;
      AccessibleElement e;
      e.name = std::move(name);
      e.role = role;
      HWND parent = control->Parent() ? control->Parent()->HandleOrNull() : nullptr;
      e.bounds = ToScreen(parent, control->BoundsRect());
      const bool acts = role != ROLE_SYSTEM_STATICTEXT && role != ROLE_SYSTEM_PROGRESSBAR;
      if (role == ROLE_SYSTEM_STATICTEXT || role == ROLE_SYSTEM_PROGRESSBAR) e.state |= STATE_SYSTEM_READONLY;
      if (acts && !control->Enabled()) e.state |= STATE_SYSTEM_UNAVAILABLE;
      if (acts && control->Enabled()) e.state |= STATE_SYSTEM_FOCUSABLE;
      if (acts && control == focused) e.state |= STATE_SYSTEM_FOCUSED;
      if (role == ROLE_SYSTEM_PUSHBUTTON) e.default_action = "Press";
      if (role == ROLE_SYSTEM_LINK) {
        e.state |= STATE_SYSTEM_LINKED;
        e.default_action = "Jump";
      }
      if (role == ROLE_SYSTEM_CHECKBUTTON) {
        const bool checked = static_cast<TCheckBox*>(control)->Checked();
        if (checked) e.state |= STATE_SYSTEM_CHECKED;
        e.default_action = checked ? "Uncheck" : "Check";
      }
      page.emplace_back(std::move(e), control);
    };
    auto add_picture_texts = [&] {
      for (const PictureText& text : kPictureTexts) {
        if (text.page != index || text.check_box_caption) continue;
        AccessibleElement e;
        e.name = text.text;
        e.role = ROLE_SYSTEM_STATICTEXT;
        e.state = STATE_SYSTEM_READONLY;
        const TTabSheet& sheet = f.Page(index);
        const RECT& b = text.bounds;
        e.bounds = ToScreen(sheet.HandleOrNull(), RECT{sheet.Scale(b.left), sheet.Scale(b.top), sheet.Scale(b.right),
                                                       sheet.Scale(b.bottom)});
        page.emplace_back(std::move(e), nullptr);
      }
    };
    // The page's title: the one of the four title labels that lies on it.
    for (TLabel* title : {f.Label1, f.Label2, f.Label3, f.Label4}) {
      if (title->Parent() == &f.Page(index)) add(title, title->Caption(), ROLE_SYSTEM_STATICTEXT);
    }
    switch (index) {
      case kChoicePage:
        add(f.CheckBox5, "I Accept the License Agreement", ROLE_SYSTEM_CHECKBUTTON);
        add(f.Label10, "License Agreement", ROLE_SYSTEM_LINK);
        add(f.Button_QuickInstall, "Quick Install", ROLE_SYSTEM_PUSHBUTTON);
        add(f.Button_custominstall, "Custom Install", ROLE_SYSTEM_PUSHBUTTON);
        break;
      case kLicencePage:
        add(f.Label40, f.Label40->Caption(), ROLE_SYSTEM_STATICTEXT);
        add(f.Memo1, "License Agreement", ROLE_SYSTEM_TEXT);
        add(f.Button17, f.Button17->Caption(), ROLE_SYSTEM_PUSHBUTTON);
        break;
      case kFolderPage:
        add_picture_texts();
        add(f.Edit1, "Destination folder", ROLE_SYSTEM_TEXT);
        if (!page.empty() && page.back().second == f.Edit1) page.back().first.value = f.Edit1->Text();
        add(f.Button_browse, "Browse", ROLE_SYSTEM_PUSHBUTTON);
        add(f.CheckBox1, "Create a desktop icon", ROLE_SYSTEM_CHECKBUTTON);
        add(f.CheckBox4, "Start Menu shortcuts", ROLE_SYSTEM_CHECKBUTTON);
        add(f.Button_install, "Install", ROLE_SYSTEM_PUSHBUTTON);
        add(f.Button_back, "Back", ROLE_SYSTEM_PUSHBUTTON);
        break;
      case kProgressPage: {
        add_picture_texts();
        // The fill grows over the picture's grey track; the track is the bar.
        AccessibleElement bar;
        bar.name = "Installation progress";
        bar.role = ROLE_SYSTEM_PROGRESSBAR;
        bar.state = STATE_SYSTEM_READONLY;
        const RECT fill = f.Image14->BoundsRect();
        const int track_right = f.Image14->Scale(f.Image14->DesignLeft() + TForm1::kProgressFillWidth);
        bar.bounds = ToScreen(f.Page(index).HandleOrNull(), RECT{fill.left, fill.top, track_right, fill.bottom});
        bar.value = std::to_string(f.ProgressFillWidth() * 100 / TForm1::kProgressFillWidth) + "%";
        page.emplace_back(std::move(bar), f.Image14);
        add(f.Label6, f.Label6->Caption(), ROLE_SYSTEM_STATICTEXT);
        break;
      }
      case kFinishPage:
        add(f.label5, f.label5->Caption(), ROLE_SYSTEM_STATICTEXT);
        add(f.CheckBox3, f.CheckBox3->Caption(), ROLE_SYSTEM_CHECKBUTTON);
        add(f.Button_finish, "Finish", ROLE_SYSTEM_PUSHBUTTON);
        break;
      default:
        break;
    }
    if (index < 4) add(&f.CloseButton(index), "Close", ROLE_SYSTEM_PUSHBUTTON);
    return page;
  }

  TForm1* form_;
};

WizardAccessibility::WizardAccessibility(TForm1& form) : source_(std::make_shared<WizardAccessibleSource>(form)) {}

WizardAccessibility::~WizardAccessibility() { source_->Detach(); }

bool WizardAccessibility::GetObject(WPARAM wparam, LPARAM lparam, LRESULT& result) {
  // The object id arrives as a 32-bit value in the message's lparam.
  if (static_cast<LONG>(static_cast<DWORD>(lparam)) != OBJID_CLIENT) return false;
  IAccessible* client = NewAccessibleClient(source_);
  if (!client) return false;
  result = AccessibleResult(__uuidof(IAccessible), wparam, client);
  client->Release();  // the result holds its own reference
  return result != 0;
}

void WizardAccessibility::RunDefaultAction(WPARAM wparam, LPARAM lparam) {
  // A request that a page change overtook acts on nothing.
  if (!source_->Alive() || static_cast<int>(wparam) != source_->ActivePage()) return;
  TControl* control = source_->ControlOf(static_cast<long>(lparam));
  if (!control || !control->Enabled() || !control->Showing()) return;
  if (auto* box = dynamic_cast<TCheckBox*>(control)) {
    // As a click does: the system's check box toggles, the acceptance box's handler inverts it.
    ::SendMessageA(box->Handle(), BM_CLICK, 0, 0);
  } else {
    control->Click();
  }
}

void WizardAccessibility::Raise(DWORD event, TControl* control) {
  const long child = control ? source_->ChildOf(control) : CHILDID_SELF;
  if (!source_->Alive() || (control && child == 0)) return;
  ::NotifyWinEvent(event, source_->Window(), OBJID_CLIENT, child);
}

void WizardAccessibility::FocusMoved(TControl* control) {
  // A control with a window of its own has the system raise the event for its window.
  if (control && !dynamic_cast<TWinControl*>(control)) Raise(EVENT_OBJECT_FOCUS, control);
}

void WizardAccessibility::StateChanged(TControl* control) { Raise(EVENT_OBJECT_STATECHANGE, control); }

void WizardAccessibility::NameChanged(TControl* control) { Raise(EVENT_OBJECT_NAMECHANGE, control); }

void WizardAccessibility::ProgressChanged() {
  if (source_->Alive()) Raise(EVENT_OBJECT_VALUECHANGE, source_->ProgressBar());
}

void WizardAccessibility::PageChanged() {
  // The client's children are now another page's.
  Raise(EVENT_OBJECT_REORDER, nullptr);
}

}  // namespace stampwell::wizard
