#pragma once
// BlockList<T>: an indexable sequence whose insertions and removals in the middle stay cheap.
//
// A plain vector moves half its entries on every sorted insertion, which makes filling a sorted
// list quadratic. Here the entries live in blocks of at most kMaxBlock, with the index of each
// block's first entry kept beside them: an access is a binary search over the blocks, an
// insertion moves at most one block's entries and shifts the following blocks' starts.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace stampwell {

template <typename T>
class BlockList {
 public:
  static constexpr std::size_t kMaxBlock = 1024;

  std::size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }

  T& operator[](std::size_t index) noexcept {
    std::size_t block = BlockOf(index);
    return blocks_[block][index - starts_[block]];
  }
  const T& operator[](std::size_t index) const noexcept {
    std::size_t block = BlockOf(index);
    return blocks_[block][index - starts_[block]];
  }

  // `index` may be size() (append).
  void insert(std::size_t index, const T& value) {
    if (blocks_.empty()) {
      blocks_.emplace_back();
      starts_.push_back(0);
    }
    std::size_t block = index == size_ ? blocks_.size() - 1 : BlockOf(index);
    std::vector<T>& entries = blocks_[block];
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(index - starts_[block]), value);
    ++size_;
    for (std::size_t b = block + 1; b < starts_.size(); ++b) ++starts_[b];
    if (entries.size() > kMaxBlock) Split(block);
  }

  void erase(std::size_t index) noexcept {
    std::size_t block = BlockOf(index);
    std::vector<T>& entries = blocks_[block];
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index - starts_[block]));
    --size_;
    for (std::size_t b = block + 1; b < starts_.size(); ++b) --starts_[b];
    if (entries.empty()) {
      blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(block));
      starts_.erase(starts_.begin() + static_cast<std::ptrdiff_t>(block));
    }
  }

  void clear() noexcept {
    blocks_.clear();
    starts_.clear();
    size_ = 0;
  }

  // All entries in order, as one vector.
  std::vector<T> flatten() const {
    std::vector<T> all;
    all.reserve(size_);
    for (const auto& entries : blocks_) all.insert(all.end(), entries.begin(), entries.end());
    return all;
  }

  // Replaces the contents with `all`, in order.
  void assign(const std::vector<T>& all) {
    clear();
    for (std::size_t first = 0; first < all.size(); first += kMaxBlock / 2) {
      std::size_t last = std::min(all.size(), first + kMaxBlock / 2);
      starts_.push_back(first);
      blocks_.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(first),
                           all.begin() + static_cast<std::ptrdiff_t>(last));
    }
    size_ = all.size();
  }

 private:
  std::size_t BlockOf(std::size_t index) const noexcept {
    auto after = std::upper_bound(starts_.begin(), starts_.end(), index);
    return static_cast<std::size_t>(after - starts_.begin()) - 1;
  }

  void Split(std::size_t block) {
    std::vector<T>& full = blocks_[block];
    std::size_t half = full.size() / 2;
    std::vector<T> upper(full.begin() + static_cast<std::ptrdiff_t>(half), full.end());
    full.resize(half);
    std::size_t start = starts_[block] + half;
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(block + 1), std::move(upper));
    starts_.insert(starts_.begin() + static_cast<std::ptrdiff_t>(block + 1), start);
  }

  std::vector<std::vector<T>> blocks_;
  std::vector<std::size_t> starts_;
  std::size_t size_ = 0;
};

}  // namespace stampwell
