#include "install/leftover_removal.h"

#include <windows.h>

#include <utility>

namespace stampwell {

LeftoverRemoval::~LeftoverRemoval() { Wait(); }

void LeftoverRemoval::Start(RunLeftovers leftovers) {
  Wait();
  worker_ = std::thread([leftovers = std::move(leftovers)] {
    // The window's thread, painting the page that the run ended on, comes first.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    RemoveLeftovers(leftovers);
  });
}

void LeftoverRemoval::Wait() {
  if (worker_.joinable()) worker_.join();
}

}  // namespace stampwell
