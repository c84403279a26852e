// The folder browse window on its own, shown without a modal loop: its form resource, the
// options as the tree and the buttons take them, the layout at every size and the minimum
// size, the size grip, the two picture sets, and the Create and Delete buttons' enabling.
#include <gtest/gtest.h>

#include <memory>

#include "framework/application.h"
#include "shellbrowse/folderbrowse/folder_browse_layout.h"
#include "shellbrowse/folderbrowse/folder_browse_window.h"
#include "tests/shellbrowse/folder_browse_test_support.h"

namespace stampwell {
namespace {

using testing::BrowseFolders;
using testing::NodeOfPath;
using testing::VirtualNode;

class BrowseWindow : public ::testing::Test {
 protected:
  void Open(TPTFolderBrowseDlgOptions options, const std::string& selected = "") {
    form_ = std::make_unique<TPTFrmFolderBrowseDlg>(nullptr);
    form_->ApplyOptions(options);
    if (!selected.empty()) form_->PTShellTree1->SelectedFolder().SetPath(selected);
    form_->Show();
    Application().ProcessMessages();
  }
  void TearDown() override {
    form_.reset();
    seams::ScreenColorDepth = saved_depth_;
  }
  RECT Client() {
    RECT r;
    ::GetClientRect(form_->Handle(), &r);
    return r;
  }
  void Resize(int w, int h) {
    ::SetWindowPos(form_->Handle(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
    Application().ProcessMessages();
  }
  // The layout that every size must show (the arithmetic is checked on its own on the host;
  // here: that the window hands it the right controls and applies what comes out).
  void ExpectLayoutFollowsTheSize() {
    TPTFrmFolderBrowseDlg& f = *form_;
    RECT client = Client();
    EXPECT_EQ(f.PTShellTree1->Left(), 8);
    EXPECT_EQ(f.PTShellTree1->Top(), f.StatusTxt->Top() + f.StatusTxt->Height() + 8);
    EXPECT_EQ(f.PTShellTree1->Left() + f.PTShellTree1->Width(), 8 + f.Width() - 24);
    EXPECT_EQ(f.PTShellTree1->Top() + f.PTShellTree1->Height(), f.ButtonPanel->Top() - 8);
    EXPECT_EQ(f.ButtonPanel->Top() + f.ButtonPanel->Height(), client.bottom);
    EXPECT_EQ(f.ButtonPanel->Width(), client.right);
    RECT grip;
    ::GetWindowRect(f.SizeGrip(), &grip);
    POINT corner{grip.left, grip.top};
    ::ScreenToClient(f.Handle(), &corner);
    EXPECT_EQ(corner.x, client.right - 13);
    EXPECT_EQ(corner.y, client.bottom - 13);
    EXPECT_EQ(grip.right - grip.left, 13);
    EXPECT_EQ(::GetWindow(f.Handle(), GW_CHILD), f.SizeGrip());  // on top of its siblings
  }
  std::unique_ptr<TPTFrmFolderBrowseDlg> form_;
  seams::ScreenColorDepthFn saved_depth_ = seams::ScreenColorDepth;
};

TEST_F(BrowseWindow, TheFormResourceGivesTheDesignedWindow) {
  Open(kDefaultFolderBrowseDlgOptions);
  TPTFrmFolderBrowseDlg& f = *form_;
  EXPECT_EQ(Client().right, 358);
  EXPECT_EQ(Client().bottom, 313);
  LONG style = ::GetWindowLongA(f.Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_EQ(f.Position(), TPosition::poScreenCenter);
  EXPECT_EQ(f.Font().Name(), "MS Sans Serif");
  EXPECT_EQ(f.Font().Height(), -11);
  EXPECT_EQ(f.StatusTxt->Alignment(), TAlignment::taLeftJustify);
  EXPECT_EQ(f.StatusTxt->FrameStyle(), ptfsNone);
  EXPECT_EQ(f.StatusTxt->FrameSpace(), 0);
  EXPECT_TRUE(f.OkBtn->Default());
  EXPECT_EQ(f.OkBtn->ModalResult(), mrOk);
  EXPECT_TRUE(f.CancelBtn->Cancel());
  EXPECT_EQ(f.CancelBtn->ModalResult(), mrCancel);
  EXPECT_EQ(f.CreateBtn->Caption(), "&Create...");
  EXPECT_EQ(f.DeleteBtn->Caption(), "&Delete...");
  EXPECT_TRUE(f.PTShellTree1->ShowRoot());
  EXPECT_FALSE(f.PTShellTree1->HideSelection());
  EXPECT_EQ(f.PTShellTree1->Indent(), 19);
  EXPECT_EQ(f.PTShellTree1->DragMode(), TDragMode::dmAutomatic);
  EXPECT_EQ(f.ButtonPanel->Align(), TAlign::alBottom);
  // Tab order: the tree, then the button row with OK, Cancel, Create, Delete.
  EXPECT_EQ(f.PTShellTree1->TabOrder(), 0);
  EXPECT_EQ(f.ButtonPanel->TabOrder(), 1);
  EXPECT_EQ(f.OkBtn->TabOrder(), 0);
  EXPECT_EQ(f.DeleteBtn->TabOrder(), 3);

  // The size grip: a size-grip scroll bar of 13 x 13.
  char cls[32] = {};
  ::GetClassNameA(f.SizeGrip(), cls, sizeof cls);
  EXPECT_STREQ(cls, "ScrollBar");
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(f.SizeGrip(), GWL_STYLE)), 0x56000010u);

  // Texts from the string table, hints in two parts.
  EXPECT_EQ(f.OkBtn->Caption(), "OK");
  EXPECT_EQ(f.CancelBtn->Caption(), "Cancel");
  EXPECT_EQ(f.CreateNewFolderBtn->Hint(), "Create Folder|Creates a new, empty folder.");
  EXPECT_EQ(f.DeleteFolderBtn->Hint(), "Delete|Deletes the selected items.");
  EXPECT_EQ(GetShortHint(f.DeleteFolderBtn->Hint()), "Delete");
  ExpectLayoutFollowsTheSize();
}

TEST_F(BrowseWindow, TheWizardsOptionsBecomeTheTreesOptionsAndTheButtonRow) {
  Open(FolderBrowseOption(ptfbCreateDeleteButtons) | FolderBrowseOption(ptfbContextMenus) |
       FolderBrowseOption(ptfbShowHidden));
  TPTFrmFolderBrowseDlg& f = *form_;
  // Showing added auto fill to what the options left of the form resource's set.
  EXPECT_EQ(f.PTShellTree1->Options(), (TPTShellTreeOptions{ptstoAutoFill, ptstoDesignInteractive, ptstoContextMenus,
                                                            ptstoDynamicRefresh, ptstoShowHidden}));
  EXPECT_FALSE(f.PTShellTree1->ReadOnly());
  EXPECT_TRUE(f.CreateBtn->Visible());
  EXPECT_TRUE(f.DeleteBtn->Visible());
  EXPECT_FALSE(f.CreateNewFolderBtn->Visible());
  EXPECT_FALSE(f.DeleteFolderBtn->Visible());
  // OK at the tree's left edge, Cancel 4 after it; Create and Delete where the form puts them.
  EXPECT_EQ(f.OkBtn->Left(), f.PTShellTree1->Left());
  EXPECT_EQ(f.CancelBtn->Left(), f.OkBtn->Left() + f.OkBtn->Width() + 4);
  EXPECT_EQ(f.CreateBtn->Left(), 186);
  EXPECT_EQ(f.DeleteBtn->Left(), 266);
  // Neither small button: the status line runs to 16 before the client's right edge.
  EXPECT_EQ(f.StatusTxt->Left() + f.StatusTxt->Width(), Client().right - 16);
}

TEST_F(BrowseWindow, WithoutThePushButtonsOkAndCancelSitAtTheRightAndReadOnlyReachesTheTree) {
  Open(kDefaultFolderBrowseDlgOptions | FolderBrowseOption(ptfbReadOnly));
  TPTFrmFolderBrowseDlg& f = *form_;
  EXPECT_FALSE(f.CreateBtn->Visible());
  EXPECT_FALSE(f.DeleteBtn->Visible());
  EXPECT_EQ(f.CancelBtn->Left(), Client().right - 16 - f.CancelBtn->Width());
  EXPECT_EQ(f.OkBtn->Left(), f.CancelBtn->Left() - 4 - f.OkBtn->Width());
  EXPECT_TRUE(f.PTShellTree1->ReadOnly());
  // Both small buttons: delete rightmost, new folder 8 before it, the status line 4 before that.
  EXPECT_EQ(f.DeleteFolderBtn->Left() + f.DeleteFolderBtn->Width(), Client().right - 16);
  EXPECT_EQ(f.CreateNewFolderBtn->Left() + f.CreateNewFolderBtn->Width(), f.DeleteFolderBtn->Left() - 8);
  EXPECT_EQ(f.StatusTxt->Left() + f.StatusTxt->Width(), f.CreateNewFolderBtn->Left() - 4);
}

TEST_F(BrowseWindow, ALoneSmallButtonTakesTheRightmostPlace) {
  Open(kDefaultFolderBrowseDlgOptions & ~FolderBrowseOption(ptfbDeleteFolderIcon));
  TPTFrmFolderBrowseDlg& f = *form_;
  EXPECT_FALSE(f.DeleteFolderBtn->Visible());
  EXPECT_EQ(f.CreateNewFolderBtn->Left() + f.CreateNewFolderBtn->Width(), Client().right - 16);
  EXPECT_EQ(f.StatusTxt->Left() + f.StatusTxt->Width(), f.CreateNewFolderBtn->Left() - 4);
  form_.reset();

  Open(kDefaultFolderBrowseDlgOptions & ~FolderBrowseOption(ptfbCreateFolderIcon));
  TPTFrmFolderBrowseDlg& g = *form_;
  EXPECT_EQ(g.DeleteFolderBtn->Left() + g.DeleteFolderBtn->Width(), Client().right - 16);
  EXPECT_EQ(g.StatusTxt->Left() + g.StatusTxt->Width(), g.DeleteFolderBtn->Left() - 8);
}

TEST_F(BrowseWindow, ShrinkingStopsAtTheMinimumAndTheLayoutFollowsEverySize) {
  Open(kDefaultFolderBrowseDlgOptions);
  MINMAXINFO info{};
  info.ptMaxSize = {1234, 987};
  info.ptMaxTrackSize = {2345, 1876};
  ::SendMessageA(form_->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 366);
  EXPECT_EQ(info.ptMinTrackSize.y, 340);
  // The rest stays as the system filled it.
  EXPECT_EQ(info.ptMaxSize.x, 1234);
  EXPECT_EQ(info.ptMaxTrackSize.y, 1876);

  // A size below the minimum (the system asks the window through WM_GETMINMAXINFO while
  // it positions a sizeable window) stops at the minimum.
  Resize(200, 150);
  EXPECT_EQ(form_->Width(), 366);
  EXPECT_EQ(form_->Height(), 340);
  ExpectLayoutFollowsTheSize();
  Resize(640, 480);
  EXPECT_EQ(form_->Width(), 640);
  ExpectLayoutFollowsTheSize();
  EXPECT_EQ(form_->DeleteFolderBtn->Left() + form_->DeleteFolderBtn->Width(), Client().right - 16);
  ::ShowWindow(form_->Handle(), SW_MAXIMIZE);
  Application().ProcessMessages();
  ExpectLayoutFollowsTheSize();
}

TEST_F(BrowseWindow, DeepDisplaysGetThe256ColourPicturesAndPaletteDisplaysKeepTheFormsOnes) {
  seams::ScreenColorDepth = [] { return 8; };
  Open(kDefaultFolderBrowseDlgOptions);
  EXPECT_EQ(form_->CreateNewFolderBtn->Glyph().Width(), 32);
  EXPECT_EQ(form_->CreateNewFolderBtn->NumGlyphs(), 2);
  EXPECT_EQ(form_->DeleteFolderBtn->Glyph().Width(), 16);  // the form's one 16-colour glyph
  EXPECT_EQ(form_->DeleteFolderBtn->NumGlyphs(), 1);
  COLORREF plain = ::GetPixel(form_->CreateNewFolderBtn->Glyph().DC(), 6, 10);
  form_.reset();

  seams::ScreenColorDepth = [] { return 32; };
  Open(kDefaultFolderBrowseDlgOptions);
  EXPECT_EQ(form_->DeleteFolderBtn->Glyph().Width(), 32);
  EXPECT_EQ(form_->DeleteFolderBtn->NumGlyphs(), 2);
  TBitmap resource;
  resource.LoadFromResource("ptscp_newfolder16_8bpp");
  COLORREF shaded = ::GetPixel(form_->CreateNewFolderBtn->Glyph().DC(), 6, 10);
  EXPECT_EQ(shaded, ::GetPixel(resource.DC(), 6, 10));
  EXPECT_NE(shaded, plain);  // the two sets really differ
  form_.reset();

  seams::ScreenColorDepth = [] { return 0; };  // depth unknown: the better pictures
  Open(kDefaultFolderBrowseDlgOptions);
  EXPECT_EQ(form_->DeleteFolderBtn->NumGlyphs(), 2);
}

TEST_F(BrowseWindow, CreateAndDeleteFollowTheSelectedFolder) {
  BrowseFolders folders("browse_enable");
  Open(kDefaultFolderBrowseDlgOptions | FolderBrowseOption(ptfbCreateDeleteButtons) |
           FolderBrowseOption(ptfbVirtualFolders),
       folders.Alpha());
  TPTFrmFolderBrowseDlg& f = *form_;
  TPTShellTree& tree = *f.PTShellTree1;
  ASSERT_NE(tree.Selected(), nullptr);
  EXPECT_EQ(tree.NodeData(tree.Selected())->Path(), folders.Alpha());
  EXPECT_TRUE(f.CreateBtn->Enabled());
  EXPECT_TRUE(f.DeleteBtn->Enabled());
  EXPECT_TRUE(f.CreateNewFolderBtn->Enabled());
  EXPECT_TRUE(f.DeleteFolderBtn->Enabled());

  // A virtual folder (no file-system path): neither Create nor Delete.
  TTreeNode* virtual_node = VirtualNode(tree);
  ASSERT_NE(virtual_node, nullptr) << "the desktop lists no virtual folder";
  tree.SetSelected(virtual_node);
  Application().ProcessMessages();
  EXPECT_FALSE(f.CreateBtn->Enabled());
  EXPECT_FALSE(f.DeleteBtn->Enabled());
  EXPECT_FALSE(f.CreateNewFolderBtn->Enabled());
  EXPECT_FALSE(f.DeleteFolderBtn->Enabled());
  EXPECT_TRUE(f.OkBtn->Enabled());  // OK is never disabled
}

TEST_F(BrowseWindow, TheRootDisablesDeleteEvenWithAPath) {
  BrowseFolders folders("browse_root");
  form_ = std::make_unique<TPTFrmFolderBrowseDlg>(nullptr);
  form_->ApplyOptions(kDefaultFolderBrowseDlgOptions);
  TPTShellLocator root;
  root.SetPath(folders.Root());
  form_->PTShellTree1->SetBaseFolder(root);
  std::vector<std::string> told;
  form_->SelChangeCallback = [&](TObject* sender, LPCITEMIDLIST list) {
    EXPECT_EQ(sender, form_.get());
    char path[MAX_PATH] = {};
    ::SHGetPathFromIDListA(list, path);
    told.push_back(path);
  };
  form_->Show();
  Application().ProcessMessages();
  TPTShellTree& tree = *form_->PTShellTree1;
  TTreeNode* first = tree.Items().GetFirstNode();
  ASSERT_NE(first, nullptr);
  tree.SetSelected(first);
  Application().ProcessMessages();
  EXPECT_EQ(tree.NodeData(first)->Path(), folders.Root());
  EXPECT_TRUE(form_->CreateNewFolderBtn->Enabled());
  EXPECT_FALSE(form_->DeleteFolderBtn->Enabled());

  first->Expand(false);
  TTreeNode* alpha = NodeOfPath(tree, folders.Alpha());
  ASSERT_NE(alpha, nullptr);
  tree.SetSelected(alpha);
  Application().ProcessMessages();
  EXPECT_TRUE(form_->DeleteFolderBtn->Enabled());
  ASSERT_FALSE(told.empty());
  EXPECT_EQ(told.back(), folders.Alpha());  // the callback got the new node's absolute list
}

TEST_F(BrowseWindow, CreateMakesANewFolderInTheSelectedOneAndDeleteRemovesTheSelectedOne) {
  BrowseFolders folders("browse_create");
  Open(kDefaultFolderBrowseDlgOptions | FolderBrowseOption(ptfbCreateDeleteButtons), folders.Beta());
  TPTShellTree& tree = *form_->PTShellTree1;
  ::SendMessageA(form_->CreateBtn->Handle(), BM_CLICK, 0, 0);
  Application().ProcessMessages();
  EXPECT_NE(::GetFileAttributesA((folders.Beta() + "\\New Folder").c_str()), INVALID_FILE_ATTRIBUTES);
  if (TTreeNode* editing = tree.Selected()) editing->EndEdit(true);
  Application().ProcessMessages();

  TTreeNode* alpha = NodeOfPath(tree, folders.Alpha());
  ASSERT_NE(alpha, nullptr);
  tree.SetSelected(alpha);
  Application().ProcessMessages();
  {
    testing::ConfirmationAnswerer yes;  // the shell asks before it deletes
    ::SendMessageA(form_->DeleteBtn->Handle(), BM_CLICK, 0, 0);
    Application().ProcessMessages();
  }
  EXPECT_EQ(::GetFileAttributesA(folders.Alpha().c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(NodeOfPath(tree, folders.Alpha()), nullptr);  // refreshed
}

}  // namespace
}  // namespace stampwell
