#include "framework/strings.h"

#include <stdexcept>

namespace stampwell {

int TStrings::IndexOf(const std::string& line) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i] == line) return static_cast<int>(i);
  }
  return -1;
}

void TStrings::Add(std::string line) {
  lines_.push_back(std::move(line));
  Changed();
}

void TStrings::Insert(int index, std::string line) {
  if (index < 0 || index > Count()) throw std::out_of_range("List index out of bounds");
  lines_.insert(lines_.begin() + index, std::move(line));
  Changed();
}

void TStrings::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
  lines_.erase(lines_.begin() + index);
  Changed();
}

void TStrings::Clear() {
  lines_.clear();
  Changed();
}

void TStrings::Assign(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  Changed();
}

std::string TStrings::Text() const {
  std::string text;
  for (const std::string& line : lines_) text += line + "\r\n";
  return text;
}

void TStrings::SetText(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(current);
      current.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  Assign(std::move(lines));
}

}  // namespace stampwell
