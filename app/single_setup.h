#pragma once
// One setup at a time: two setups writing the same folder, shortcuts and uninstall entry
// would leave a mixture of both. A second start (a double click on a slow elevation prompt)
// shows the first one's window instead and ends.

#include "framework/unique_handle.h"

namespace stampwell {

struct SetupRunningClaim {
  unique_handle mutex;       // held for the process's life; empty when the claim failed
  bool another_runs = false;  // the mutex was there already: another setup holds it
};

// Takes the setup's mutex (app/setup_running_mutex.h). A mutex that cannot be made at all
// does not keep the setup from running: another_runs is then false.
SetupRunningClaim ClaimSetupRunning();

// Brings the other setup's wizard to the front, with the box it shows if any; false when no
// such window is found (the other setup has not made it yet, or has hidden it to finish).
bool BringRunningSetupToFront();

}  // namespace stampwell
