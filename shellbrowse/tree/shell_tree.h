#pragma once
// TPTCustomShellTree: a tree of the shell namespace below a base folder (the desktop by
// default). Nodes are filled when first expanded, carry the shell's names, icons and overlays,
// are sorted in the shell's order, can be renamed in place and given the shell's context menus,
// and follow changes of the file system and of the set of drives. SelectedFolder holds the
// folder of the selected node: hosts read and set the current folder through it.
// TPTShellTree only publishes the properties.
//
// Everything runs on the user-interface thread; the change-notification worker only posts
// kChangeNotifyMessage to the control's window.
//
// The implementation is split by concern: shell_tree.cpp (state, properties, messages, life),
// shell_tree_fill.cpp (fill, add, sort, expand, select), shell_tree_refresh.cpp,
// shell_tree_edit.cpp (rename, new folder), shell_tree_menu.cpp (context menus, verbs, keys,
// wheel), shell_tree_watch.cpp (change and device notifications), shell_tree_draw.cpp
// (images, custom draw), shell_tree_dragdrop.cpp (OLE drag and drop).

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "framework/timer.h"
#include "shellbrowse/dragdrop/drag_hover.h"
#include "shellbrowse/dragdrop/drop_target.h"
#include "shellbrowse/locator/shell_locator.h"
#include "shellbrowse/toolbox/context_menu_messages.h"
#include "shellbrowse/toolbox/shell_id_list.h"
#include "shellbrowse/tree/custom_tree_view.h"
#include "shellbrowse/tree/shell_tree_data.h"
#include "shellbrowse/tree/shell_tree_options.h"

namespace stampwell {

class TChangeHandlerThread;
class TPTDeviceChangeHandler;
class TPTCustomShellList;

// Fired for each enumerated item that passes the folder filter, before its node is made;
// clearing afAllowAdd (preset to true) keeps the node out.
using TPTShAddItemEvent = std::function<void(TObject* aSender, IShellFolder* aParentIShf, LPCITEMIDLIST aParentAbsIdList,
                                             LPCITEMIDLIST aItemRelIdList, ULONG aAttribs, BOOL& afAllowAdd)>;
using TPTShTreeInsertItemEvent = std::function<void(TObject* aSender, TTreeNode* aNode)>;
using TPTShTreeDeleteItemEvent = std::function<void(TObject* aSender, TTreeNode* aNode, TPTShTreeData* aShTreeData)>;
using TPTShPopupHintEvent = std::function<void(TObject* aSender, const std::string& hint)>;
// aNode (and aData) are null for the control's own stages.
using TPTShTvCustomDrawEvent =
    std::function<void(TObject* aSender, TPTTvCustomDraw* aCD, TTreeNode* aNode, TPTShTreeData* aData)>;

class TPTCustomShellTree : public TPTCustomTreeView, public DropTargetOwner {
 public:
  // Posted by the change-notification worker.
  static constexpr UINT kChangeNotifyMessage = 0x465;
  // Posted to itself by a window created empty with ptstoAutoFill.
  static constexpr UINT kAutoFillMessage = 0x467;
  // Posted to itself when label editing ends with a refresh pending: the control still works
  // on the edited item after it reports the end, so the refresh waits until it is done.
  static constexpr UINT kPendingRefreshMessage = WM_APP + 0x100;
  // The first command id of the shell's part of a context menu; its rename command.
  static constexpr UINT kFirstMenuCommand = 1000;
  static constexpr UINT kRenameCommand = 1018;
  // ChangeTimer's tags.
  static constexpr int kTagSelectionChange = 1;
  static constexpr int kTagRefresh = 2;

  explicit TPTCustomShellTree(TComponent* owner);
  ~TPTCustomShellTree() override;

  // ---- published ----
  // The root of the tree; assigning copies (ignored while loading) and, with ptstoAutoFill,
  // fills again.
  TPTShellLocator& BaseFolder() noexcept { return base_folder_; }
  void SetBaseFolder(const TPTShellLocator& folder);
  TPTShellTreeOptions Options() const noexcept { return options_; }
  void SetOptions(TPTShellTreeOptions options);
  TPTCustomShellList* ShellList() const noexcept { return shell_list_; }
  void SetShellList(TPTCustomShellList* list);
  void SetDragMode(TDragMode mode) override;

  TPTShAddItemEvent OnAddItem;
  TPTShTreeInsertItemEvent OnInsertItem;
  TPTShTreeDeleteItemEvent OnDeleteItem;
  TPTShPopupHintEvent OnPopupHint;
  TPTShTvCustomDrawEvent OnCustomDrawShEx;
  TPTShTvCustomDrawEvent OnCustomDrawSh;
  TNotifyEvent OnFillStart;
  TNotifyEvent OnFillComplete;

  // ---- public operations ----
  // The folder of the selected node; assigning copies the locator and so selects that folder.
  TPTShellLocator& SelectedFolder() noexcept { return selected_folder_; }
  void SetSelectedFolder(const TPTShellLocator& folder);
  // Clears and rebuilds, then selects SelectedFolder. Raises with the system's message when the
  // base folder cannot be bound.
  void FillTree();
  // Enumerates every expanded node again; expansion and selection survive.
  void RefreshTree();
  // Expands to and selects the node of an absolute list; beeps and stops at the deepest node
  // reached when an item cannot be added.
  void SelectIdList(LPCITEMIDLIST list);
  // The selected node's path; empty when none or not a shell node.
  std::string GetSelectedPath();
  // A new folder in the selected node's directory, then label editing of it.
  bool CreateNewFolder();
  // Runs a shell verb ("delete", "copy", "cut", "paste") on a node that has a parent; 1 for the
  // root or a node without shell data. Raises when the node's context menu cannot be had.
  HRESULT InvokeCommand(TTreeNode* node, const std::string& verb);
  // Selects the ancestor `levels` above the selected node (stops at the top).
  void SelectAncestor(int levels);
  // Runs ChangeTimer's pending step now.
  void FlushPendingChange();
  // DROPEFFECT_COPY | MOVE | LINK bits that the node's parent folder allows; 7 when unknown.
  DWORD GetItemEffects(TTreeNode* node);
  bool IsShellNode(const TTreeNode* node) const;
  // The data object of `node`'s item, as a drag or a Send To delivery hands it on; it offers
  // nothing for a node without shell data.
  Microsoft::WRL::ComPtr<IDataObject> CreateNodeDataObject(TTreeNode* node);
  // Where the drag's hover and auto-scroll read the time (GetTickCount unless a test sets one).
  using DragClock = DWORD(WINAPI*)();
  void SetDragClock(DragClock clock) noexcept { drag_clock_ = clock ? clock : ::GetTickCount; }
  TPTShTreeData* NodeData(const TTreeNode* node) const;
  TTreeNode* FirstShellRoot() const;

  // ---- state that hosts and the drag-and-drop part read ----
  TTimer& ChangeTimer() noexcept { return *change_timer_; }
  int LockCount() const noexcept { return lock_count_; }
  bool MenuActive() const noexcept { return menu_active_; }
  bool RefreshPending() const noexcept { return refresh_pending_; }
  bool SuppressNextNotify() const noexcept { return suppress_next_notify_; }
  TTreeNode* LastInsertedNode() const noexcept { return last_inserted_; }
  // The owner window of the tree's shell calls: the top-level form, none while a drag expands.
  HWND ShellOwnerWindow();
  // The control's small system image list (shared, never destroyed here).
  HIMAGELIST SmallImages() const noexcept { return small_images_; }

  // The device-change dispatcher's handler.
  virtual void DeviceChange(TPTDeviceChangeHandler& sender, const MSG& message);

  LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Loaded() override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  void CreateWnd() override;
  DWORD TreeStyle() const override;

  // Standard steps.
  void Change(TTreeNode* node) override;
  bool CanExpand(TTreeNode* node) override;
  bool CanEdit(TTreeNode* node) override;
  void Edit(TTreeNode* node, std::string text) override;
  std::string EditStartText(TTreeNode* node) override;
  void Delete(TTreeNode* node) override;
  void GetImageIndex(TTreeNode* node) override;
  void GetSelectedIndex(TTreeNode* node) override;
  void BeginDrag(TTreeNode* node, TMouseButton button, POINT point) override;
  bool NotifyClick() override;
  void HandleCustomDraw(NMTVCUSTOMDRAW& draw, LRESULT& result) override;
  void DoNodeContextMenu(TTreeNode* node, POINT& screen_point, HMENU& menu) override;

  // ---- the library's own virtual steps ----
  // OLE drag and drop (shell_tree_dragdrop.cpp).
  virtual Microsoft::WRL::ComPtr<IDropSource> CreateDropSource(TMouseButton button);
  virtual HRESULT DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect);
  virtual HRESULT DragOver(DWORD key_state, POINTL point, DWORD* effect);
  virtual HRESULT DragLeave();
  virtual HRESULT Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect);
  virtual void DragHover(POINT client_point);
  // Makes the node of one enumerated item (parent node null: a top-level node). S_OK also when
  // the filter or OnAddItem kept it out.
  virtual HRESULT AddItem(IShellFolder* folder, LPCITEMIDLIST parent_abs, LPCITEMIDLIST item, TTreeNode* parent);
  // Fires OnAddItem; whether the node is to be made.
  virtual bool DoAddItem(IShellFolder* folder, LPCITEMIDLIST parent_abs, ULONG attributes, LPCITEMIDLIST item);
  // Fills `node`'s children from `folder` (node null: makes the root and its children).
  virtual void FillNode(IShellFolder* folder, TTreeNode* node);
  // The top node of a fill: the base folder (the desktop when there is none), whose shell
  // folder is `folder`.
  TTreeNode* AddRootNode(IShellFolder* folder);

  virtual void DoCustomDrawSh(TPTTvCustomDraw& draw, TTreeNode* node);
  virtual void DoInsertItem(TTreeNode* node);
  // Fills `node` when it has never been filled; false when it could not be.
  virtual bool ExpandNode(TTreeNode* node);
  virtual void DoFillComplete();
  virtual void DoFillStart();
  // Delivers `node` to Send To entry `entry` (0-based index into SendToList).
  virtual void SendToNode(TTreeNode* node, int entry);
  // Watches the drive of `path` (empty: removes every watch).
  virtual void AddChangeWatch(const std::string& path);
  virtual void ShowShellContextMenu(TTreeNode* node, POINT screen_point);
  // Shows the node's shell menu at a screen point and answers the command chosen (0 for none).
  virtual UINT TrackShellMenu(HMENU popup, IContextMenu* menu, POINT screen_point);

  // ---- steps shared by the parts ----
  void SortChildren(TTreeNode* node);
  TTreeNode* FindChildNode(TTreeNode* parent, LPCITEMIDLIST item);
  void RefreshNode(TTreeNode* node, TTreeNode*& remembered);
  // Adds `items`, new in the folder of `node`, among the children that were there before.
  void InsertNewChildren(TTreeNode* node, IShellFolder* folder, const std::vector<LPCITEMIDLIST>& items,
                         std::vector<TTreeNode*>& kept);
  void StartChangeWatch();
  void StopChangeWatch();
  // Arms ChangeTimer for `tag`, replacing a pending step of the other kind.
  void ArmChangeTimer(int tag, unsigned milliseconds);
  void ChangeTimerFired(TObject* sender);
  // The immediate selection update: SelectedFolder (and a linked list) follow `node`.
  void SelectionChanged(TTreeNode* node);
  void BaseFolderChanged(TObject* sender);
  void SelectedFolderChanged(TObject* sender);
  // Deletes every node with the selection locked.
  void DeleteAllNodes();
  // The enumeration flags of FillNode and RefreshNode.
  DWORD EnumFlags() const;
  // Handles the default keys; true when `key` was consumed.
  bool DefaultKeyHandling(WORD key, TShiftState shift);
  // The drop highlight (TVGN_DROPHILITE); null clears it.
  void SetDropHighlight(TTreeNode* node);
  TTreeNode* DropHighlight() const;
  // The shell node under a screen point, or null.
  TTreeNode* ShellNodeAt(POINTL screen_point) const;
  // The node's folder drop target, asked for afresh (null when there is none).
  Microsoft::WRL::ComPtr<IDropTarget> NodeDropTarget(TTreeNode* node);
  // The drop target's registration (ptstoOleDrop, shell_tree_dragdrop.cpp).
  void RegisterDropTarget();
  void RevokeDropTarget();
  // An OLE drag of `node` started by the tree (shell_tree_dragdrop.cpp); false when none ran and
  // the standard drag handling is to run.
  bool StartOleDrag(TTreeNode* node, TMouseButton button);
  // Ends a drag started here: clears MenuActive and RefreshPending and refreshes when the drag
  // dropped (DRAGDROP_S_DROP) or a refresh was asked for meanwhile.
  void EndTreeDrag(HRESULT drag_result);
  // Expands `node` as a drag's hover does: the shell calls of that expansion get no owner
  // window and so show no UI.
  void HoverExpand(TTreeNode* node);
  LRESULT PaintWithImageBackground(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT MouseWheel(WPARAM wparam, LPARAM lparam);
  // The shell said something changed: a refresh after a pause, unless the change was ours.
  void ShellChangeNotified();
  // A refresh that waited for a menu, a drag or a label edit to end.
  void RunPendingRefresh();
  // WM_DESTROY and WM_NCDESTROY: the nodes, then the drop target and the change watch go.
  void WindowDestroying();
  void WindowDestroyed();
  // WM_KEYDOWN: OnKeyDown, then the default keys, then the control's own handling.
  LRESULT KeyDown(WPARAM wparam, LPARAM lparam);
  // Gives `node` its data (owned by the node from here on).
  void AttachData(TTreeNode* node, std::unique_ptr<TPTShTreeData> data);
  void EditEnded() override;

  // Raises LockCount for a scope.
  class LockScope {
   public:
    explicit LockScope(TPTCustomShellTree& tree) noexcept : tree_(tree) { ++tree_.lock_count_; }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;
    ~LockScope() { --tree_.lock_count_; }

   private:
    TPTCustomShellTree& tree_;
  };

  // Batches the node updates of a scope: the control redraws once, when the last batch ends.
  class UpdateScope {
   public:
    explicit UpdateScope(TTreeNodes& items) : items_(items) { items_.BeginUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;
    ~UpdateScope() { items_.EndUpdate(); }

   private:
    TTreeNodes& items_;
  };

  TTimer* change_timer_ = nullptr;  // owned as a component
  TPTShellLocator base_folder_;
  TPTShellLocator selected_folder_;
  TPTShellTreeOptions options_ = kDefaultShellTreeOptions;
  TPTCustomShellList* shell_list_ = nullptr;
  ContextMenuMessages menu_messages_;
  bool force_immediate_change_ = false;
  int lock_count_ = 0;
  // While above 0 (a hover expands a node during a drag), shell calls get no owner window.
  int drag_expand_count_ = 0;
  bool in_loading_ = false;
  bool suppress_next_notify_ = false;
  std::unique_ptr<TChangeHandlerThread> change_thread_;
  bool menu_active_ = false;
  bool refresh_pending_ = false;
  TTreeNode* last_inserted_ = nullptr;
  // Where AddItem puts the next node: before this sibling; at the end of its siblings when null.
  // A refresh sets it for the moment of one call, so that a new item goes straight to its place.
  TTreeNode* add_before_ = nullptr;
  bool registered_device_change_ = false;
  HIMAGELIST small_images_ = nullptr;
  // The nodes that carry a TPTShTreeData (a host may add nodes of its own).
  std::unordered_set<const TTreeNode*> shell_nodes_;

  // Drag state, for the drag-and-drop part.
  TTreeNode* drag_node_ = nullptr;
  Microsoft::WRL::ComPtr<IDropTarget> registered_drop_target_;
  Microsoft::WRL::ComPtr<IDataObject> drag_over_data_;
  DWORD drag_over_key_state_ = 0;
  // The hover anchor with its time and the last auto-scroll check.
  DragHoverTracker drag_hover_;
  DragClock drag_clock_ = ::GetTickCount;
};

class TPTShellTree : public TPTCustomShellTree {
 public:
  using TPTCustomShellTree::TPTCustomShellTree;
  // BaseFolder.Pidl, Options (a list of names), ShellList, OnFillStart, OnFillComplete and the
  // standard tree view's properties.
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;
};

// Makes "TPTShellTree" known to the form reader.
void RegisterShellTreeFormClass();

}  // namespace stampwell
