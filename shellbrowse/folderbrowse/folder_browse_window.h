#pragma once
// TPTFrmFolderBrowseDlg: the sizeable modal window of the folder browse dialog. It holds the
// shell tree, a status line, two small picture buttons (new folder, delete) and a row of push
// buttons; turns the dialog's options into settings of the tree and the buttons; lays its
// controls out on every resize above a minimum size; carries a size grip; enables Create and
// Delete by the selected folder and tells the dialog of every selection change.
//
// The dialog (folder_browse_dialog.h) makes one for each run, configures it, shows it modally
// and frees it. An error while the window is being shown (the tree cannot be filled) ends the
// modal display; ShowModalOrRaise then raises it to the caller.

#include <windows.h>
#include <shlobj.h>

#include <exception>
#include <functional>
#include <string>

#include "controls/pt_frame.h"
#include "framework/forms.h"
#include "framework/speed_button.h"
#include "framework/std_controls.h"
#include "shellbrowse/folderbrowse/folder_browse_options.h"
#include "shellbrowse/tree/shell_tree.h"

namespace stampwell {

// Fired on every change of the tree's selection; aNewSel is the absolute list of the newly
// selected node, owned by the tree and valid only during the call.
using TPTFolderBrowseSelChangeEvent = std::function<void(TObject* aSender, LPCITEMIDLIST aNewSel)>;

class TPTFrmFolderBrowseDlg : public TForm {
 public:
  // Reads the form resource "PTFrmFolderBrowseDlg"; the window exists, hidden, afterwards.
  explicit TPTFrmFolderBrowseDlg(TComponent* owner);
  ~TPTFrmFolderBrowseDlg() override;

  // The controls of the form resource.
  TPTShellTree* PTShellTree1 = nullptr;
  TPanel* ButtonPanel = nullptr;
  TButton* OkBtn = nullptr;
  TButton* CancelBtn = nullptr;
  TButton* CreateBtn = nullptr;
  TButton* DeleteBtn = nullptr;
  TSpeedButton* CreateNewFolderBtn = nullptr;
  TSpeedButton* DeleteFolderBtn = nullptr;
  TPTFrame* StatusTxt = nullptr;

  // Handlers named by the form resource.
  void FormResize(TObject* Sender);
  void PTShellTree1Change(TObject* Sender, TTreeNode* Node);
  void CreateBtnClick(TObject* Sender);
  void DeleteBtnClick(TObject* Sender);
  // Connected to nothing; kept for hosts that want a place to filter items.
  void PTShellTree1AddItem(TObject* aSender, IShellFolder* aParentIShf, LPCITEMIDLIST aParentAbsIdList,
                           LPCITEMIDLIST aItemRelIdList, ULONG aAttribs, BOOL& afAllowAdd) {}

  // The size-grip child window.
  HWND SizeGrip() const { return size_grip_; }
  // The options last applied; the layout reads them.
  TPTFolderBrowseDlgOptions Options() const { return options_; }
  // Turns the dialog's options into the tree's options and read-only state and the buttons'
  // visibility.
  virtual void ApplyOptions(TPTFolderBrowseDlgOptions options);
  // The texts of the buttons, the small buttons' hints and (when empty) the caption, from the
  // string table.
  virtual void LoadStrings();

  // Filled by the dialog; each fires only when set.
  TNotifyEvent ShowCallback;
  TNotifyEvent HideCallback;
  TPTFolderBrowseSelChangeEvent SelChangeCallback;

  // ShowModal, then raises what showing the window raised (the modal display ended with it).
  TModalResult ShowModalOrRaise();

 protected:
  void CreateWnd() override;
  void DoShow() override;
  void DoHide() override;
  void GetMinMaxInfo(MINMAXINFO& info) override;

 private:
  void LayOut();
  void UpgradePictures();

  HWND size_grip_ = nullptr;
  TPTFolderBrowseDlgOptions options_ = 0;
  std::exception_ptr show_error_;
};

// Makes the classes of the window's form resource (TPTShellTree, TPTFrame, TSpeedButton) known
// to the form reader; idempotent.
void RegisterFolderBrowseWindowClasses();

namespace seams {
// The screen's colour depth in bits per pixel; a test swaps it to see both picture sets.
using ScreenColorDepthFn = int (*)();
extern ScreenColorDepthFn ScreenColorDepth;
}  // namespace seams

}  // namespace stampwell
