// A small independent IFF reader for checking written objects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demotools_test {

struct IffChunk {
  std::string id;
  size_t offset = 0;  // of the body
  size_t size = 0;    // body size as written
};

inline uint32_t ReadU4(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}
inline uint16_t ReadU2(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] << 8 | b[at + 1]); }

// Chunks between `begin` and `end` with 32-bit (or 16-bit) sizes; false when
// a size runs past `end` or the padding does not end exactly there.
inline bool Walk(const std::vector<uint8_t>& b, size_t begin, size_t end, bool shortSizes,
                 std::vector<IffChunk>* chunks) {
  size_t at = begin;
  const size_t header = shortSizes ? 6 : 8;
  while (at < end) {
    if (at + header > end) return false;
    IffChunk c;
    c.id.assign(reinterpret_cast<const char*>(&b[at]), 4);
    c.size = shortSizes ? ReadU2(b, at + 4) : ReadU4(b, at + 4);
    c.offset = at + header;
    at = c.offset + c.size + (c.size % 2);
    if (at > end) return false;
    chunks->push_back(c);
  }
  return at == end;
}

}  // namespace demotools_test
