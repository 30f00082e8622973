// Growing byte buffer with the little- and big-endian fields module
// headers are made of.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace chiptune {

class ByteWriter {
 public:
  void U8(uint32_t value) { bytes_.push_back(static_cast<uint8_t>(value)); }
  void U16(uint32_t value) {
    U8(value);
    U8(value >> 8);
  }
  void U32(uint32_t value) {
    U16(value);
    U16(value >> 16);
  }
  void U16Be(uint32_t value) {
    U8(value >> 8);
    U8(value);
  }
  // `text` in a field of `width` bytes, the rest filled with `pad`.
  void Text(std::string_view text, size_t width, char pad = '\0') {
    for (size_t i = 0; i < width; ++i) U8(static_cast<uint8_t>(i < text.size() ? text[i] : pad));
  }
  void Zeros(size_t count) { bytes_.resize(bytes_.size() + count, 0); }
  void AlignTo(size_t boundary) { Zeros((boundary - bytes_.size() % boundary) % boundary); }
  void Append(const std::vector<uint8_t>& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
  }

  void PatchU8(size_t at, uint32_t value) { bytes_[at] = static_cast<uint8_t>(value); }
  void PatchU16(size_t at, uint32_t value) {
    PatchU8(at, value);
    PatchU8(at + 1, value >> 8);
  }
  void PatchU32(size_t at, uint32_t value) {
    PatchU16(at, value);
    PatchU16(at + 2, value >> 16);
  }

  size_t Size() const { return bytes_.size(); }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace chiptune
