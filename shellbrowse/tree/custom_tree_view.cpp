#include "shellbrowse/tree/custom_tree_view.h"

#include "framework/menus.h"
#include "shellbrowse/toolbox/platform_probes.h"

namespace stampwell {
namespace {

// Tool tips of the common controls before 4.72 misbehave in trees on the NT family.
constexpr std::uint64_t kToolTipsFixedVersion = 0x00040048;

}  // namespace

TPTCustomTreeView::TPTCustomTreeView(TComponent* owner) : TCustomTreeView(owner) {}

TPTCustomTreeView::~TPTCustomTreeView() = default;

void TPTCustomTreeView::CreateParamsFor(CreateParams& params) {
  TCustomTreeView::CreateParamsFor(params);
  if (IsWinNT() && (ComCtlVersion() >> 32) < kToolTipsFixedVersion) params.style |= TVS_NOTOOLTIPS;
}

std::unique_ptr<TPTCustomDraw> TPTCustomTreeView::CreateCustomDraw() {
  return std::make_unique<TPTTvCustomDraw>(font_, 1);
}

void TPTCustomTreeView::HandleCustomDraw(NMTVCUSTOMDRAW& draw, LRESULT& result) {
  custom_draw_.reset();
  custom_draw_ = CreateCustomDraw();
  custom_draw_->Init(&draw.nmcd, &result);
  custom_draw_->Apply();
}

bool TPTCustomTreeView::HandleNotify(NMHDR* header, LRESULT& result) {
  if (header->code == NM_CUSTOMDRAW && !StandardCustomDrawAssigned()) {
    result = CDRF_DODEFAULT;
    HandleCustomDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(header), result);
    return true;
  }
  return TCustomTreeView::HandleNotify(header, result);
}

bool TPTCustomTreeView::NotifyRightClick() {
  TCustomTreeView::NotifyRightClick();
  POINT screen;
  ::GetCursorPos(&screen);
  POINT client = screen;
  ::ScreenToClient(handle_, &client);
  TTreeNode* node = GetNodeAt(client.x, client.y);
  if (!node) return false;
  PopupNodeMenu(node, screen);
  // Answered: the control sends no WM_CONTEXTMENU after it.
  return true;
}

void TPTCustomTreeView::ContextMenuKey() {
  if (TTreeNode* node = Selected()) {
    RECT r = node->DisplayRect(true);
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    PopupNodeMenu(node, ClientToScreen(centre));
    return;
  }
  if (popup_menu_) ShowMenu(popup_menu_, ClientToScreen(POINT{0, 0}));
}

void TPTCustomTreeView::PopupNodeMenu(TTreeNode* node, POINT screen_point) {
  node_menu_shown_ = false;
  HMENU menu = popup_menu_;
  DoNodeContextMenu(node, screen_point, menu);
  if (menu) ShowMenu(menu, screen_point);
  // The system's context-menu message that follows the key or the click must not show
  // PopupMenu a second time.
  if (menu != popup_menu_) node_menu_shown_ = true;
}

void TPTCustomTreeView::DoNodeContextMenu(TTreeNode* node, POINT& screen_point, HMENU& menu) {
  FireEvent(OnNodeContextMenu, this, node, screen_point, menu);
}

void TPTCustomTreeView::ShowMenu(HMENU menu, POINT screen_point) {
  UINT command = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD, screen_point.x,
                                                    screen_point.y, 0, handle_, nullptr));
  if (command) TMenuItem::DispatchCommand(command);
}

LRESULT TPTCustomTreeView::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (IsContextMenuKey(wparam)) {
        ContextMenuKey();
        return 0;
      }
      break;
    case WM_CONTEXTMENU: {
      if (node_menu_shown_) {
        node_menu_shown_ = false;
        return 0;
      }
      if (Selected()) break;
      if (lparam == -1) {
        ContextMenuKey();
      } else {
        PopupNodeMenu(nullptr, POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
      }
      return 0;
    }
    default:
      break;
  }
  return TCustomTreeView::WndProc(message, wparam, lparam);
}

bool TPTCustomTreeView::IsContextMenuKey(WPARAM key) noexcept {
  bool shift = ::GetKeyState(VK_SHIFT) < 0, ctrl = ::GetKeyState(VK_CONTROL) < 0, alt = ::GetKeyState(VK_MENU) < 0;
  if (ctrl || alt) return false;
  return (key == VK_APPS && !shift) || (key == VK_F10 && shift);
}

}  // namespace stampwell
