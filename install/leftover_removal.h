#pragma once
// The removal of what an ended run left over (the earlier version's files after an update,
// the failed run's files after an undo) on a thread of its own, so that the user reads the
// finish page, or the cause of the failure, while it goes on. Until it has ended the
// journal stays on disk and says so: a process ended meanwhile leaves the rest to the next
// start.

#include <thread>

#include "install/run_journal.h"

namespace stampwell {

class LeftoverRemoval {
 public:
  LeftoverRemoval() = default;
  // Waits for the removal under way.
  ~LeftoverRemoval();
  LeftoverRemoval(const LeftoverRemoval&) = delete;
  LeftoverRemoval& operator=(const LeftoverRemoval&) = delete;

  // Starts removing `leftovers`, once the removal before has ended.
  void Start(RunLeftovers leftovers);
  // Returns when nothing is being removed. A run waits for it before it begins its journal,
  // which takes the same name.
  void Wait();

 private:
  std::thread worker_;
};

}  // namespace stampwell
