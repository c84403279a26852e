#include "install/journal_records.h"

#include <charconv>

namespace stampwell {
namespace {

bool IsFullPath(std::string_view path) {
  const bool letter = !path.empty() && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (letter && path.size() >= 4 && path[1] == ':' && path[2] == '\\') return true;
  return path.size() >= 5 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
}

// No character below a space lies in a path or a name: the tab separates, CR LF ends.
bool IsPlainText(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20) return false;
  return true;
}

bool IsPlainPath(std::string_view path) {
  if (!IsFullPath(path) || !IsPlainText(path)) return false;
  return path.find("\\..\\") == std::string_view::npos && path.substr(path.size() - 3) != "\\..";
}

// A key below HKEY_CURRENT_USER: relative, no empty part.
bool IsPlainKey(std::string_view key) {
  return !key.empty() && IsPlainText(key) && key.front() != '\\' && key.back() != '\\' &&
         key.find("\\\\") == std::string_view::npos;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// `path` lies strictly below `folder`.
bool IsBelow(std::string_view path, std::string_view folder) {
  if (folder.empty() || path.size() <= folder.size() + 1 || path[folder.size()] != '\\') return false;
  return EqualIgnoringCase(path.substr(0, folder.size()), folder);
}

bool IsLinkFile(std::string_view path) { return path.size() > 4 && EqualIgnoringCase(path.substr(path.size() - 4), ".lnk"); }

// `name` is `stem` and then decimal digits, perhaps none.
bool IsNumberedAfter(std::string_view name, std::string_view stem) {
  if (name.substr(0, stem.size()) != stem) return false;
  for (std::size_t i = stem.size(); i < name.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return false;
  return true;
}

bool IsBackupOf(const JournalRecord& record) {
  return IsNumberedAfter(record.backup, record.path + std::string(kBackupSuffix));
}

bool IsDiscardName(std::string_view path) {
  const std::size_t found = path.rfind(kDiscardSuffix);
  return found != std::string_view::npos && IsNumberedAfter(path, path.substr(0, found + kDiscardSuffix.size()));
}

constexpr char kHexDigits[] = "0123456789abcdef";

std::string Hex(std::string_view bytes) {
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (unsigned char byte : bytes) {
    hex += kHexDigits[byte >> 4];
    hex += kHexDigits[byte & 15];
  }
  return hex;
}

std::optional<std::string> FromHex(std::string_view hex) {
  if (hex.size() % 2) return std::nullopt;
  std::string bytes;
  bytes.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    if (error != std::errc() || end != hex.data() + i + 2) return std::nullopt;
    bytes += static_cast<char>(value);
  }
  return bytes;
}

// Splits off the text before the next tab; nothing when there is no tab.
std::optional<std::string_view> NextField(std::string_view& rest) {
  const std::size_t tab = rest.find('\t');
  if (tab == std::string_view::npos) return std::nullopt;
  const std::string_view field = rest.substr(0, tab);
  rest.remove_prefix(tab + 1);
  return field;
}

// "value" <key> <name> then "-" (no earlier value) or <type> <hex bytes>.
std::optional<JournalRecord> ReadValueRecord(std::string_view rest) {
  const auto key = NextField(rest);
  const auto name = NextField(rest);
  if (!key || !name || !IsPlainKey(*key) || !IsPlainText(*name)) return std::nullopt;
  JournalRecord record = JournalRecord::RegistryValue(std::string(*key), std::string(*name), std::nullopt);
  if (rest == "-") return record;
  const auto type = NextField(rest);
  if (!type || type->empty()) return std::nullopt;
  RegistryData data;
  const auto [end, error] = std::from_chars(type->data(), type->data() + type->size(), data.type);
  if (error != std::errc() || end != type->data() + type->size()) return std::nullopt;
  std::optional<std::string> bytes = FromHex(rest);
  if (!bytes) return std::nullopt;
  data.bytes = std::move(*bytes);
  record.earlier = std::move(data);
  return record;
}

std::optional<JournalRecord> ReadRecord(std::string_view line) {
  if (line == "committed") return JournalRecord::Committed();
  if (line == "undone") return JournalRecord::Undone();
  std::string_view rest = line;
  const auto kind = NextField(rest);
  if (!kind) return std::nullopt;
  if (*kind == "value") return ReadValueRecord(rest);
  if (*kind == "key") {
    if (!IsPlainKey(rest)) return std::nullopt;
    return JournalRecord::RegistryKey(std::string(rest));
  }
  if (*kind == "committed" || *kind == "undone") return std::nullopt;  // these have no tab
  JournalRecord record = JournalRecord::Folder({});
  if (*kind == "moved" || *kind == "folder-moved" || *kind == "returned") {
    const auto path = NextField(rest);
    if (!path || !IsPlainPath(rest)) return std::nullopt;
    if (*kind == "moved")
      record = JournalRecord::MovedAside(std::string(*path), std::string(rest));
    else if (*kind == "folder-moved")
      record = JournalRecord::FolderMovedAside(std::string(*path), std::string(rest));
    else
      record = JournalRecord::Returned(std::string(*path), std::string(rest));
  } else if (*kind == "folder" || *kind == "file" || *kind == "discard") {
    if (*kind == "file")
      record = JournalRecord::File(std::string(rest));
    else if (*kind == "folder")
      record = JournalRecord::Folder(std::string(rest));
    else
      record = JournalRecord::Discard(std::string(rest));
  } else {
    return std::nullopt;
  }
  if (!IsPlainPath(record.path)) return std::nullopt;
  return record;
}

}  // namespace

bool RecordBelongsTo(const JournalRecord& record, const JournalScope& scope) {
  switch (record.kind) {
    case JournalRecord::Kind::kRegistryKey:
    case JournalRecord::Kind::kRegistryValue:
      return !scope.registry_key.empty() && EqualIgnoringCase(record.path, scope.registry_key);
    case JournalRecord::Kind::kCommitted:
    case JournalRecord::Kind::kUndone:
      return true;
    case JournalRecord::Kind::kMovedAside:
      if (!IsBackupOf(record)) return false;
      break;
    case JournalRecord::Kind::kFolderMovedAside:
      return IsBackupOf(record) && IsBelow(record.path, scope.folder);
    case JournalRecord::Kind::kReturned:
      return IsBelow(record.path, scope.folder) && IsBelow(record.backup, scope.folder);
    case JournalRecord::Kind::kDiscard:
      return IsDiscardName(record.path) && IsBelow(record.path, scope.folder);
    case JournalRecord::Kind::kFolder:
    case JournalRecord::Kind::kFile:
      break;
  }
  if (IsBelow(record.path, scope.folder)) return true;
  for (const std::string& links : scope.link_folders)
    if (IsBelow(record.path, links) && (record.kind == JournalRecord::Kind::kFolder || IsLinkFile(record.path)))
      return true;
  return false;
}

std::string JournalLine(const JournalRecord& record) {
  switch (record.kind) {
    case JournalRecord::Kind::kFolder:
      return "folder\t" + record.path + "\r\n";
    case JournalRecord::Kind::kFile:
      return "file\t" + record.path + "\r\n";
    case JournalRecord::Kind::kMovedAside:
      return "moved\t" + record.path + "\t" + record.backup + "\r\n";
    case JournalRecord::Kind::kFolderMovedAside:
      return "folder-moved\t" + record.path + "\t" + record.backup + "\r\n";
    case JournalRecord::Kind::kReturned:
      return "returned\t" + record.path + "\t" + record.backup + "\r\n";
    case JournalRecord::Kind::kDiscard:
      return "discard\t" + record.path + "\r\n";
    case JournalRecord::Kind::kCommitted:
      return "committed\r\n";
    case JournalRecord::Kind::kUndone:
      return "undone\r\n";
    case JournalRecord::Kind::kRegistryKey:
      return "key\t" + record.path + "\r\n";
    case JournalRecord::Kind::kRegistryValue:
      if (!record.earlier) return "value\t" + record.path + "\t" + record.value_name + "\t-\r\n";
      return "value\t" + record.path + "\t" + record.value_name + "\t" + std::to_string(record.earlier->type) + "\t" +
             Hex(record.earlier->bytes) + "\r\n";
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
    std::optional<JournalRecord> record = ReadRecord(text.substr(0, end));
    if (!record) break;
    text.remove_prefix(end + 2);
    records.push_back(std::move(*record));
  }
  return records;
}

}  // namespace stampwell
