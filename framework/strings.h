#pragma once
// An ordered list of 8-bit strings (lines of a memo, items of a list box), which tells its
// holder about every change. Portable.

#include <functional>
#include <string>
#include <vector>

namespace stampwell {

class TStrings {
 public:
  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& operator[](int index) const { return lines_.at(static_cast<size_t>(index)); }
  const std::vector<std::string>& Lines() const { return lines_; }
  int IndexOf(const std::string& line) const;

  void Add(std::string line);
  void Insert(int index, std::string line);
  void Delete(int index);
  void Clear();
  void Assign(std::vector<std::string> lines);
  // Every line followed by CR LF.
  std::string Text() const;
  // Splits at CR LF, LF or CR; a final line break adds no empty line.
  void SetText(const std::string& text);

  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
  std::vector<std::string> lines_;
};

}  // namespace stampwell
