#include "framework/menus.h"

#include <algorithm>
#include <map>

#include "framework/form_reader.h"

namespace stampwell {
namespace {

std::map<UINT, TMenuItem*>& ItemsByCommand() {
  static std::map<UINT, TMenuItem*> items;
  return items;
}
UINT g_next_command = 1000;  // above the dialog manager's IDOK/IDCANCEL and the control IDs' range start

BOOL CALLBACK FindMenuOwner(HWND window, LPARAM data) {
  auto* state = reinterpret_cast<std::pair<HMENU, bool>*>(data);
  if (::GetMenu(window) == state->first) state->second = true;
  return TRUE;
}

}  // namespace

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(g_next_command++) {
  ItemsByCommand()[command_] = this;
}

TMenuItem::~TMenuItem() {
  ItemsByCommand().erase(command_);
  for (TMenuItem* item : items_) item->parent_ = nullptr;
  if (parent_) parent_->Remove(this);
}

void TMenuItem::Add(TMenuItem* item) {
  if (item->parent_) item->parent_->Remove(item);
  items_.push_back(item);
  item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  item->parent_ = nullptr;
}

bool TMenuItem::DispatchCommand(UINT command) {
  auto it = ItemsByCommand().find(command);
  if (it == ItemsByCommand().end()) return false;
  it->second->Click();
  return true;
}

void TMenuItem::AppendTo(HMENU menu) const {
  if (items_.empty()) {
    ::AppendMenuA(menu, caption_ == "-" ? MF_SEPARATOR : MF_STRING, command_, caption_.c_str());
    return;
  }
  HMENU sub = ::CreatePopupMenu();
  for (const TMenuItem* item : items_) item->AppendTo(sub);
  ::AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), caption_.c_str());
}

bool TMenuItem::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Caption") SetCaption(context.String(value));
  else if (name == "OnClick") context.Bind(OnClick, value);
  else if (name == "ShortCut" || name == "GroupIndex") context.Integer(value);
  else return TComponent::SetProperty(name, value, context);
  return true;
}

void TMenuItem::ReadChild(TComponent* child, FormReadContext& context) {
  if (auto* item = dynamic_cast<TMenuItem*>(child)) {
    Add(item);
    return;
  }
  context.Fail("a menu item holds only menu items");
}

TMainMenu::TMainMenu(TComponent* owner) : TComponent(owner), root_(new TMenuItem(this)) {}

TMainMenu::~TMainMenu() {
  if (!menu_ || !::IsMenu(menu_)) return;
  // A menu still set on a window is destroyed with the window.
  std::pair<HMENU, bool> state{menu_, false};
  ::EnumThreadWindows(::GetCurrentThreadId(), FindMenuOwner, reinterpret_cast<LPARAM>(&state));
  if (!state.second) ::DestroyMenu(menu_);
}

HMENU TMainMenu::Handle() {
  if (!menu_) {
    menu_ = ::CreateMenu();
    for (const TMenuItem* item : root_->Items()) item->AppendTo(menu_);
  }
  return menu_;
}

void TMainMenu::ReadChild(TComponent* child, FormReadContext& context) {
  if (auto* item = dynamic_cast<TMenuItem*>(child)) {
    root_->Add(item);
    return;
  }
  context.Fail("a menu holds only menu items");
}

}  // namespace stampwell
