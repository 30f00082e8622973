// Builds archive bytes by hand for tests, including damaged ones.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "varnel/media/huffman_codec.hpp"
#include "varnel/media/resource_archive.hpp"

namespace testing_support {

struct RawEntry {
  std::string name;
  std::vector<uint8_t> data;  // bytes that follow the header
  int32_t storedSize;         // as written in the header
  int32_t unpackedSize;
  int32_t packedFlag;
  int32_t magic = varnel::kResourceMagic;
};

inline void AppendInt32(std::vector<uint8_t>* out, int32_t value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
}

inline std::vector<uint8_t> EncodeRaw(const RawEntry& entry) {
  std::vector<uint8_t> out;
  AppendInt32(&out, entry.magic);
  uint8_t name[varnel::kResourceNameField] = {};
  std::memcpy(name, entry.name.data(), std::min(entry.name.size(), sizeof name));
  out.insert(out.end(), name, name + sizeof name);
  AppendInt32(&out, entry.storedSize);
  AppendInt32(&out, entry.unpackedSize);
  AppendInt32(&out, entry.packedFlag);
  out.insert(out.end(), entry.data.begin(), entry.data.end());
  return out;
}

inline RawEntry Stored(const std::string& name, const std::vector<uint8_t>& data) {
  const auto size = static_cast<int32_t>(data.size());
  return {name, data, size, size, 0};
}

inline RawEntry Packed(const std::string& name, const std::vector<uint8_t>& data) {
  const auto size = static_cast<int32_t>(data.size());
  std::vector<uint8_t> packed(static_cast<size_t>(varnel::PackHuffmanBound(size)));
  packed.resize(static_cast<size_t>(varnel::PackHuffman(data.data(), size, packed.data())));
  return {name, packed, static_cast<int32_t>(packed.size()), size, 1};
}

inline std::vector<uint8_t> Archive(const std::vector<RawEntry>& entries) {
  std::vector<uint8_t> out;
  for (const RawEntry& entry : entries) {
    const std::vector<uint8_t> bytes = EncodeRaw(entry);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

inline std::vector<uint8_t> TextBytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace testing_support
