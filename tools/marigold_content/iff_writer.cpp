#include "tools/marigold_content/iff_writer.hpp"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace demotools {

namespace {
constexpr uint32_t kLongIndexMark = 0xFF000000u;
constexpr uint32_t kShortIndexLimit = 0xFF00u;
}  // namespace

void IffBuffer::U2(uint16_t v) {
  U1(static_cast<uint8_t>(v >> 8));
  U1(static_cast<uint8_t>(v));
}

void IffBuffer::U4(uint32_t v) {
  U2(static_cast<uint16_t>(v >> 16));
  U2(static_cast<uint16_t>(v));
}

void IffBuffer::F4(float v) { U4(std::bit_cast<uint32_t>(v)); }

void IffBuffer::Id(const char* id) {
  if (std::strlen(id) != 4) throw std::invalid_argument("IFF ids have four characters");
  for (int i = 0; i < 4; ++i) U1(static_cast<uint8_t>(id[i]));
}

void IffBuffer::Str(const std::string& s) {
  for (char c : s) U1(static_cast<uint8_t>(c));
  U1(0);
  if ((s.size() + 1) % 2 != 0) U1(0);
}

void IffBuffer::Vx(uint32_t index) {
  if (index < kShortIndexLimit) {
    U2(static_cast<uint16_t>(index));
  } else {
    U4(index | kLongIndexMark);
  }
}

Bytes Chunk(const char* id, const Bytes& body) {
  IffBuffer out;
  out.Id(id);
  out.U4(static_cast<uint32_t>(body.size()));
  out.Append(body);
  if (body.size() % 2 != 0) out.U1(0);
  return out.bytes();
}

Bytes SubChunk(const char* id, const Bytes& body) {
  if (body.size() > 0xFFFF) throw std::length_error("sub-chunk larger than 65535 bytes");
  IffBuffer out;
  out.Id(id);
  out.U2(static_cast<uint16_t>(body.size()));
  out.Append(body);
  if (body.size() % 2 != 0) out.U1(0);
  return out.bytes();
}

}  // namespace demotools
