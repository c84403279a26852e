#pragma once
// Starts what the finish page opens (the product's web page, the installed product) as the
// signed-in user rather than with the setup's own token.
//
// The setup runs elevated, and whatever it starts itself inherits its administrator token: the
// user's browser and the product would then run with administrator rights. The desktop's shell
// runs with the user's own, unelevated token, so a request handed to it starts the program as
// the user. The way there is the shell's automation: the shell window of the desktop
// (IShellWindows::FindWindowSW with SWC_DESKTOP), its browser, its active view, the view's
// background object and that object's application, IShellDispatch2, whose ShellExecute runs in
// the shell's process. Where no desktop shell answers (none runs, or any step fails), the
// program is started directly as before, so that the user still gets it.

#include <windows.h>
#include <shldisp.h>
#include <wrl/client.h>

#include <string>

namespace stampwell::wizard {

// Walks from the desktop's shell window down to the shell's IShellDispatch2. Returns the
// failure of the first step that fails (S_FALSE when no desktop shell window is registered).
HRESULT FindDesktopShellDispatch(IShellDispatch2** shell);

class UserStart {
 public:
  // Asks for the desktop shell once; every Open then goes through it while it answers.
  static UserStart Find();

  // Whether the desktop shell answered the search.
  bool ThroughDesktopShell() const { return shell_ != nullptr; }

  // ShellExecute of file with verb (nullptr: the default verb), no parameters and no working
  // folder: through the desktop shell when it answered and accepts the request, otherwise
  // directly, with owner as the owner window. The outcome of the start itself is not reported.
  void Open(HWND owner, const char* verb, const std::string& file, int show) const;

 private:
  explicit UserStart(Microsoft::WRL::ComPtr<IShellDispatch2> shell) : shell_(std::move(shell)) {}
  HRESULT OpenThroughShell(const char* verb, const std::string& file, int show) const;

  Microsoft::WRL::ComPtr<IShellDispatch2> shell_;
};

}  // namespace stampwell::wizard
