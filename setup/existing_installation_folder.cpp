#include "setup/existing_installation.h"

namespace stampwell {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsWithIgnoringCase(std::string_view text, std::string_view tail) {
  if (text.size() < tail.size()) return false;
  text.remove_prefix(text.size() - tail.size());
  for (std::size_t i = 0; i < tail.size(); ++i)
    if (Lower(text[i]) != Lower(tail[i])) return false;
  return true;
}

bool NamesItsDrive(std::string_view folder) {
  const bool letter = !folder.empty() && Lower(folder[0]) >= 'a' && Lower(folder[0]) <= 'z';
  if (letter && folder.size() >= 3 && folder[1] == ':' && folder[2] == '\\') return true;
  return folder.size() >= 5 && folder[0] == '\\' && folder[1] == '\\' && folder[2] != '\\';
}

}  // namespace

std::optional<std::string> FolderFieldForInstallation(std::string_view install_location, std::string_view title) {
  std::string_view location = install_location;
  if (!location.empty() && location.back() == '\\') location.remove_suffix(1);
  if (title.empty() || !EndsWithIgnoringCase(location, "\\" + std::string(title))) return std::nullopt;
  std::string folder(location.substr(0, location.size() - title.size() - 1));
  // The product's folder at a drive's root: the field names the root itself.
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  if (!NamesItsDrive(folder)) return std::nullopt;
  return folder;
}

}  // namespace stampwell
