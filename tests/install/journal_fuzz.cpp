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
    const bool end = record.kind == JournalRecord::Kind::kCommitted || record.kind == JournalRecord::Kind::kUndone;
    if (end && !(record.path.empty() && record.backup.empty())) std::abort();
    for (const std::string* path : {&record.path, &record.backup}) {
      if (end) break;
      const bool two_paths = record.kind == JournalRecord::Kind::kMovedAside ||
                             record.kind == JournalRecord::Kind::kFolderMovedAside ||
                             record.kind == JournalRecord::Kind::kReturned;
      if (path->empty() && path == &record.backup && !two_paths) continue;
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
