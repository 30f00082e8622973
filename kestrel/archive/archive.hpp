// The engine's data files: read from a ZIP data archive ("*.alf") once one
// is opened, otherwise from the directory. Names compare case-insensitively
// inside the archive, with '\' and '/' equal and "." and ".." resolved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// An open data file. The first field is the size in bytes (the C interface
// hands this record out as its file handle).
struct ArchiveFile {
  int32_t size = 0;
  int32_t position = 0;
  std::vector<uint8_t> bytes;
};

// Opens the archive; later reads look only there. Returns false (logged)
// when it cannot be opened: reads then stay on the directory.
bool AlfInit(const char* archivePath);
// The same for an archive image in memory (copied).
bool AlfInitFromMemory(const void* bytes, size_t size);
// Closes the archive; reads go back to the directory.
void AlfShutdown();
bool AlfActive();

// Null when the file does not exist (or `mode` asks for writing).
ArchiveFile* AlfOpen(const char* name, const char* mode);
// fread semantics: whole items read.
size_t AlfRead(void* buffer, size_t size, size_t count, ArchiveFile* file);
// Null is accepted.
void AlfClose(ArchiveFile* file);

// Names of the archive's files (empty without an archive).
std::vector<std::string> ArchiveFileNames();
// Files larger than this are refused (default and maximum: 2 GiB - 1).
void SetDataFileSizeLimit(uint64_t bytes);

// A whole data file, or nothing when it does not exist.
std::optional<std::vector<uint8_t>> ReadDataFile(std::string_view name);
bool DataFileExists(std::string_view name);

// "." and ".." resolved, '\' turned into '/', repeated '/' folded. A ".."
// above the top is dropped. Case is kept.
std::string NormalizeDataPath(std::string_view name);
// The folder part of a normalized path ("" for a bare name).
std::string DataDirectory(std::string_view path);
std::string DataBaseName(std::string_view path);

// Finds `reference` (a path written inside a scene or object, perhaps an
// absolute LightWave path such as "Disk:Images/earth.jpg") starting from
// folder `from`: the relative path against `from` and each of its parent
// folders, then the base name in the same folders, then (in an archive)
// any file of that base name. Empty when nothing matches.
std::string ResolveDataPath(std::string_view from, std::string_view reference);

}  // namespace kestrel
