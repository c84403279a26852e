// Node images and custom drawing.
#include "shellbrowse/toolbox/shell_icons.h"
#include "shellbrowse/tree/shell_tree.h"

#include "framework/system_library.h"

namespace stampwell {
namespace {

// ImageList_SetBkColor of the common controls already in the process (they are loaded at run
// time, never linked); null when they are not there.
using SetBkColorFn = decltype(&::ImageList_SetBkColor);

SetBkColorFn ImageListSetBkColor() {
  return STAMPWELL_SYSTEM_FUNCTION(::GetModuleHandleA("comctl32.dll"), ImageList_SetBkColor);
}

}  // namespace

void TPTCustomShellTree::GetImageIndex(TTreeNode* node) {
  if (TPTShTreeData* data = NodeData(node); data && node->ImageIndex() == 0) {
    node->SetImageIndex(GetSysIconIndex(data->AbsIdList(), SHGFI_SMALLICON));
  }
  TPTCustomTreeView::GetImageIndex(node);
}

void TPTCustomShellTree::GetSelectedIndex(TTreeNode* node) {
  if (TPTShTreeData* data = NodeData(node); data && node->SelectedIndex() == 0) {
    node->SetSelectedIndex(GetSysIconIndex(data->AbsIdList(), SHGFI_SMALLICON | SHGFI_OPENICON));
  }
  TPTCustomTreeView::GetSelectedIndex(node);
}

void TPTCustomShellTree::HandleCustomDraw(NMTVCUSTOMDRAW& draw, LRESULT& result) {
  custom_draw_.reset();
  custom_draw_ = CreateCustomDraw();
  custom_draw_->Init(&draw.nmcd, &result);
  TTreeNode* node = (draw.nmcd.dwDrawStage & CDDS_ITEM) ? reinterpret_cast<TTreeNode*>(draw.nmcd.lItemlParam) : nullptr;
  DoCustomDrawSh(static_cast<TPTTvCustomDraw&>(*custom_draw_), node);
  custom_draw_->Apply();
}

void TPTCustomShellTree::DoCustomDrawSh(TPTTvCustomDraw& draw, TTreeNode* node) {
  TPTShTreeData* data = NodeData(node);
  FireEvent(OnCustomDrawShEx, this, &draw, node, data);
  if (draw.DrawStage() == 4) FireEvent(OnCustomDrawSh, this, &draw, node, data);
}

LRESULT TPTCustomShellTree::PaintWithImageBackground(UINT message, WPARAM wparam, LPARAM lparam) {
  // Icons on the control's own colour need no transparency work.
  SetBkColorFn set_bk_color = ImageListSetBkColor();
  COLORREF colour = ColorToRGB(color_);
  COLORREF old_small = CLR_NONE, old_state = CLR_NONE;
  HIMAGELIST state = StateImages();
  if (set_bk_color) {
    if (small_images_) old_small = set_bk_color(small_images_, colour);
    if (state) old_state = set_bk_color(state, colour);
  }
  struct Restore {
    SetBkColorFn set;
    HIMAGELIST small_list, state_list;
    COLORREF old_small, old_state;
    ~Restore() {
      if (!set) return;
      if (small_list) set(small_list, old_small);
      if (state_list) set(state_list, old_state);
    }
  } restore{set_bk_color, small_images_, state, old_small, old_state};
  return TPTCustomTreeView::WndProc(message, wparam, lparam);
}

}  // namespace stampwell
