#include "tools/common/gif_writer.hpp"

#include <cstdio>
#include <unordered_map>

namespace tools {
namespace {

void PutWord(std::vector<uint8_t>* out, int value) {
  out->push_back(static_cast<uint8_t>(value & 0xFF));
  out->push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// Packs codes least significant bit first into 255-byte sub-blocks.
class CodeWriter {
 public:
  explicit CodeWriter(std::vector<uint8_t>* out) : out_(out) {}
  void Put(int code, int size) {
    bits_ |= static_cast<uint64_t>(code) << count_;
    count_ += size;
    while (count_ >= 8) {
      Byte(static_cast<uint8_t>(bits_ & 0xFF));
      bits_ >>= 8;
      count_ -= 8;
    }
  }
  void Finish() {
    if (count_ > 0) Byte(static_cast<uint8_t>(bits_ & 0xFF));
    if (!block_.empty()) Flush();
    out_->push_back(0);
  }

 private:
  void Byte(uint8_t value) {
    block_.push_back(value);
    if (block_.size() == 255) Flush();
  }
  void Flush() {
    out_->push_back(static_cast<uint8_t>(block_.size()));
    out_->insert(out_->end(), block_.begin(), block_.end());
    block_.clear();
  }
  std::vector<uint8_t>* out_;
  std::vector<uint8_t> block_;
  uint64_t bits_ = 0;
  int count_ = 0;
};

void EncodeLzw(const std::vector<uint8_t>& indices, int minCodeSize, std::vector<uint8_t>* out) {
  const int clearCode = 1 << minCodeSize;
  const int endCode = clearCode + 1;
  CodeWriter writer(out);
  std::unordered_map<uint32_t, int> table;
  int codeSize = minCodeSize + 1;
  int nextCode = endCode + 1;
  writer.Put(clearCode, codeSize);
  if (indices.empty()) {
    writer.Put(endCode, codeSize);
    writer.Finish();
    return;
  }
  int prefix = indices[0];
  for (size_t i = 1; i < indices.size(); ++i) {
    const uint32_t key = static_cast<uint32_t>(prefix) << 8 | indices[i];
    const auto found = table.find(key);
    if (found != table.end()) {
      prefix = found->second;
      continue;
    }
    writer.Put(prefix, codeSize);
    if (nextCode < 4096) {
      table.emplace(key, nextCode);
      // The decoder widens its codes once it has assigned the last code of
      // the current size; it runs one entry behind, hence the strict test.
      if (nextCode++ == (1 << codeSize) && codeSize < 12) ++codeSize;
    } else {
      writer.Put(clearCode, codeSize);
      table.clear();
      codeSize = minCodeSize + 1;
      nextCode = endCode + 1;
    }
    prefix = indices[i];
  }
  writer.Put(prefix, codeSize);
  writer.Put(endCode, codeSize);
  writer.Finish();
}

}  // namespace

bool EncodeGif(const IndexedPicture& picture, std::vector<uint8_t>* out, std::string* error) {
  const size_t entries = picture.palette.size() / 3;
  if (picture.width <= 0 || picture.height <= 0 || picture.width > 65535 || picture.height > 65535 ||
      picture.indices.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height)) {
    *error = "GIF size out of range";
    return false;
  }
  if (entries < 2 || entries > 256 || picture.palette.size() % 3 != 0) {
    *error = "GIF palette must have 2 to 256 entries";
    return false;
  }
  for (uint8_t index : picture.indices) {
    if (index >= entries) {
      *error = "GIF index beyond the palette";
      return false;
    }
  }
  int tableBits = 1;  // the table holds 2^tableBits entries
  while ((1u << tableBits) < entries) ++tableBits;

  *out = {'G', 'I', 'F', '8', '9', 'a'};
  PutWord(out, picture.width);
  PutWord(out, picture.height);
  out->push_back(static_cast<uint8_t>(0x80 | ((tableBits - 1) << 4) | (tableBits - 1)));
  out->push_back(0);  // background
  out->push_back(0);  // aspect
  std::vector<uint8_t> table = picture.palette;
  table.resize(static_cast<size_t>(3) << tableBits, 0);
  out->insert(out->end(), table.begin(), table.end());
  out->push_back(',');
  PutWord(out, 0);
  PutWord(out, 0);
  PutWord(out, picture.width);
  PutWord(out, picture.height);
  out->push_back(0);
  const int minCodeSize = tableBits < 2 ? 2 : tableBits;
  out->push_back(static_cast<uint8_t>(minCodeSize));
  EncodeLzw(picture.indices, minCodeSize, out);
  out->push_back(';');
  return true;
}

bool WriteGif(const std::string& path, const IndexedPicture& picture, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!EncodeGif(picture, &bytes, error)) return false;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    *error = "cannot create " + path;
    return false;
  }
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (std::fclose(file) != 0 || !ok) {
    std::remove(path.c_str());
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace tools
