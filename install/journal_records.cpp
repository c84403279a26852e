#include "install/journal_records.h"

namespace stampwell {
namespace {

bool IsFullPath(std::string_view path) {
  const bool letter = !path.empty() && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (letter && path.size() >= 4 && path[1] == ':' && path[2] == '\\') return true;
  return path.size() >= 5 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
}

// No character below a space lies in a path: the tab separates, CR LF ends.
bool IsPlainPath(std::string_view path) {
  if (!IsFullPath(path)) return false;
  for (char c : path)
    if (static_cast<unsigned char>(c) < 0x20) return false;
  return path.find("\\..\\") == std::string_view::npos && path.substr(path.size() - 3) != "\\..";
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view start) {
  if (text.size() < start.size()) return false;
  for (std::size_t i = 0; i < start.size(); ++i) {
    char a = text[i], b = start[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

}  // namespace

bool RecordBelongsTo(const JournalRecord& record, std::string_view journal_folder) {
  const std::string below = std::string(journal_folder) + "\\";
  if (journal_folder.empty() || !StartsWithIgnoringCase(record.path, below) || record.path.size() == below.size())
    return false;
  if (record.kind != JournalRecord::Kind::kMovedAside) return true;
  const std::string old = record.path + ".setup-old";
  if (record.backup.compare(0, old.size(), old) != 0) return false;
  for (std::size_t i = old.size(); i < record.backup.size(); ++i)
    if (record.backup[i] < '0' || record.backup[i] > '9') return false;
  return true;
}

std::string JournalLine(const JournalRecord& record) {
  switch (record.kind) {
    case JournalRecord::Kind::kFolder:
      return "folder\t" + record.path + "\r\n";
    case JournalRecord::Kind::kFile:
      return "file\t" + record.path + "\r\n";
    case JournalRecord::Kind::kMovedAside:
      return "moved\t" + record.path + "\t" + record.backup + "\r\n";
  }
  return {};
}

std::vector<JournalRecord> ReadJournal(std::string_view text) {
  std::vector<JournalRecord> records;
  const std::string_view header = std::string_view(kJournalHeader);
  if (text.substr(0, header.size() + 2) != std::string(header) + "\r\n") return records;
  text.remove_prefix(header.size() + 2);
  while (!text.empty()) {
    const std::size_t end = text.find("\r\n");
    if (end == std::string_view::npos) break;
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 2);
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) break;
    const std::string_view kind = line.substr(0, tab), rest = line.substr(tab + 1);
    JournalRecord record{JournalRecord::Kind::kFolder, {}, {}};
    if (kind == "moved") {
      const std::size_t second = rest.find('\t');
      if (second == std::string_view::npos) break;
      record = {JournalRecord::Kind::kMovedAside, std::string(rest.substr(0, second)),
                std::string(rest.substr(second + 1))};
      if (!IsPlainPath(record.backup)) break;
    } else if (kind == "folder" || kind == "file") {
      record = {kind == "file" ? JournalRecord::Kind::kFile : JournalRecord::Kind::kFolder, std::string(rest), {}};
    } else {
      break;
    }
    if (!IsPlainPath(record.path)) break;
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace stampwell
