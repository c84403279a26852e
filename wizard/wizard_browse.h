#pragma once
// Browse on the wizard's folder page: the folder browse dialog starts from the folder field's
// text and, when the user chooses a folder, puts its path into the field; either way the
// free-space label is refreshed from the field. Bound to the wizard window from outside, like
// the install run (app/wizard_install.h), so that it needs nothing of TForm1 but the pieces
// below and can be tested without it.

#include <windows.h>

#include <functional>
#include <string>

#include "framework/events.h"

namespace stampwell {

class TEdit;
class TPTFolderBrowseDlg;

// What Button_browseClick works with.
struct WizardBrowseParts {
  // The folder field Edit1: its text, and setting it whole (which fires the field's change
  // handler): a chosen folder whose name the code page cannot hold reaches the field as it is,
  // to be refused by the install run as a typed one is.
  std::function<std::string()> folder_text;
  std::function<void(const std::wstring&)> set_folder_text;
  // The free-space label Label36.
  std::function<void(const std::string&)> set_free_space_text;
  // FolderBrowseDlg1; must outlive the binding.
  TPTFolderBrowseDlg* dialog = nullptr;
  // Processes the pending window messages once; the application's when empty.
  std::function<void()> process_messages;
};

// The folder field as an edit window (the wizard window's Edit1 handle) or as a framework edit.
void UseFolderField(WizardBrowseParts& parts, HWND edit);
void UseFolderField(WizardBrowseParts& parts, TEdit& edit);

// The click handler itself. An error from the free-space text is not caught: it reaches the
// caller's guard after the field was updated.
void Button_browseClick(const WizardBrowseParts& parts);

// Assigns Button_browseClick over `parts` to the Browse button's click event, either kind.
void BindBrowseButton(std::function<void()>& click, WizardBrowseParts parts);
void BindBrowseButton(TNotifyEvent& click, WizardBrowseParts parts);

}  // namespace stampwell
