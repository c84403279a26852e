#pragma once
// The transparent label: draws its caption itself with the system text routine, so that it
// can lie over a picture, be centred in a fixed box and end in an ellipsis when too long.

#include "framework/std_controls.h"

namespace stampwell {

class TYCLLabel : public TLabel {
 public:
  explicit TYCLLabel(TComponent* owner);

  bool Center() const { return center_; }
  void SetCenter(bool center);

  void Paint(TCanvas& canvas) override;
  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  void TextChanged() override { Repaint(); }

 private:
  bool center_ = false;
};

}  // namespace stampwell
