#pragma once
// The main menu of a form and its items. A form shows its menu through its Menu property;
// clicking an item fires the item's OnClick.

#include <windows.h>

#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/events.h"
#include "framework/unique_handle.h"

namespace stampwell {

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { caption_ = caption; }
  const std::vector<TMenuItem*>& Items() const { return items_; }
  void Add(TMenuItem* item);
  UINT Command() const { return command_; }

  TNotifyEvent OnClick;
  void Click() { FireEvent(OnClick, this); }

  // Clicks the item with this command ID; false when there is none.
  static bool DispatchCommand(UINT command);

  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;
  void ReadChild(TComponent* child, FormReadContext& context) override;

  // Appends this item (and its submenu) to `menu`.
  void AppendTo(HMENU menu) const;

 private:
  friend class TMainMenu;
  void Remove(TMenuItem* item);
  std::string caption_;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  UINT command_;
};

class TMainMenu : public TComponent {
 public:
  explicit TMainMenu(TComponent* owner);
  ~TMainMenu() override;
  // The menu bar, built from the items on first use.
  HMENU Handle();
  TMenuItem& Items() { return *root_; }
  void ReadChild(TComponent* child, FormReadContext& context) override;

 private:
  TMenuItem* root_;
  HMENU menu_ = nullptr;  // owned while no window holds it; a window destroys its own menu
};

}  // namespace stampwell
