// A journal is read back from disk at the next start, whatever it holds by then: every record
// taken names a full path without a way up or a line break.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "install/journal_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace stampwell;
  for (const JournalRecord& record : ReadJournal(std::string_view(reinterpret_cast<const char*>(data), size))) {
    for (const std::string* path : {&record.path, &record.backup}) {
      if (path->empty() && path == &record.backup && record.kind != JournalRecord::Kind::kMovedAside) continue;
      if (path->size() < 4 || path->find("\\..\\") != std::string::npos || path->find('\n') != std::string::npos)
        std::abort();
    }
  }
  return 0;
}
