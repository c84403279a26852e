#pragma once
// One wizard at a time: two setups writing the same folder, shortcuts and uninstall entry
// would leave a mixture of both. A second start (a double click on a slow elevation prompt)
// finds the setup's mutex held (app/setup_running_mutex.h) and shows the first one's window
// instead.

namespace stampwell {

// Brings the other setup's wizard to the front, with the box it shows if any; false when no
// such window is found (the other setup has not made it yet, or has hidden it to finish).
bool BringRunningSetupToFront();

}  // namespace stampwell
