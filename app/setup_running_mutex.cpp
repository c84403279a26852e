#include "app/setup_running_mutex.h"

#include <windows.h>

#include "app/setup_instance.h"

namespace stampwell {

SetupRunningMutex HoldSetupRunningMutex() {
  SetupRunningMutex mutex;
  // Only the name's existence counts, not who owns it: a mutex that another setup made is
  // seen as soon as it is made, and goes with the last process that holds a handle to it.
  mutex.handle.reset(::CreateMutexA(nullptr, FALSE, kSetupRunningMutexName));
  const DWORD error = ::GetLastError();
  mutex.another_running = error == ERROR_ALREADY_EXISTS || (!mutex.handle && error == ERROR_ACCESS_DENIED);
  return mutex;
}

}  // namespace stampwell
