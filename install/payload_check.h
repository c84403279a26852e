#pragma once
// Whether the payload that a module carries is the one the build compiled into it: every
// entry's size and CRC-32, and the manifest's, against the record that the payload compiler
// stored beside them (install/payload_checksum.h).
//
// The setup program starts the check of its own payload on a worker thread once its window
// is up, so that the check is done, or nearly, by the time the user asks for the install run;
// the run waits for its answer before it makes anything.

#include <windows.h>

#include <memory>

#include "framework/unique_handle.h"

namespace stampwell {

struct PayloadCheckResult {
  bool intact = false;
  // The first part found damaged: -1 the checksum record itself, 0 the manifest, n entry n.
  int damaged_part = -1;
};

// Sums every resource of module's payload, on the calling thread.
PayloadCheckResult CheckPayload(HMODULE module);

// One check of one module's payload, on a worker thread of its own. The module must stay
// loaded until the answer is in.
class PayloadCheckAhead {
 public:
  explicit PayloadCheckAhead(HMODULE module);
  PayloadCheckAhead(const PayloadCheckAhead&) = delete;
  PayloadCheckAhead& operator=(const PayloadCheckAhead&) = delete;

  // Waits for the worker's answer. Where no worker could be started, checks here.
  PayloadCheckResult Result();

  struct Shared;  // what the worker fills; it keeps its own reference

 private:
  HMODULE module_;
  std::shared_ptr<Shared> shared_;
  unique_handle worker_;
  bool answered_ = false;
};

// The setup program's own payload: StartProgramPayloadCheck starts the check on its worker
// (once; later calls do nothing); ProgramPayloadIntact waits for the answer, checking on the
// calling thread when nothing started it.
void StartProgramPayloadCheck();
bool ProgramPayloadIntact();

}  // namespace stampwell
