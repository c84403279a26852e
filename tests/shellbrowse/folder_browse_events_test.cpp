// What the browse dialog hands on to its window and tree (the add-item filter, the custom-draw
// and selection events), the tree that the wizard's options give (no virtual folders, hidden
// folders shown), and what of the wizard's Browse click reaches the default error report.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/exception.h"
#include "framework/std_controls.h"
#include "framework/window_text.h"
#include "setup/system_queries.h"
#include "shellbrowse/folderbrowse/folder_browse_dialog.h"
#include "shellbrowse/toolbox/id_list.h"
#include "shellbrowse/toolbox/shell_id_list.h"
#include "tests/shellbrowse/folder_browse_test_support.h"
#include "wizard/wizard_browse.h"

namespace stampwell {
namespace {

using testing::BrowseFolders;
using testing::ExecuteWith;
using testing::NodeOfPath;
using testing::PressEscape;
using testing::PressOk;
using Form = TPTFrmFolderBrowseDlg;

TPTFolderBrowseDlgOptions WizardOptions() {
  return FolderBrowseOption(ptfbCreateDeleteButtons) | FolderBrowseOption(ptfbContextMenus) |
         FolderBrowseOption(ptfbShowHidden);
}

TEST(FolderBrowseEvents, TheDialogHandsItsEventsToTheWindowAndTheTree) {
  BrowseFolders folders("events");
  TPTFolderBrowseDlg dialog(nullptr);
  dialog.BaseFolder().SetPath(folders.Root());
  std::vector<std::string> offered;
  dialog.OnAddItem = [&](TObject*, IShellFolder* folder, LPCITEMIDLIST, LPCITEMIDLIST item, ULONG, BOOL& allow) {
    std::string name = GetDisplayName(folder, item, NameKind::InFolder);
    offered.push_back(name);
    if (name == "Beta") allow = FALSE;
  };
  int draws = 0, item_draws = 0;
  dialog.OnTvCustomDrawShEx = [&](TObject*, TPTTvCustomDraw*, TTreeNode*, TPTShTreeData*) { ++draws; };
  dialog.OnTvCustomDrawSh = [&](TObject*, TPTTvCustomDraw*, TTreeNode* node, TPTShTreeData* data) {
    ++item_draws;
    EXPECT_NE(node, nullptr);
    EXPECT_NE(data, nullptr);
  };
  std::vector<std::string> selections;
  dialog.OnSelChange = [&](TObject* sender, LPCITEMIDLIST list) {
    EXPECT_EQ(sender, dialog.ActiveForm());
    selections.push_back(IdListToPath(list));
  };
  bool chosen = ExecuteWith(dialog, {[&](Form& f) {
    // The filter kept Beta out; Alpha is there.
    EXPECT_NE(NodeOfPath(*f.PTShellTree1, folders.Alpha()), nullptr);
    EXPECT_EQ(NodeOfPath(*f.PTShellTree1, folders.Beta()), nullptr);
    ::RedrawWindow(f.PTShellTree1->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    f.PTShellTree1->SetSelected(NodeOfPath(*f.PTShellTree1, folders.Alpha()));
  }, PressOk});
  EXPECT_TRUE(chosen);
  std::sort(offered.begin(), offered.end());  // the folder's enumeration order is its own
  EXPECT_EQ(offered, (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_GT(draws, item_draws);  // the control's own stages as well as the items'
  EXPECT_GT(item_draws, 0);
  ASSERT_FALSE(selections.empty());
  EXPECT_EQ(selections.back(), folders.Alpha());
  EXPECT_EQ(dialog.SelectedPath(), folders.Alpha());
}

// Whether a node with `text` was made.
bool HasNode(TPTShellTree& tree, const std::string& text) {
  for (TTreeNode* node = tree.Items().GetFirstNode(); node; node = node->GetNext()) {
    if (node->Text() == text) return true;
  }
  return false;
}

TEST(FolderBrowseEvents, TheWizardsOptionsShowHiddenFoldersAndNoVirtualOnes) {
  BrowseFolders folders("wizard_tree");
  std::string hidden = folders.Root() + "\\Hidden one";
  ::CreateDirectoryA(hidden.c_str(), nullptr);
  ::SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
  unique_idlist controls;
  ASSERT_EQ(SpecialFolderIdList(nullptr, CSIDL_CONTROLS, controls), S_OK);
  std::string control_panel = GetAbsDisplayName(controls.get());
  unique_idlist drives;
  ASSERT_EQ(SpecialFolderIdList(nullptr, CSIDL_DRIVES, drives), S_OK);
  std::string my_computer = GetAbsDisplayName(drives.get());

  auto look = [&](TPTFolderBrowseDlgOptions options, bool& hidden_shown, bool& panel_shown) {
    TPTFolderBrowseDlg dialog(nullptr);
    dialog.Options = options;
    dialog.SetSelectedPath(folders.Alpha());
    ExecuteWith(dialog, {[&](Form& f) {
      TPTShellTree& tree = *f.PTShellTree1;
      // The walk to Alpha opened its parent, where the hidden folder lies.
      TTreeNode* node = NodeOfPath(tree, hidden);
      hidden_shown = node != nullptr;
      if (node) {
        EXPECT_TRUE(node->Cut());
      }
      // The Control Panel lies on the desktop or in My Computer; open both levels.
      for (TTreeNode* n = tree.Items().GetFirstNode(); n; n = n->GetNext()) {
        if (n->Text() == my_computer) n->Expand(false);
      }
      panel_shown = HasNode(tree, control_panel);
      EXPECT_TRUE(HasNode(tree, my_computer));  // an ancestor of file-system folders
    }, PressEscape});
  };
  bool hidden_shown = false, panel_shown = true;
  look(WizardOptions(), hidden_shown, panel_shown);
  EXPECT_TRUE(hidden_shown);
  EXPECT_FALSE(panel_shown) << control_panel << " is listed with the wizard's options";
  // The same dialog with virtual folders and without hidden ones, so the check above can fail.
  TPTFolderBrowseDlgOptions other = FolderBrowseOption(ptfbCreateDeleteButtons) | FolderBrowseOption(ptfbVirtualFolders);
  look(other, hidden_shown, panel_shown);
  EXPECT_FALSE(hidden_shown);
  EXPECT_TRUE(panel_shown);
}

// ---- what of the Browse click reaches the default error report ----

class BrowseClickReports : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = std::make_unique<TForm>(nullptr);
    host_->HandleNeeded();
    edit_ = new TEdit(host_.get());
    edit_->SetParent(host_.get());
    UseFolderField(parts_, *edit_);
    parts_.set_free_space_text = [this](const std::string& text) { label_ = text; };
    parts_.dialog = &dialog_;
    dialog_.Options = WizardOptions();
    BindBrowseButton(click_, parts_);
  }
  // The click as the button fires it: inside the application's guard.
  void Click() {
    Application().Guard([this] { click_(nullptr); });
  }
  std::unique_ptr<TForm> host_;
  TEdit* edit_ = nullptr;
  WizardBrowseParts parts_;
  TPTFolderBrowseDlg dialog_{nullptr};
  TNotifyEvent click_;
  std::string label_ = "unset";
};

TEST_F(BrowseClickReports, AFolderWithoutADriveGivesAnEmptyFreeSpaceTextAndNoReport) {
  // An empty field, or one too short to name a drive, has no free space to tell: the label is
  // emptied. Raising there would put up an error box after every Browse from such a field.
  std::vector<std::string> boxes;
  ScopedMessageBoxHandler handler([&](const std::string& text, const std::string&, unsigned) {
    boxes.push_back(text);
    return IDOK;
  });
  for (const char* field : {"", "C", "C:"}) {
    edit_->SetText(field);
    label_ = "unset";
    testing::ModalDriver driver(dialog_, {PressEscape});
    Click();
    EXPECT_EQ(label_, "") << field;
    EXPECT_EQ(WindowText(edit_->Handle()), field);
  }
  // OK on a folder without a path (My Computer) puts the empty path into the field, quietly too.
  BrowseFolders folders("reports");
  edit_->SetText(folders.Alpha());
  testing::ModalDriver driver(dialog_, {[](Form& f) {
    TTreeNode* root = f.PTShellTree1->Items().GetFirstNode();
    for (TTreeNode* n = root->GetFirstChild(); n; n = n->GetNextSibling()) {
      TPTShTreeData* data = f.PTShellTree1->NodeData(n);
      if (data && data->Path().empty()) {
        f.PTShellTree1->SetSelected(n);
        break;
      }
    }
  }, PressOk});
  Click();
  EXPECT_EQ(WindowText(edit_->Handle()), "");
  EXPECT_EQ(label_, "");
  EXPECT_TRUE(boxes.empty()) << boxes.front();
}

TEST_F(BrowseClickReports, AnErrorOfTheDialogReachesTheDefaultErrorReportWithTheFieldUnchanged) {
  // A window whose show fails the way a tree that cannot be filled does.
  class TFailingForm : public Form {
   public:
    using Form::Form;
    void LoadStrings() override { throw Exception("The folder cannot be listed"); }
  };
  class TFailingDialog : public TPTFolderBrowseDlg {
   public:
    using TPTFolderBrowseDlg::TPTFolderBrowseDlg;

   protected:
    Form* CreateForm() override { return new TFailingForm(&Application()); }
  };
  TFailingDialog failing(nullptr);
  parts_.dialog = &failing;
  BindBrowseButton(click_, parts_);
  BrowseFolders folders("report_error");
  edit_->SetText(folders.Alpha());
  std::vector<std::pair<std::string, unsigned>> boxes;
  ScopedMessageBoxHandler handler([&](const std::string& text, const std::string&, unsigned flags) {
    boxes.emplace_back(text, flags);
    return IDOK;
  });
  Click();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].first, "The folder cannot be listed.");
  EXPECT_EQ(boxes[0].second & MB_ICONMASK, static_cast<unsigned>(MB_ICONSTOP));
  EXPECT_EQ(WindowText(edit_->Handle()), folders.Alpha());
  EXPECT_EQ(label_, "unset");  // the error left the click before the label step
}

}  // namespace
}  // namespace stampwell
