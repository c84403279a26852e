#include "framework/inflate.h"

#include <cstring>
#include <vector>

namespace stampwell {

namespace {

constexpr int kMaxBits = 15;

// Bits in the order deflate packs them: from each byte's lowest bit up. Past the end it reads
// zeros, and remembers having done so; a caller checks Overrun() before it trusts a result.
class BitReader {
 public:
  BitReader(const std::uint8_t* data, std::size_t size) : at_(data), end_(data + size) {}

  // The next `n` bits (n <= 24) without taking them.
  std::uint32_t Peek(int n) {
    while (count_ < n) {
      const std::uint32_t byte = at_ < end_ ? *at_++ : (++padding_, 0u);
      bits_ |= byte << count_;
      count_ += 8;
    }
    return bits_ & ((1u << n) - 1);
  }
  void Skip(int n) {
    bits_ >>= n;
    count_ -= n;
  }
  std::uint32_t Take(int n) {
    const std::uint32_t value = Peek(n);
    Skip(n);
    return value;
  }
  // Drops the bits left of the current byte (before a stored block).
  void AlignToByte() { Skip(count_ % 8); }
  // More bits taken than the stream has: what was read from beyond it is no data.
  bool Overrun() const { return static_cast<std::size_t>(count_ / 8) < padding_; }
  // Whole bytes, after AlignToByte: those held back first.
  bool CopyBytes(std::uint8_t* to, std::size_t n) {
    while (n > 0 && count_ >= 8) {
      *to++ = static_cast<std::uint8_t>(Take(8));
      --n;
    }
    if (Overrun() || static_cast<std::size_t>(end_ - at_) < n) return false;
    std::memcpy(to, at_, n);
    at_ += n;
    return true;
  }

 private:
  const std::uint8_t* at_;
  const std::uint8_t* end_;
  std::uint32_t bits_ = 0;
  int count_ = 0;
  std::size_t padding_ = 0;
};

// A canonical Huffman code as one table indexed by the next kMaxBits bits of the stream: each
// entry is (code length << 9) | symbol, 0 where no code begins with those bits.
class HuffmanTable {
 public:
  HuffmanTable() : entries_(std::size_t{1} << kMaxBits) {}

  // False for lengths that no prefix code has (too many codes of a length). A code that leaves
  // room unused is taken: its unused bit patterns decode as errors.
  bool Build(const std::uint8_t* lengths, int symbols) {
    int count[kMaxBits + 1] = {};
    for (int s = 0; s < symbols; ++s) ++count[lengths[s]];
    count[0] = 0;
    int left = 1;
    for (int len = 1; len <= kMaxBits; ++len) {
      left = 2 * left - count[len];
      if (left < 0) return false;
    }
    int next[kMaxBits + 2] = {};
    for (int len = 1, code = 0; len <= kMaxBits; ++len) {
      code = (code + count[len - 1]) << 1;
      next[len] = code;
    }
    std::fill(entries_.begin(), entries_.end(), std::uint16_t{0});
    for (int s = 0; s < symbols; ++s) {
      const int len = lengths[s];
      if (len == 0) continue;
      const auto entry = static_cast<std::uint16_t>((len << 9) | s);
      // The stream holds codes from their highest bit on; the table is read lowest bit first.
      const std::uint32_t code = Reversed(static_cast<std::uint32_t>(next[len]++), len);
      for (std::uint32_t i = code; i < entries_.size(); i += 1u << len) entries_[i] = entry;
    }
    return true;
  }

  // The next symbol, or -1 where the bits begin no code.
  int Decode(BitReader& in) const {
    const std::uint16_t entry = entries_[in.Peek(kMaxBits)];
    if (entry == 0) return -1;
    in.Skip(entry >> 9);
    return entry & 0x1FF;
  }

 private:
  static std::uint32_t Reversed(std::uint32_t code, int len) {
    std::uint32_t r = 0;
    for (int i = 0; i < len; ++i, code >>= 1) r = (r << 1) | (code & 1);
    return r;
  }

  std::vector<std::uint16_t> entries_;
};

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                             33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                             1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class Inflater {
 public:
  Inflater(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t out_size)
      : in_(data, size), out_(out), end_(out + out_size), at_(out) {}

  bool Run() {
    for (bool last = false; !last;) {
      last = in_.Take(1) != 0;
      bool ok = false;
      switch (in_.Take(2)) {
        case 0: ok = StoredBlock(); break;
        case 1: ok = FixedTables() && CodedBlock(); break;
        case 2: ok = DynamicTables() && CodedBlock(); break;
        default: break;
      }
      if (!ok || in_.Overrun()) return false;
    }
    return at_ == end_;
  }

 private:
  bool StoredBlock() {
    in_.AlignToByte();
    const std::uint32_t length = in_.Take(16), complement = in_.Take(16);
    if ((length ^ 0xFFFFu) != complement || length > static_cast<std::size_t>(end_ - at_)) return false;
    if (!in_.CopyBytes(at_, length)) return false;
    at_ += length;
    return true;
  }

  bool FixedTables() {
    std::uint8_t lengths[288 + 30];
    std::memset(lengths, 8, 144);
    std::memset(lengths + 144, 9, 112);
    std::memset(lengths + 256, 7, 24);
    std::memset(lengths + 280, 8, 8);
    std::memset(lengths + 288, 5, 30);
    return literals_.Build(lengths, 288) && distances_.Build(lengths + 288, 30);
  }

  bool DynamicTables() {
    const int literal_count = static_cast<int>(in_.Take(5)) + 257;
    const int distance_count = static_cast<int>(in_.Take(5)) + 1;
    const int length_count = static_cast<int>(in_.Take(4)) + 4;
    if (literal_count > 286 || distance_count > 30) return false;
    static constexpr std::uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    std::uint8_t length_lengths[19] = {};
    for (int i = 0; i < length_count; ++i) length_lengths[kOrder[i]] = static_cast<std::uint8_t>(in_.Take(3));
    HuffmanTable& length_code = distances_;  // free until the distances' own lengths are read
    if (!length_code.Build(length_lengths, 19)) return false;

    std::uint8_t lengths[286 + 30] = {};
    const int total = literal_count + distance_count;
    for (int i = 0; i < total;) {
      const int symbol = length_code.Decode(in_);
      if (symbol < 0 || in_.Overrun()) return false;
      if (symbol < 16) {
        lengths[i++] = static_cast<std::uint8_t>(symbol);
        continue;
      }
      std::uint8_t repeated = 0;
      int times = 0;
      if (symbol == 16) {
        if (i == 0) return false;
        repeated = lengths[i - 1];
        times = 3 + static_cast<int>(in_.Take(2));
      } else if (symbol == 17) {
        times = 3 + static_cast<int>(in_.Take(3));
      } else {
        times = 11 + static_cast<int>(in_.Take(7));
      }
      if (i + times > total) return false;
      while (times-- > 0) lengths[i++] = repeated;
    }
    if (lengths[256] == 0) return false;  // a block that cannot end
    return literals_.Build(lengths, literal_count) && distances_.Build(lengths + literal_count, distance_count);
  }

  bool CodedBlock() {
    for (;;) {
      const int symbol = literals_.Decode(in_);
      if (symbol < 0) return false;
      if (symbol < 256) {
        if (at_ == end_ || in_.Overrun()) return false;
        *at_++ = static_cast<std::uint8_t>(symbol);
        continue;
      }
      if (symbol == 256) return true;
      if (symbol > 285) return false;
      const std::size_t length = kLengthBase[symbol - 257] + in_.Take(kLengthExtra[symbol - 257]);
      const int code = distances_.Decode(in_);
      if (code < 0 || code >= 30) return false;
      const std::size_t distance = kDistanceBase[code] + in_.Take(kDistanceExtra[code]);
      if (in_.Overrun() || distance > static_cast<std::size_t>(at_ - out_) ||
          length > static_cast<std::size_t>(end_ - at_))
        return false;
      const std::uint8_t* from = at_ - distance;
      if (distance >= length) {
        std::memcpy(at_, from, length);
      } else if (distance == 1) {
        std::memset(at_, *from, length);
      } else {
        for (std::size_t i = 0; i < length; ++i) at_[i] = from[i];  // overlapping: byte by byte
      }
      at_ += length;
    }
  }

  BitReader in_;
  std::uint8_t* out_;
  std::uint8_t* end_;
  std::uint8_t* at_;
  HuffmanTable literals_, distances_;
};

}  // namespace

bool InflateZlib(const std::uint8_t* data, std::size_t size, std::uint8_t* out, std::size_t out_size) {
  if (!data || size < 2 || (!out && out_size > 0)) return false;
  const unsigned method = data[0], flags = data[1];
  // Deflate with a window of at most 32 KiB, a header that checks, and no preset dictionary.
  if ((method & 0x0F) != 8 || (method >> 4) > 7 || (method * 256 + flags) % 31 != 0 || (flags & 0x20) != 0)
    return false;
  return Inflater(data + 2, size - 2, out, out_size).Run();
}

}  // namespace stampwell
