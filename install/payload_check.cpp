#include "install/payload_check.h"

#include <optional>
#include <span>

#include "framework/unique_handle.h"
#include "install/payload_checksum.h"
#include "install/payload_naming.h"

namespace stampwell {
namespace {

std::optional<std::span<const std::byte>> ResourceBytes(HMODULE module, const char* name, const char* type) {
  HRSRC info = FindResourceA(module, name, type);
  if (!info) return std::nullopt;
  DWORD size = SizeofResource(module, info);
  HGLOBAL data = LoadResource(module, info);
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) {
    if (size == 0) return std::span<const std::byte>();
    return std::nullopt;
  }
  return std::span(static_cast<const std::byte*>(bytes), size);
}

bool Matches(const std::optional<std::span<const std::byte>>& bytes, const ChecksumOfBytes& recorded) {
  // The size first: a cut-short resource is told without summing it.
  return bytes && bytes->size() == recorded.size && ChecksumOf(*bytes) == recorded;
}

const char* const kRcData = MAKEINTRESOURCEA(10);

}  // namespace

PayloadCheckResult CheckPayload(HMODULE module) {
  std::optional<std::span<const std::byte>> record = ResourceBytes(module, kPayloadChecksumsResource, kRcData);
  std::optional<PayloadChecksums> sums = record ? ParsePayloadChecksums(*record) : std::nullopt;
  if (!sums) return {false, -1};
  if (!Matches(ResourceBytes(module, kPayloadManifestResource, kRcData), sums->manifest)) return {false, 0};
  for (int n = 1; n <= static_cast<int>(sums->entries.size()); ++n) {
    if (!Matches(ResourceBytes(module, PayloadLookupName(n).c_str(), PayloadLookupType(n).c_str()),
                 sums->entries[n - 1]))
      return {false, n};
  }
  return {true, 0};
}

// The worker keeps its own reference: its answer lands in memory that stays alive however
// long the owner waits, or whether it waits at all.
struct PayloadCheckAhead::Shared {
  HMODULE module = nullptr;
  PayloadCheckResult result;
};

namespace {

DWORD WINAPI CheckWorker(void* parameter) noexcept {
  std::unique_ptr<std::shared_ptr<PayloadCheckAhead::Shared>> owned(
      static_cast<std::shared_ptr<PayloadCheckAhead::Shared>*>(parameter));
  try {
    (*owned)->result = CheckPayload((*owned)->module);
  } catch (...) {
    (*owned)->result = {false, -1};  // out of memory: no proof that the payload is whole
  }
  return 0;
}

}  // namespace

PayloadCheckAhead::PayloadCheckAhead(HMODULE module) : module_(module), shared_(std::make_shared<Shared>()) {
  shared_->module = module;
  auto* handed = new std::shared_ptr<Shared>(shared_);
  worker_.reset(CreateThread(nullptr, 0, CheckWorker, handed, 0, nullptr));
  if (!worker_) delete handed;
}

PayloadCheckResult PayloadCheckAhead::Result() {
  if (!answered_) {
    if (worker_) {
      WaitForSingleObject(worker_.get(), INFINITE);
      worker_.reset();
    } else {
      shared_->result = CheckPayload(module_);
    }
    answered_ = true;
  }
  return shared_->result;
}

namespace {

PayloadCheckAhead& ProgramPayloadCheck() {
  static PayloadCheckAhead check(GetModuleHandleA(nullptr));
  return check;
}

}  // namespace

void StartProgramPayloadCheck() { ProgramPayloadCheck(); }
bool ProgramPayloadIntact() { return ProgramPayloadCheck().Result().intact; }

}  // namespace stampwell
