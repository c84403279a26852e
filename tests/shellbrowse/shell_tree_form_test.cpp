// The shell tree as a form creates it: the browse window's properties by name, the options as a
// list of names, the drag style rule, and filling once the window exists.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "framework/application.h"
#include "framework/form_reader.h"
#include "framework/forms.h"
#include "shellbrowse/tree/shell_tree.h"
#include "tests/shellbrowse/notify_test_support.h"

namespace stampwell {
namespace {

const char kBrowseLikeForm[] =
    "object Browse: TForm\n"
    "  ClientWidth = 300\n"
    "  ClientHeight = 300\n"
    "  object ShellTree1: TPTShellTree\n"
    "    Width = 280\n"
    "    Height = 280\n"
    "    Options = [ptstoVirtualFolders, ptstoDesignInteractive, ptstoContextMenus, ptstoDynamicRefresh, ptstoAutoFill]\n"
    "    ShowRoot = True\n"
    "    DragMode = dmAutomatic\n"
    "    HideSelection = False\n"
    "    Indent = 19\n"
    "    OnChange = ShellTree1Change\n"
    "  end\n"
    "end\n";

class TBrowseLike : public TForm {
 public:
  explicit TBrowseLike(TComponent* owner, const char* text = kBrowseLikeForm) : TForm(owner) {
    RegisterShellTreeFormClass();
    RegisterHandlers({{"ShellTree1Change", TTVChangedEvent([this](TObject*, TTreeNode*) { ++changes; })}});
    LoadFromText(text, "TEST_BROWSE_LIKE");
  }
  int changes = 0;
};

TEST(ShellTreeForm, TakesTheBrowseWindowsProperties) {
  TBrowseLike form(nullptr);
  auto& tree = form.Field<TPTShellTree>("ShellTree1");
  TPTShellTreeOptions expected{ptstoVirtualFolders, ptstoDesignInteractive, ptstoContextMenus,
                               ptstoDynamicRefresh, ptstoAutoFill};
  EXPECT_EQ(tree.Options(), expected);
  EXPECT_TRUE(tree.ShowRoot());
  EXPECT_EQ(tree.DragMode(), TDragMode::dmAutomatic);
  EXPECT_FALSE(tree.HideSelection());
  EXPECT_EQ(tree.Indent(), 19);
  LONG style = GetWindowLongA(tree.Handle(), GWL_STYLE);
  // Automatic dragging keeps the control's begin-drag notifications.
  EXPECT_FALSE(style & TVS_DISABLEDRAGDROP);
  EXPECT_TRUE(style & TVS_SHOWSELALWAYS);
  // The window was made empty with ptstoAutoFill: it fills itself from a posted message.
  EXPECT_EQ(tree.Items().Count(), 0);
  ASSERT_TRUE(testing::PumpUntil([&] { return tree.Items().Count() > 0; }));
  EXPECT_EQ(tree.Selected(), tree.Items().GetFirstNode());
  EXPECT_GE(form.changes, 1);

  tree.SetDragMode(TDragMode::dmManual);
  EXPECT_TRUE(GetWindowLongA(tree.Handle(), GWL_STYLE) & TVS_DISABLEDRAGDROP);
  TPTShellTreeOptions with_drag = tree.Options();
  with_drag += ptstoOleDrag;
  tree.SetOptions(with_drag);
  EXPECT_FALSE(GetWindowLongA(tree.Handle(), GWL_STYLE) & TVS_DISABLEDRAGDROP);
}

TEST(ShellTreeForm, AnUnknownOptionNamesTheLine) {
  const char text[] =
      "object Browse: TForm\n"
      "  object ShellTree1: TPTShellTree\n"
      "    Options = [ptstoAutoFill, ptstoFlying]\n"
      "  end\n"
      "end\n";
  try {
    TBrowseLike form(nullptr, text);
    ADD_FAILURE() << "took an unknown option";
  } catch (const FormError& error) {
    EXPECT_EQ(error.Line(), 3);
    EXPECT_EQ(error.Property(), "Options");
    EXPECT_NE(std::string(error.what()).find("ptstoFlying"), std::string::npos);
  }
}

}  // namespace
}  // namespace stampwell
