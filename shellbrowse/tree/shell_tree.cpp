// The shell tree's state, properties, messages and life.
#include "shellbrowse/tree/shell_tree.h"

#include "framework/application.h"
#include "framework/form_reader.h"
#include "shellbrowse/locator/form_property_filer.h"
#include "shellbrowse/notification/change_handler_thread.h"
#include "shellbrowse/notification/device_change_handler.h"
#include "shellbrowse/toolbox/shell_icons.h"
#include "shellbrowse/toolbox/window_helpers.h"

namespace stampwell {

TPTCustomShellTree::TPTCustomShellTree(TComponent* owner) : TPTCustomTreeView(owner) {
  change_timer_ = new TTimer(this);
  change_timer_->SetEnabled(false);
  change_timer_->SetOnTimer([this](TObject* sender) { ChangeTimerFired(sender); });
  base_folder_.OnChange = [this](TObject* sender) { BaseFolderChanged(sender); };
  selected_folder_.OnChange = [this](TObject* sender) { SelectedFolderChanged(sender); };
  SetShowRoot(false);
  // The system's list, shared: the control never destroys it.
  small_images_ = GetSysImageList(0);
  SetImages(small_images_);
  try {
    GetDeviceChangeHandler().AddHandler(MakeDeviceChangeEvent<&TPTCustomShellTree::DeviceChange>(*this));
    registered_device_change_ = true;
  } catch (const std::exception&) {
    // Without the dispatcher the tree still works; it only misses drive arrivals.
  }
}

TPTCustomShellTree::~TPTCustomShellTree() {
  if (registered_device_change_) {
    try {
      GetDeviceChangeHandler().RemoveHandler(MakeDeviceChangeEvent<&TPTCustomShellTree::DeviceChange>(*this));
    } catch (const std::exception&) {
    }
  }
  change_timer_->SetEnabled(false);
  if (handle_) {
    // The nodes' data go while this class can still free them.
    LockScope lock(*this);
    DestroyHandle();
  }
  RevokeDropTarget();
  change_thread_.reset();
}

void TPTCustomShellTree::SetBaseFolder(const TPTShellLocator& folder) {
  if (Loading()) return;
  base_folder_.Assign(&folder);
}

void TPTCustomShellTree::SetSelectedFolder(const TPTShellLocator& folder) { selected_folder_.Assign(&folder); }

void TPTCustomShellTree::SetOptions(TPTShellTreeOptions options) {
  TPTShellTreeOptions old = options_;
  options_ = options;
  ApplyStyle();
  if (!handle_) return;
  bool was_watching = old.Contains(ptstoDynamicRefresh), watching = options.Contains(ptstoDynamicRefresh);
  if (watching && !was_watching) StartChangeWatch();
  if (!watching && was_watching) StopChangeWatch();
  bool was_target = old.Contains(ptstoOleDrop), target = options.Contains(ptstoOleDrop);
  if (target && !was_target) RegisterDropTarget();
  if (!target && was_target) RevokeDropTarget();
}

void TPTCustomShellTree::SetShellList(TPTCustomShellList* list) {
  // No list view of this program links itself; the link is kept for hosts that bring one.
  shell_list_ = list;
}

void TPTCustomShellTree::SetDragMode(TDragMode mode) {
  TPTCustomTreeView::SetDragMode(mode);
  ApplyStyle();
}

DWORD TPTCustomShellTree::TreeStyle() const {
  DWORD style = TPTCustomTreeView::TreeStyle() & ~static_cast<DWORD>(TVS_DISABLEDRAGDROP);
  if (!options_.Contains(ptstoOleDrag) && DragMode() != TDragMode::dmAutomatic) style |= TVS_DISABLEDRAGDROP;
  return style;
}

void TPTCustomShellTree::CreateParamsFor(CreateParams& params) { TPTCustomTreeView::CreateParamsFor(params); }

void TPTCustomShellTree::CreateWnd() {
  TPTCustomTreeView::CreateWnd();
  if (options_.Contains(ptstoOleDrop)) RegisterDropTarget();
  if (!Loading() && options_.Contains(ptstoAutoFill) && Items().Count() == 0) {
    ::PostMessageA(handle_, kAutoFillMessage, 0, 0);
  }
}

void TPTCustomShellTree::Loaded() {
  // The window can exist only once the parent has one; otherwise the window's creation fills.
  if (options_.Contains(ptstoAutoFill) && Items().Count() == 0 && parent_ && parent_->HandleAllocated()) FillTree();
  in_loading_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{in_loading_};
  TPTCustomTreeView::Loaded();
}

bool TPTCustomShellTree::IsShellNode(const TTreeNode* node) const {
  return node && shell_nodes_.count(node) != 0;
}

TPTShTreeData* TPTCustomShellTree::NodeData(const TTreeNode* node) const {
  return IsShellNode(node) ? static_cast<TPTShTreeData*>(node->Data()) : nullptr;
}

void TPTCustomShellTree::AttachData(TTreeNode* node, std::unique_ptr<TPTShTreeData> data) {
  node->SetData(data.release());
  shell_nodes_.insert(node);
}

TTreeNode* TPTCustomShellTree::FirstShellRoot() const {
  for (TTreeNode* node = const_cast<TPTCustomShellTree*>(this)->Items().GetFirstNode(); node; node = node->GetNextSibling()) {
    if (IsShellNode(node)) return node;
  }
  return nullptr;
}

HWND TPTCustomShellTree::ShellOwnerWindow() {
  return drag_expand_count_ > 0 ? nullptr : GetOwnerFormHandle(handle_);
}

DWORD TPTCustomShellTree::EnumFlags() const {
  DWORD flags = SHCONTF_FOLDERS;
  if (options_.Contains(ptstoShowHidden)) flags |= SHCONTF_INCLUDEHIDDEN;
  if (options_.Contains(ptstoIncludeNonFolders)) flags |= SHCONTF_NONFOLDERS;
  return flags;
}

std::string TPTCustomShellTree::GetSelectedPath() {
  TPTShTreeData* data = NodeData(Selected());
  return data ? data->Path() : std::string();
}

void TPTCustomShellTree::SelectAncestor(int levels) {
  TTreeNode* node = Selected();
  if (!node) return;
  for (; levels > 0 && node->Parent(); --levels) node = node->Parent();
  node->SetSelected(true);
}

DWORD TPTCustomShellTree::GetItemEffects(TTreeNode* node) {
  constexpr DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  TPTShTreeData* data = NodeData(node);
  if (!data) return kAll;
  Microsoft::WRL::ComPtr<IShellFolder> parent = data->ParentShellFolder();
  if (!parent) return kAll;
  LPCITEMIDLIST item = data->RelIdList();
  SFGAOF attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
  if (FAILED(parent->GetAttributesOf(1, &item, &attributes))) return kAll;
  return attributes & kAll;
}

void TPTCustomShellTree::DeleteAllNodes() {
  LockScope lock(*this);
  Items().BeginUpdate();
  struct End {
    TTreeNodes& items;
    ~End() { items.EndUpdate(); }
  } end{Items()};
  Items().Clear();
}

void TPTCustomShellTree::Delete(TTreeNode* node) {
  TPTCustomTreeView::Delete(node);
  if (node == last_inserted_) last_inserted_ = nullptr;
  if (node == drag_node_) drag_node_ = nullptr;
  if (!IsShellNode(node)) return;
  auto* data = static_cast<TPTShTreeData*>(node->Data());
  FireEvent(OnDeleteItem, this, node, data);
  shell_nodes_.erase(node);
  node->SetData(nullptr);
  delete data;
}

void TPTCustomShellTree::DoInsertItem(TTreeNode* node) {
  last_inserted_ = node;
  FireEvent(OnInsertItem, this, node);
}

void TPTCustomShellTree::DoFillStart() { FireEvent(OnFillStart, this); }
void TPTCustomShellTree::DoFillComplete() { FireEvent(OnFillComplete, this); }

// ---- selection ----

void TPTCustomShellTree::Change(TTreeNode* node) {
  if (lock_count_ > 0 || Loading() || in_loading_) {
    if (TPTShTreeData* data = NodeData(node)) {
      LockScope lock(*this);
      selected_folder_.SetIdList(data->AbsIdList());
    }
    return;
  }
  TPTCustomTreeView::Change(node);
  if (!IsShellNode(node)) return;
  if (force_immediate_change_ || !shell_list_) {
    SelectionChanged(node);
    force_immediate_change_ = false;
  } else {
    ArmChangeTimer(kTagSelectionChange, 500);
  }
}

void TPTCustomShellTree::SelectionChanged(TTreeNode* node) {
  TPTShTreeData* data = NodeData(node);
  if (!data) return;
  LockScope lock(*this);
  selected_folder_.SetIdList(data->AbsIdList());
}

bool TPTCustomShellTree::NotifyClick() {
  // Clicks never wait for the selection timer; keyboard moves with a linked list view do.
  force_immediate_change_ = true;
  return TPTCustomTreeView::NotifyClick();
}

void TPTCustomShellTree::SelectedFolderChanged(TObject*) {
  if (lock_count_ > 0 || Loading()) return;
  if (Items().Count() > 0) SelectIdList(selected_folder_.IdList());
}

void TPTCustomShellTree::BaseFolderChanged(TObject*) {
  if (Loading()) return;
  selected_folder_.Clear();
  if (options_.Contains(ptstoAutoFill)) {
    force_immediate_change_ = true;
    FillTree();
  }
}

// ---- the change timer ----

void TPTCustomShellTree::ArmChangeTimer(int tag, unsigned milliseconds) {
  change_timer_->SetEnabled(false);
  change_timer_->SetTag(tag);
  change_timer_->SetInterval(milliseconds);
  change_timer_->SetEnabled(true);
}

void TPTCustomShellTree::ChangeTimerFired(TObject*) {
  int tag = change_timer_->Tag();
  change_timer_->SetEnabled(false);
  change_timer_->SetTag(0);
  if (tag == kTagSelectionChange) {
    SelectionChanged(Selected());
    force_immediate_change_ = false;
  } else if (tag == kTagRefresh) {
    RefreshTree();
  }
}

void TPTCustomShellTree::FlushPendingChange() {
  if (change_timer_->Enabled()) ChangeTimerFired(change_timer_);
}

// ---- drags started here ----

void TPTCustomShellTree::BeginDrag(TTreeNode* node, TMouseButton button, POINT point) {
  if (options_.Contains(ptstoOleDrag) && StartOleDrag(node, button)) return;
  TPTCustomTreeView::BeginDrag(node, button, point);
}

void TPTCustomShellTree::EndTreeDrag(HRESULT drag_result) {
  bool pending = refresh_pending_;
  menu_active_ = false;
  refresh_pending_ = false;
  if (drag_result == DRAGDROP_S_DROP || pending) RefreshTree();
}

void TPTCustomShellTree::HoverExpand(TTreeNode* node) {
  ++drag_expand_count_;
  struct Lower {
    int& count;
    ~Lower() { --count; }
  } lower{drag_expand_count_};
  node->Expand(false);
}

// ---- messages ----

void TPTCustomShellTree::ShellChangeNotified() {
  if (suppress_next_notify_ || menu_active_) {
    suppress_next_notify_ = false;
    return;
  }
  ArmChangeTimer(kTagRefresh, Focused() ? 400 : 2000);
}

void TPTCustomShellTree::RunPendingRefresh() {
  if (!refresh_pending_ || menu_active_ || IsEditing()) return;
  refresh_pending_ = false;
  RefreshTree();
}

void TPTCustomShellTree::WindowDestroying() {
  // The next window fills again; meanwhile no selection change is processed, and a pending
  // step of the timer must not make a window again to refresh an empty tree.
  change_timer_->SetEnabled(false);
  change_timer_->SetTag(0);
  LockScope lock(*this);
  Items().BeginUpdate();
  Items().Clear();
  Items().EndUpdate();
}

void TPTCustomShellTree::WindowDestroyed() {
  LockScope lock(*this);
  RevokeDropTarget();
  change_thread_.reset();
}

LRESULT TPTCustomShellTree::KeyDown(WPARAM wparam, LPARAM lparam) {
  unsigned short key = static_cast<unsigned short>(wparam);
  TShiftState shift = KeyboardShiftState();
  FireEvent(OnKeyDown, this, key, shift);
  if (key == 0) return 0;
  if (!IsEditing() && options_.Contains(ptstoDefaultKeyHandling) && DefaultKeyHandling(key, shift)) return 0;
  // Handed on unchanged; OnKeyDown does not fire a second time.
  return DefaultHandler(WM_KEYDOWN, key, lparam);
}

LRESULT TPTCustomShellTree::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kChangeNotifyMessage:
      ShellChangeNotified();
      return 0;
    case kAutoFillMessage:
      if (Items().Count() == 0) FillTree();
      return 0;
    case kPendingRefreshMessage:
      RunPendingRefresh();
      return 0;
    case WM_DESTROY:
      WindowDestroying();
      break;
    case WM_NCDESTROY:
      WindowDestroyed();
      break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED:
      if (DestroyingHandle()) return DefaultHandler(message, wparam, lparam);
      break;
    case TVM_DELETEITEM:
      if (reinterpret_cast<HTREEITEM>(lparam) == TVI_ROOT || lparam == 0) {
        LockScope lock(*this);
        return TPTCustomTreeView::WndProc(message, wparam, lparam);
      }
      break;
    case WM_PAINT:
      return PaintWithImageBackground(message, wparam, lparam);
    case WM_INITMENUPOPUP:
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
    case WM_MENUCHAR:
    case WM_MENUSELECT:
      if (menu_messages_.Menu()) {
        LRESULT result = 0;
        if (menu_messages_.HandleMessage(message, wparam, lparam, result)) return result;
      }
      break;
    case WM_KEYDOWN:
      if (IsContextMenuKey(wparam)) break;  // the base shows the menu
      return KeyDown(wparam, lparam);
    case WM_MOUSEWHEEL:
      return MouseWheel(wparam, lparam);
    default:
      break;
  }
  return TPTCustomTreeView::WndProc(message, wparam, lparam);
}

// ---- published ----

bool TPTShellTree::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  TFormValueReader reader("BaseFolder.", name, value, context);
  base_folder_.DefineProperties(reader);
  if (reader.Taken()) return true;
  if (name == "Options") {
    TPTShellTreeOptions options;
    std::string unknown;
    if (!ParseShellTreeOptions(context.Set(value), options, unknown)) context.Fail("unknown set member " + unknown);
    SetOptions(options);
  } else if (name == "ShellList") {
    // Only list views link themselves; none of this program's forms holds one.
    context.Identifier(value);
  } else if (name == "OnFillStart") {
    context.Bind(OnFillStart, value);
  } else if (name == "OnFillComplete") {
    context.Bind(OnFillComplete, value);
  } else {
    return TPTCustomShellTree::SetProperty(name, value, context);
  }
  return true;
}

void RegisterShellTreeFormClass() { RegisterFormClass<TPTShellTree>("TPTShellTree"); }

}  // namespace stampwell
