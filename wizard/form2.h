#pragma once
// TForm2, the licence window: an ordinary captioned window with the licence agreement as
// read-only rich text and a File menu with Exit. It is created hidden, shown by the wizard's
// licence link, and closing it only hides it.

#include <windows.h>

#include "framework/unique_handle.h"

namespace stampwell::wizard {

class TForm2 {
 public:
  static constexpr int kWidth = 616;
  static constexpr int kHeight = 572;
  static constexpr int kTitleLength = 26;  // "END USER LICENSE AGREEMENT"
  static constexpr int kTitlePoints = 20;

  // Throws std::runtime_error when the window or its rich edit cannot be made.
  TForm2();
  ~TForm2();
  TForm2(const TForm2&) = delete;
  TForm2& operator=(const TForm2&) = delete;

  HWND hwnd() const noexcept { return window_.get(); }
  HWND RichEdit1() const noexcept { return rich_edit_; }

  // Label10Click: centred on the primary screen, shown, not modal.
  void ShowCentred();
  void Hide();

  void FormActivate();
  void Exit1Click();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);

  unique_hmodule rich_edit_library_;
  unique_hwnd window_;
  unique_hfont font_;
  HWND rich_edit_ = nullptr;
};

}  // namespace stampwell::wizard
