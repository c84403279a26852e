#pragma once
// The named mutex that a running setup holds from its start to its end. Whatever must know
// whether a setup runs already (a second start of the wizard, a start without one) asks by
// this name, so the name lives here alone.

namespace stampwell {

inline constexpr char kSetupRunningMutexName[] = "QuendraStampwellSetupRunning";

}  // namespace stampwell
