// Commands chosen from a node's shell menu (rename by the menu's id and by its verb, a verb that
// runs, Send To entries), the verbs of the default keys, the batched fill, and the icons and
// overlays that nodes show, on real folders of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/application.h"
#include "shellbrowse/toolbox/context_menu.h"
#include "shellbrowse/toolbox/shell_icons.h"
#include "shellbrowse/tree/shell_tree.h"
#include "tests/shellbrowse/notify_test_support.h"
#include "tests/shellbrowse/shell_test_support.h"
#include "tests/shellbrowse/shell_tree_test_support.h"
#include "tests/support/memory_canvas.h"

using Microsoft::WRL::ComPtr;

namespace stampwell {
namespace {

using testing::ChildNamed;
using testing::MakeFolder;
using testing::ScratchDirectory;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A tree whose shell menus answer with the command that `choose` picks instead of waiting for
// a person, and that records what goes to Send To.
class TChoosingTree : public testing::TTestShellTree {
 public:
  using TTestShellTree::TTestShellTree;
  std::function<UINT(HMENU popup, IContextMenu* menu)> choose;
  std::vector<std::pair<TTreeNode*, int>> sent;

 protected:
  UINT TrackShellMenu(HMENU popup, IContextMenu* menu, POINT) override { return choose ? choose(popup, menu) : 0; }
  void SendToNode(TTreeNode* node, int entry) override { sent.emplace_back(node, entry); }
};

struct ChoosingHost {
  explicit ChoosingHost(const std::string& base, TPTShellTreeOptions options = testing::BrowseWindowOptions())
      : form(nullptr) {
    form.SetBounds(10, 10, 320, 420);
    tree = new TChoosingTree(&form);
    tree->SetOptions(options);
    tree->SetBounds(0, 0, 300, 400);
    tree->SetParent(&form);
    form.HandleNeeded();
    form.Show();
    TPTShellLocator locator;
    locator.SetPath(base);
    tree->BaseFolder().Assign(&locator);
    tree->FillTree();
  }
  TTreeNode* Child(const std::string& name) { return ChildNamed(tree->Items().GetFirstNode(), name); }
  TForm form;
  TChoosingTree* tree;
};

// The id of the popup's command whose verb is `verb`; 0 when the menu offers none.
UINT CommandWithVerb(HMENU popup, IContextMenu* menu, const char* verb) {
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    UINT id = GetMenuItemID(popup, i);
    if (id != static_cast<UINT>(-1) && id >= kFirstShellCommandId && IsCommandVerb(menu, id - kFirstShellCommandId, verb))
      return id;
  }
  return 0;
}

TEST(ShellTreeMenu, RenameByTheMenusIdOrByItsVerbEditsTheLabel) {
  ScratchDirectory scratch("menu_rename");
  MakeFolder(scratch.path() + "\\Folder");
  ChoosingHost host(scratch.path());
  TTreeNode* folder = host.Child("Folder");
  ASSERT_NE(folder, nullptr);

  // Offset 18, the rename command's place on Windows.
  host.tree->choose = [](HMENU, IContextMenu*) { return TPTCustomShellTree::kRenameCommand; };
  host.tree->ShowShellContextMenu(folder, POINT{50, 50});
  EXPECT_TRUE(host.tree->IsEditing());
  EXPECT_FALSE(host.tree->MenuActive());
  folder->EndEdit(true);

  // Wherever a shell puts its Rename (Wine: not at offset 18), the verb names it; the shell's
  // own command would need a shell browser and do nothing here. Windows offers Rename in the
  // tree's explorer-style menu. Wine leaves it out whenever a flag besides CMF_CANRENAME is
  // given; there the command is taken from the same menu object asked with CMF_CANRENAME alone,
  // which gives it its usual id.
  UINT offered = 0, chosen = 0;
  host.tree->choose = [&](HMENU popup, IContextMenu* menu) {
    offered = CommandWithVerb(popup, menu, "rename");
    chosen = offered;
    if (!chosen && testing::RunningOnWine()) {
      unique_hmenu scratch(CreatePopupMenu());
      menu->QueryContextMenu(scratch.get(), 0, kFirstShellCommandId, kLastShellCommandId, CMF_CANRENAME);
      chosen = CommandWithVerb(scratch.get(), menu, "rename");
    }
    return chosen;
  };
  host.tree->ShowShellContextMenu(folder, POINT{50, 50});
  EXPECT_TRUE(offered != 0 || testing::RunningOnWine()) << "the menu offers no rename command";
  ASSERT_NE(chosen, 0u);
  EXPECT_NE(chosen, TPTCustomShellTree::kRenameCommand);
  EXPECT_TRUE(host.tree->IsEditing());
  folder->EndEdit(true);
  EXPECT_EQ(folder->Text(), "Folder");
}

TEST(ShellTreeMenu, AVerbChosenFromTheMenuRunsAndTheTreeFollows) {
  ScratchDirectory scratch("menu_verb");
  std::string doomed = scratch.path() + "\\Doomed";
  MakeFolder(doomed);
  MakeFolder(scratch.path() + "\\Kept");
  ChoosingHost host(scratch.path());
  ASSERT_NE(host.Child("Doomed"), nullptr);
  UINT chosen = 0;
  host.tree->choose = [&](HMENU popup, IContextMenu* menu) { return chosen = CommandWithVerb(popup, menu, "delete"); };
  testing::ConfirmationAnswerer answerer;
  host.tree->ShowShellContextMenu(host.Child("Doomed"), POINT{50, 50});
  ASSERT_NE(chosen, 0u);
  EXPECT_FALSE(Exists(doomed));
  // The refresh after the command took the node away at once.
  EXPECT_EQ(host.Child("Doomed"), nullptr);
  EXPECT_NE(host.Child("Kept"), nullptr);
  EXPECT_FALSE(host.tree->MenuActive());
}

TEST(ShellTreeMenu, SendToEntriesGoToSendToNodeAndNoChoiceDoesNothing) {
  ScratchDirectory scratch("menu_sendto");
  MakeFolder(scratch.path() + "\\Folder");
  ChoosingHost host(scratch.path());
  TTreeNode* folder = host.Child("Folder");
  // Ids 1 to 999 are the Send To entries, entry id - 1.
  host.tree->choose = [](HMENU, IContextMenu*) { return 3u; };
  host.tree->ShowShellContextMenu(folder, POINT{50, 50});
  ASSERT_EQ(host.tree->sent.size(), 1u);
  EXPECT_EQ(host.tree->sent[0].first, folder);
  EXPECT_EQ(host.tree->sent[0].second, 2);
  // The menu closed without a choice.
  host.tree->choose = [](HMENU, IContextMenu*) { return 0u; };
  host.tree->ShowShellContextMenu(folder, POINT{50, 50});
  EXPECT_EQ(host.tree->sent.size(), 1u);
  EXPECT_FALSE(host.tree->IsEditing());
  EXPECT_TRUE(Exists(scratch.path() + "\\Folder"));
  EXPECT_FALSE(host.tree->MenuActive());
}

// A key with the modifiers held, as the control's key handling reads them.
void PressWith(HWND window, WORD key, std::initializer_list<BYTE> held) {
  BYTE state[256];
  GetKeyboardState(state);
  BYTE saved[256];
  memcpy(saved, state, sizeof state);
  for (BYTE modifier : held) state[modifier] = 0x80;
  SetKeyboardState(state);
  SendMessageA(window, WM_KEYDOWN, key, 1);
  SendMessageA(window, WM_KEYUP, key, 0xC0000001);
  SetKeyboardState(saved);
}

TEST(ShellTreeKeys, DeleteCutCopyAndPasteRunTheirVerbsOnlyWhereTheOptionsEnableThem) {
  ScratchDirectory scratch("tree_verb_keys");
  for (const char* name : {"\\One", "\\Two", "\\Three", "\\Target"}) MakeFolder(scratch.path() + name);
  testing::ConfirmationAnswerer answerer;
  {
    // The browse window's options have no default keys: Del is the control's own key.
    ChoosingHost host(scratch.path());
    host.Child("One")->SetSelected(true);
    PressWith(host.tree->Handle(), VK_DELETE, {});
    EXPECT_TRUE(Exists(scratch.path() + "\\One"));
  }
  TPTShellTreeOptions options = testing::BrowseWindowOptions();
  options += ptstoDefaultKeyHandling;
  ChoosingHost host(scratch.path(), options);
  HWND window = host.tree->Handle();
  host.Child("One")->SetSelected(true);
  PressWith(window, VK_DELETE, {});
  EXPECT_FALSE(Exists(scratch.path() + "\\One"));
  EXPECT_EQ(host.Child("One"), nullptr);
  // Shift+Del deletes as well.
  host.Child("Two")->SetSelected(true);
  PressWith(window, VK_DELETE, {VK_SHIFT});
  EXPECT_FALSE(Exists(scratch.path() + "\\Two"));

  // Ctrl+C runs "copy": Windows puts the folder on the clipboard as the shell's data. Wine's
  // item menu copies only through a shell browser, which the tree is not: nothing there.
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  CloseClipboard();
  host.Child("Three")->SetSelected(true);
  PressWith(window, 'C', {VK_CONTROL});
  UINT id_list_format = RegisterClipboardFormatA(CFSTR_SHELLIDLIST);
  auto on_clipboard = [&] { return IsClipboardFormatAvailable(id_list_format) || IsClipboardFormatAvailable(CF_HDROP); };
  testing::PumpUntil(on_clipboard, testing::RunningOnWine() ? 300 : 2000);
  EXPECT_EQ(on_clipboard(), !testing::RunningOnWine());
  // Ctrl+V on a folder pastes into it where the folder's menu offers "paste" (Windows); Wine's
  // item menus have no such verb, so nothing runs there, and nothing else in its place.
  host.Child("Target")->SetSelected(true);
  PressWith(window, 'V', {VK_CONTROL});
  testing::PumpUntil([&] { return Exists(scratch.path() + "\\Target\\Three"); }, 2000);
  EXPECT_EQ(Exists(scratch.path() + "\\Target\\Three"), !testing::RunningOnWine());
  EXPECT_TRUE(Exists(scratch.path() + "\\Three"));
  // Ctrl+A is not in the table: the key goes on to the control and nothing is run.
  PressWith(window, 'A', {VK_CONTROL});
  EXPECT_TRUE(Exists(scratch.path() + "\\Target"));
}

TEST(ShellTreeFill, ManyNodesComeInOneBatchedUpdate) {
  ScratchDirectory scratch("tree_batched");
  MakeFolder(scratch.path() + "\\Parent");
  for (int i = 0; i < 60; ++i) MakeFolder(scratch.path() + "\\Parent\\Sub " + std::to_string(i));
  for (int i = 0; i < 60; ++i) MakeFolder(scratch.path() + "\\Top " + std::to_string(i));
  ChoosingHost host(scratch.path());
  int inserted = 0, outside_batch = 0;
  host.tree->OnInsertItem = [&](TObject*, TTreeNode*) {
    ++inserted;
    if (!host.tree->Items().Updating()) ++outside_batch;
  };
  host.tree->FillTree();
  EXPECT_EQ(inserted, 62);  // the root, "Parent" and the sixty others
  TTreeNode* parent = host.Child("Parent");
  ASSERT_NE(parent, nullptr);
  parent->Expand(false);  // the control's own expansion fills the node
  EXPECT_EQ(inserted, 122);
  for (int i = 60; i < 70; ++i) MakeFolder(scratch.path() + "\\Parent\\Sub " + std::to_string(i));
  host.tree->RefreshTree();
  EXPECT_EQ(inserted, 132);
  EXPECT_EQ(outside_batch, 0);
  EXPECT_FALSE(host.tree->Items().Updating());

  // A few new folders go straight to their places: the order is the folder's own, as a sort of
  // all the children gives it.
  MakeFolder(scratch.path() + "\\Parent\\Sub 15a");
  MakeFolder(scratch.path() + "\\Parent\\Sub 0a");
  host.tree->RefreshTree();
  EXPECT_EQ(inserted, 134);
  std::vector<std::string> refreshed = testing::ChildTexts(parent);
  host.tree->SortChildren(parent);
  EXPECT_EQ(refreshed, testing::ChildTexts(parent));
  EXPECT_NE(refreshed.back(), "Sub 0a");
}

// ---- icons and overlays ----

using DrawFn = BOOL(WINAPI*)(HIMAGELIST, int, HDC, int, int, UINT);
using CountFn = int(WINAPI*)(HIMAGELIST);

FARPROC Comctl(const char* name) { return GetProcAddress(GetModuleHandleA("comctl32.dll"), name); }

// The 16 x 16 pixels that `paint` draws on white.
std::vector<COLORREF> Pixels(const std::function<void(HDC)>& paint) {
  testing::MemoryCanvas canvas(nullptr, 16, 16);
  HDC dc = canvas.get();
  RECT all{0, 0, 16, 16};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  paint(dc);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) pixels.push_back(GetPixel(dc, x, y));
  return pixels;
}

// The small icon at the place that the shell names for the item (IExtractIcon's location),
// extracted from its file: the icon the shell gives, independent of any image list's index.
std::vector<COLORREF> ShellIconPixels(IShellFolder* parent, LPCITEMIDLIST item) {
  ComPtr<IExtractIconA> extract;
  if (FAILED(parent->GetUIObjectOf(nullptr, 1, &item, IID_IExtractIconA, nullptr,
                                   reinterpret_cast<void**>(extract.GetAddressOf()))))
    return {};
  char file[MAX_PATH] = {};
  int index = 0;
  UINT flags = 0;
  if (FAILED(extract->GetIconLocation(GIL_FORSHELL, file, MAX_PATH, &index, &flags))) return {};
  HICON small = nullptr;
  if (!ExtractIconExA(file, index, nullptr, &small, 1) || !small) return {};
  auto pixels = Pixels([&](HDC dc) { DrawIconEx(dc, 0, 0, small, 16, 16, 0, nullptr, DI_NORMAL); });
  DestroyIcon(small);
  return pixels;
}

int NodeImage(TPTCustomShellTree& tree, TTreeNode* node) {
  // Asking the control for the image makes it ask the tree, as painting does.
  TVITEMA item{};
  item.mask = TVIF_IMAGE | TVIF_HANDLE;
  item.hItem = node->ItemId();
  SendMessageA(tree.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  return item.iImage;
}

TEST(ShellTreeIcons, NodesShowTheIconsTheShellGivesAndTheirOverlays) {
  ScratchDirectory scratch("tree_icons");
  MakeFolder(scratch.path() + "\\Plain");
  MakeFolder(scratch.path() + "\\Hidden", FILE_ATTRIBUTE_HIDDEN);
  {
    ComPtr<IShellLinkA> link;
    ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                               reinterpret_cast<void**>(link.GetAddressOf())), S_OK);
    link->SetPath((scratch.path() + "\\Plain").c_str());
    ComPtr<IPersistFile> file;
    ASSERT_EQ(link.As(&file), S_OK);
    std::string path = scratch.path() + "\\Link.lnk";
    ASSERT_EQ(file->Save(std::wstring(path.begin(), path.end()).c_str(), TRUE), S_OK);
  }
  // The overlays go into the system lists first, as the tree's creation does, before any of the
  // icons below is asked for.
  HIMAGELIST small = GetSysImageList(0);
  ASSERT_TRUE(ShellOverlaysInstalled());
  TPTShellTreeOptions options = testing::BrowseWindowOptions();
  options += ptstoShowHidden;
  options += ptstoIncludeNonFolders;
  ChoosingHost host(scratch.path(), options);

  TTreeNode* plain = host.Child("Plain");
  ASSERT_NE(plain, nullptr);
  TPTShTreeData* data = host.tree->NodeData(plain);
  int image = NodeImage(*host.tree, plain);
  EXPECT_GT(image, 0);
  auto draw = reinterpret_cast<DrawFn>(reinterpret_cast<void*>(Comctl("ImageList_Draw")));
  ASSERT_NE(draw, nullptr);
  auto drawn = Pixels([&](HDC dc) { draw(small, image, dc, 0, 0, ILD_NORMAL); });
  auto given = ShellIconPixels(data->ParentShellFolder().Get(), data->RelIdList());
  ASSERT_FALSE(given.empty());
  ASSERT_EQ(drawn.size(), given.size());
  // The list blends the icon's edges once more when it stores it: a step of a few levels.
  int differing = 0;
  for (size_t i = 0; i < drawn.size(); ++i) {
    for (int shift : {0, 8, 16}) {
      int a = (drawn[i] >> shift) & 0xFF, b = (given[i] >> shift) & 0xFF;
      if (a - b > 6 || b - a > 6) {
        ++differing;
        break;
      }
    }
  }
  EXPECT_EQ(differing, 0) << "the folder node is drawn with another icon than the shell's";

  // The shell keeps its lists at one index per icon: the overlays did not put them out of step.
  using ImageListFn = HRESULT(WINAPI*)(int, REFIID, void**);
  auto image_list = reinterpret_cast<ImageListFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("shell32.dll"), MAKEINTRESOURCEA(727))));
  ASSERT_NE(image_list, nullptr);
  HIMAGELIST extra_large = nullptr;
  // IID_IImageList
  const GUID image_list_iid{0x46EB5926, 0x582E, 0x4017, {0x9F, 0xDF, 0xE8, 0x99, 0x8D, 0xAA, 0x09, 0x50}};
  ASSERT_EQ(image_list(SHIL_EXTRALARGE, image_list_iid, reinterpret_cast<void**>(&extra_large)), S_OK);
  auto count = reinterpret_cast<CountFn>(reinterpret_cast<void*>(Comctl("ImageList_GetImageCount")));
  EXPECT_EQ(count(small), count(extra_large));

  // A hidden folder is drawn ghosted; a shortcut carries the shortcut overlay (image 2).
  TTreeNode* hidden = host.Child("Hidden");
  ASSERT_NE(hidden, nullptr);
  EXPECT_TRUE(TreeView_GetItemState(host.tree->Handle(), hidden->ItemId(), TVIS_CUT) & TVIS_CUT);
  EXPECT_FALSE(TreeView_GetItemState(host.tree->Handle(), plain->ItemId(), TVIS_CUT) & TVIS_CUT);
  TTreeNode* link = host.Child("Link");
  if (!link) link = host.Child("Link.lnk");
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(TreeView_GetItemState(host.tree->Handle(), link->ItemId(), TVIS_OVERLAYMASK), INDEXTOOVERLAYMASK(2));
  EXPECT_EQ(TreeView_GetItemState(host.tree->Handle(), plain->ItemId(), TVIS_OVERLAYMASK), 0u);
}

}  // namespace
}  // namespace stampwell
