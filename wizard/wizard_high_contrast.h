#pragma once
// The wizard under high contrast. The pages are pictures whose colours the user's scheme cannot
// reach, so with high contrast on the window shows a plain look instead: the page pictures give
// way to the window colour, the texts they carried become labels, every text and check box takes
// the system's text colours, and the image buttons get frame strips drawn in the system's button
// colours with their names. With high contrast off nothing of the window is touched.

#include <memory>
#include <string>
#include <vector>

#include "framework/graphics.h"

namespace stampwell {
class TControl;
class TLabel;
class TYCLButton;
}  // namespace stampwell

namespace stampwell::wizard {

class TForm1;

class WizardHighContrast {
 public:
  explicit WizardHighContrast(TForm1& form);
  ~WizardHighContrast();
  WizardHighContrast(const WizardHighContrast&) = delete;
  WizardHighContrast& operator=(const WizardHighContrast&) = delete;

  // Reads the setting and shows the look that it asks for (at creation, and whenever the
  // system's colours or settings change).
  void Follow();
  bool Plain() const { return plain_; }

 private:
  void Apply(bool plain);

  TForm1& form_;
  bool plain_ = false;
  // What the plain look replaces, kept to give it back.
  struct ButtonLook {
    TYCLButton* button;
    std::string name;
    std::unique_ptr<TPicture> picture;
  };
  std::vector<ButtonLook> buttons_;
  std::vector<TControl*> pictures_;          // hidden while plain
  std::vector<std::pair<TControl*, TColor>> colours_;
  std::vector<std::pair<TControl*, TColor>> font_colours_;
  std::vector<TLabel*> plain_texts_;         // shown only while plain; owned by the form
  TPicture progress_fill_;
};

// Draws into `strip` four frames (normal, hover, pressed, disabled) of `width` x `height` in the
// system's button colours with `name` centred on each; "Close" is drawn as a cross.
void DrawPlainButtonStrip(TPicture& strip, int width, int height, const std::string& name);

}  // namespace stampwell::wizard
