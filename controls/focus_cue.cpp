#include "controls/focus_cue.h"

namespace stampwell {

void TFocusCueHolder::DrawFocusCue(HDC dc, RECT bounds, int inset) const {
  if (!focus_cue_) return;
  ::InflateRect(&bounds, -inset, -inset);
  if (bounds.right <= bounds.left || bounds.bottom <= bounds.top) return;
  // The dotted rectangle inverts what lies below, so it shows on every picture of the skin;
  // it needs the text colours black and white to invert cleanly.
  const COLORREF old_text = ::SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF old_back = ::SetBkColor(dc, RGB(255, 255, 255));
  ::DrawFocusRect(dc, &bounds);
  ::SetTextColor(dc, old_text);
  ::SetBkColor(dc, old_back);
}

}  // namespace stampwell
