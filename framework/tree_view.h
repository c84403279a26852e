#pragma once
// The standard tree-view control: TCustomTreeView wraps the common control WC_TREEVIEW,
// TTreeNodes is its collection of items and TTreeNode one item.
//
// Nodes live only while the window does: adding a node makes the window (so the control must
// have a parent with a window), and the nodes are deleted before the window goes. Each item's
// lParam is its TTreeNode; a node object is freed when the control reports the item's deletion
// (TVN_DELETEITEM), after OnDeletion, so deleting an item through any route frees exactly its
// node objects. Images are always asked for through TVN_GETDISPINFO, so GetImageIndex and
// GetSelectedIndex run when the control first shows a node.
//
// The nodes also keep the control's structure themselves (parent, siblings and children in the
// control's order, and whether the control was told to show a node's button), changed only
// where the control's is: walking the tree then asks the control nothing, which matters when a
// refresh walks a thousand children and every message to the control crosses into the system.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "framework/controls.h"
#include "framework/events.h"
#include "framework/std_controls.h"

// <windowsx.h> names window helpers after the node's navigation; a file that needs both
// includes <windowsx.h> first.
#undef GetFirstChild
#undef GetNextSibling
#undef GetPrevSibling
#undef GetLastChild

namespace stampwell {

class TCustomTreeView;
class TTreeNodes;

enum class TDragMode { dmManual, dmAutomatic };
enum class TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };

class TTreeNode {
 public:
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;

  TCustomTreeView* TreeView() const noexcept { return tree_; }
  TTreeNodes& Owner() const noexcept;
  HTREEITEM ItemId() const noexcept { return item_; }

  const std::string& Text() const noexcept { return text_; }
  void SetText(const std::string& text);
  void* Data() const noexcept { return data_; }
  void SetData(void* data) noexcept { data_ = data; }
  int ImageIndex() const noexcept { return image_index_; }
  void SetImageIndex(int index);
  int SelectedIndex() const noexcept { return selected_index_; }
  void SetSelectedIndex(int index);
  // The overlay image (-1 none; 0 is overlay image 1 of the image list).
  int OverlayIndex() const noexcept { return overlay_index_; }
  void SetOverlayIndex(int index);
  // Drawn ghosted (the control's cut state).
  bool Cut() const;
  void SetCut(bool cut);

  // Whether the node shows an expand button (told to the control, not counted).
  bool HasChildren() const;
  void SetHasChildren(bool has_children);
  bool Expanded() const;
  void SetExpanded(bool expanded) { expanded ? Expand(false) : Collapse(false); }
  void Expand(bool recurse);
  void Collapse(bool recurse);

  TTreeNode* Parent() const noexcept { return parent_; }
  // The child nodes, in the control's order.
  int Count() const;
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstChild() const;
  TTreeNode* GetLastChild() const;
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  // The next node in the order of AbsoluteIndex (children first), or null.
  TTreeNode* GetNext() const;
  // Position among the siblings, depth (0 for a top-level node), position among all nodes.
  int Index() const;
  int Level() const;
  int AbsoluteIndex() const;
  bool HasAsParent(const TTreeNode* ancestor) const;

  bool Selected() const;
  void SetSelected(bool selected);
  bool Focused() const;
  bool Deleting() const noexcept { return deleting_; }

  // Starts label editing; false when the control refused (CanEdit, ReadOnly).
  bool EditText();
  // Ends the label editing of the control.
  void EndEdit(bool cancel);
  void MakeVisible();
  // The item's rectangle in client coordinates (only the text's with `text_only`); empty when
  // the node is not shown.
  RECT DisplayRect(bool text_only) const;

  // Deletes the node and its descendants from the control; the objects are gone afterwards.
  void Delete();
  void DeleteChildren();
  // Sorts the children with `compare` (negative, zero, positive); not recursive.
  using TTVCompare = std::function<int(TTreeNode* a, TTreeNode* b)>;
  bool CustomSort(const TTVCompare& compare);

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  TTreeNode(TCustomTreeView* tree, TTreeNode* parent) : tree_(tree), parent_(parent) {}
  ~TTreeNode() = default;
  UINT State(UINT mask) const;
  void SetState(UINT state, UINT mask);
  void SetImage(int& field, int index);
  // Asks the tree's step, tells the control, reports the result; true when the state changed.
  bool ExpandOrCollapse(UINT action);

  // What the control was last told of the node's button, or left to decide itself.
  enum class Button : unsigned char { kUnknown, kShown, kHidden };

  TCustomTreeView* tree_;
  TTreeNode* parent_;
  HTREEITEM item_ = nullptr;
  TTreeNode* first_child_ = nullptr;
  TTreeNode* last_child_ = nullptr;
  TTreeNode* prev_sibling_ = nullptr;
  TTreeNode* next_sibling_ = nullptr;
  Button button_ = Button::kUnknown;
  std::string text_;
  void* data_ = nullptr;
  int image_index_ = 0;
  int selected_index_ = 0;
  int overlay_index_ = -1;
  bool deleting_ = false;
};

class TTreeNodes {
 public:
  explicit TTreeNodes(TCustomTreeView& tree) : tree_(tree) {}
  TTreeNodes(const TTreeNodes&) = delete;
  TTreeNodes& operator=(const TTreeNodes&) = delete;

  TCustomTreeView& Owner() const noexcept { return tree_; }
  // All nodes, at every level.
  int Count() const noexcept { return count_; }
  // Node `index` in the order of AbsoluteIndex; null outside.
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstNode() const;

  // A new last sibling of `sibling` (a top-level node for null).
  TTreeNode* Add(TTreeNode* sibling, const std::string& text) { return AddObject(sibling, text, nullptr); }
  TTreeNode* AddObject(TTreeNode* sibling, const std::string& text, void* data);
  TTreeNode* AddFirst(TTreeNode* sibling, const std::string& text);
  // A new last child of `parent` (a top-level node for null).
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text) { return AddChildObject(parent, text, nullptr); }
  TTreeNode* AddChildObject(TTreeNode* parent, const std::string& text, void* data);
  TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& text);
  // A new node before `sibling`.
  TTreeNode* Insert(TTreeNode* sibling, const std::string& text);

  void Delete(TTreeNode* node) { if (node) node->Delete(); }
  // Deletes every node.
  void Clear();

  // Batches changes: the control does not redraw until the last EndUpdate.
  void BeginUpdate();
  void EndUpdate();
  bool Updating() const noexcept { return update_count_ > 0; }

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  // A new child of `parent` (top level for null) after `previous`, or first when `previous`
  // is null; last when `at_end`.
  TTreeNode* InsertNode(TTreeNode* parent, TTreeNode* previous, bool at_end, const std::string& text, void* data);
  // The sibling list that `node` belongs to or goes into.
  TTreeNode*& FirstOf(TTreeNode* parent) noexcept { return parent ? parent->first_child_ : first_; }
  TTreeNode*& LastOf(TTreeNode* parent) noexcept { return parent ? parent->last_child_ : last_; }
  void Link(TTreeNode* node, TTreeNode* previous) noexcept;
  void Unlink(TTreeNode* node) noexcept;

  TCustomTreeView& tree_;
  TTreeNode* first_ = nullptr;  // the top-level nodes
  TTreeNode* last_ = nullptr;
  int count_ = 0;
  int update_count_ = 0;
};

// Custom-draw stages as the standard events see them.
enum class TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
using TCustomDrawState = unsigned;  // CDIS_* bits of the item

using TTVCustomDrawEvent = std::function<void(TObject* Sender, const RECT& ARect, bool& DefaultDraw)>;
using TTVCustomDrawItemEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw)>;
using TTVAdvancedCustomDrawEvent =
    std::function<void(TObject* Sender, const RECT& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TTVAdvancedCustomDrawItemEvent = std::function<void(TObject* Sender, TTreeNode* Node, TCustomDrawState State,
                                                          TCustomDrawStage Stage, bool& PaintImages, bool& DefaultDraw)>;

using TMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, POINT MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, POINT MousePos, bool& Handled)>;

class TCustomTreeView : public TWinControl {
 public:
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;

  TTreeNodes& Items() noexcept { return items_; }
  TTreeNode* Selected() const;
  // Selects `node` (null clears the selection).
  void SetSelected(TTreeNode* node);
  TTreeNode* TopItem() const;
  // The node whose item lies at a client point, or null.
  TTreeNode* GetNodeAt(int x, int y) const;
  // TVHT_* bits of a client point.
  UINT GetHitTestInfoAt(int x, int y) const;
  // The node of an item of this control, or null.
  TTreeNode* NodeFromItem(HTREEITEM item) const;

  // From the start of label editing until the control reports its end.
  bool IsEditing() const noexcept { return editing_; }
  // The edit box of the label being edited, or null.
  HWND EditHandle() const;
  // Sorts the top-level nodes (null node) or a node's children with `compare`.
  bool CustomSort(TTreeNode* node, const TTreeNode::TTVCompare& compare);
  void FullExpand();
  void FullCollapse();

  bool ShowButtons() const noexcept { return show_buttons_; }
  void SetShowButtons(bool v) { show_buttons_ = v; ApplyStyle(); }
  bool ShowLines() const noexcept { return show_lines_; }
  void SetShowLines(bool v) { show_lines_ = v; ApplyStyle(); }
  bool ShowRoot() const noexcept { return show_root_; }
  void SetShowRoot(bool v) { show_root_ = v; ApplyStyle(); }
  bool ReadOnly() const noexcept { return read_only_; }
  void SetReadOnly(bool v) { read_only_ = v; ApplyStyle(); }
  bool HideSelection() const noexcept { return hide_selection_; }
  void SetHideSelection(bool v) { hide_selection_ = v; ApplyStyle(); }
  bool HotTrack() const noexcept { return hot_track_; }
  void SetHotTrack(bool v) { hot_track_ = v; ApplyStyle(); }
  bool RowSelect() const noexcept { return row_select_; }
  void SetRowSelect(bool v) { row_select_ = v; ApplyStyle(); }
  bool ToolTips() const noexcept { return tool_tips_; }
  void SetToolTips(bool v) { tool_tips_ = v; ApplyStyle(); }
  bool AutoExpand() const noexcept { return auto_expand_; }
  void SetAutoExpand(bool v) { auto_expand_ = v; ApplyStyle(); }
  bool RightClickSelect() const noexcept { return right_click_select_; }
  void SetRightClickSelect(bool v) noexcept { right_click_select_ = v; }
  TBorderStyle BorderStyle() const noexcept { return border_style_; }
  void SetBorderStyle(TBorderStyle v);
  int Indent() const;
  void SetIndent(int indent);
  TDragMode DragMode() const noexcept { return drag_mode_; }
  virtual void SetDragMode(TDragMode mode) { drag_mode_ = mode; }
  // How long a keyboard selection waits before OnChange; 0 at once.
  int ChangeDelay() const noexcept { return change_delay_; }
  void SetChangeDelay(int ms) noexcept { change_delay_ = ms; }
  // The normal and the state image lists (not owned).
  HIMAGELIST Images() const noexcept { return images_; }
  void SetImages(HIMAGELIST images);
  HIMAGELIST StateImages() const noexcept { return state_images_; }
  void SetStateImages(HIMAGELIST images);

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandingEvent OnExpanding;
  TTVChangedEvent OnExpanded;
  TTVExpandingEvent OnCollapsing;
  TTVChangedEvent OnCollapsed;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVChangedEvent OnDeletion;
  TTVChangedEvent OnGetImageIndex;
  TTVChangedEvent OnGetSelectedIndex;
  TTVCustomDrawEvent OnCustomDraw;
  TTVCustomDrawItemEvent OnCustomDrawItem;
  TTVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
  TTVAdvancedCustomDrawItemEvent OnAdvancedCustomDrawItem;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnStartDrag;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;

  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;
  LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  void CreateParamsFor(CreateParams& params) override;
  void CreateWnd() override;
  bool HandleNotify(NMHDR* header, LRESULT& result) override;
  void ColorChanged() override;

  // The standard steps of the control's notifications; each fires its event. Overrides call
  // the base step where they want the event.
  virtual bool CanChange(TTreeNode* node);
  virtual void Change(TTreeNode* node);
  virtual bool CanExpand(TTreeNode* node);
  virtual void Expand(TTreeNode* node);
  virtual bool CanCollapse(TTreeNode* node);
  virtual void Collapse(TTreeNode* node);
  virtual bool CanEdit(TTreeNode* node);
  // Label editing ended with `text` (cancel: not called). The base fires OnEdited and sets the
  // node's text.
  virtual void Edit(TTreeNode* node, std::string text);
  // The text that the edit box starts with; the base gives the node's text.
  virtual std::string EditStartText(TTreeNode* node);
  // Label editing has ended (with or without a new text); IsEditing is false again.
  virtual void EditEnded() {}
  virtual void Delete(TTreeNode* node);
  virtual void GetImageIndex(TTreeNode* node);
  virtual void GetSelectedIndex(TTreeNode* node);
  // Whether any standard custom-draw event is set (then the standard handling draws).
  bool StandardCustomDrawAssigned() const;
  // The standard handling of NM_CUSTOMDRAW: the four events.
  virtual LRESULT CustomDraw(NMTVCUSTOMDRAW& draw);
  // Left (TVN_BEGINDRAG) or right (TVN_BEGINRDRAG) drag of a node; the base fires OnStartDrag
  // when DragMode is dmAutomatic.
  virtual void BeginDrag(TTreeNode* node, TMouseButton button, POINT point);
  // NM_CLICK / NM_RCLICK of the control; true when handled (the control's default is skipped).
  virtual bool NotifyClick();
  virtual bool NotifyRightClick();
  // WM_MOUSEWHEEL (screen point): fires OnMouseWheel, then OnMouseWheelDown or Up; true when
  // a handler said it handled the wheel. The base scrolls nothing itself.
  virtual bool DoMouseWheel(TShiftState shift, int delta, POINT screen_point);
  // The style bits that the properties select.
  virtual DWORD TreeStyle() const;
  // Writes the style again where a window exists.
  void ApplyStyle();
  // Deleting the window's nodes as the window goes; set while the handle is destroyed.
  bool DestroyingHandle() const noexcept { return destroying_handle_; }

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  // The timer that delays OnChange after a keyboard selection (ChangeDelay).
  static constexpr UINT_PTR kChangeDelayTimer = 1;
  void NodeDeleted(TTreeNode* node);
  // The notifications' own steps, between the control's message and the standard steps above.
  void SelectionChanged(const NMTREEVIEWA& info);
  bool MayExpandOrCollapse(const NMTREEVIEWA& info);
  void ExpandedOrCollapsed(const NMTREEVIEWA& info);
  bool MayEditLabel(const NMTVDISPINFOA& info);
  void LabelEditEnded(const NMTVDISPINFOA& info);
  void ItemDeleted(const NMTREEVIEWA& info);
  // Fills in the images the control asks for; false for an item without a node.
  bool AnswerDisplayInfo(NMTVDISPINFOA& info);
  // Fires an "-ing" event; whether the step may go on.
  bool Allowed(const TTVChangingEvent& event, TTreeNode* node);
  void ApplyColors();

  TTreeNodes items_;
  bool show_buttons_ = true;
  bool show_lines_ = true;
  bool show_root_ = true;
  bool read_only_ = false;
  bool hide_selection_ = true;
  bool hot_track_ = false;
  bool row_select_ = false;
  bool tool_tips_ = true;
  bool auto_expand_ = false;
  bool right_click_select_ = false;
  TBorderStyle border_style_ = TBorderStyle::bsSingle;
  int indent_ = -1;  // -1: the control's own
  TDragMode drag_mode_ = TDragMode::dmManual;
  int change_delay_ = 0;
  HIMAGELIST images_ = nullptr;
  HIMAGELIST state_images_ = nullptr;
  bool destroying_handle_ = false;
  bool editing_ = false;
  bool cancelling_edit_ = false;  // inside TVM_ENDEDITLABELNOW with cancel
  TTreeNode* expanding_ = nullptr;  // expanded or collapsed by TTreeNode, which asks itself
  bool answering_display_info_ = false;  // images set now are drawn at once, not invalidated
};

// The standard tree view as forms create it ("TTreeView").
class TTreeView : public TCustomTreeView {
 public:
  using TCustomTreeView::TCustomTreeView;
};

}  // namespace stampwell
