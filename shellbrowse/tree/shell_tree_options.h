#pragma once
// The options of the shell tree and their names, which form resources store as lists.
// Portable: no Windows types, so the name list is tested on the host.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace stampwell {

enum TPTShellTreeOption : int {
  ptstoAutoFill = 0,
  ptstoVirtualFolders = 1,
  ptstoDesignInteractive = 2,
  ptstoDefaultKeyHandling = 3,
  ptstoContextMenus = 4,
  ptstoDynamicRefresh = 5,
  ptstoIncludeNonFolders = 6,
  ptstoOleDrag = 7,
  ptstoOleDrop = 8,
  ptstoShowHidden = 9,
};
constexpr int kShellTreeOptionCount = 10;

// A set of options: bit i for the option of ordinal i (16 bits, as stored).
class TPTShellTreeOptions {
 public:
  constexpr TPTShellTreeOptions() noexcept = default;
  constexpr TPTShellTreeOptions(std::initializer_list<TPTShellTreeOption> options) noexcept {
    for (TPTShellTreeOption o : options) bits_ = static_cast<std::uint16_t>(bits_ | Bit(o));
  }
  static constexpr TPTShellTreeOptions FromBits(std::uint16_t bits) noexcept {
    TPTShellTreeOptions set;
    set.bits_ = static_cast<std::uint16_t>(bits & ((1u << kShellTreeOptionCount) - 1));
    return set;
  }
  constexpr std::uint16_t Bits() const noexcept { return bits_; }
  constexpr bool Contains(TPTShellTreeOption option) const noexcept { return (bits_ & Bit(option)) != 0; }
  constexpr TPTShellTreeOptions& operator+=(TPTShellTreeOption option) noexcept {
    bits_ = static_cast<std::uint16_t>(bits_ | Bit(option));
    return *this;
  }
  constexpr TPTShellTreeOptions& operator-=(TPTShellTreeOption option) noexcept {
    bits_ = static_cast<std::uint16_t>(bits_ & ~Bit(option));
    return *this;
  }
  constexpr bool operator==(const TPTShellTreeOptions&) const noexcept = default;

 private:
  static constexpr std::uint16_t Bit(TPTShellTreeOption option) noexcept {
    return static_cast<std::uint16_t>(1u << static_cast<int>(option));
  }
  std::uint16_t bits_ = 0;
};

// ptstoAutoFill, ptstoVirtualFolders, ptstoDefaultKeyHandling, ptstoContextMenus,
// ptstoDynamicRefresh, ptstoOleDrag, ptstoOleDrop, ptstoShowHidden.
constexpr TPTShellTreeOptions kDefaultShellTreeOptions = TPTShellTreeOptions::FromBits(955);

// "ptstoAutoFill" for ptstoAutoFill, ...; empty outside the enumeration.
std::string ShellTreeOptionName(int ordinal);
// The names of the members, in ordinal order.
std::vector<std::string> ShellTreeOptionNames(TPTShellTreeOptions options);
// The set of the names; false (and `unknown` set to the first stranger) when a name is none of
// the options. Names are compared exactly, as the form reader compares every name.
bool ParseShellTreeOptions(const std::vector<std::string>& names, TPTShellTreeOptions& options,
                           std::string& unknown);

}  // namespace stampwell
