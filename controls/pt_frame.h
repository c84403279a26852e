#pragma once
// The status-line control: a windowless control that draws one line of text inside one of
// eleven frames. TPTCustomFrame is the behaviour, TPTFrame the class that form resources name.

#include <functional>

#include "controls/frame_style.h"
#include "framework/std_controls.h"

namespace stampwell {

// Fired after the control has painted itself, with the canvas it painted on.
using TPTFramePaintEvent = std::function<void(TObject* aSender, TCanvas& aCanvas)>;

class TPTCustomFrame : public TGraphicControl {
 public:
  explicit TPTCustomFrame(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  // Fill the background and draw the caption; off, only the frame and OnPaint draw.
  bool DefaultDrawing() const { return default_drawing_; }
  void SetDefaultDrawing(bool on) { default_drawing_ = on; }
  // The caption's margin inside the frame on the left and on the right, in pixels.
  int FrameSpace() const { return frame_space_; }
  void SetFrameSpace(int space);
  TPTFrameStyle FrameStyle() const { return frame_style_; }
  void SetFrameStyle(TPTFrameStyle style);
  TPTFramePaintEvent OnPaint;

  void Paint(TCanvas& canvas) override;
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  // Text, colour and font live inside the frame: only that part is painted again.
  void TextChanged() override { InvalidateInside(); }
  void ColorChanged() override { InvalidateInside(); }
  void FontChanged() override { InvalidateInside(); }
  void InvalidateInside();

 private:
  void PaintGroup(TCanvas& canvas, const RECT& r);
  void PaintEdges(HDC dc, RECT& r) const;

  TAlignment alignment_ = TAlignment::taCenter;
  bool default_drawing_ = true;
  int frame_space_ = 2;
  TPTFrameStyle frame_style_ = ptfsLowered;
};

class TPTFrame : public TPTCustomFrame {
 public:
  using TPTCustomFrame::TPTCustomFrame;
};

// Makes "TPTFrame" known to the form reader; idempotent.
void RegisterFrameControl();

}  // namespace stampwell
