#pragma once
// TForm1, the wizard window: borderless, 600 x 350, five pages switched only by code.
//
// Contract for the install run and the Browse button, which live in other modules:
// - Button_QuickInstallClick, Button_installClick and Button_browseClick are events that the
//   owning module assigns after creation; a click fires one only when it is set.
// - The controls that the install run reads and writes are reached through the accessors
//   below; ShowPage() switches pages (WizardPage 0..4, see kChoicePage...).

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "framework/unique_handle.h"
#include "wizard/page.h"

namespace stampwell::wizard {

class TForm2;

class TForm1 {
 public:
  static constexpr int kChoicePage = 0;
  static constexpr int kLicencePage = 1;
  static constexpr int kFolderPage = 2;
  static constexpr int kProgressPage = 3;
  static constexpr int kFinishPage = 4;
  static constexpr int kProgressFillWidth = 392;

  // Creates the window and its controls and runs FormCreate; the window stays hidden until
  // Show(). Throws std::runtime_error when a control or a picture cannot be made.
  TForm1();
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  HWND hwnd() const noexcept { return window_.get(); }
  void Show();
  // The licence window that Label10 opens and the finish step hides; owned by the caller.
  void SetLicenceWindow(TForm2* licence) noexcept { licence_ = licence; }

  // Events of other modules (see the contract above).
  std::function<void()> Button_QuickInstallClick;
  std::function<void()> Button_installClick;
  std::function<void()> Button_browseClick;

  // WizardPage.
  int ActivePage() const noexcept { return active_page_; }
  void ShowPage(int index);

  HWND Edit1() const noexcept { return edit1_; }
  HWND CheckBox1() const noexcept { return check_box1_; }  // desktop icon
  HWND CheckBox3() const noexcept { return check_box3_; }  // launch at finish
  HWND CheckBox4() const noexcept { return check_box4_; }  // Start Menu shortcuts
  HWND CheckBox5() const noexcept { return check_box5_; }  // licence acceptance
  HWND Edit2() const noexcept { return edit2_; }
  HWND Edit3() const noexcept { return edit3_; }
  HWND Memo1() const noexcept { return memo1_; }
  HWND Button17() const noexcept { return button17_; }
  HWND ProgressBar1() const noexcept { return progress_bar1_; }
  HWND Button14() const noexcept { return button14_; }
  HWND Button19() const noexcept { return button19_; }
  HWND ListBox1() const noexcept { return list_box1_; }  // PayloadManifest
  HWND ListBox2() const noexcept { return list_box2_; }  // InstallLog
  Page& page(int index) const { return *pages_.at(index); }
  PageLabel& Label(int number) const;  // Label1..Label4, 6, 9, 10, 36, 40, and 5 (label5)
  SkinButton& Button_QuickInstall() const { return *quick_install_; }
  SkinButton& Button_custominstall() const { return *custom_install_; }
  SkinButton& Button_install() const { return *install_; }
  SkinButton& Button_browse() const { return *browse_; }
  SkinButton& Button_back() const { return *back_; }
  SkinButton& Button_finish() const { return *finish_; }
  SkinButton& CloseButton(int page) const;  // YCLButton1, 3, 4, 2 of pages 0..3

  // The progress fill of page 3 (Image14): 0..kProgressFillWidth pixels wide.
  int ProgressFillWidth() const noexcept;
  void SetProgressFillWidth(int width);
  // Label6, the time estimate of page 3.
  void SetTimeText(const std::string& text);
  // Label36, the free-space text of page 2 (hidden).
  void SetFreeSpaceText(const std::string& text);
  // The PageControl1 container: position and size in the window's client area.
  RECT PageControlBounds() const;
  bool TabVisible(int index) const noexcept { return tab_visible_.at(index); }

  // Handlers.
  void FormCreate();
  bool FormCloseQuery();
  void Image1MouseDown();
  void YCLButton1Click();
  void CheckBox5Enter();
  void Edit2Enter();
  void Button17Click();
  void Button_custominstallClick();
  void Edit1Change();
  void Button_backClick();
  void Button_finishClick();
  void Label10Click();

  // The default folder of Custom Install, without the product's own subfolder.
  static std::string DefaultCustomFolder();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  static LRESULT CALLBACK AcceptBoxProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  void CreateChoicePage();
  void CreateLicencePage();
  void CreateFolderPage();
  void CreateProgressPage();
  void CreateFinishPage();
  void OnCommand(HWND control, int code);
  HWND AddControl(Page& page, const char* window_class, const char* text, DWORD style, int left,
                  int top, int width, int height, HFONT font);

  unique_hwnd window_;
  HWND page_control_ = nullptr;
  std::array<std::unique_ptr<Page>, 5> pages_;
  std::array<bool, 5> tab_visible_{true, true, true, true, true};
  int active_page_ = -1;
  TForm2* licence_ = nullptr;

  unique_hfont form_font_;
  unique_hfont band_font_;
  unique_hfont title_font_;
  unique_hmodule common_controls_;
  WNDPROC accept_box_default_ = nullptr;
  HWND focus_on_deactivate_ = nullptr;
  bool restoring_focus_ = false;

  HWND edit1_ = nullptr, edit2_ = nullptr, edit3_ = nullptr, memo1_ = nullptr;
  HWND check_box1_ = nullptr, check_box3_ = nullptr, check_box4_ = nullptr, check_box5_ = nullptr;
  HWND button17_ = nullptr, button14_ = nullptr, button19_ = nullptr, progress_bar1_ = nullptr;
  HWND list_box1_ = nullptr, list_box2_ = nullptr;
  SkinButton* quick_install_ = nullptr;
  SkinButton* custom_install_ = nullptr;
  SkinButton* install_ = nullptr;
  SkinButton* browse_ = nullptr;
  SkinButton* back_ = nullptr;
  SkinButton* finish_ = nullptr;
  std::array<SkinButton*, 4> close_buttons_{};
  PageImage* progress_fill_ = nullptr;
  struct NamedLabel {
    int number;
    PageLabel* label;
    Page* page;
  };
  std::array<NamedLabel, 11> labels_{};
  size_t label_count_ = 0;
  PageLabel* AddNamedLabel(int number, Page& page, std::string caption, int left, int top,
                           int width, int height, unique_hfont font, COLORREF colour);
};

}  // namespace stampwell::wizard
