#include "wizard/wizard_browse.h"

#include "framework/application.h"
#include "framework/std_controls.h"
#include "framework/window_text.h"
#include "setup/system_queries.h"
#include "shellbrowse/folderbrowse/folder_browse_dialog.h"

namespace stampwell {

void UseFolderField(WizardBrowseParts& parts, HWND edit) {
  parts.folder_text = [edit] { return WindowText(edit); };
  parts.set_folder_text = [edit](const std::wstring& text) { ::SetWindowTextW(edit, text.c_str()); };
}

void UseFolderField(WizardBrowseParts& parts, TEdit& edit) {
  parts.folder_text = [&edit] { return edit.HandleAllocated() ? WindowText(edit.HandleOrNull()) : edit.Text(); };
  parts.set_folder_text = [&edit](const std::wstring& text) { edit.SetWideText(text); };
}

void Button_browseClick(const WizardBrowseParts& parts) {
  TPTFolderBrowseDlg& dialog = *parts.dialog;
  dialog.SetSelectedPath(parts.folder_text());
  if (parts.process_messages) parts.process_messages();
  else Application().ProcessMessages();
  if (dialog.Execute()) parts.set_folder_text(dialog.SelectedWidePath());
  parts.set_free_space_text(GetFreeSpaceText(parts.folder_text()));
}

void BindBrowseButton(std::function<void()>& click, WizardBrowseParts parts) {
  click = [parts = std::move(parts)] { Button_browseClick(parts); };
}

void BindBrowseButton(TNotifyEvent& click, WizardBrowseParts parts) {
  click = [parts = std::move(parts)](TObject*) { Button_browseClick(parts); };
}

}  // namespace stampwell
