// The faces that the forms name measure text as the layout expects. The forms place their
// text in device pixels for Windows' fonts; where a face is missing, the system falls back to
// another, and every screenshot and pixel test then shows a layout no user sees (the
// acceptance box's caption cut short). Under Wine this checks the test prefix's font set-up.
#include <gtest/gtest.h>

#include <string>

#include "framework/graphics.h"
#include "framework/unique_handle.h"

namespace stampwell {
namespace {

struct Measured {
  std::string face;  // the face that the system really selected
  int width = 0;
};

Measured Measure(const std::string& name, int height, TFontStyles style, const std::string& text) {
  TFont font;
  font.SetName(name);
  font.SetHeight(height);
  font.SetStyle(style);
  scoped_window_dc dc(nullptr);
  scoped_select_object selected(dc.get(), font.Handle());
  char face[LF_FACESIZE] = {};
  ::GetTextFaceA(dc.get(), sizeof face, face);
  SIZE size{};
  ::GetTextExtentPoint32A(dc.get(), text.data(), static_cast<int>(text.size()), &size);
  return Measured{face, static_cast<int>(size.cx)};
}

TEST(FormFonts, EveryFaceTheFormsNameIsThere) {
  // "MS Shell Dlg" is what system dialogs ask for; it names Tahoma.
  for (const char* name : {"Microsoft Sans Serif", "MS Sans Serif", "Tahoma"}) {
    EXPECT_EQ(Measure(name, -11, 0, "x").face, name);
  }
}

TEST(FormFonts, CaptionsFitTheRoomTheLayoutGivesThem) {
  // The acceptance box is 79 pixels wide; its box and the gap after it take 16.
  EXPECT_LE(Measure("Microsoft Sans Serif", 14, 0, "I Accept the").width, 79 - 16);
  // The install page's notice, a label of 323 pixels without automatic size.
  EXPECT_LE(Measure("Microsoft Sans Serif", 14, fsBold, "The installation process may takes about 10~20 seconds").width,
            323);
}

}  // namespace
}  // namespace stampwell
