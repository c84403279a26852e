#pragma once
// The mutex that marks a setup of this product as running (app/setup_instance.h names it).

#include "framework/unique_handle.h"

namespace stampwell {

struct SetupRunningMutex {
  unique_handle handle;          // held until the process ends; null when it could not be made
  bool another_running = false;  // another setup of this product held it first
};

// Opens or creates the mutex; the handle keeps it alive for as long as it is held.
SetupRunningMutex HoldSetupRunningMutex();

}  // namespace stampwell
