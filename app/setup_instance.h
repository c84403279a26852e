#pragma once
// The name of the mutex that every running setup of this product holds, so that a second
// one can tell that it would install over a run in progress.

namespace stampwell {

inline constexpr char kSetupRunningMutexName[] = "QuendraStampwellSetupRunning";

}  // namespace stampwell
