// Big-endian IFF chunk building for LightWave objects: four-character ids,
// 32-bit chunk sizes, 16-bit sub-chunk sizes, every chunk padded to even.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demotools {

using Bytes = std::vector<uint8_t>;

class IffBuffer {
 public:
  void U1(uint8_t v) { bytes_.push_back(v); }
  void U2(uint16_t v);
  void U4(uint32_t v);
  void F4(float v);
  void Vec(float x, float y, float z) { F4(x); F4(y); F4(z); }
  void Id(const char* id);  // exactly four characters
  // A NUL-terminated string padded to an even length.
  void Str(const std::string& s);
  // A variable-length index: two bytes below 0xFF00, else four with 0xFF high.
  void Vx(uint32_t index);
  void Append(const Bytes& other) { bytes_.insert(bytes_.end(), other.begin(), other.end()); }
  const Bytes& bytes() const { return bytes_; }
  size_t size() const { return bytes_.size(); }

 private:
  Bytes bytes_;
};

// "ID" + 32-bit size + body + pad byte when the body is odd.
Bytes Chunk(const char* id, const Bytes& body);
// "ID" + 16-bit size + body + pad byte (sub-chunks of SURF, CLIP and BLOK).
Bytes SubChunk(const char* id, const Bytes& body);

}  // namespace demotools
