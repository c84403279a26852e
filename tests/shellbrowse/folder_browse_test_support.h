#pragma once
// Helpers of the browse dialog's Wine tests: steps run from inside the dialog's modal loop while
// its window is up, and a scratch folder tree to browse.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/application.h"
#include "shellbrowse/folderbrowse/folder_browse_dialog.h"
#include "tests/shellbrowse/shell_test_support.h"

namespace stampwell::testing {

// Runs `steps` one per timer tick from inside `dialog`'s modal loop, each only while its window
// is shown, in order; the last one is expected to close the window. Should a test forget to, the
// window is closed after about four seconds of nothing to do, so a failure never hangs the run.
class ModalDriver {
 public:
  using Step = std::function<void(TPTFrmFolderBrowseDlg& form)>;
  ModalDriver(TPTCustomFolderBrowseDlg& dialog, std::vector<Step> steps) : dialog_(dialog), steps_(std::move(steps)) {
    current_ = this;
    timer_ = ::SetTimer(nullptr, 0, 40, &ModalDriver::Tick);
  }
  ModalDriver(const ModalDriver&) = delete;
  ModalDriver& operator=(const ModalDriver&) = delete;
  ~ModalDriver() {
    ::KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  size_t StepsRun() const { return next_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalDriver* self = current_;
    if (!self || self->busy_) return;
    TPTFrmFolderBrowseDlg* form = self->dialog_.ActiveForm();
    if (!form || !::IsWindowVisible(form->Handle())) return;
    if (self->next_ < self->steps_.size()) {
      self->busy_ = true;
      self->steps_[self->next_++](*form);
      self->busy_ = false;
    } else if (++self->idle_ticks_ > 100) {
      ADD_FAILURE() << "the window was still open after the last step";
      ::PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    }
  }

  TPTCustomFolderBrowseDlg& dialog_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  int idle_ticks_ = 0;
  bool busy_ = false;
  UINT_PTR timer_ = 0;
  static inline ModalDriver* current_ = nullptr;
};

// Executes `dialog` with `steps` driving its window.
inline bool ExecuteWith(TPTCustomFolderBrowseDlg& dialog, std::vector<ModalDriver::Step> steps) {
  ModalDriver driver(dialog, std::move(steps));
  return dialog.Execute();
}

// The closing steps, as the user's keys and the close box give them.
inline void PressOk(TPTFrmFolderBrowseDlg& form) { ::PostMessageA(form.Handle(), WM_COMMAND, IDOK, 0); }
inline void PressEscape(TPTFrmFolderBrowseDlg& form) { ::PostMessageA(form.Handle(), WM_COMMAND, IDCANCEL, 0); }
inline void CloseBox(TPTFrmFolderBrowseDlg& form) { ::PostMessageA(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }

// The node of the tree whose folder has `path` (compared without case), searched among the
// nodes made so far; null when none.
inline TTreeNode* NodeOfPath(TPTShellTree& tree, const std::string& path) {
  for (TTreeNode* node = tree.Items().GetFirstNode(); node; node = node->GetNext()) {
    TPTShTreeData* data = tree.NodeData(node);
    if (data && ::lstrcmpiA(data->Path().c_str(), path.c_str()) == 0) return node;
  }
  return nullptr;
}

// The first node made so far whose folder has no file-system path (a virtual folder); null
// when none.
inline TTreeNode* VirtualNode(TPTShellTree& tree) {
  for (TTreeNode* node = tree.Items().GetFirstNode(); node; node = node->GetNext()) {
    TPTShTreeData* data = tree.NodeData(node);
    if (data && node->AbsoluteIndex() != 0 && data->Path().empty()) return node;
  }
  return nullptr;
}

// A scratch folder with the subfolders "Alpha" and "Beta", removed at the end of the scope.
class BrowseFolders {
 public:
  explicit BrowseFolders(const std::string& name) : root_(name) {
    ::CreateDirectoryA(Alpha().c_str(), nullptr);
    ::CreateDirectoryA(Beta().c_str(), nullptr);
  }
  const std::string& Root() const { return root_.path(); }
  std::string Alpha() const { return root_.path() + "\\Alpha"; }
  std::string Beta() const { return root_.path() + "\\Beta"; }

 private:
  ScratchDirectory root_;
};

}  // namespace stampwell::testing
