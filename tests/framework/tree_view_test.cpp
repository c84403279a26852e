// The standard tree view over the real common control: node objects follow the control's items
// (deleting an item by any route frees exactly its nodes) and keep its order and buttons, the
// "-ing" events can veto, the
// expansion steps run once whether the code or the control expands, label editing goes
// through OnEditing and OnEdited, and forms set the properties by name.
#include "framework/tree_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/form_reader.h"
#include "framework/forms.h"
#include "framework/std_controls.h"
#include "tests/support/memory_canvas.h"

namespace stampwell {
namespace {

class TreeHost {
 public:
  TreeHost() : form(nullptr), tree(new TTreeView(&form)) {
    form.SetBounds(0, 0, 300, 300);
    tree->SetBounds(0, 0, 280, 280);
    tree->SetParent(&form);
    form.HandleNeeded();
  }
  TForm form;
  TTreeView* tree;
};

std::vector<std::string> ChildTexts(TTreeNode* parent) {
  std::vector<std::string> texts;
  for (TTreeNode* n = parent->GetFirstChild(); n; n = n->GetNextSibling()) texts.push_back(n->Text());
  return texts;
}

TEST(TreeView, NodesFollowTheControlsItems) {
  TreeHost host;
  TTreeNodes& items = host.tree->Items();
  std::vector<std::string> deleted;
  host.tree->OnDeletion = [&](TObject*, TTreeNode* node) { deleted.push_back(node->Text()); };

  TTreeNode* a = items.Add(nullptr, "a");
  TTreeNode* b = items.Add(a, "b");
  TTreeNode* a1 = items.AddChild(a, "a1");
  TTreeNode* a0 = items.AddChildFirst(a, "a0");
  TTreeNode* a2 = items.AddChildObject(a, "a2", &deleted);
  EXPECT_EQ(items.Count(), 5);
  EXPECT_EQ(items.GetFirstNode(), a);
  EXPECT_EQ(a->GetNextSibling(), b);
  EXPECT_EQ(ChildTexts(a), (std::vector<std::string>{"a0", "a1", "a2"}));
  EXPECT_EQ(a2->Parent(), a);
  EXPECT_EQ(a2->Data(), &deleted);
  EXPECT_EQ(a1->Level(), 1);
  EXPECT_EQ(a1->Index(), 1);
  // Children come before the next sibling.
  EXPECT_EQ(a->AbsoluteIndex(), 0);
  EXPECT_EQ(a0->AbsoluteIndex(), 1);
  EXPECT_EQ(b->AbsoluteIndex(), 4);
  EXPECT_EQ(items.Item(4), b);
  EXPECT_TRUE(a2->HasAsParent(a));
  EXPECT_FALSE(a->HasAsParent(a2));
  EXPECT_TRUE(a->HasChildren());

  a1->SetText("renamed");
  char text[32] = {};
  TVITEMA item{};
  item.mask = TVIF_TEXT;
  item.hItem = a1->ItemId();
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(host.tree->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "renamed");

  // Deleting a parent deletes and frees its children too.
  a->Delete();
  EXPECT_EQ(items.Count(), 1);
  EXPECT_EQ(deleted.size(), 4u);
  EXPECT_EQ(items.GetFirstNode(), b);
  // The control's own "delete all" frees the rest.
  SendMessageA(host.tree->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  EXPECT_EQ(items.Count(), 0);
  EXPECT_EQ(deleted.back(), "b");

  // The window's end deletes the nodes, and a new window starts empty.
  items.Add(nullptr, "c");
  host.tree->DestroyHandle();
  EXPECT_EQ(items.Count(), 0);
  EXPECT_EQ(deleted.back(), "c");
}

// The control's own list of a node's children (the top level for null), asked item by item.
std::vector<TTreeNode*> ControlChildren(TTreeView* tree, TTreeNode* parent) {
  std::vector<TTreeNode*> nodes;
  HWND window = tree->Handle();
  HTREEITEM item = parent ? TreeView_GetChild(window, parent->ItemId()) : TreeView_GetRoot(window);
  for (; item; item = TreeView_GetNextSibling(window, item)) {
    TVITEMA data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    SendMessageA(window, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    nodes.push_back(reinterpret_cast<TTreeNode*>(data.lParam));
  }
  return nodes;
}

bool ControlShowsButton(TTreeView* tree, TTreeNode* node) {
  TVITEMA data{};
  data.mask = TVIF_CHILDREN;
  data.hItem = node->ItemId();
  SendMessageA(tree->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
  return data.cChildren != 0;
}

// The nodes answer walks from their own lists; each change must leave those lists as the
// control's, read forwards and backwards, and the button as the control shows it.
TEST(TreeView, NodesKeepTheControlsOrderAndButtons) {
  TreeHost host;
  TTreeNodes& items = host.tree->Items();
  auto agree = [&](TTreeNode* parent) {
    std::vector<TTreeNode*> forward, backward;
    for (TTreeNode* n = parent ? parent->GetFirstChild() : items.GetFirstNode(); n; n = n->GetNextSibling())
      forward.push_back(n);
    EXPECT_EQ(forward, ControlChildren(host.tree, parent)) << (parent ? parent->Text() : "top level");
    if (!parent) return;
    for (TTreeNode* n = parent->GetLastChild(); n; n = n->GetPrevSibling()) backward.insert(backward.begin(), n);
    EXPECT_EQ(backward, forward) << parent->Text();
    EXPECT_EQ(parent->Count(), static_cast<int>(forward.size()));
  };

  TTreeNode* root = items.Add(nullptr, "root");
  items.Add(nullptr, "other");
  items.AddFirst(root, "first");
  agree(nullptr);
  TTreeNode* c = items.AddChild(root, "c");
  TTreeNode* a = items.AddChildFirst(root, "a");
  TTreeNode* e = items.AddChild(root, "e");
  TTreeNode* b = items.Insert(c, "b");
  TTreeNode* d = items.Insert(e, "d");
  TTreeNode* zero = items.Insert(a, "0");
  items.AddChild(c, "c1");
  items.AddChild(c, "c2");
  EXPECT_EQ(ChildTexts(root), (std::vector<std::string>{"0", "a", "b", "c", "d", "e"}));
  agree(root);
  agree(c);

  // Deleted in the middle, at each end, and with children of its own.
  b->Delete();
  zero->Delete();
  e->Delete();
  c->Delete();
  EXPECT_EQ(ChildTexts(root), (std::vector<std::string>{"a", "d"}));
  agree(root);
  EXPECT_EQ(items.Count(), 5);

  for (const char* name : {"m", "k", "z", "b"}) items.AddChild(root, name);
  ASSERT_TRUE(root->CustomSort([](TTreeNode* x, TTreeNode* y) { return y->Text().compare(x->Text()); }));
  EXPECT_EQ(ChildTexts(root), (std::vector<std::string>{"z", "m", "k", "d", "b", "a"}));
  agree(root);
  ASSERT_TRUE(host.tree->CustomSort(nullptr, [](TTreeNode* x, TTreeNode* y) { return x->Text().compare(y->Text()); }));
  agree(nullptr);
  EXPECT_EQ(items.GetFirstNode()->Text(), "first");

  // The button: as told, as the control leaves it after an expansion that finds nothing, shown
  // again for a new child, and as the control leaves it when the last child goes.
  EXPECT_EQ(d->HasChildren(), ControlShowsButton(host.tree, d));
  d->SetHasChildren(true);
  EXPECT_TRUE(d->HasChildren());
  EXPECT_TRUE(ControlShowsButton(host.tree, d));
  d->Expand(false);
  EXPECT_EQ(d->HasChildren(), ControlShowsButton(host.tree, d));
  a->SetHasChildren(false);
  EXPECT_FALSE(ControlShowsButton(host.tree, a));
  TTreeNode* a1 = items.AddChild(a, "a1");
  EXPECT_TRUE(a->HasChildren());
  EXPECT_TRUE(ControlShowsButton(host.tree, a));
  a1->Delete();
  EXPECT_EQ(a->HasChildren(), ControlShowsButton(host.tree, a));

  // Everything goes with the control's "delete all"; new nodes start a new list.
  SendMessageA(host.tree->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  EXPECT_EQ(items.GetFirstNode(), nullptr);
  TTreeNode* again = items.Add(nullptr, "again");
  EXPECT_EQ(items.GetFirstNode(), again);
  agree(nullptr);
}

TEST(TreeView, EventsVetoAndRunOnce) {
  TreeHost host;
  TTreeNodes& items = host.tree->Items();
  TTreeNode* root = items.Add(nullptr, "root");
  TTreeNode* child = items.AddChild(root, "child");
  TTreeNode* other = items.Add(nullptr, "other");

  int expanding = 0, expanded = 0, collapsing = 0;
  bool allow_expand = false;
  host.tree->OnExpanding = [&](TObject*, TTreeNode* node, bool& allow) {
    ++expanding;
    allow = allow_expand;
  };
  host.tree->OnExpanded = [&](TObject*, TTreeNode*) { ++expanded; };
  host.tree->OnCollapsing = [&](TObject*, TTreeNode*, bool&) { ++collapsing; };
  root->Expand(false);
  EXPECT_FALSE(root->Expanded());
  EXPECT_EQ(expanding, 1);
  allow_expand = true;
  root->Expand(false);
  EXPECT_TRUE(root->Expanded());
  EXPECT_EQ(expanding, 2);  // not asked again by the control's own notification
  EXPECT_EQ(expanded, 1);
  root->Collapse(false);
  EXPECT_FALSE(root->Expanded());
  EXPECT_EQ(collapsing, 1);
  // Expanding through the control (as a click on the button does) asks the same steps.
  SendMessageA(host.tree->Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root->ItemId()));
  EXPECT_TRUE(root->Expanded());

  std::vector<TTreeNode*> changes;
  bool allow_change = true;
  host.tree->OnChanging = [&](TObject*, TTreeNode*, bool& allow) { allow = allow_change; };
  host.tree->OnChange = [&](TObject*, TTreeNode* node) { changes.push_back(node); };
  child->SetSelected(true);
  EXPECT_EQ(host.tree->Selected(), child);
  allow_change = false;
  other->SetSelected(true);
  EXPECT_EQ(host.tree->Selected(), child);
  EXPECT_EQ(changes, std::vector<TTreeNode*>{child});
  EXPECT_TRUE(child->Selected());
}

TEST(TreeView, LabelEditingGoesThroughTheEvents) {
  TreeHost host;
  TTreeNode* node = host.tree->Items().Add(nullptr, "before");
  bool allow = false;
  std::string edited;
  host.tree->OnEditing = [&](TObject*, TTreeNode*, bool& a) { a = allow; };
  host.tree->OnEdited = [&](TObject*, TTreeNode*, std::string& text) {
    edited = text;
    text += "!";
  };
  EXPECT_FALSE(node->EditText());
  EXPECT_FALSE(host.tree->IsEditing());
  allow = true;
  ASSERT_TRUE(node->EditText());
  EXPECT_TRUE(host.tree->IsEditing());
  HWND edit = host.tree->EditHandle();
  ASSERT_NE(edit, nullptr);
  // Enter and Escape belong to the edit box while a label is edited.
  EXPECT_TRUE(SendMessageA(host.tree->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
  SetWindowTextA(edit, "after");
  node->EndEdit(false);
  EXPECT_FALSE(host.tree->IsEditing());
  EXPECT_EQ(edited, "after");
  EXPECT_EQ(node->Text(), "after!");
  // Cancelled: no OnEdited, the text stays.
  edited.clear();
  ASSERT_TRUE(node->EditText());
  node->EndEdit(true);
  EXPECT_TRUE(edited.empty());
  EXPECT_EQ(node->Text(), "after!");
  // A read-only tree never edits.
  host.tree->SetReadOnly(true);
  EXPECT_FALSE(node->EditText());
}

// TVM_EDITLABEL selects the item it edits, as Windows documents (Wine's control does not): the
// node edited is the node selected, and OnChange says so once.
TEST(TreeView, EditingALabelSelectsItsNode) {
  TreeHost host;
  TTreeNode* first = host.tree->Items().Add(nullptr, "first");
  TTreeNode* second = host.tree->Items().Add(nullptr, "second");
  first->SetSelected(true);
  std::vector<TTreeNode*> changes;
  host.tree->OnChange = [&](TObject*, TTreeNode* node) { changes.push_back(node); };
  ASSERT_TRUE(second->EditText());
  EXPECT_EQ(host.tree->Selected(), second);
  EXPECT_EQ(changes, std::vector<TTreeNode*>{second});
  second->EndEdit(true);
  EXPECT_EQ(host.tree->Selected(), second);
}

// The control's own delayed editor (a slow second click on the selected label) must not open
// once the focus has gone elsewhere: the editor would take the focus from a button being
// pressed and the button's click would be lost.
TEST(TreeView, NoLabelEditorOpensWhileAnotherControlHasTheFocus) {
  TreeHost host;
  TTreeNode* node = host.tree->Items().Add(nullptr, "node");
  node->SetSelected(true);
  auto* button = new TButton(&host.form);
  button->SetBounds(0, 285, 75, 10);
  button->SetParent(&host.form);
  host.form.Show();
  button->SetFocus();
  ASSERT_TRUE(button->Focused());
  EXPECT_EQ(SendMessageA(host.tree->Handle(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(node->ItemId())), 0);
  EXPECT_FALSE(host.tree->IsEditing());
  EXPECT_TRUE(button->Focused());
}

TEST(TreeView, SortsAndAsksForImagesWhenShown) {
  TreeHost host;
  TTreeNodes& items = host.tree->Items();
  TTreeNode* root = items.Add(nullptr, "root");
  for (const char* name : {"c", "a", "b"}) items.AddChild(root, name);
  root->CustomSort([](TTreeNode* x, TTreeNode* y) { return x->Text().compare(y->Text()); });
  EXPECT_EQ(ChildTexts(root), (std::vector<std::string>{"a", "b", "c"}));
  items.BeginUpdate();
  items.BeginUpdate();
  items.EndUpdate();
  EXPECT_TRUE(items.Updating());
  items.EndUpdate();
  EXPECT_FALSE(items.Updating());

  int asked = 0;
  host.tree->OnGetImageIndex = [&](TObject*, TTreeNode* node) {
    ++asked;
    node->SetImageIndex(7);
  };
  // Images are asked for when the control draws the node.
  testing::MemoryCanvas canvas(host.tree->Handle(), 280, 280);
  SendMessageA(host.tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.get()), PRF_CLIENT);
  EXPECT_GT(asked, 0);
  EXPECT_EQ(root->ImageIndex(), 7);
}

TEST(TreeView, FormsSetThePropertiesByName) {
  class TTreeForm : public TForm {
   public:
    explicit TTreeForm(TComponent* owner) : TForm(owner) {
      RegisterHandlers({{"TreeChange", TTVChangedEvent([this](TObject*, TTreeNode*) { ++changes; })},
                        {"TreeEditing", TTVChangingEvent([](TObject*, TTreeNode*, bool&) {})}});
      LoadFromText(
          "object F: TForm\n"
          "  object Tree: TTreeView\n"
          "    ShowRoot = False\n"
          "    ShowLines = False\n"
          "    HideSelection = False\n"
          "    ReadOnly = True\n"
          "    Indent = 19\n"
          "    DragMode = dmAutomatic\n"
          "    RightClickSelect = True\n"
          "    OnChange = TreeChange\n"
          "    OnEditing = TreeEditing\n"
          "  end\n"
          "end\n",
          "TEST_TREE");
    }
    int changes = 0;
  };
  TTreeForm form(nullptr);
  auto& tree = form.Field<TTreeView>("Tree");
  EXPECT_FALSE(tree.ShowRoot());
  EXPECT_TRUE(tree.ReadOnly());
  EXPECT_TRUE(tree.RightClickSelect());
  EXPECT_EQ(tree.DragMode(), TDragMode::dmAutomatic);
  EXPECT_EQ(tree.Indent(), 19);
  LONG style = GetWindowLongA(tree.Handle(), GWL_STYLE);
  EXPECT_FALSE(style & TVS_LINESATROOT);
  EXPECT_FALSE(style & TVS_HASLINES);
  EXPECT_TRUE(style & TVS_SHOWSELALWAYS);
  EXPECT_FALSE(style & TVS_EDITLABELS);
  tree.Items().Add(nullptr, "x")->SetSelected(true);
  EXPECT_EQ(form.changes, 1);

  // A handler of another kind is an error that names the line.
  class TBadForm : public TForm {
   public:
    explicit TBadForm(TComponent* owner) : TForm(owner) {
      RegisterHandlers({{"Wrong", TNotifyEvent([](TObject*) {})}});
      LoadFromText("object F: TForm\n  object Tree: TTreeView\n    OnChange = Wrong\n  end\nend\n", "TEST_BAD_TREE");
    }
  };
  try {
    TBadForm bad(nullptr);
    ADD_FAILURE() << "bound a handler of another kind";
  } catch (const FormError& error) {
    EXPECT_EQ(error.Line(), 3);
  }
}

}  // namespace
}  // namespace stampwell
