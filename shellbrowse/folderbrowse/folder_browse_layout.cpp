#include "shellbrowse/folderbrowse/folder_browse_layout.h"

namespace stampwell {
namespace {

constexpr int kGap = 8;          // between the status line, the tree and the button row
constexpr int kEdge = 16;        // from the client's right edge to the rightmost button
constexpr int kButtonGap = 4;

// Keeps the button's size and puts its right edge at `right`.
LayoutRect EndingAt(const LayoutRect& r, int right) { return LayoutRect{right - r.Width(), r.top, right, r.bottom}; }

}  // namespace

FolderBrowseLayout LayOutFolderBrowseWindow(const FolderBrowseLayoutInput& in) {
  FolderBrowseLayout out;
  // The tree is as wide as the window less 24: the window's frame plus the margins, so it
  // follows the outer width rather than the client width.
  out.tree = LayoutRect{in.tree.left, in.status.bottom + kGap, in.tree.left + in.window_width - 24,
                        in.button_panel_top - kGap};

  if (in.create_delete_buttons) {
    out.ok_left = out.tree.left;
    out.cancel_left = out.ok_left + in.ok_width + kButtonGap;
  } else {
    out.cancel_left = in.client_right - kEdge - in.cancel_width;
    out.ok_left = out.cancel_left - kButtonGap - in.ok_width;
  }

  int x = in.client_right - kEdge;
  out.delete_button = in.delete_button;
  if (in.delete_visible) {
    out.delete_button = EndingAt(in.delete_button, x);
    x = out.delete_button.left - 8;
  }
  out.new_folder = in.new_folder;
  if (in.new_folder_visible) {
    out.new_folder = EndingAt(in.new_folder, x);
    x = out.new_folder.left - kButtonGap;
  }
  out.status = LayoutRect{in.status.left, in.status.top, x, in.status.bottom};
  return out;
}

}  // namespace stampwell
