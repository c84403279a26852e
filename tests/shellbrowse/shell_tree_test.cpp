// The shell tree on real folders of the test prefix: what it lists, how it walks to a folder,
// renames, refreshes and makes new folders, and how change notifications are coalesced.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/unique_handle.h"
#include "shellbrowse/notification/device_change_handler.h"
#include "shellbrowse/toolbox/id_list.h"
#include "shellbrowse/toolbox/new_folder.h"
#include "shellbrowse/toolbox/shell_error.h"
#include "shellbrowse/toolbox/shell_id_list.h"
#include "shellbrowse/tree/shell_tree.h"
#include "tests/shellbrowse/notify_test_support.h"
#include "tests/shellbrowse/shell_test_support.h"
#include "tests/shellbrowse/shell_tree_test_support.h"
#include "tests/support/memory_canvas.h"

namespace stampwell {
namespace {

using testing::ChildNamed;
using testing::ChildTexts;
using testing::MakeFolder;
using testing::PumpUntil;
using testing::ScratchDirectory;
using testing::ShellTreeHost;
using testing::WriteTextFile;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Pump(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

bool g_menu_seen = false;

void CALLBACK CloseVisibleMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND menu = FindWindowA("#32768", nullptr);
  if (menu && IsWindowVisible(menu)) {
    g_menu_seen = true;
    EndMenu();
  }
}

// Whether a popup menu appeared while `show` ran; the menu is closed at once. The timer runs
// inside the menu's own message loop.
bool MenuAppears(const std::function<void()>& show) {
  g_menu_seen = false;
  UINT_PTR timer = SetTimer(nullptr, 0, 100, &CloseVisibleMenu);
  show();
  Pump(300);
  KillTimer(nullptr, timer);
  return g_menu_seen;
}

void PressKey(HWND window, WORD key) {
  SendMessageA(window, WM_KEYDOWN, key, 1);
  SendMessageA(window, WM_KEYUP, key, 0xC0000001);
}

TEST(ShellTree, WithoutBaseFolderShowsTheDesktopExpandedOneLevel) {
  ShellTreeHost host;
  host.tree->FillTree();
  TTreeNode* root = host.tree->Items().GetFirstNode();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->GetNextSibling(), nullptr);
  ITEMIDLIST desktop{};
  EXPECT_EQ(root->Text(), GetAbsDisplayName(&desktop));
  EXPECT_TRUE(root->Expanded());
  ASSERT_NE(root->GetFirstChild(), nullptr);
  for (TTreeNode* child = root->GetFirstChild(); child; child = child->GetNextSibling()) {
    EXPECT_FALSE(child->Expanded()) << child->Text();
    EXPECT_EQ(child->GetFirstChild(), nullptr) << child->Text();
  }
  // The root is selected and SelectedFolder names the desktop.
  EXPECT_EQ(host.tree->Selected(), root);
  EXPECT_TRUE(IsEmptyIdList(host.tree->NodeData(root)->AbsIdList()));
  // With ptstoVirtualFolders, My Computer is there.
  unique_idlist drives;
  ASSERT_EQ(SpecialFolderIdList(nullptr, CSIDL_DRIVES, drives), S_OK);
  EXPECT_NE(ChildNamed(root, GetAbsDisplayName(drives.get())), nullptr);

  // The root can be neither renamed nor deleted and has no shell menu; a folder below has one.
  EXPECT_FALSE(root->EditText());
  EXPECT_EQ(host.tree->InvokeCommand(root, "delete"), 1);
  EXPECT_FALSE(MenuAppears([&] { host.tree->ShowShellContextMenu(root, POINT{50, 50}); }));
  EXPECT_FALSE(host.tree->MenuActive());
  TTreeNode* child = root->GetFirstChild();
  EXPECT_TRUE(MenuAppears([&] { host.tree->ShowShellContextMenu(child, POINT{50, 50}); }));
  EXPECT_FALSE(host.tree->MenuActive());
}

TEST(ShellTree, HiddenFoldersOnlyWithShowHidden) {
  ScratchDirectory scratch("tree_hidden");
  MakeFolder(scratch.path() + "\\Shown");
  MakeFolder(scratch.path() + "\\Secret", FILE_ATTRIBUTE_HIDDEN);
  {
    ShellTreeHost host;
    host.SetBase(scratch.path());
    host.tree->FillTree();
    EXPECT_EQ(ChildTexts(host.tree->Items().GetFirstNode()), std::vector<std::string>{"Shown"});
  }
  TPTShellTreeOptions options = testing::BrowseWindowOptions();
  options += ptstoShowHidden;
  ShellTreeHost host(options);
  host.SetBase(scratch.path());
  host.tree->FillTree();
  TTreeNode* root = host.tree->Items().GetFirstNode();
  EXPECT_EQ(ChildTexts(root), (std::vector<std::string>{"Secret", "Shown"}));
  // A hidden folder is drawn ghosted.
  EXPECT_TRUE(ChildNamed(root, "Secret")->Cut());
  EXPECT_FALSE(ChildNamed(root, "Shown")->Cut());
}

TEST(ShellTree, SelectingAFolderWalksAndAddsNodes) {
  ScratchDirectory scratch("tree_select");
  MakeFolder(scratch.path() + "\\Secret", FILE_ATTRIBUTE_HIDDEN);
  MakeFolder(scratch.path() + "\\Secret\\Inner");
  MakeFolder(scratch.path() + "\\Refused");
  MakeFolder(scratch.path() + "\\Refused\\Below");
  ShellTreeHost host;
  host.SetBase(scratch.path());
  host.tree->OnAddItem = [](TObject*, IShellFolder* folder, LPCITEMIDLIST, LPCITEMIDLIST item, ULONG, BOOL& allow) {
    if (GetDisplayName(folder, item, NameKind::InFolder) == "Refused") allow = FALSE;
  };
  std::vector<std::string> changes;
  host.tree->OnChange = [&](TObject*, TTreeNode* node) { changes.push_back(node ? node->Text() : "-"); };
  host.tree->FillTree();
  TTreeNode* root = host.tree->Items().GetFirstNode();
  EXPECT_TRUE(ChildTexts(root).empty());

  // The hidden folder was not listed; the walk adds it and the folder below.
  TPTShellLocator inner;
  inner.SetPath(scratch.path() + "\\Secret\\Inner");
  changes.clear();
  host.tree->SetSelectedFolder(inner);
  ASSERT_NE(host.tree->Selected(), nullptr);
  EXPECT_EQ(host.tree->Selected()->Text(), "Inner");
  EXPECT_EQ(host.tree->GetSelectedPath(), scratch.path() + "\\Secret\\Inner");
  EXPECT_EQ(ChildTexts(root), std::vector<std::string>{"Secret"});
  EXPECT_EQ(changes, std::vector<std::string>{"Inner"});
  EXPECT_EQ(host.tree->SelectedFolder().Path(), scratch.path() + "\\Secret\\Inner");

  // An item that cannot be added stops the walk (with a beep) at the deepest node reached.
  TPTShellLocator below;
  below.SetPath(scratch.path() + "\\Refused\\Below");
  host.tree->SelectIdList(below.IdList());
  EXPECT_EQ(host.tree->Selected(), root);
  EXPECT_EQ(ChildNamed(root, "Refused"), nullptr);

  // SelectAncestor climbs and stops at the top.
  host.tree->SetSelectedFolder(inner);
  host.tree->SelectAncestor(1);
  EXPECT_EQ(host.tree->Selected()->Text(), "Secret");
  host.tree->SelectAncestor(5);
  EXPECT_EQ(host.tree->Selected(), root);
}

TEST(ShellTree, AFolderWithoutSubfoldersLosesItsButtonWhenFirstExpanded) {
  ScratchDirectory scratch("tree_leaf");
  MakeFolder(scratch.path() + "\\Empty");
  MakeFolder(scratch.path() + "\\Full");
  MakeFolder(scratch.path() + "\\Full\\Child");
  ShellTreeHost host;
  host.SetBase(scratch.path());
  host.tree->FillTree();
  TTreeNode* root = host.tree->Items().GetFirstNode();
  TTreeNode* empty = ChildNamed(root, "Empty");
  TTreeNode* full = ChildNamed(root, "Full");
  ASSERT_NE(empty, nullptr);
  ASSERT_NE(full, nullptr);
  // Nodes start with the button that the shell's attributes promise (Wine promises subfolders
  // for every folder; Windows only where there are some) and are filled on first expansion.
  EXPECT_TRUE(full->HasChildren());
  EXPECT_EQ(full->GetFirstChild(), nullptr);
  empty->Expand(false);
  EXPECT_FALSE(empty->HasChildren());
  EXPECT_FALSE(empty->Expanded());
  full->Expand(false);
  EXPECT_TRUE(full->Expanded());
  EXPECT_EQ(ChildTexts(full), std::vector<std::string>{"Child"});
  EXPECT_EQ(host.tree->NodeData(ChildNamed(full, "Child"))->Path(), scratch.path() + "\\Full\\Child");
}

TEST(ShellTree, RenameTrimsAndAnExistingNameKeepsTheOldText) {
  ScratchDirectory scratch("tree_rename");
  MakeFolder(scratch.path() + "\\Old");
  MakeFolder(scratch.path() + "\\Taken");
  MakeFolder(scratch.path() + "\\Old\\Inside");
  ShellTreeHost host;
  host.SetBase(scratch.path());
  host.tree->FillTree();
  TTreeNode* root = host.tree->Items().GetFirstNode();
  TTreeNode* old = ChildNamed(root, "Old");
  ASSERT_NE(old, nullptr);
  old->Expand(false);
  old->SetSelected(true);

  ASSERT_TRUE(old->EditText());
  SetWindowTextA(host.tree->EditHandle(), "  Zebra  ");
  old->EndEdit(false);
  EXPECT_EQ(old->Text(), "Zebra");
  EXPECT_TRUE(Exists(scratch.path() + "\\Zebra"));
  EXPECT_FALSE(Exists(scratch.path() + "\\Old"));
  // The node keeps its place in the shell's order, its descendants and the selection follow.
  EXPECT_EQ(ChildTexts(root), (std::vector<std::string>{"Taken", "Zebra"}));
  EXPECT_EQ(host.tree->NodeData(old)->Path(), scratch.path() + "\\Zebra");
  EXPECT_EQ(host.tree->NodeData(ChildNamed(old, "Inside"))->Path(), scratch.path() + "\\Zebra\\Inside");
  EXPECT_EQ(host.tree->SelectedFolder().Path(), scratch.path() + "\\Zebra");
  EXPECT_TRUE(host.tree->SuppressNextNotify());

  ASSERT_TRUE(old->EditText());
  SetWindowTextA(host.tree->EditHandle(), "Taken");
  old->EndEdit(false);
  EXPECT_EQ(old->Text(), "Zebra");
  EXPECT_TRUE(Exists(scratch.path() + "\\Zebra"));
}

// SelectedFolder names the selected node's folder after a rename: the node's own new path when
// it is the one renamed, and its path unchanged when another node was renamed meanwhile.
TEST(ShellTree, SelectedFolderFollowsTheSelectedNodeThroughARename) {
  ScratchDirectory scratch("tree_rename_selected");
  MakeFolder(scratch.path() + "\\Made");
  MakeFolder(scratch.path() + "\\Other");
  ShellTreeHost host;
  host.SetBase(scratch.path());
  host.tree->FillTree();
  TTreeNode* root = host.tree->Items().GetFirstNode();
  TTreeNode* made = ChildNamed(root, "Made");
  TTreeNode* other = ChildNamed(root, "Other");
  ASSERT_NE(made, nullptr);
  ASSERT_NE(other, nullptr);
  root->SetSelected(true);

  ASSERT_TRUE(made->EditText());
  EXPECT_EQ(host.tree->Selected(), made);
  SetWindowTextA(host.tree->EditHandle(), "Picked Here");
  made->EndEdit(false);
  EXPECT_EQ(host.tree->Selected(), made);
  EXPECT_EQ(host.tree->SelectedFolder().Path(), scratch.path() + "\\Picked Here");

  ASSERT_TRUE(made->EditText());
  other->SetSelected(true);
  ASSERT_TRUE(host.tree->IsEditing());
  SetWindowTextA(host.tree->EditHandle(), "Renamed Again");
  made->EndEdit(false);
  ASSERT_TRUE(Exists(scratch.path() + "\\Renamed Again"));
  EXPECT_EQ(host.tree->Selected(), other);
  EXPECT_EQ(host.tree->SelectedFolder().Path(), scratch.path() + "\\Other");
}

// A label edit that ends with the name the folder has renames nothing, so no change
// notification is owed to it and the next one is not ignored.
TEST(ShellTree, EditEndingWithTheSameNameRenamesNothing) {
  ScratchDirectory scratch("tree_rename_same");
  MakeFolder(scratch.path() + "\\Kept");
  ShellTreeHost host;
  host.SetBase(scratch.path());
  host.tree->FillTree();
  TTreeNode* kept = ChildNamed(host.tree->Items().GetFirstNode(), "Kept");
  ASSERT_NE(kept, nullptr);
  LPCITEMIDLIST before = host.tree->NodeData(kept)->RelIdList();
  ASSERT_TRUE(kept->EditText());
  SetWindowTextA(host.tree->EditHandle(), " Kept ");
  kept->EndEdit(false);
  EXPECT_EQ(kept->Text(), "Kept");
  EXPECT_FALSE(host.tree->SuppressNextNotify());
  EXPECT_EQ(host.tree->NodeData(kept)->RelIdList(), before);
}

TEST(ShellTree, RefreshKeepsExpansionAndSelection) {
  ScratchDirectory scratch("tree_refresh");
  MakeFolder(scratch.path() + "\\A");
  MakeFolder(scratch.path() + "\\A\\A1");
  MakeFolder(scratch.path() + "\\A\\A1\\Deep");
  MakeFolder(scratch.path() + "\\B");
  ShellTreeHost host;
  host.SetBase(scratch.path());
  host.tree->FillTree();
  TTreeNode* root = host.tree->Items().GetFirstNode();
  TTreeNode* a = ChildNamed(root, "A");
  a->Expand(false);
  TTreeNode* a1 = ChildNamed(a, "A1");
  a1->Expand(false);
  TTreeNode* deep = ChildNamed(a1, "Deep");
  deep->SetSelected(true);

  MakeFolder(scratch.path() + "\\C");
  MakeFolder(scratch.path() + "\\A\\A0");
  RemoveDirectoryA((scratch.path() + "\\B").c_str());
  host.tree->RefreshTree();
  EXPECT_EQ(ChildTexts(root), (std::vector<std::string>{"A", "C"}));
  // The same node objects: nothing was rebuilt.
  EXPECT_EQ(ChildNamed(root, "A"), a);
  EXPECT_TRUE(a->Expanded());
  EXPECT_EQ(ChildTexts(a), (std::vector<std::string>{"A0", "A1"}));
  EXPECT_TRUE(a1->Expanded());
  EXPECT_EQ(host.tree->Selected(), deep);

  // A selected folder that vanished passes the selection to its nearest remaining ancestor.
  RemoveDirectoryA((scratch.path() + "\\A\\A1\\Deep").c_str());
  RemoveDirectoryA((scratch.path() + "\\A\\A1").c_str());
  host.tree->RefreshTree();
  EXPECT_EQ(host.tree->Selected(), a);
  EXPECT_EQ(ChildTexts(a), std::vector<std::string>{"A0"});
  EXPECT_EQ(host.tree->SelectedFolder().Path(), scratch.path() + "\\A");
}

TEST(ShellTree, RefreshPlacesNewFoldersInOrderAlsoAfterAWalkAddedOneAtTheEnd) {
  ScratchDirectory scratch("tree_refresh_order");
  std::vector<std::string> expected;
  for (int i = 0; i < 10; ++i) {
    expected.push_back("B" + std::to_string(i));
    MakeFolder(scratch.path() + "\\" + expected.back());
  }
  ShellTreeHost host;
  host.SetBase(scratch.path());
  host.tree->FillTree();
  TTreeNode* root = host.tree->Items().GetFirstNode();
  ASSERT_EQ(ChildTexts(root), expected);

  // Made after the fill: selecting it walks to it and adds its node after the others.
  MakeFolder(scratch.path() + "\\A");
  TPTShellLocator added;
  added.SetPath(scratch.path() + "\\A");
  host.tree->SetSelectedFolder(added);
  ASSERT_EQ(ChildTexts(root).back(), "A");

  // One new folder among many goes straight to its place, but only among children that are in
  // order: here the walk's node has to be sorted into place first.
  MakeFolder(scratch.path() + "\\C");
  host.tree->RefreshTree();
  expected.insert(expected.begin(), "A");
  expected.push_back("C");
  EXPECT_EQ(ChildTexts(root), expected);
  MakeFolder(scratch.path() + "\\B4x");
  host.tree->RefreshTree();
  expected.insert(expected.begin() + 6, "B4x");
  EXPECT_EQ(ChildTexts(root), expected);
  EXPECT_EQ(host.tree->Selected()->Text(), "A");
}

TEST(ShellTree, ChangeNotificationsAreCoalesced) {
  ScratchDirectory scratch("tree_notify");
  MakeFolder(scratch.path() + "\\One");
  ShellTreeHost host;
  host.SetBase(scratch.path());
  host.form.Show();
  host.tree->FillTree();
  host.tree->SetFocus();
  Pump(50);
  ASSERT_TRUE(host.tree->Focused());
  int refreshes = 0;
  host.tree->OnFillComplete = [&](TObject*) { ++refreshes; };
  HWND window = host.tree->Handle();

  // Wine reports only changes of direct children of a watched folder and the tree watches
  // drive roots, so these notifications are posted as the worker posts them (Windows would
  // report the new folder below through the drive's watch).
  MakeFolder(scratch.path() + "\\Two");
  PostMessageA(window, TPTCustomShellTree::kChangeNotifyMessage, 0, 0);
  Pump(150);
  PostMessageA(window, TPTCustomShellTree::kChangeNotifyMessage, 0, 0);
  Pump(150);
  EXPECT_EQ(refreshes, 0);
  EXPECT_EQ(host.tree->ChangeTimer().Tag(), TPTCustomShellTree::kTagRefresh);
  EXPECT_EQ(host.tree->ChangeTimer().Interval(), 400u);
  ASSERT_TRUE(PumpUntil([&] { return refreshes > 0; }));
  Pump(600);
  EXPECT_EQ(refreshes, 1);
  EXPECT_EQ(host.tree->ChangeTimer().Tag(), 0);
  EXPECT_EQ(ChildTexts(host.tree->Items().GetFirstNode()), (std::vector<std::string>{"One", "Two"}));

  // The first notification after the tree's own rename is ignored; the next one counts.
  TTreeNode* one = ChildNamed(host.tree->Items().GetFirstNode(), "One");
  ASSERT_TRUE(one->EditText());
  SetWindowTextA(host.tree->EditHandle(), "Uno");
  one->EndEdit(false);
  PostMessageA(window, TPTCustomShellTree::kChangeNotifyMessage, 0, 0);
  Pump(100);
  EXPECT_FALSE(host.tree->ChangeTimer().Enabled());
  PostMessageA(window, TPTCustomShellTree::kChangeNotifyMessage, 0, 0);
  Pump(100);
  EXPECT_TRUE(host.tree->ChangeTimer().Enabled());
  host.tree->FlushPendingChange();
  EXPECT_FALSE(host.tree->ChangeTimer().Enabled());

  // Without the focus the tree waits longer.
  SetFocus(nullptr);
  PostMessageA(window, TPTCustomShellTree::kChangeNotifyMessage, 0, 0);
  Pump(100);
  EXPECT_EQ(host.tree->ChangeTimer().Interval(), 2000u);
  host.tree->FlushPendingChange();

  // A window that goes takes its pending refresh along: nothing makes the window again for it.
  PostMessageA(window, TPTCustomShellTree::kChangeNotifyMessage, 0, 0);
  Pump(50);
  ASSERT_TRUE(host.tree->ChangeTimer().Enabled());
  host.tree->DestroyHandle();
  EXPECT_FALSE(host.tree->ChangeTimer().Enabled());
  EXPECT_EQ(host.tree->Items().Count(), 0);
  Pump(300);
  EXPECT_FALSE(host.tree->HandleAllocated());
}

TEST(ShellTree, CreateNewFolderPicksAFreeNameAndEditsIt) {
  ScratchDirectory scratch("tree_new_folder");
  ShellTreeHost host;
  host.SetBase(scratch.path());
  host.form.Show();
  host.tree->FillTree();
  TTreeNode* root = host.tree->Items().GetFirstNode();
  ASSERT_TRUE(host.tree->CreateNewFolder());
  EXPECT_TRUE(Exists(scratch.path() + "\\New Folder"));
  ASSERT_TRUE(host.tree->IsEditing());
  EXPECT_TRUE(host.tree->SuppressNextNotify());
  TTreeNode* first = ChildNamed(root, "New Folder");
  ASSERT_NE(first, nullptr);
  // The folder being named is the one selected, so that a second one would go inside it.
  EXPECT_EQ(host.tree->Selected(), first);
  EXPECT_EQ(host.tree->SelectedFolder().Path(), scratch.path() + "\\New Folder");
  first->EndEdit(true);
  root->SetSelected(true);
  ASSERT_TRUE(host.tree->CreateNewFolder());
  EXPECT_TRUE(Exists(scratch.path() + "\\New Folder (2)"));
  ASSERT_TRUE(host.tree->IsEditing());
  char text[64] = {};
  GetWindowTextA(host.tree->EditHandle(), text, sizeof text);
  EXPECT_STREQ(text, "New Folder (2)");
  ChildNamed(root, "New Folder (2)")->EndEdit(true);
  EXPECT_EQ(ChildTexts(root), (std::vector<std::string>{"New Folder", "New Folder (2)"}));

  // A refresh asked for while a label is edited waits for the end of the editing.
  ASSERT_TRUE(first->EditText());
  MakeFolder(scratch.path() + "\\Later");
  host.tree->RefreshTree();
  EXPECT_TRUE(host.tree->RefreshPending());
  EXPECT_EQ(ChildNamed(root, "Later"), nullptr);
  first->EndEdit(true);
  EXPECT_TRUE(PumpUntil([&] { return !host.tree->RefreshPending(); }));
  EXPECT_NE(ChildNamed(root, "Later"), nullptr);

  // A node without a file-system folder holds no new folder.
  ShellTreeHost desktop;
  desktop.tree->FillTree();
  unique_idlist drives;
  ASSERT_EQ(SpecialFolderIdList(nullptr, CSIDL_DRIVES, drives), S_OK);
  desktop.tree->SelectIdList(drives.get());
  ASSERT_EQ(desktop.tree->GetSelectedPath(), "");
  EXPECT_FALSE(desktop.tree->CreateNewFolder());
}

TEST(ShellTree, FillTreeRaisesWhenTheBaseFolderCannotBeBound) {
  ScratchDirectory scratch("tree_unbound");
  std::string file = scratch.path() + "\\plain.txt";
  ASSERT_TRUE(WriteTextFile(file));
  ShellTreeHost host;
  host.SetBase(file);
  Microsoft::WRL::ComPtr<IShellFolder> folder;
  HRESULT hr = BindToFolder(host.tree->BaseFolder().IdList(), folder);
  ASSERT_TRUE(FAILED(hr)) << "a file is bound as a folder";
  try {
    host.tree->FillTree();
    ADD_FAILURE() << "filled below a file";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), SystemMessage(static_cast<DWORD>(hr)));
  }
  EXPECT_EQ(host.tree->Items().Count(), 0);
}

TEST(ShellTree, DefaultKeysActOnTheSelectedNode) {
  ScratchDirectory scratch("tree_keys");
  MakeFolder(scratch.path() + "\\Folder");
  TPTShellTreeOptions options = testing::BrowseWindowOptions();
  options += ptstoDefaultKeyHandling;
  ShellTreeHost host(options);
  host.SetBase(scratch.path());
  host.form.Show();
  host.tree->FillTree();
  HWND window = host.tree->Handle();
  TTreeNode* folder = ChildNamed(host.tree->Items().GetFirstNode(), "Folder");
  folder->SetSelected(true);
  int fills = 0;
  host.tree->OnFillStart = [&](TObject*) { ++fills; };
  PressKey(window, VK_F5);
  EXPECT_EQ(fills, 1);
  PressKey(window, VK_F2);
  EXPECT_TRUE(host.tree->IsEditing());
  host.tree->Selected()->EndEdit(true);
  // Keys the table does not name go to the control; a handler of OnKeyDown sees them first.
  std::vector<unsigned short> keys;
  host.tree->OnKeyDown = [&](TObject*, unsigned short& key, TShiftState) { keys.push_back(key); };
  PressKey(window, VK_UP);
  EXPECT_EQ(keys, std::vector<unsigned short>{VK_UP});
  EXPECT_EQ(host.tree->Selected(), host.tree->Items().GetFirstNode());
}

// A drive arriving refreshes without any notification of the worker; other device news do not.
TEST(ShellTree, ADriveArrivalRefreshesTheTree) {
  ScratchDirectory scratch("tree_devices");
  ShellTreeHost host;
  host.SetBase(scratch.path());
  host.tree->FillTree();
  int fills = 0;
  host.tree->OnFillStart = [&](TObject*) { ++fills; };
  MSG arrival{};
  arrival.message = TPTDeviceChangeHandler::kDispatchMessage;
  arrival.wParam = DBT_DEVICEARRIVAL;
  host.tree->DeviceChange(GetDeviceChangeHandler(), arrival);
  EXPECT_EQ(fills, 1);
  arrival.wParam = DBT_CONFIGCHANGED;
  host.tree->DeviceChange(GetDeviceChangeHandler(), arrival);
  EXPECT_EQ(fills, 1);
}

TEST(ShellTree, NodeMenusFromTheKeyAndTheEvent) {
  ScratchDirectory scratch("tree_menus");
  MakeFolder(scratch.path() + "\\Folder");
  ShellTreeHost host;
  host.SetBase(scratch.path());
  host.form.Show();
  host.tree->FillTree();
  HWND window = host.tree->Handle();
  TTreeNode* root = host.tree->Items().GetFirstNode();
  TTreeNode* folder = ChildNamed(root, "Folder");
  unique_hmenu popup(CreatePopupMenu());
  AppendMenuA(popup.get(), MF_STRING, 1, "Own item");
  host.tree->SetPopupMenu(popup.get());
  std::vector<TTreeNode*> asked;
  host.tree->OnNodeContextMenu = [&](TObject*, TTreeNode* node, POINT&, HMENU& menu) {
    asked.push_back(node);
    EXPECT_EQ(menu, popup.get());
  };
  // The context-menu key shows the shell's menu of the selected folder and no PopupMenu after it.
  folder->SetSelected(true);
  EXPECT_TRUE(MenuAppears([&] { PressKey(window, VK_APPS); }));
  EXPECT_EQ(asked, std::vector<TTreeNode*>{folder});
  EXPECT_FALSE(host.tree->MenuActive());
  // A root that is not the desktop is a folder like any other and has its shell menu.
  root->SetSelected(true);
  EXPECT_TRUE(MenuAppears([&] { PressKey(window, VK_APPS); }));
  // Without ptstoContextMenus the menu that the event leaves is shown.
  TPTShellTreeOptions options = host.tree->Options();
  options -= ptstoContextMenus;
  host.tree->SetOptions(options);
  EXPECT_TRUE(MenuAppears([&] { PressKey(window, VK_APPS); }));
  EXPECT_EQ(asked.size(), 3u);
}

TEST(ShellTree, TheWheelScrollsTheShellTreeUnderTheMouse) {
  ScratchDirectory scratch("tree_wheel");
  char name[32];
  for (int i = 0; i < 40; ++i) {
    std::snprintf(name, sizeof name, "\\Folder %02d", i);
    MakeFolder(scratch.path() + name);
  }
  ShellTreeHost host;
  host.tree->SetBounds(0, 0, 150, 120);
  auto* other = new testing::TTestShellTree(&host.form);
  other->SetOptions(testing::BrowseWindowOptions());
  other->SetBounds(160, 0, 150, 120);
  other->SetParent(&host.form);
  host.SetBase(scratch.path());
  other->BaseFolder().Assign(&host.tree->BaseFolder());
  host.form.Show();
  host.tree->FillTree();
  other->FillTree();
  Pump(50);
  HWND mine = host.tree->Handle(), theirs = other->Handle();
  // Every notch goes to this tree, as the focus window gets the wheel.
  auto wheel_at = [&](POINT screen, int delta) {
    SendMessageA(mine, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
                 MAKELPARAM(screen.x, screen.y));
  };
  POINT over_other = other->ClientToScreen(POINT{50, 50});
  POINT over_mine = host.tree->ClientToScreen(POINT{50, 50});
  ASSERT_EQ(WindowFromPoint(over_other), theirs);
  // A notch over the other tree scrolls that tree, not this one.
  wheel_at(over_other, -WHEEL_DELTA);
  EXPECT_GT(GetScrollPos(theirs, SB_VERT), 0);
  EXPECT_EQ(GetScrollPos(mine, SB_VERT), 0);
  wheel_at(over_mine, -WHEEL_DELTA);
  int scrolled = GetScrollPos(mine, SB_VERT);
  EXPECT_GT(scrolled, 0);
  wheel_at(over_mine, WHEEL_DELTA);
  EXPECT_LT(GetScrollPos(mine, SB_VERT), scrolled);
  // A handler that takes the wheel stops the scrolling.
  host.tree->OnMouseWheel = [](TObject*, TShiftState, int, POINT, bool& handled) { handled = true; };
  int before = GetScrollPos(mine, SB_VERT);
  wheel_at(over_mine, -WHEEL_DELTA);
  EXPECT_EQ(GetScrollPos(mine, SB_VERT), before);
}

TEST(ShellTree, CustomDrawReachesTheShellEvents) {
  ScratchDirectory scratch("tree_draw");
  MakeFolder(scratch.path() + "\\Painted");
  ShellTreeHost host;
  host.SetBase(scratch.path());
  std::vector<std::string> items;
  int control_stages = 0;
  host.tree->OnCustomDrawShEx = [&](TObject*, TPTTvCustomDraw* draw, TTreeNode* node, TPTShTreeData* data) {
    if (!node) ++control_stages;
  };
  host.tree->OnCustomDrawSh = [&](TObject*, TPTTvCustomDraw* draw, TTreeNode* node, TPTShTreeData* data) {
    items.push_back(node->Text() + (data ? "+" : "-"));
    draw->Brush().Color = clRed;
  };
  host.tree->FillTree();
  host.tree->Items().GetFirstNode()->GetFirstChild()->SetSelected(false);
  {
    testing::MemoryCanvas canvas(host.tree->Handle(), 300, 400);
    SendMessageA(host.tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.get()), PRF_CLIENT);
  }
  EXPECT_GT(control_stages, 0);
  ASSERT_FALSE(items.empty());
  EXPECT_NE(std::find(items.begin(), items.end(), "Painted+"), items.end());
}

TEST(ShellTreeCustomDraw, ApplyWritesTheHandlersChoices) {
  TFont font;
  TPTTvCustomDraw draw(font, 1);
  NMTVCUSTOMDRAW record{};
  unique_hdc dc(CreateCompatibleDC(nullptr));
  record.nmcd.hdc = dc.get();
  SetBkColor(dc.get(), RGB(1, 2, 3));
  LRESULT result = 0x1234;

  record.nmcd.dwDrawStage = CDDS_PREPAINT;
  draw.Init(&record.nmcd, &result);
  draw.Apply();
  EXPECT_EQ(result, CDRF_NOTIFYITEMDRAW);
  EXPECT_EQ(draw.DrawStage(), 1);

  record.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
  draw.Init(&record.nmcd, &result);
  EXPECT_EQ(draw.DrawStage(), 4);
  EXPECT_FALSE(draw.BrushChanged());
  EXPECT_EQ(ColorToRGB(draw.Brush().Color), RGB(1, 2, 3));
  draw.Brush().Color = clBlue;
  draw.Apply();
  EXPECT_EQ(record.clrTextBk, RGB(0, 0, 255));
  EXPECT_EQ(result, CDRF_NOTIFYITEMDRAW);
  // A handler that answered itself keeps its bits; SkipDefault adds its own.
  result = CDRF_NOTIFYPOSTPAINT;
  draw.Init(&record.nmcd, &result);
  draw.SetResultHandled(true);
  draw.SetSkipDefault(true);
  draw.Apply();
  EXPECT_EQ(result, CDRF_NOTIFYPOSTPAINT | CDRF_SKIPDEFAULT | CDRF_NOTIFYITEMDRAW);
  // A changed font is selected (CDRF_NEWFONT) and gives the text colour.
  draw.SetSkipDefault(false);
  draw.Font().SetColor(clGreen);
  result = 0;
  draw.Init(&record.nmcd, &result);
  draw.Apply();
  EXPECT_TRUE(result & CDRF_NEWFONT);
  EXPECT_EQ(record.clrText, ColorToRGB(clGreen));
  // Post-paint stages get nothing.
  record.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
  draw.Init(&record.nmcd, &result);
  draw.Apply();
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace stampwell
