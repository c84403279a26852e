#pragma once
// One page of the wizard: a child window whose whole surface is a picture, with windowless
// pictures, labels and image buttons painted on it (double-buffered) and standard controls
// as its child windows.
//
// The page hit-tests its windowless items itself: a press on an enabled image button presses
// it, a press on a clickable label clicks it on release, and a press anywhere else goes to
// `OnBackgroundMouseDown` (the window drag). Child controls' notifications go to `OnCommand`.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "wizard/picture.h"
#include "wizard/skin_button.h"

namespace stampwell::wizard {

struct PageImage {
  Picture picture;
  RECT bounds{};
  bool stretch = false;
  bool visible = true;
};

struct PageLabel {
  std::string caption;
  RECT bounds{};  // autosized labels get their width from the caption when created
  unique_hfont font;
  COLORREF text_colour = RGB(0, 0, 0);
  bool centre = false;
  bool visible = true;
  bool hand_cursor = false;
  bool autosize = false;  // the box follows the caption (see Page::SetCaption)
  std::function<void()> OnClick;
};

class Page {
 public:
  Page(HWND parent, int left, int top, const char* background_resource);
  Page(const Page&) = delete;
  Page& operator=(const Page&) = delete;

  HWND hwnd() const noexcept { return window_.get(); }

  PageImage& AddImage(const char* resource, int left, int top, int width = 0, int height = 0);
  PageLabel& AddLabel(std::string caption, int left, int top, int width, int height,
                      unique_hfont font, COLORREF colour);
  SkinButton& AddButton(const char* resource, int left, int top);

  // A child control with the page's own colours: `background` fills behind it, `text` draws
  // its words. Used for the check boxes that sit on the band and on the shortcut panel.
  void SetControlColours(HWND control, COLORREF background, COLORREF text);

  // Sets a label's caption; an autosized label takes the size that the caption needs.
  void SetCaption(PageLabel& label, std::string caption);

  // Repaints the windowless item's rectangle (after a change of caption, size or visibility).
  void Invalidate(const RECT& bounds) const;

  std::function<void()> OnBackgroundMouseDown;
  std::function<void(HWND control, int code)> OnCommand;

  // The item under a point of the page, for tests and hit-testing.
  SkinButton* ButtonAt(POINT point) const;

  // Paints the page as it looks now into `dc` (the same drawing as on the screen).
  void PaintTo(HDC dc) const;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();
  void OnMouseMove(POINT point);
  void SetHot(SkinButton* button);
  void StartFade(SkinButton* button);
  PageLabel* ClickableLabelAt(POINT point) const;
  void Autosize(PageLabel& label) const;

  struct ControlColour {
    HWND control;
    COLORREF text;
    unique_hbrush brush;
  };

  unique_hwnd window_;
  Picture background_;
  std::vector<std::unique_ptr<PageImage>> images_;
  std::vector<std::unique_ptr<PageLabel>> labels_;
  std::vector<std::unique_ptr<SkinButton>> buttons_;
  std::vector<ControlColour> colours_;
  SkinButton* hot_ = nullptr;
  SkinButton* pressed_ = nullptr;
  PageLabel* pressed_label_ = nullptr;
  bool tracking_leave_ = false;
};

// A font by face, height (as in LOGFONT) and weight.
unique_hfont MakeFont(const char* face, int height, bool bold = false, bool underline = false,
                      BYTE charset = DEFAULT_CHARSET);

}  // namespace stampwell::wizard
