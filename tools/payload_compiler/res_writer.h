#pragma once
// Writes a 32-bit Windows resource file (.res), which windres turns into an object file.
//
// Each resource is a header (data size, header size, type, name, language, ...) followed by
// the data, both padded to four bytes. Names and types are either ordinals or strings, which
// the format stores as UTF-16; ours are ASCII. Data is streamed from its source, so a file of
// any size passes through a fixed buffer.

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <variant>

namespace stampwell::tools {

using ResourceId = std::variant<std::uint16_t, std::string>;  // ordinal or ASCII name

class ResWriter {
 public:
  // Writes the empty resource that opens every .res file.
  explicit ResWriter(std::ostream& out);

  // Writes one resource of size bytes read from data and returns their CRC-32, summed on the
  // way through, so the caller can record what was stored without reading it twice. Throws
  // std::runtime_error when data ends early or the output fails.
  std::uint32_t Add(const ResourceId& type, const ResourceId& name, std::uint16_t language, std::istream& data,
                    std::uint32_t size);
  std::uint32_t Add(const ResourceId& type, const ResourceId& name, std::uint16_t language, const std::string& bytes);

 private:
  void Header(const ResourceId& type, const ResourceId& name, std::uint16_t language, std::uint32_t size);
  void Pad();

  std::ostream& out_;
};

}  // namespace stampwell::tools
