#include "controls/pt_frame.h"

#include "framework/form_reader.h"
#include "framework/unique_handle.h"

namespace stampwell {
namespace {

// Lines of one system colour on a canvas; the pen goes when the scope ends.
class PenScope {
 public:
  PenScope(HDC dc, int system_colour)
      : dc_(dc), colour_(::GetSysColor(system_colour)), pen_(::CreatePen(PS_SOLID, 1, colour_)) {
    old_ = ::SelectObject(dc_, pen_.get());
  }
  PenScope(const PenScope&) = delete;
  PenScope& operator=(const PenScope&) = delete;
  ~PenScope() { ::SelectObject(dc_, old_); }
  // From (x0, y0) to (x1, y1), both ends drawn (LineTo leaves out the last pixel).
  void Line(int x0, int y0, int x1, int y1) {
    ::MoveToEx(dc_, x0, y0, nullptr);
    ::LineTo(dc_, x1, y1);
    ::SetPixel(dc_, x1, y1, colour_);
  }

 private:
  HDC dc_;
  COLORREF colour_;
  unique_hpen pen_;
  HGDIOBJ old_;
};

// One ring of a bevel on `r` (right and bottom inclusive): the top and left sides in one
// colour, the bottom and right sides in the other; then `r` shrinks by one.
void BevelRing(HDC dc, RECT& r, int top_left, int bottom_right) {
  {
    PenScope pen(dc, top_left);
    pen.Line(r.left, r.bottom, r.left, r.top);
    pen.Line(r.left, r.top, r.right, r.top);
  }
  {
    PenScope pen(dc, bottom_right);
    pen.Line(r.right, r.top, r.right, r.bottom);
    pen.Line(r.right, r.bottom, r.left, r.bottom);
  }
  ::InflateRect(&r, -1, -1);
}

// An etched line: shadow, then highlight one pixel further in (below, or to the right).
void EtchedHorizontal(HDC dc, int left, int right, int y) {
  PenScope(dc, COLOR_BTNSHADOW).Line(left, y, right, y);
  PenScope(dc, COLOR_BTNHIGHLIGHT).Line(left, y + 1, right, y + 1);
}
void EtchedVertical(HDC dc, int x, int top, int bottom) {
  PenScope(dc, COLOR_BTNSHADOW).Line(x, top, x, bottom);
  PenScope(dc, COLOR_BTNHIGHLIGHT).Line(x + 1, top, x + 1, bottom);
}

UINT AlignmentFlag(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taLeftJustify: return DT_LEFT;
    case TAlignment::taRightJustify: return DT_RIGHT;
    default: return DT_CENTER;
  }
}

void DrawCaption(HDC dc, const std::string& text, RECT r, UINT flags) {
  std::string copy = text;  // DrawTextEx may write the shortened text back without DT_MODIFYSTRING
  ::DrawTextExA(dc, copy.data(), -1, &r, flags, nullptr);
}

}  // namespace

TPTCustomFrame::TPTCustomFrame(TComponent* owner) : TGraphicControl(owner) {
  width_ = 64;
  height_ = 48;
}

void TPTCustomFrame::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  Invalidate();
}

void TPTCustomFrame::SetFrameSpace(int space) {
  frame_space_ = space;
  Invalidate();
}

void TPTCustomFrame::SetFrameStyle(TPTFrameStyle style) {
  frame_style_ = style;
  Invalidate();
}

void TPTCustomFrame::InvalidateInside() {
  if (!parent_ || !parent_->HandleOrNull()) return;
  FrameInsets insets = FrameInsetsOf(frame_style_);
  RECT r = BoundsRect();
  r.left += insets.left;
  r.top += insets.top;
  r.right -= insets.right;
  r.bottom -= insets.bottom;
  ::InvalidateRect(parent_->HandleOrNull(), &r, FALSE);
}

// The frame style's lines and bevels along r; r shrinks by what the bevels and the single
// outline take from the caption's room.
void TPTCustomFrame::PaintEdges(HDC dc, RECT& r) const {
  switch (frame_style_) {
    case ptfsLowered:
      BevelRing(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
      BevelRing(dc, r, COLOR_3DDKSHADOW, COLOR_BTNFACE);
      break;
    case ptfsRaised:
      BevelRing(dc, r, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
      BevelRing(dc, r, COLOR_BTNFACE, COLOR_BTNSHADOW);
      break;
    case ptfsDint: BevelRing(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT); break;
    case ptfsBump: BevelRing(dc, r, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW); break;
    case ptfsSingle: {
      RECT outline{r.left, r.top, r.right + 1, r.bottom + 1};
      ::FrameRect(dc, &outline, ::GetSysColorBrush(COLOR_WINDOWFRAME));
      ::InflateRect(&r, -1, -1);
      break;
    }
    case ptfsHorzLine: EtchedHorizontal(dc, r.left, r.right, r.top); break;
    case ptfsHorzEdge:
      EtchedHorizontal(dc, r.left, r.right, r.top);
      EtchedHorizontal(dc, r.left, r.right, r.bottom - 1);
      break;
    case ptfsVertLine: EtchedVertical(dc, r.left, r.top, r.bottom); break;
    case ptfsVertEdge:
      EtchedVertical(dc, r.left, r.top, r.bottom);
      EtchedVertical(dc, r.right - 1, r.top, r.bottom);
      break;
    default: break;
  }
}

void TPTCustomFrame::Paint(TCanvas& canvas) {
  HDC dc = canvas.Handle();
  RECT client = ClientRect();
  if (color_ != clNone) {
    canvas.Brush().Color = color_;
    canvas.Brush().Style = TBrushStyle::bsSolid;
    if (default_drawing_) canvas.FillRect(client);
  }
  canvas.Brush().Style = TBrushStyle::bsClear;
  RECT r{0, 0, client.right - 1, client.bottom - 1};
  canvas.Font() = font_;

  if (frame_style_ == ptfsGroup) {
    PaintGroup(canvas, r);
    return;
  }
  PaintEdges(dc, r);

  if (default_drawing_) {
    RECT text = r;
    text.left += frame_space_;
    text.right -= frame_space_;
    canvas.PrepareText();
    DrawCaption(dc, caption_, text, AlignmentFlag(alignment_) | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  }
  if (OnPaint) FireEvent(OnPaint, this, canvas);
}

void TPTCustomFrame::PaintGroup(TCanvas& canvas, const RECT& r) {
  HDC dc = canvas.Handle();
  canvas.Brush().Style = TBrushStyle::bsSolid;
  canvas.Brush().Color = color_ == clNone ? clBtnFace : color_;
  canvas.FillRect(RECT{r.left, r.top, r.right + 1, r.bottom + 1});
  int text_height = canvas.TextHeight("0");
  int top = caption_.empty() ? 1 : text_height / 2;
  RECT highlight{r.left + 1, top + 1, r.right + 1, r.bottom + 1};
  ::FrameRect(dc, &highlight, ::GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  RECT shadow{r.left, top, r.right, r.bottom};
  ::FrameRect(dc, &shadow, ::GetSysColorBrush(COLOR_BTNSHADOW));
  if (caption_.empty()) return;

  // The caption sits on its own patch of background, cut out of the top line.
  const UINT flags = DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS;
  RECT text{r.left + 8, 0, r.right - 8, text_height};
  RECT measured = text;
  canvas.PrepareText();
  std::string copy = caption_;
  ::DrawTextExA(dc, copy.data(), -1, &measured, flags | DT_CALCRECT, nullptr);
  if (measured.right < text.right) text.right = measured.right;
  canvas.FillRect(text);
  canvas.Brush().Style = TBrushStyle::bsClear;
  canvas.PrepareText();
  if (enabled_) {
    DrawCaption(dc, caption_, text, flags);
  } else {
    RECT lower = text;
    ::OffsetRect(&lower, 1, 1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawCaption(dc, caption_, lower, flags);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    DrawCaption(dc, caption_, text, flags);
  }
}

bool TPTCustomFrame::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Alignment") {
    static const std::vector<std::string> kAlignments = {"taLeftJustify", "taRightJustify", "taCenter"};
    SetAlignment(static_cast<TAlignment>(context.Enum(value, kAlignments)));
  } else if (name == "DefaultDrawing") {
    SetDefaultDrawing(context.Boolean(value));
  } else if (name == "FrameSpace") {
    SetFrameSpace(context.Integer(value));
  } else if (name == "FrameStyle") {
    SetFrameStyle(static_cast<TPTFrameStyle>(context.Enum(value, FrameStyleNames())));
  } else {
    return TGraphicControl::SetProperty(name, value, context);
  }
  return true;
}

void RegisterFrameControl() { RegisterFormClass<TPTFrame>("TPTFrame"); }

}  // namespace stampwell
