// The browse dialog's portable pieces: the option set and its stored names, the window's
// layout arithmetic, and the 9-byte geometry record.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "shellbrowse/folderbrowse/dialog_form_state.h"
#include "shellbrowse/folderbrowse/folder_browse_layout.h"
#include "shellbrowse/folderbrowse/folder_browse_options.h"

namespace stampwell {
namespace {

TEST(FolderBrowseOptions, TheDefaultIsNotStoredAndOtherSetsAreStoredAsNamesInOrdinalOrder) {
  EXPECT_EQ(kDefaultFolderBrowseDlgOptions,
            FolderBrowseOption(ptfbContextMenus) | FolderBrowseOption(ptfbCreateFolderIcon) |
                FolderBrowseOption(ptfbDeleteFolderIcon) | FolderBrowseOption(ptfbShowHidden));
  EXPECT_FALSE(StoredFolderBrowseOptions(kDefaultFolderBrowseDlgOptions).has_value());

  // The wizard's set.
  TPTFolderBrowseDlgOptions wizard =
      FolderBrowseOption(ptfbCreateDeleteButtons) | FolderBrowseOption(ptfbContextMenus) | FolderBrowseOption(ptfbShowHidden);
  auto stored = StoredFolderBrowseOptions(wizard);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(*stored, (std::vector<std::string>{"ptfbCreateDeleteButtons", "ptfbContextMenus", "ptfbShowHidden"}));
  // The empty set differs from the default, so it is stored, as an empty list.
  ASSERT_TRUE(StoredFolderBrowseOptions(0).has_value());
  EXPECT_TRUE(StoredFolderBrowseOptions(0)->empty());

  // Every set of the ten options reads back from its names.
  for (unsigned set = 0; set < (1u << kFolderBrowseDlgOptionCount); set += 7) {
    auto back = FolderBrowseOptionsFromNames(FolderBrowseOptionNames(static_cast<TPTFolderBrowseDlgOptions>(set)));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, set);
  }
  EXPECT_STREQ(FolderBrowseOptionName(ptfbShowHidden), "ptfbShowHidden");
}

TEST(FolderBrowseOptions, AnUnknownNameIsRefusedAndNamedAndRepeatsCountOnce) {
  std::string unknown;
  EXPECT_FALSE(FolderBrowseOptionsFromNames({"ptfbReadOnly", "ptstoAutoFill"}, &unknown).has_value());
  EXPECT_EQ(unknown, "ptstoAutoFill");
  EXPECT_FALSE(FolderBrowseOptionsFromNames({"ptfbreadonly"}).has_value());  // names are exact
  EXPECT_EQ(FolderBrowseOptionsFromNames({"ptfbReadOnly", "ptfbReadOnly"}), FolderBrowseOption(ptfbReadOnly));
}

TEST(FolderBrowseOptions, TheDialogGovernsSixTreeOptionsAndLeavesTheOthers) {
  // The wizard's set on the tree options of the window's form resource: virtual folders go,
  // hidden items come, design interaction and dynamic refresh stay.
  TPTShellTreeOptions form{ptstoVirtualFolders, ptstoDesignInteractive, ptstoContextMenus, ptstoDynamicRefresh};
  TPTFolderBrowseDlgOptions wizard =
      FolderBrowseOption(ptfbCreateDeleteButtons) | FolderBrowseOption(ptfbContextMenus) | FolderBrowseOption(ptfbShowHidden);
  EXPECT_EQ(TreeOptionsForDialog(wizard, form),
            (TPTShellTreeOptions{ptstoDesignInteractive, ptstoContextMenus, ptstoDynamicRefresh, ptstoShowHidden}));

  // Every governed option switches on and off; the four others never move.
  TPTShellTreeOptions others{ptstoAutoFill, ptstoDesignInteractive, ptstoDefaultKeyHandling, ptstoDynamicRefresh};
  TPTShellTreeOptions all = TreeOptionsForDialog(0x3FF, others);
  EXPECT_EQ(all.Bits(), 0x3FF);
  EXPECT_EQ(TreeOptionsForDialog(0, all), others);
  EXPECT_EQ(TreeOptionsForDialog(0x3FF, TPTShellTreeOptions{}),
            (TPTShellTreeOptions{ptstoOleDrag, ptstoOleDrop, ptstoIncludeNonFolders, ptstoVirtualFolders,
                                 ptstoContextMenus, ptstoShowHidden}));
}

// The designed window: client 358 x 313 in an outer 366 x 340 frame (4-pixel borders).
FolderBrowseLayoutInput DesignedWindow() {
  FolderBrowseLayoutInput in;
  in.window_width = 366;
  in.client_right = 358;
  in.status = {8, 8, 289, 25};
  in.tree = {8, 28, 349, 273};
  in.button_panel_top = 278;
  in.ok_width = 75;
  in.cancel_width = 75;
  in.new_folder_visible = true;
  in.new_folder = {295, 3, 318, 25};
  in.delete_visible = true;
  in.delete_button = {325, 3, 348, 25};
  return in;
}

TEST(FolderBrowseLayout, TheDesignedSizeKeepsTheDesignedPlaces) {
  FolderBrowseLayout out = LayOutFolderBrowseWindow(DesignedWindow());
  EXPECT_EQ(out.tree, (LayoutRect{8, 33, 350, 270}));
  // OK and Cancel right-aligned without the push buttons: Cancel 16 from the edge, OK 4 before.
  EXPECT_EQ(out.cancel_left, 358 - 16 - 75);
  EXPECT_EQ(out.ok_left, 358 - 16 - 75 - 4 - 75);
  EXPECT_EQ(out.delete_button, (LayoutRect{319, 3, 342, 25}));
  EXPECT_EQ(out.new_folder, (LayoutRect{319 - 8 - 23, 3, 319 - 8, 25}));
  EXPECT_EQ(out.status, (LayoutRect{8, 8, 288 - 4, 25}));
}

TEST(FolderBrowseLayout, WithThePushButtonsOkAndCancelStartAtTheTreesLeftEdge) {
  FolderBrowseLayoutInput in = DesignedWindow();
  in.create_delete_buttons = true;
  in.tree.left = 12;
  FolderBrowseLayout out = LayOutFolderBrowseWindow(in);
  EXPECT_EQ(out.ok_left, 12);
  EXPECT_EQ(out.cancel_left, 12 + 75 + 4);
}

TEST(FolderBrowseLayout, ALoneSmallButtonTakesTheRightmostPlaceAndTheStatusLineEndsBeforeIt) {
  FolderBrowseLayoutInput in = DesignedWindow();
  in.delete_visible = false;
  FolderBrowseLayout out = LayOutFolderBrowseWindow(in);
  EXPECT_EQ(out.new_folder.right, 358 - 16);
  EXPECT_EQ(out.status.right, out.new_folder.left - 4);
  EXPECT_EQ(out.delete_button, in.delete_button);  // a hidden button stays where it was

  in = DesignedWindow();
  in.new_folder_visible = false;
  out = LayOutFolderBrowseWindow(in);
  EXPECT_EQ(out.delete_button.right, 358 - 16);
  EXPECT_EQ(out.status.right, out.delete_button.left - 8);

  in.delete_visible = false;
  EXPECT_EQ(LayOutFolderBrowseWindow(in).status.right, 358 - 16);
}

TEST(FolderBrowseLayout, AWiderAndTallerWindowStretchesTheTreeAndMovesTheRightSide) {
  FolderBrowseLayoutInput in = DesignedWindow();
  in.window_width = 566;
  in.client_right = 558;
  in.button_panel_top = 478;
  FolderBrowseLayout out = LayOutFolderBrowseWindow(in);
  EXPECT_EQ(out.tree, (LayoutRect{8, 33, 550, 470}));
  EXPECT_EQ(out.cancel_left, 558 - 16 - 75);
  EXPECT_EQ(out.delete_button.right, 542);
}

TEST(DialogFormState, TheRecordIsNineLittleEndianBytesAndReadsBack) {
  std::vector<std::uint8_t> bytes;
  WriteDialogFormState({400, -1, 2}, bytes);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x90, 0x01, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 2}));
  size_t consumed = 0;
  auto back = ReadDialogFormState(bytes, &consumed);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, (DialogFormState{400, -1, 2}));
  EXPECT_EQ(consumed, 9u);

  // Two records in a row: each read takes its own nine bytes.
  WriteDialogFormState({-7, 123456789, 1}, bytes);
  auto second = ReadDialogFormState(std::span<const std::uint8_t>(bytes).subspan(9));
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(*second, (DialogFormState{-7, 123456789, 1}));
}

TEST(DialogFormState, AShortRecordOrAStateBeyondMaximisedIsRefused) {
  std::vector<std::uint8_t> bytes;
  WriteDialogFormState({1, 2, 0}, bytes);
  bytes.pop_back();
  EXPECT_FALSE(ReadDialogFormState(bytes).has_value());
  bytes.push_back(3);
  EXPECT_FALSE(ReadDialogFormState(bytes).has_value());
}

}  // namespace
}  // namespace stampwell
