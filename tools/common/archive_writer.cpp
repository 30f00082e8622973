#include "tools/common/archive_writer.hpp"

#include <cstdio>
#include <cstring>

#include "varnel/media/huffman_codec.hpp"
#include "varnel/media/resource_archive.hpp"

using namespace varnel;

namespace tools {
namespace {

void PutInt32(uint8_t* at, int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

}  // namespace

bool EncodeArchiveEntry(const ArchiveEntry& entry, PackMode mode, std::vector<uint8_t>* out,
                        std::string* error) {
  if (entry.name.empty() || entry.name.size() > kResourceNameKept ||
      entry.name.find('\0') != std::string::npos) {
    *error = "entry name must be 1 to 256 bytes: " + entry.name;
    return false;
  }
  if (entry.data.size() > static_cast<size_t>(INT32_MAX) - kResourceHeaderSize) {
    *error = "entry too large for an archive: " + entry.name;
    return false;
  }
  const auto size = static_cast<int32_t>(entry.data.size());

  std::vector<uint8_t> packed;
  bool usePacked = false;
  if (mode != PackMode::Store) {
    packed.resize(static_cast<size_t>(PackHuffmanBound(size)));
    packed.resize(static_cast<size_t>(PackHuffman(entry.data.data(), size, packed.data())));
    usePacked = mode == PackMode::Huffman || packed.size() < entry.data.size();
  }
  const std::vector<uint8_t>& payload = usePacked ? packed : entry.data;

  uint8_t header[kResourceHeaderSize] = {};
  PutInt32(header, kResourceMagic);
  std::memcpy(header + 4, entry.name.data(), entry.name.size());
  PutInt32(header + 261, static_cast<int32_t>(payload.size()));
  PutInt32(header + 265, usePacked ? size : static_cast<int32_t>(payload.size()));
  PutInt32(header + 269, usePacked ? 1 : 0);

  out->insert(out->end(), header, header + sizeof header);
  out->insert(out->end(), payload.begin(), payload.end());
  return true;
}

bool WriteArchive(const std::string& path, const std::vector<ArchiveEntry>& entries,
                  PackMode mode, std::string* error) {
  if (entries.empty()) {
    *error = "an archive needs at least one entry";
    return false;
  }
  std::vector<uint8_t> bytes;
  for (const ArchiveEntry& entry : entries)
    if (!EncodeArchiveEntry(entry, mode, &bytes, error)) return false;
  if (bytes.size() > static_cast<size_t>(INT32_MAX)) {
    *error = "archive larger than 2 GiB";
    return false;
  }

  // Written beside the target and renamed, so a failure never leaves a
  // half-written archive under the real name.
  const std::string partial = path + ".partial";
  FILE* file = std::fopen(partial.c_str(), "wb");
  if (!file) {
    *error = "cannot create " + partial;
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed || std::rename(partial.c_str(), path.c_str()) != 0) {
    std::remove(partial.c_str());
    *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace tools
