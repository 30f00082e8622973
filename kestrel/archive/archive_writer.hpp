// Writes ZIP data archives ("*.alf") that the engine's archive reader opens.
// The same entries always give the same bytes: entries are sorted by name
// and every entry carries one fixed timestamp and fixed attributes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel {

struct ArchiveEntry {
  std::string name;  // '\' or '/' between folders; "." and ".." resolved
  std::vector<uint8_t> bytes;
};

// The normalized name an entry is stored under ("scenes\a.lws" gives
// "scenes/a.lws"); empty when the name cannot be stored (empty, a folder,
// or above the archive's top).
std::string ArchiveEntryName(const std::string& name);

// Writes `entries` to `path`, replacing what was there only once the whole
// archive is written. Fails with `error` set for a name that cannot be
// stored, two names the reader could not tell apart (letter case, '\'),
// an entry larger than the reader accepts, or a write failure.
bool WriteArchive(const std::string& path, std::vector<ArchiveEntry> entries, std::string* error);

}  // namespace kestrel
