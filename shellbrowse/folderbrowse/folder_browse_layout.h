#pragma once
// Where the browse window's controls go when its size changes. Portable arithmetic: the
// window hands in the bounds it has and sets the bounds that come out.

namespace stampwell {

struct LayoutRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

struct FolderBrowseLayoutInput {
  int window_width = 0;   // outer width
  int client_right = 0;   // of the window's client rectangle
  LayoutRect status;      // StatusTxt
  LayoutRect tree;        // PTShellTree1
  int button_panel_top = 0;
  int ok_width = 0;       // OkBtn and CancelBtn, on the button panel, which spans the client width
  int cancel_width = 0;
  bool create_delete_buttons = false;  // ptfbCreateDeleteButtons in the options
  bool new_folder_visible = false;
  LayoutRect new_folder;  // CreateNewFolderBtn
  bool delete_visible = false;
  LayoutRect delete_button;  // DeleteFolderBtn
};

struct FolderBrowseLayout {
  LayoutRect tree;
  int ok_left = 0;
  int cancel_left = 0;
  LayoutRect new_folder;     // unchanged when hidden
  LayoutRect delete_button;  // unchanged when hidden
  LayoutRect status;
};

constexpr int kSizeGripSize = 13;
constexpr int kFolderBrowseMinWidth = 366;   // outer size
constexpr int kFolderBrowseMinHeight = 340;

FolderBrowseLayout LayOutFolderBrowseWindow(const FolderBrowseLayoutInput& in);

}  // namespace stampwell
