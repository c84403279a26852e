#pragma once
// The product's display name is the wizard window's caption, read at each use.

#include <windows.h>

#include <string>

namespace stampwell {

// The wizard window once it exists (it is the application's main window); null before.
HWND WizardWindow();
void SetWizardWindow(HWND window);

// The wizard window's caption now; the built-in product name before the window exists.
std::string ProductTitle();

}  // namespace stampwell
