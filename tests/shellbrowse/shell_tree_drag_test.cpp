// The shell tree's drag and drop on real folders of the test prefix: drags started from nodes,
// drops and hovers handed to the hovered folder's own drop target, hover-expand and auto-scroll
// driven through the drag clock (no waiting), and the drop target's registration.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "shellbrowse/toolbox/context_menu_messages.h"
#include "shellbrowse/dragdrop/data_object.h"
#include "shellbrowse/toolbox/drag_drop_values.h"
#include "shellbrowse/dragdrop/drag_blocks.h"
#include "shellbrowse/dragdrop/global_lock.h"
#include "shellbrowse/toolbox/shell_id_list.h"
#include "shellbrowse/tree/shell_tree.h"
#include "shellbrowse/toolbox/toolbox_error.h"
#include "shellbrowse/toolbox/window_helpers.h"
#include "tests/shellbrowse/shell_test_support.h"
#include "tests/shellbrowse/shell_tree_test_support.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

using testing::ChildNamed;
using testing::MakeFolder;
using testing::ScratchDirectory;
using testing::ShellTreeHost;
using testing::WriteTextFile;

// OLE for the whole program, as the subsystem's start gives it (the drag loop needs it).
class OleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { OleInitialize(nullptr); }
  void TearDown() override { OleUninitialize(); }
};
const ::testing::Environment* const ole_environment = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

DWORD g_now = 0;
DWORD WINAPI TestClock() { return g_now; }

// A drop source that gives up at once, so a drag loop started in a test returns at once; it
// notes what the tree looked like while the loop ran.
class QuickSource final : public ComObject<IDropSource> {
 public:
  explicit QuickSource(std::function<void()> during) : during_(std::move(during)) {}
  STDMETHODIMP QueryContinueDrag(BOOL, DWORD) noexcept override {
    if (during_) {
      during_();
      during_ = nullptr;
    }
    return DRAGDROP_S_CANCEL;
  }
  STDMETHODIMP GiveFeedback(DWORD) noexcept override { return DRAGDROP_S_USEDEFAULTCURSORS; }

 private:
  std::function<void()> during_;
};

// The tree with the drag steps that the tests drive directly.
class DragTree : public TPTShellTree {
 public:
  using TPTShellTree::TPTShellTree;
  using TPTShellTree::BeginDrag;
  using TPTShellTree::DragEnter;
  using TPTShellTree::DragLeave;
  using TPTShellTree::DragOver;
  using TPTShellTree::DropHighlight;
  using TPTShellTree::Drop;
  using TPTShellTree::SendToNode;

  ComPtr<IDropSource> CreateDropSource(TMouseButton button) override {
    sources.push_back(button);
    return ComPtr<IDropSource>(new QuickSource(during_drag));
  }
  std::vector<TMouseButton> sources;
  std::function<void()> during_drag;
};

TPTShellTreeOptions DragOptions() {
  TPTShellTreeOptions options = testing::BrowseWindowOptions();
  options += ptstoOleDrag;
  options += ptstoOleDrop;
  return options;
}

// A tree over a scratch folder with the drag options on.
class TreeDragTest : public ::testing::Test {
 protected:
  TreeDragTest() : scratch("tree_drag"), form(nullptr) {}
  void SetUp() override {
    MakeFolder(scratch.path() + "\\Alpha");
    MakeFolder(scratch.path() + "\\Alpha\\Inner");
    MakeFolder(scratch.path() + "\\Beta");
    MakeFolder(scratch.path() + "\\Source");
    WriteTextFile(scratch.path() + "\\Source\\moved.txt");
    form.SetBounds(10, 10, 320, 420);
    tree = new DragTree(&form);
    tree->SetOptions(DragOptions());
    tree->SetBounds(0, 0, 300, 400);
    tree->SetShowRoot(true);
    tree->SetHideSelection(false);
    tree->SetParent(&form);
    form.HandleNeeded();
    TPTShellLocator base;
    base.SetPath(scratch.path());
    tree->BaseFolder().Assign(&base);
    tree->SetDragClock(TestClock);
    tree->FillTree();
    root = tree->Items().GetFirstNode();
    ASSERT_NE(root, nullptr);
    alpha = ChildNamed(root, "Alpha");
    beta = ChildNamed(root, "Beta");
    ASSERT_NE(alpha, nullptr);
    ASSERT_NE(beta, nullptr);
  }

  // The screen point at the middle of a node's text.
  POINTL ScreenPointOf(TTreeNode* node) {
    RECT rect = node->DisplayRect(true);
    POINT p{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(tree->Handle(), &p);
    return POINTL{p.x, p.y};
  }
  POINTL ScreenPointOfClient(int x, int y) {
    POINT p{x, y};
    ClientToScreen(tree->Handle(), &p);
    return POINTL{p.x, p.y};
  }
  ComPtr<IDataObject> FileData() {
    unique_idlist absolute;
    EXPECT_EQ(PathToIdList(scratch.path() + "\\Source\\moved.txt", absolute), S_OK);
    ComPtr<IShellFolder> parent;
    unique_idlist parent_list, item;
    EXPECT_EQ(GetParentFolder(absolute.get(), parent, parent_list, item), S_OK);
    return new TDataObject_shtv(parent_list.get(), item.get(), scratch.path() + "\\Source\\moved.txt");
  }

  ScratchDirectory scratch;
  TForm form;
  DragTree* tree = nullptr;
  TTreeNode* root = nullptr;
  TTreeNode* alpha = nullptr;
  TTreeNode* beta = nullptr;
};

TEST_F(TreeDragTest, TopLevelNodeAndClearedOptionStartNoDrag) {
  tree->BeginDrag(root, TMouseButton::mbLeft, POINT{});
  EXPECT_TRUE(tree->sources.empty());  // no drop source, so no drag loop
  EXPECT_FALSE(tree->MenuActive());
  EXPECT_EQ(tree->DropHighlight(), nullptr);

  TPTShellTreeOptions options = DragOptions();
  options -= ptstoOleDrag;
  tree->SetOptions(options);
  tree->BeginDrag(alpha, TMouseButton::mbLeft, POINT{});
  EXPECT_TRUE(tree->sources.empty());
}

TEST_F(TreeDragTest, NodeDragRunsTheLoopWithTheTreeLockedAndRefreshesAfter) {
  bool menu_active = false;
  TTreeNode* highlight = nullptr;
  tree->during_drag = [&] {
    menu_active = tree->MenuActive();
    highlight = tree->DropHighlight();
    // A rebuild asked for meanwhile waits for the drag's end.
    MakeFolder(scratch.path() + "\\Gamma");
    tree->RefreshTree();
    EXPECT_EQ(ChildNamed(root, "Gamma"), nullptr);
    EXPECT_TRUE(tree->RefreshPending());
  };
  tree->BeginDrag(beta, TMouseButton::mbRight, POINT{});
  ASSERT_EQ(tree->sources.size(), 1u);
  EXPECT_EQ(tree->sources[0], TMouseButton::mbRight);
  EXPECT_TRUE(menu_active);
  EXPECT_EQ(highlight, beta);
  EXPECT_FALSE(tree->MenuActive());
  EXPECT_FALSE(tree->RefreshPending());
  EXPECT_NE(ChildNamed(root, "Gamma"), nullptr);  // the deferred refresh ran
  EXPECT_EQ(tree->DropHighlight(), nullptr);
}

TEST_F(TreeDragTest, DropOnAnEmptyPartOfTheTreeReportsNoEffect) {
  ComPtr<IDataObject> data = FileData();
  POINTL empty = ScreenPointOfClient(150, 390);  // below the last node
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(tree->DragEnter(data.Get(), MK_LBUTTON, empty, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(tree->DragOver(MK_LBUTTON, empty, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_SCROLL));  // no drop effect, only the scroll bit
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(tree->Drop(data.Get(), 0, empty, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(tree->DropHighlight(), nullptr);

  // The top-level node takes no drop when the drag enters on it.
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(tree->DragEnter(data.Get(), MK_LBUTTON, ScreenPointOf(root), &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(tree->DragLeave(), S_OK);
}

TEST_F(TreeDragTest, HoveredFolderAnswersThroughItsOwnDropTarget) {
  ComPtr<IDataObject> data = FileData();
  POINTL over_beta = ScreenPointOf(beta);
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  EXPECT_EQ(tree->DragEnter(data.Get(), MK_LBUTTON | MK_CONTROL, over_beta, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));  // Ctrl asks the folder for a copy
  EXPECT_EQ(tree->DropHighlight(), beta);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  EXPECT_EQ(tree->DragOver(MK_LBUTTON | MK_CONTROL, over_beta, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY | DROPEFFECT_SCROLL));
  EXPECT_EQ(tree->DragLeave(), S_OK);
  EXPECT_EQ(tree->DropHighlight(), nullptr);

  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  ASSERT_EQ(tree->DragEnter(data.Get(), MK_LBUTTON | MK_CONTROL, over_beta, &effect), S_OK);
  effect = DROPEFFECT_COPY;
  // The buttons are up when the drop comes; the tree adds the one that carried the drag in.
  EXPECT_EQ(tree->Drop(data.Get(), MK_CONTROL, over_beta, &effect), S_OK);
  EXPECT_EQ(tree->DropHighlight(), nullptr);
  // Wine 8's folder drop target resolves the dropped item but copies nothing; Windows copies.
  if (!testing::RunningOnWine()) {
    EXPECT_NE(GetFileAttributesA((scratch.path() + "\\Beta\\moved.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  }
}

TEST_F(TreeDragTest, RestingOnACollapsedFolderLongerThanTheHoverTimeExpandsIt) {
  const DWORD hover = DragHoverValues().hover_time;
  ComPtr<IDataObject> data = FileData();
  POINTL over_alpha = ScreenPointOf(alpha);
  ASSERT_FALSE(alpha->Expanded());
  // The expansion's shell calls get no owner window, so the shell shows no UI during the drag.
  std::vector<HWND> owners;
  tree->OnFillStart = [&](TObject*) { owners.push_back(tree->ShellOwnerWindow()); };
  g_now = 10000;
  DWORD effect = DROPEFFECT_COPY;
  tree->DragEnter(data.Get(), MK_LBUTTON, over_alpha, &effect);
  effect = DROPEFFECT_COPY;
  tree->DragOver(MK_LBUTTON, over_alpha, &effect);  // the wait starts here
  g_now += hover;
  effect = DROPEFFECT_COPY;
  tree->DragOver(MK_LBUTTON, over_alpha, &effect);
  EXPECT_FALSE(alpha->Expanded());  // not longer than the hover time yet
  g_now += 1;
  effect = DROPEFFECT_COPY;
  tree->DragOver(MK_LBUTTON, over_alpha, &effect);
  EXPECT_TRUE(alpha->Expanded());
  EXPECT_NE(ChildNamed(alpha, "Inner"), nullptr);
  EXPECT_EQ(owners, std::vector<HWND>{nullptr});
  EXPECT_EQ(tree->ShellOwnerWindow(), GetOwnerFormHandle(tree->Handle()));  // and back after
  tree->DragLeave();
}

TEST_F(TreeDragTest, MovingTheCursorRestartsTheWait) {
  const DWORD hover = DragHoverValues().hover_time;
  ComPtr<IDataObject> data = FileData();
  g_now = 20000;
  DWORD effect = DROPEFFECT_COPY;
  tree->DragEnter(data.Get(), MK_LBUTTON, ScreenPointOf(alpha), &effect);
  tree->DragOver(MK_LBUTTON, ScreenPointOf(alpha), &effect);
  g_now += hover / 2;
  tree->DragOver(MK_LBUTTON, ScreenPointOf(beta), &effect);  // moved to another node
  g_now += hover / 2 + 2;
  tree->DragOver(MK_LBUTTON, ScreenPointOf(beta), &effect);
  EXPECT_FALSE(alpha->Expanded());
  EXPECT_FALSE(beta->Expanded());
  tree->DragLeave();
}

TEST_F(TreeDragTest, NearTheBottomScrollsOneLineAtMostEveryInterval) {
  for (int i = 0; i < 40; ++i) MakeFolder(scratch.path() + "\\Many" + std::to_string(100 + i));
  tree->RefreshTree();
  HWND window = tree->Handle();
  ASSERT_TRUE(HasScrollRange(window, 1));
  ComPtr<IDataObject> data = FileData();
  RECT client{};
  GetClientRect(window, &client);
  POINTL near_bottom = ScreenPointOfClient(150, client.bottom - 5);
  auto top_index = [&] { return GetScrollPos(window, SB_VERT); };
  int start = top_index();

  g_now = 30000;
  DWORD effect = DROPEFFECT_COPY;
  tree->DragEnter(data.Get(), MK_LBUTTON, near_bottom, &effect);
  g_now += 100;  // exactly the interval: no scroll yet
  tree->DragOver(MK_LBUTTON, near_bottom, &effect);
  EXPECT_EQ(top_index(), start);
  g_now += 1;
  tree->DragOver(MK_LBUTTON, near_bottom, &effect);
  EXPECT_EQ(top_index(), start + 1);
  g_now += 50;
  tree->DragOver(MK_LBUTTON, near_bottom, &effect);
  EXPECT_EQ(top_index(), start + 1);
  g_now += 51;
  tree->DragOver(MK_LBUTTON, near_bottom, &effect);
  EXPECT_EQ(top_index(), start + 2);
  tree->DragLeave();
}

class Registered final : public ComObject<IDropTarget> {
  STDMETHODIMP DragEnter(IDataObject*, DWORD, POINTL, DWORD*) noexcept override { return S_OK; }
  STDMETHODIMP DragOver(DWORD, POINTL, DWORD*) noexcept override { return S_OK; }
  STDMETHODIMP DragLeave() noexcept override { return S_OK; }
  STDMETHODIMP Drop(IDataObject*, DWORD, POINTL, DWORD*) noexcept override { return S_OK; }
};

TEST_F(TreeDragTest, DropTargetFollowsTheOption) {
  HWND window = tree->Handle();
  ComPtr<IDropTarget> probe = new Registered;
  // The window already has the tree's target.
  EXPECT_EQ(RegisterDragDrop(window, probe.Get()), DRAGDROP_E_ALREADYREGISTERED);
  TPTShellTreeOptions options = DragOptions();
  options -= ptstoOleDrop;
  tree->SetOptions(options);
  EXPECT_EQ(RegisterDragDrop(window, probe.Get()), S_OK);  // revoked with the option
  EXPECT_EQ(RevokeDragDrop(window), S_OK);
  tree->SetOptions(DragOptions());
  EXPECT_EQ(RegisterDragDrop(window, probe.Get()), DRAGDROP_E_ALREADYREGISTERED);
}

TEST_F(TreeDragTest, DataObjectOfANodeNamesItsItem) {
  ComPtr<IDataObject> data = tree->CreateNodeDataObject(beta);
  FORMATETC hdrop{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  ASSERT_EQ(data->GetData(&hdrop, &medium), S_OK);
  char path[MAX_PATH] = {};
  DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0, path, MAX_PATH);
  ReleaseStgMedium(&medium);
  EXPECT_EQ(std::string(path), scratch.path() + "\\Beta");

  FORMATETC cida{ShellIdListArrayFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  ASSERT_EQ(data->GetData(&cida, &medium), S_OK);
  std::vector<std::uint8_t> bytes;
  {
    GlobalLockScope lock(medium.hGlobal);
    auto* p = static_cast<const std::uint8_t*>(lock.get());
    bytes.assign(p, p + GlobalSize(medium.hGlobal));
  }
  ReleaseStgMedium(&medium);
  auto view = ParseIdListArrayBlock(bytes);
  ASSERT_TRUE(view);
  ASSERT_EQ(view->items.size(), 1u);
  unique_idlist absolute = ConcatIdLists(reinterpret_cast<LPCITEMIDLIST>(view->parent),
                                         reinterpret_cast<LPCITEMIDLIST>(view->items[0]));
  EXPECT_EQ(IdListToPath(absolute.get()), scratch.path() + "\\Beta");

  // The top-level node's data object is built from its own absolute list.
  ComPtr<IDataObject> root_data = tree->CreateNodeDataObject(root);
  ASSERT_EQ(root_data->GetData(&hdrop, &medium), S_OK);
  DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0, path, MAX_PATH);
  ReleaseStgMedium(&medium);
  EXPECT_EQ(std::string(path), scratch.path());
}

// A shortcut in the Send To folder to a folder, removed again at the end.
class SendToShortcut {
 public:
  SendToShortcut(const std::string& name, const std::string& target) {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_SENDTO | CSIDL_FLAG_CREATE, nullptr, 0, folder);
    path_ = std::string(folder) + "\\" + name;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.GetAddressOf()))))
      return;
    link->SetPath(target.c_str());
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(&file))) return;
    std::wstring wide(path_.begin(), path_.end());
    file->Save(wide.c_str(), TRUE);
  }
  ~SendToShortcut() { DeleteFileA(path_.c_str()); }

 private:
  std::string path_;
};

TEST_F(TreeDragTest, SendToDeliversTheNodesDataObjectToTheEntry) {
  MakeFolder(scratch.path() + "\\Target");
  SendToShortcut shortcut("Qtarget.lnk", scratch.path() + "\\Target");
  ReadSendToList();
  int entry = -1;
  for (std::size_t i = 0; i < SendToList().size(); ++i)
    if (SendToList()[i].name == "Qtarget.lnk") entry = static_cast<int>(i);
  ASSERT_GE(entry, 0);
  tree->SendToNode(beta, entry);
  tree->SendToNode(beta, -1);  // no such entry: nothing happens
  if (!testing::RunningOnWine()) {
    // A shortcut to a folder takes the drop as the folder does: it copies the folder there.
    EXPECT_NE(GetFileAttributesA((scratch.path() + "\\Target\\Beta").c_str()), INVALID_FILE_ATTRIBUTES);
  }
  ReadSendToList();
}

}  // namespace
}  // namespace stampwell
