#pragma once
// The stored properties that a persistent object defines for itself (as opposed to the
// published ones that a form sets by name): each is a binary property with a reader, a writer
// and a test of whether there is anything to store. A filer either reads such properties from
// a form object or writes them to one.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace stampwell {

class TFiler {
 public:
  // Reads the stored bytes; throws an Exception (any problem text) for bytes it refuses.
  using BinaryReader = std::function<void(std::span<const std::uint8_t> stream)>;
  // Appends the bytes to store to `stream`.
  using BinaryWriter = std::function<void(std::vector<std::uint8_t>& stream)>;

  virtual void DefineBinaryProperty(const std::string& name, const BinaryReader& reader,
                                    const BinaryWriter& writer, bool has_data) = 0;

 protected:
  ~TFiler() = default;
};

}  // namespace stampwell
