#pragma once
// TPTCustomTreeView: the library's tree-view base. Adds node context menus (right click and
// the context-menu key) and a custom-draw object per NM_CUSTOMDRAW notification to the
// standard tree view.

#include <windows.h>

#include <functional>
#include <memory>

#include "framework/tree_view.h"
#include "shellbrowse/tree/custom_draw.h"

namespace stampwell {

// `aPos` (screen) and `aMenu` (preset to the control's PopupMenu; null: no menu follows) may
// be changed by the handler.
using TPTTvOnNodeContextMenuEvent = std::function<void(TObject* aSender, TTreeNode* aNode, POINT& aPos, HMENU& aMenu)>;

class TPTCustomTreeView : public TCustomTreeView {
 public:
  explicit TPTCustomTreeView(TComponent* owner);
  ~TPTCustomTreeView() override;

  // The control's own popup menu (not owned); shown where no node menu takes its place.
  HMENU PopupMenu() const noexcept { return popup_menu_; }
  void SetPopupMenu(HMENU menu) noexcept { popup_menu_ = menu; }

  TPTTvOnNodeContextMenuEvent OnNodeContextMenu;

  // The custom-draw object of the notification being handled (none outside one).
  TPTCustomDraw* CurrentCustomDraw() const noexcept { return custom_draw_.get(); }

  LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  bool HandleNotify(NMHDR* header, LRESULT& result) override;
  bool NotifyRightClick() override;

  // NM_CUSTOMDRAW when no standard custom-draw event is set: the custom-draw object's way.
  virtual void HandleCustomDraw(NMTVCUSTOMDRAW& draw, LRESULT& result);
  // A new custom-draw object for one notification; trees request item drawing (1).
  virtual std::unique_ptr<TPTCustomDraw> CreateCustomDraw();
  // The context-menu key (VK_APPS or Shift+F10): the selected node's menu at the centre of its
  // text, or PopupMenu at the top-left corner without a selection.
  virtual void ContextMenuKey();
  // Shows the menu of `node` (null: the control's) at a screen point.
  virtual void PopupNodeMenu(TTreeNode* node, POINT screen_point);
  // Fires OnNodeContextMenu; overrides may show their own menu and clear `menu`.
  virtual void DoNodeContextMenu(TTreeNode* node, POINT& screen_point, HMENU& menu);

  // VK_APPS without modifiers, or Shift+F10.
  static bool IsContextMenuKey(WPARAM key) noexcept;

  std::unique_ptr<TPTCustomDraw> custom_draw_;

 private:
  void ShowMenu(HMENU menu, POINT screen_point);
  HMENU popup_menu_ = nullptr;
  bool node_menu_shown_ = false;
};

}  // namespace stampwell
