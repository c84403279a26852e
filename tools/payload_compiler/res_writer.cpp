#include "tools/payload_compiler/res_writer.h"

#include <algorithm>
#include <span>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "install/payload_checksum.h"

namespace stampwell::tools {
namespace {

void PutU16(std::string& s, std::uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}
void PutU32(std::string& s, std::uint32_t v) {
  PutU16(s, static_cast<std::uint16_t>(v & 0xFFFF));
  PutU16(s, static_cast<std::uint16_t>(v >> 16));
}

void PutId(std::string& s, const ResourceId& id) {
  if (const auto* ordinal = std::get_if<std::uint16_t>(&id)) {
    PutU16(s, 0xFFFF);
    PutU16(s, *ordinal);
    return;
  }
  const std::string& name = std::get<std::string>(id);
  if (name.empty()) throw std::invalid_argument("a resource name cannot be empty");
  for (unsigned char c : name) {
    if (c >= 0x80) throw std::invalid_argument("resource names are ASCII: " + name);
    PutU16(s, c);
  }
  PutU16(s, 0);
}

constexpr std::uint16_t kMoveablePure = 0x0030;

}  // namespace

ResWriter::ResWriter(std::ostream& out) : out_(out) {
  Header(std::uint16_t{0}, std::uint16_t{0}, 0, 0);
}

void ResWriter::Header(const ResourceId& type, const ResourceId& name, std::uint16_t language, std::uint32_t size) {
  std::string ids;
  PutId(ids, type);
  PutId(ids, name);
  while (ids.size() % 4) ids += '\0';
  std::string header;
  PutU32(header, size);
  PutU32(header, static_cast<std::uint32_t>(8 + ids.size() + 16));
  header += ids;
  PutU32(header, 0);  // data version
  PutU16(header, kMoveablePure);
  PutU16(header, language);
  PutU32(header, 0);  // version
  PutU32(header, 0);  // characteristics
  out_.write(header.data(), static_cast<std::streamsize>(header.size()));
}

void ResWriter::Pad() {
  static const char zeros[4] = {};
  std::streamoff at = out_.tellp();
  if (at < 0) throw std::runtime_error("cannot write the resource file");
  if (at % 4) out_.write(zeros, 4 - at % 4);
}

std::uint32_t ResWriter::Add(const ResourceId& type, const ResourceId& name, std::uint16_t language,
                             std::istream& data, std::uint32_t size) {
  Header(type, name, language, size);
  std::vector<char> buffer(1 << 20);
  std::uint32_t left = size;
  std::uint32_t crc = 0;
  while (left > 0) {
    std::uint32_t chunk = std::min<std::uint32_t>(left, static_cast<std::uint32_t>(buffer.size()));
    data.read(buffer.data(), chunk);
    if (data.gcount() != static_cast<std::streamsize>(chunk)) throw std::runtime_error("the file ended early");
    out_.write(buffer.data(), chunk);
    crc = Crc32(std::as_bytes(std::span(buffer.data(), chunk)), crc);
    left -= chunk;
  }
  Pad();
  if (!out_) throw std::runtime_error("cannot write the resource file");
  return crc;
}

std::uint32_t ResWriter::Add(const ResourceId& type, const ResourceId& name, std::uint16_t language, const std::string& bytes) {
  std::istringstream data(bytes);
  return Add(type, name, language, data, static_cast<std::uint32_t>(bytes.size()));
}

}  // namespace stampwell::tools
