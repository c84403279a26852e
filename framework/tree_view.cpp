#include "framework/tree_view.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "framework/application.h"
#include "framework/form_reader.h"
#include "framework/std_controls.h"

namespace stampwell {
namespace {

// Every style bit that TreeStyle may select, so that a change rewrites exactly these.
constexpr DWORD kTreeStyleMask = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS |
                                 TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS | TVS_NOTOOLTIPS | TVS_TRACKSELECT |
                                 TVS_SINGLEEXPAND | TVS_FULLROWSELECT;

// A comparison that fails is reported and counts as equal: a sort is no place to unwind from.
int CompareReported(const TTreeNode::TTVCompare& compare, TTreeNode* a, TTreeNode* b) {
  try {
    return compare(a, b);
  } catch (...) {
    Application().HandleException(std::current_exception());
    return 0;
  }
}

int CALLBACK CompareNodes(LPARAM a, LPARAM b, LPARAM compare) {
  return CompareReported(*reinterpret_cast<const TTreeNode::TTVCompare*>(compare), reinterpret_cast<TTreeNode*>(a),
                         reinterpret_cast<TTreeNode*>(b));
}

}  // namespace

// ---- TCustomTreeView ----

TCustomTreeView::TCustomTreeView(TComponent* owner) : TWinControl(owner), items_(*this) {
  width_ = 121;
  height_ = 97;
  color_ = clWindow;
  parent_color_ = false;
  tab_stop_ = true;
}

TCustomTreeView::~TCustomTreeView() {
  // The node objects go while this class can still hear the control's deletions.
  if (handle_) {
    destroying_handle_ = true;
    items_.Clear();
    DestroyHandle();
  }
}

TTreeNode* TCustomTreeView::NodeFromItem(HTREEITEM item) const {
  if (!item || !handle_) return nullptr;
  TVITEMA data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  if (!::SendMessageA(handle_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data))) return nullptr;
  return reinterpret_cast<TTreeNode*>(data.lParam);
}

TTreeNode* TCustomTreeView::Selected() const {
  return handle_ ? NodeFromItem(TreeView_GetSelection(handle_)) : nullptr;
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (handle_) TreeView_SelectItem(handle_, node ? node->ItemId() : nullptr);
}

TTreeNode* TCustomTreeView::TopItem() const {
  return handle_ ? NodeFromItem(TreeView_GetFirstVisible(handle_)) : nullptr;
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const {
  if (!handle_) return nullptr;
  TVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  HTREEITEM item = TreeView_HitTest(handle_, &hit);
  return (hit.flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON)) ? NodeFromItem(item) : nullptr;
}

UINT TCustomTreeView::GetHitTestInfoAt(int x, int y) const {
  if (!handle_) return TVHT_NOWHERE;
  TVHITTESTINFO hit{};
  hit.pt = POINT{x, y};
  TreeView_HitTest(handle_, &hit);
  return hit.flags;
}

HWND TCustomTreeView::EditHandle() const { return handle_ ? TreeView_GetEditControl(handle_) : nullptr; }

bool TCustomTreeView::CustomSort(TTreeNode* node, const TTreeNode::TTVCompare& compare) {
  if (!handle_) return false;
  // The order is decided here and the control is then sorted into exactly that order, so that
  // the nodes' own lists and the control's agree whatever way the control sorts.
  std::vector<TTreeNode*> order;
  for (TTreeNode* child = items_.FirstOf(node); child; child = child->next_sibling_) order.push_back(child);
  std::stable_sort(order.begin(), order.end(),
                   [&compare](TTreeNode* a, TTreeNode* b) { return CompareReported(compare, a, b) < 0; });
  std::unordered_map<const TTreeNode*, size_t> place;
  place.reserve(order.size());
  for (size_t i = 0; i < order.size(); ++i) place.emplace(order[i], i);
  const TTreeNode::TTVCompare by_place = [&place](TTreeNode* a, TTreeNode* b) {
    size_t pa = place.at(a), pb = place.at(b);
    return pa < pb ? -1 : pa > pb ? 1 : 0;
  };
  TVSORTCB sort{};
  sort.hParent = node ? node->ItemId() : TVI_ROOT;
  sort.lpfnCompare = &CompareNodes;
  sort.lParam = reinterpret_cast<LPARAM>(&by_place);
  if (!::SendMessageA(handle_, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort))) return false;
  TTreeNode* previous = nullptr;
  for (TTreeNode* child : order) {
    items_.Unlink(child);
    items_.Link(child, previous);
    previous = child;
  }
  return true;
}

void TCustomTreeView::FullExpand() {
  for (TTreeNode* n = items_.GetFirstNode(); n; n = n->GetNextSibling()) n->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (TTreeNode* n = items_.GetFirstNode(); n; n = n->GetNextSibling()) n->Collapse(true);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle v) {
  border_style_ = v;
  if (!handle_) return;
  LONG_PTR ex = ::GetWindowLongPtrA(handle_, GWL_EXSTYLE);
  ex = v == TBorderStyle::bsSingle ? (ex | WS_EX_CLIENTEDGE) : (ex & ~WS_EX_CLIENTEDGE);
  ::SetWindowLongPtrA(handle_, GWL_EXSTYLE, ex);
  ::SetWindowPos(handle_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int TCustomTreeView::Indent() const {
  if (handle_) return static_cast<int>(TreeView_GetIndent(handle_));
  return indent_;
}

void TCustomTreeView::SetIndent(int indent) {
  indent_ = indent;
  if (handle_ && indent >= 0) TreeView_SetIndent(handle_, indent);
}

void TCustomTreeView::SetImages(HIMAGELIST images) {
  images_ = images;
  if (handle_) TreeView_SetImageList(handle_, images, TVSIL_NORMAL);
}

void TCustomTreeView::SetStateImages(HIMAGELIST images) {
  state_images_ = images;
  if (handle_) TreeView_SetImageList(handle_, images, TVSIL_STATE);
}

DWORD TCustomTreeView::TreeStyle() const {
  DWORD style = 0;
  if (show_buttons_) style |= TVS_HASBUTTONS;
  if (show_lines_) style |= TVS_HASLINES;
  if (show_root_) style |= TVS_LINESATROOT;
  if (!read_only_) style |= TVS_EDITLABELS;
  if (!hide_selection_) style |= TVS_SHOWSELALWAYS;
  if (hot_track_) style |= TVS_TRACKSELECT;
  if (row_select_) style |= TVS_FULLROWSELECT;
  if (!tool_tips_) style |= TVS_NOTOOLTIPS;
  if (auto_expand_) style |= TVS_SINGLEEXPAND;
  if (drag_mode_ == TDragMode::dmManual) style |= TVS_DISABLEDRAGDROP;
  return style;
}

void TCustomTreeView::ApplyStyle() {
  if (!handle_) return;
  LONG_PTR style = ::GetWindowLongPtrA(handle_, GWL_STYLE);
  LONG_PTR wanted = (style & ~static_cast<LONG_PTR>(kTreeStyleMask)) | static_cast<LONG_PTR>(TreeStyle());
  if (wanted == style) return;
  ::SetWindowLongPtrA(handle_, GWL_STYLE, wanted);
  ::InvalidateRect(handle_, nullptr, TRUE);
}

void TCustomTreeView::CreateParamsFor(CreateParams& params) {
  InitCommonControlClasses();
  TWinControl::CreateParamsFor(params);
  params.class_name = WC_TREEVIEWA;
  params.style |= TreeStyle();
  if (border_style_ == TBorderStyle::bsSingle) params.ex_style |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd() {
  ApplyColors();
  if (indent_ >= 0) TreeView_SetIndent(handle_, indent_);
  if (images_) TreeView_SetImageList(handle_, images_, TVSIL_NORMAL);
  if (state_images_) TreeView_SetImageList(handle_, state_images_, TVSIL_STATE);
}

void TCustomTreeView::ApplyColors() {
  if (!handle_) return;
  TreeView_SetBkColor(handle_, ColorToRGB(color_));
  TreeView_SetTextColor(handle_, ColorToRGB(font_.Color()));
}

void TCustomTreeView::ColorChanged() {
  TWinControl::ColorChanged();
  ApplyColors();
}


LRESULT TCustomTreeView::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DESTROY: {
      // Every node object goes with the window; the next window starts empty.
      bool saved = destroying_handle_;
      destroying_handle_ = true;
      items_.Clear();
      destroying_handle_ = saved;
      editing_ = false;
      ::KillTimer(handle_, kChangeDelayTimer);
      break;
    }
    case TVM_ENDEDITLABELNOW: {
      bool saved = cancelling_edit_;
      cancelling_edit_ = wparam != 0;
      LRESULT result = TWinControl::WndProc(message, wparam, lparam);
      cancelling_edit_ = saved;
      return result;
    }
    case WM_TIMER:
      if (wparam == kChangeDelayTimer) {
        ::KillTimer(handle_, kChangeDelayTimer);
        Change(Selected());
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: {
      POINT p{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      if (DoMouseWheel(MouseShiftState(LOWORD(wparam)), GET_WHEEL_DELTA_WPARAM(wparam), p)) return 0;
      break;
    }
    case WM_GETDLGCODE:
      // While a label is edited, Enter and Escape belong to the edit box, not to the dialog's
      // default and cancel buttons.
      if (IsEditing()) return DefaultHandler(message, wparam, lparam) | DLGC_WANTALLKEYS;
      break;
    case WM_SYSCOLORCHANGE:
      if (color_ & clSystemColor) ApplyColors();
      break;
    default:
      break;
  }
  return TWinControl::WndProc(message, wparam, lparam);
}

bool TCustomTreeView::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "ShowButtons") SetShowButtons(context.Boolean(value));
  else if (name == "ShowLines") SetShowLines(context.Boolean(value));
  else if (name == "ShowRoot") SetShowRoot(context.Boolean(value));
  else if (name == "ReadOnly") SetReadOnly(context.Boolean(value));
  else if (name == "HideSelection") SetHideSelection(context.Boolean(value));
  else if (name == "HotTrack") SetHotTrack(context.Boolean(value));
  else if (name == "RowSelect") SetRowSelect(context.Boolean(value));
  else if (name == "ToolTips") SetToolTips(context.Boolean(value));
  else if (name == "AutoExpand") SetAutoExpand(context.Boolean(value));
  else if (name == "RightClickSelect") SetRightClickSelect(context.Boolean(value));
  else if (name == "Indent") SetIndent(context.Integer(value));
  else if (name == "ChangeDelay") SetChangeDelay(context.Integer(value));
  else if (name == "DragMode") SetDragMode(static_cast<TDragMode>(context.Enum(value, {"dmManual", "dmAutomatic"})));
  else if (name == "BorderStyle") SetBorderStyle(static_cast<TBorderStyle>(context.Enum(value, {"bsNone", "bsSingle"})));
  else if (name == "DragKind") context.Enum(value, {"dkDrag", "dkDock"});
  else if (name == "DragCursor" || name == "BiDiMode") context.Identifier(value);
  else if (name == "BorderWidth") context.Integer(value);
  else if (name == "Anchors" || name == "Constraints") context.Set(value);
  else if (name == "Ctl3D" || name == "ParentCtl3D" || name == "ParentBiDiMode") context.Boolean(value);
  else if (name == "OnChange" || name == "OnExpanded" || name == "OnCollapsed" || name == "OnDeletion" ||
           name == "OnGetImageIndex" || name == "OnGetSelectedIndex") {
    TTVChangedEvent& event = name == "OnChange" ? OnChange
                             : name == "OnExpanded" ? OnExpanded
                             : name == "OnCollapsed" ? OnCollapsed
                             : name == "OnDeletion" ? OnDeletion
                             : name == "OnGetImageIndex" ? OnGetImageIndex
                                                         : OnGetSelectedIndex;
    context.Bind(event, value);
  } else if (name == "OnChanging") context.Bind(OnChanging, value);
  else if (name == "OnExpanding") context.Bind(OnExpanding, value);
  else if (name == "OnCollapsing") context.Bind(OnCollapsing, value);
  else if (name == "OnEditing") context.Bind(OnEditing, value);
  else if (name == "OnEdited") context.Bind(OnEdited, value);
  else if (name == "OnDblClick") context.Bind(OnDblClick, value);
  else if (name == "OnStartDrag") context.Bind(OnStartDrag, value);
  else return TWinControl::SetProperty(name, value, context);
  return true;
}

}  // namespace stampwell