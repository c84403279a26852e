#pragma once
// The fixture of the wizard window's tests: a wizard shown in the foreground, its first paint
// done; afterwards the application left as if the window had never been.
#include <gtest/gtest.h>

#include <memory>

#include "framework/application.h"
#include "wizard/form1.h"
#include "wizard_test_support.h"

namespace stampwell::wizard::testing {

class ShownWizard : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = std::make_unique<TForm1>();
    form_->Show();
    ::SetForegroundWindow(form_->hwnd());
    Pump(150, form_->hwnd());
  }
  void TearDown() override {
    if (Application().MainForm() == form_.get()) Application().SetMainForm(nullptr);
    form_.reset();
    Pump(50);
    TakeQuit();
    Application().ClearTerminated();
  }
  std::unique_ptr<TForm1> form_;
};

}  // namespace stampwell::wizard::testing
