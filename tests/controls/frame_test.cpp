// The status-line frame drawn on a real window's memory surface: the rings of each frame style
// where the pixels lie, the caption's placement and ellipsis, what a change of text repaints,
// drawing without the default, and the frame as a form resource gives it.
#include <gtest/gtest.h>

#include <memory>

#include "controls/frame_style.h"
#include "controls/pt_frame.h"
#include "framework/application.h"
#include "framework/form_text.h"
#include "framework/forms.h"

namespace stampwell {
namespace {

const COLORREF kBack = RGB(10, 200, 10);  // no system colour: every ring stands out from it

COLORREF Sys(int index) { return ::GetSysColor(index); }

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<TForm>(nullptr);
    form_->SetBorderStyle(TFormBorderStyle::bsNone);
    form_->SetBounds(0, 0, 200, 100);
    form_->SetColor(static_cast<TColor>(kBack));
    // Shown: the system keeps no update region for a hidden window.
    form_->Show();
    frame_ = new TPTFrame(form_.get());
    frame_->SetParent(form_.get());
    frame_->SetBounds(10, 10, 40, 20);
    form_->Font().SetColor(clBlack);
  }
  COLORREF At(int x, int y) {
    form_->PaintSurface();
    return form_->SurfacePixel(frame_->Left() + x, frame_->Top() + y);
  }
  // The leftmost / rightmost column of the frame with a black pixel, or -1.
  int InkColumn(bool leftmost) {
    form_->PaintSurface();
    for (int i = 0; i < frame_->Width(); ++i) {
      int x = leftmost ? i : frame_->Width() - 1 - i;
      for (int y = 0; y < frame_->Height(); ++y) {
        if (form_->SurfacePixel(frame_->Left() + x, frame_->Top() + y) == RGB(0, 0, 0)) return x;
      }
    }
    return -1;
  }
  RECT UpdateRectAfter(const std::function<void()>& change) {
    form_->PaintSurface();
    ::ValidateRect(form_->Handle(), nullptr);
    change();
    RECT r{};
    ::GetUpdateRect(form_->Handle(), &r, FALSE);
    return r;
  }
  std::unique_ptr<TForm> form_;
  TPTFrame* frame_ = nullptr;
};

TEST_F(FrameTest, DefaultsAreALoweredCentredFrameOf64By48) {
  TPTFrame fresh(nullptr);
  EXPECT_EQ(fresh.Width(), 64);
  EXPECT_EQ(fresh.Height(), 48);
  EXPECT_EQ(fresh.FrameStyle(), ptfsLowered);
  EXPECT_EQ(fresh.Alignment(), TAlignment::taCenter);
  EXPECT_EQ(fresh.FrameSpace(), 2);
  EXPECT_TRUE(fresh.DefaultDrawing());
}

TEST_F(FrameTest, BevelsDrawTheirRingsInTheSystemColours) {
  ASSERT_NE(Sys(COLOR_BTNSHADOW), Sys(COLOR_3DDKSHADOW));
  ASSERT_NE(Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNFACE));
  frame_->SetFrameStyle(ptfsLowered);
  EXPECT_EQ(At(0, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(5, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(1, 1), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(At(1, 10), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(At(38, 18), Sys(COLOR_BTNFACE));
  EXPECT_EQ(At(39, 19), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(39, 5), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(0, 19), Sys(COLOR_BTNHIGHLIGHT));  // the corner belongs to the bottom side
  EXPECT_EQ(At(2, 2), kBack);                      // inside: the control's colour

  frame_->SetFrameStyle(ptfsRaised);
  EXPECT_EQ(At(0, 0), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(1, 1), Sys(COLOR_BTNFACE));
  EXPECT_EQ(At(38, 18), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(39, 19), Sys(COLOR_3DDKSHADOW));

  frame_->SetFrameStyle(ptfsDint);
  EXPECT_EQ(At(0, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(39, 19), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(1, 1), kBack);
  frame_->SetFrameStyle(ptfsBump);
  EXPECT_EQ(At(0, 0), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(39, 19), Sys(COLOR_BTNSHADOW));
  frame_->SetFrameStyle(ptfsSingle);
  EXPECT_EQ(At(0, 0), Sys(COLOR_WINDOWFRAME));
  EXPECT_EQ(At(39, 19), Sys(COLOR_WINDOWFRAME));
  EXPECT_EQ(At(1, 1), kBack);
  frame_->SetFrameStyle(ptfsNone);
  EXPECT_EQ(At(0, 0), kBack);
  EXPECT_EQ(At(39, 19), kBack);
}

TEST_F(FrameTest, EtchedLinesAreShadowThenHighlightOnTheirSides) {
  frame_->SetFrameStyle(ptfsHorzLine);
  EXPECT_EQ(At(20, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(20, 1), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(20, 19), kBack);
  EXPECT_EQ(At(0, 10), kBack);
  frame_->SetFrameStyle(ptfsHorzEdge);
  EXPECT_EQ(At(20, 18), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(20, 19), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(20, 17), kBack);
  frame_->SetFrameStyle(ptfsVertLine);
  EXPECT_EQ(At(0, 10), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(1, 10), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(39, 10), kBack);
  frame_->SetFrameStyle(ptfsVertEdge);
  EXPECT_EQ(At(38, 10), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(39, 10), Sys(COLOR_BTNHIGHLIGHT));
}

TEST_F(FrameTest, TheGroupFramesTopLiesAtHalfTheTextHeightAndTheCaptionCutsIt) {
  frame_->SetBounds(10, 10, 120, 60);
  frame_->SetFrameStyle(ptfsGroup);
  EXPECT_EQ(At(60, 1), Sys(COLOR_BTNSHADOW));  // empty caption: the top at 1
  frame_->SetCaption("Group");
  HDC dc = form_->SurfaceDC();
  HGDIOBJ old = ::SelectObject(dc, frame_->Font().Handle());
  SIZE zero{};
  ::GetTextExtentPoint32A(dc, "0", 1, &zero);
  ::SelectObject(dc, old);
  int top = zero.cy / 2;
  EXPECT_EQ(At(100, top), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(100, top + 1), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(At(0, 40), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(1, 40), Sys(COLOR_BTNHIGHLIGHT));
  // The caption's patch cuts the top line from 8 inside the edge to the caption's end.
  HGDIOBJ old2 = ::SelectObject(dc, frame_->Font().Handle());
  SIZE caption{};
  ::GetTextExtentPoint32A(dc, "Group", 5, &caption);
  ::SelectObject(dc, old2);
  form_->PaintSurface();
  for (int x = 8; x < 8 + caption.cx; ++x) {
    EXPECT_NE(form_->SurfacePixel(frame_->Left() + x, frame_->Top() + top), Sys(COLOR_BTNSHADOW)) << x;
  }
  EXPECT_EQ(At(7, top), Sys(COLOR_BTNSHADOW));
  EXPECT_GE(InkColumn(true), 8);
}

TEST_F(FrameTest, TheCaptionFollowsTheAlignmentInsideTheFrameSpaceAndEndsInAnEllipsis) {
  frame_->SetBounds(10, 10, 120, 20);
  frame_->SetFrameStyle(ptfsNone);
  frame_->SetCaption("Abc");
  frame_->SetAlignment(TAlignment::taLeftJustify);
  frame_->SetFrameSpace(0);
  int left0 = InkColumn(true);
  EXPECT_LE(left0, 2);  // the first letter's own side bearing
  frame_->SetFrameSpace(10);
  EXPECT_EQ(InkColumn(true), left0 + 10);
  frame_->SetAlignment(TAlignment::taRightJustify);
  EXPECT_GE(InkColumn(false), 119 - 10 - 2);
  EXPECT_LE(InkColumn(false), 119 - 10);
  frame_->SetAlignment(TAlignment::taCenter);
  int l = InkColumn(true), r = InkColumn(false);
  EXPECT_NEAR((l + r) / 2, 60, 2);

  // Too long for the line: shortened, never past the margin.
  frame_->SetAlignment(TAlignment::taLeftJustify);
  frame_->SetCaption("A very long status line that cannot fit into the frame at all");
  EXPECT_LE(InkColumn(false), 119 - 10);
}

TEST_F(FrameTest, ATextChangeRepaintsOnlyInsideTheFrameAndAStyleChangeRepaintsAll) {
  frame_->SetFrameStyle(ptfsLowered);
  RECT r = UpdateRectAfter([&] { frame_->SetCaption("x"); });
  EXPECT_EQ(r.left, 12);
  EXPECT_EQ(r.top, 12);
  EXPECT_EQ(r.right, 48);
  EXPECT_EQ(r.bottom, 28);
  frame_->SetFrameStyle(ptfsHorzEdge);
  r = UpdateRectAfter([&] { frame_->SetCaption("y"); });
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 12);
  EXPECT_EQ(r.right, 50);
  EXPECT_EQ(r.bottom, 28);
  frame_->SetFrameStyle(ptfsVertLine);
  r = UpdateRectAfter([&] { frame_->SetColor(clWhite); });
  EXPECT_EQ(r.left, 12);
  EXPECT_EQ(r.right, 50);
  r = UpdateRectAfter([&] { frame_->SetAlignment(TAlignment::taRightJustify); });
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 10);
  EXPECT_EQ(r.right, 50);
  EXPECT_EQ(r.bottom, 30);
}

TEST_F(FrameTest, WithoutDefaultDrawingOnlyTheFrameAndOnPaintDraw) {
  frame_->SetColor(clWhite);
  frame_->SetCaption("MMMMM");
  frame_->SetDefaultDrawing(false);
  int painted = 0;
  frame_->OnPaint = [&](TObject* sender, TCanvas& canvas) {
    EXPECT_EQ(sender, frame_);
    ++painted;
    ::SetPixel(canvas.Handle(), 5, 5, RGB(1, 2, 3));
  };
  EXPECT_EQ(At(10, 10), kBack);  // no fill, no caption: the parent shows through
  EXPECT_EQ(InkColumn(true), -1);
  EXPECT_EQ(At(0, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(At(5, 5), RGB(1, 2, 3));
  EXPECT_GT(painted, 0);
}

TEST_F(FrameTest, AFormResourceSetsTheFramesProperties) {
  RegisterFrameControl();
  TForm form(nullptr);
  form.LoadFromText(
      "object F: TForm\n"
      "  object StatusTxt: TPTFrame\n"
      "    Left = 8\n    Top = 8\n    Width = 281\n    Height = 17\n"
      "    Alignment = taLeftJustify\n    FrameSpace = 0\n    FrameStyle = ptfsNone\n"
      "    DefaultDrawing = False\n    Caption = 'Status'\n"
      "  end\n"
      "end\n",
      "TEST_FRAME");
  TPTFrame& frame = form.Field<TPTFrame>("StatusTxt");
  EXPECT_EQ(frame.Alignment(), TAlignment::taLeftJustify);
  EXPECT_EQ(frame.FrameSpace(), 0);
  EXPECT_EQ(frame.FrameStyle(), ptfsNone);
  EXPECT_FALSE(frame.DefaultDrawing());
  EXPECT_EQ(frame.Width(), 281);
  EXPECT_EQ(frame.Caption(), "Status");
  EXPECT_THROW(form.LoadFromText("object G: TForm\n  object S: TPTFrame\n    FrameStyle = ptfsSunken\n  end\nend\n", "BAD"),
               FormError);
}

}  // namespace
}  // namespace stampwell
