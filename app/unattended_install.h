#pragma once
// An unattended installation (/SILENT, /VERYSILENT): the install run as Quick Install makes
// it, or into /DIR itself, with no question, no message box, no web page and no start of the
// product. What a wizard would have said goes to the run log (/LOG); the outcome is the
// process's exit code.

#include "setup/command_line.h"

namespace stampwell {
namespace wizard {
class TForm1;
}

// Installs as options say and returns the exit code (setup/exit_codes.h). progress is the
// wizard window, already showing its progress page, for /SILENT; null for /VERYSILENT, which
// shows no window and makes no pause between files. another_setup_running: the run ends at
// once with kExitAnotherSetupRunning.
int RunUnattendedInstall(const SetupOptions& options, wizard::TForm1* progress, bool another_setup_running);

}  // namespace stampwell
