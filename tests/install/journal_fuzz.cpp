// A journal is read back from disk at the next start, whatever it holds by then: every record
// taken names a full path without a way up or a line break.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "install/journal_records.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace stampwell;
  for (const JournalRecord& record : ReadJournal(std::string_view(reinterpret_cast<const char*>(data), size))) {
    const bool registry =
        record.kind == JournalRecord::Kind::kRegistryKey || record.kind == JournalRecord::Kind::kRegistryValue;
    for (const std::string* path : {&record.path, &record.backup}) {
      if (path->empty() && path == &record.backup && record.kind != JournalRecord::Kind::kMovedAside) continue;
      if (path->find('\n') != std::string::npos || path->find('\t') != std::string::npos) std::abort();
      if (!registry && (path->size() < 4 || path->find("\\..\\") != std::string::npos)) std::abort();
    }
    // What is read is written back the same: a record never changes on its way through.
    const std::string line = std::string(kJournalHeader) + "\r\n" + JournalLine(record);
    const std::vector<JournalRecord> again = ReadJournal(line);
    if (again.size() != 1 || !(again[0] == record)) std::abort();
  }
  return 0;
}
