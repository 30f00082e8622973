// Writes magazine archives: the inverse of the reader's archive scan.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

enum class PackMode {
  Store,    // every entry as it is
  Huffman,  // every entry Huffman-packed
  Auto,     // packed only where that makes the entry smaller
};

struct ArchiveEntry {
  std::string name;  // logical name, forward slashes
  std::vector<uint8_t> data;
};

// The header and data of one entry, ready to append to an archive.
// Fails (returns false, sets *error) for a name the reader cannot hold.
bool EncodeArchiveEntry(const ArchiveEntry& entry, PackMode mode, std::vector<uint8_t>* out,
                        std::string* error);

// Writes all entries in order to `path` (replacing it). On failure returns
// false with a message in *error and leaves no partial archive behind.
bool WriteArchive(const std::string& path, const std::vector<ArchiveEntry>& entries,
                  PackMode mode, std::string* error);

}  // namespace tools
