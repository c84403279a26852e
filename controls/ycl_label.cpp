#include "controls/ycl_label.h"

#include "framework/form_reader.h"

namespace stampwell {

TYCLLabel::TYCLLabel(TComponent* owner) : TLabel(owner) {
  // The box keeps the size it is given.
  auto_size_ = false;
}

void TYCLLabel::SetCenter(bool center) {
  center_ = center;
  Repaint();
}

void TYCLLabel::Paint(TCanvas& canvas) {
  // Colour, size in points, face and style; the character set is not copied.
  TFont& font = canvas.Font();
  font.SetColor(font_.Color());
  font.SetSize(font_.Size());
  font.SetName(font_.Name());
  font.SetStyle(font_.Style());
  canvas.Brush().Color = color_;
  canvas.Brush().Style = transparent_ ? TBrushStyle::bsClear : TBrushStyle::bsSolid;
  RECT box{0, 0, width_, height_};
  canvas.FillRect(box);
  canvas.PrepareText();
  UINT format = DT_END_ELLIPSIS | (center_ ? DT_CENTER : 0);
  ::DrawTextExA(canvas.Handle(), const_cast<char*>(caption_.c_str()), -1, &box, format, nullptr);
}

bool TYCLLabel::SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) {
  if (name == "Center") SetCenter(context.Boolean(value));
  else return TLabel::SetProperty(name, value, context);
  return true;
}

}  // namespace stampwell
