#pragma once
// The texts that the wizard's pictures carry (the page pictures and the two caption pictures of
// the shortcut boxes), where the pictures draw them: a screen reader is told them, and the
// high-contrast look writes them as text.

#include <windows.h>

namespace stampwell::wizard {

struct PictureText {
  int page;               // the page index: 2 the folder page, 3 the progress page
  const char* text;
  RECT bounds;            // page coordinates
  bool check_box_caption;  // the name of a check box rather than a text of its own
};

inline constexpr PictureText kPictureTexts[] = {
    {2, "Destination folder", {44, 139, 164, 154}, false},
    {2, "Create a desktop icon", {84, 200, 195, 214}, true},
    {2, "Start Menu shortcuts", {296, 200, 388, 214}, true},
    {3, "Installing, please wait...", {105, 164, 285, 179}, false},
};

}  // namespace stampwell::wizard
