#pragma once
// The folder browse dialog component. A window's form resource may hold one; the host sets its
// properties, gives it the starting folder as a path, calls Execute and on success reads the
// chosen folder back. Each Execute builds a fresh TPTFrmFolderBrowseDlg, configures it, shows it
// modally, copies the window's size, state and (on OK) the chosen folder back, and frees it. The
// geometry carries over from one Execute to the next; nothing is written to disk.
//
// TPTDialog is the base of modal dialog components (geometry, title, notification events, the
// re-entry guard, the execution frame); TPTCustomFolderBrowseDlg holds the folder browsing;
// TPTFolderBrowseDlg is the class that form resources name.

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/events.h"
#include "framework/form_text.h"
#include "framework/forms.h"
#include "shellbrowse/folderbrowse/folder_browse_options.h"
#include "shellbrowse/folderbrowse/folder_browse_window.h"
#include "shellbrowse/locator/shell_locator.h"

namespace stampwell {

class TPTDialog : public TComponent {
 public:
  explicit TPTDialog(TComponent* owner);

  // Outer size to give the window; 0 or less keeps the size of its design.
  int FormWidth = -1;
  int FormHeight = -1;
  TWindowState FormWindowState = TWindowState::wsNormal;
  // The caption; empty means the standard "Browse for Folder".
  std::string Title;
  // Fired once the window exists and is configured, before it shows; the sender is the component.
  TNotifyEvent OnInitialized;
  // Handed to the window: fired when it shows / hides; the sender is the window.
  TNotifyEvent OnFormShow;
  TNotifyEvent OnFormClose;

  bool Executing() const { return executing_; }
  // Shows the window modally; true when the user closed it with OK. Raises "<class name>
  // already executing" when called again while it runs (from one of its own events).
  bool Execute();

  // The geometry as a 9-byte record (dialog_form_state.h), for hosts that keep it between runs.
  // Reading takes the record from the front of `stream` and moves past it; a short record or
  // an unknown window state raises and changes nothing.
  virtual void ReadFormState(std::span<const std::uint8_t>& stream);
  virtual void WriteFormState(std::vector<std::uint8_t>& stream) const;

  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;

 protected:
  virtual bool DoExecute() = 0;

 private:
  bool executing_ = false;
};

class TPTCustomFolderBrowseDlg : public TPTDialog {
 public:
  explicit TPTCustomFolderBrowseDlg(TComponent* owner);
  ~TPTCustomFolderBrowseDlg() override;

  // The window while Execute shows it; null otherwise.
  TPTFrmFolderBrowseDlg* ActiveForm() const { return active_form_; }
  // The root of the tree; empty is the desktop. Assigning copies.
  TPTShellLocator& BaseFolder() { return base_folder_; }
  void SetBaseFolder(const TPTShellLocator& folder) { base_folder_.Assign(&folder); }
  TPTFolderBrowseDlgOptions Options = kDefaultFolderBrowseDlgOptions;
  TPTShAddItemEvent OnAddItem;
  TPTFolderBrowseSelChangeEvent OnSelChange;
  // The text of the window's status line.
  std::string StatusText;
  // The folder to select when the window opens, and the one chosen when it closes with OK.
  TPTShellLocator& SelectedFolder() { return selected_folder_; }
  TPTShTvCustomDrawEvent OnTvCustomDrawSh;
  TPTShTvCustomDrawEvent OnTvCustomDrawShEx;

  // SelectedFolder as a path: empty for a folder without one; a path that names nothing that
  // exists selects the desktop.
  std::string SelectedPath() { return selected_folder_.Path(); }
  // The same whole, in UTF-16: a folder whose name the code page cannot hold keeps it.
  std::wstring SelectedWidePath() { return selected_folder_.WidePath(); }
  void SetSelectedPath(const std::string& path) { selected_folder_.SetPath(path); }

  bool SetProperty(const std::string& name, const FormValue& value, FormReadContext& context) override;
  // The published properties that differ from their defaults, as a form resource holds them.
  void WriteProperties(FormObject& object);

 protected:
  bool DoExecute() override;
  virtual TPTFrmFolderBrowseDlg* CreateForm();
  virtual void InitForm(TPTFrmFolderBrowseDlg& form);
  virtual void DoInitialized();
  virtual void SaveFormState(TPTFrmFolderBrowseDlg& form);

 private:
  TPTFrmFolderBrowseDlg* active_form_ = nullptr;
  TPTShellLocator base_folder_;
  TPTShellLocator selected_folder_;
};

class TPTFolderBrowseDlg : public TPTCustomFolderBrowseDlg {
 public:
  using TPTCustomFolderBrowseDlg::TPTCustomFolderBrowseDlg;
};

// Makes "TPTFolderBrowseDlg" known to the form reader; idempotent.
void RegisterFolderBrowseDlgClass();

}  // namespace stampwell
