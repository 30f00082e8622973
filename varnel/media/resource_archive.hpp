// The magazine's resource archive "varnel.rs" and extraction of its entries
// into temporary files.
//
// The archive is a plain run of entries, each a 273-byte header followed by
// its data. Integers are 32-bit little endian:
//   0 magic (1638)  4 name (257 bytes, NUL-terminated)  261 stored size
//   265 unpacked size  269 packed flag (0 stored, else Huffman-packed)
// A loader asks ExtractResource for a logical name, reads the temporary file
// it gets, then DeleteExtracted()s it and frees the name.
#pragma once

#include <cstdint>

namespace varnel {

constexpr int32_t kResourceMagic = 1638;
constexpr int kResourceHeaderSize = 273;
constexpr int kResourceNameField = 257;
constexpr int kResourceNameKept = 256;
constexpr int kResourceCopyChunk = 1024;
constexpr const char* kResourceArchiveName = "varnel.rs";

struct ResourceDirectoryEntry {
  char name[kResourceNameKept + 1];
  int32_t dataOffset;
  int32_t storedSize;
  int32_t unpackedSize;
  int32_t packedFlag;
  ResourceDirectoryEntry* next;
};

// Scans the archive's directory; every failure is fatal. Called once at start.
void OpenResourceArchive();

// Copies the entry `name` (unpacked if need be) into a new temporary file
// "_#q_<n>.t$p" in the current directory and returns that file's name in a
// 257-byte buffer from AllocZeroed, owned by the caller. Before the archive
// is open it returns a copy of `name` itself.
char* ExtractResource(const char* name);

// Deletes an extracted file (nothing before the archive is open).
void DeleteExtracted(const char* name);

// Frees the directory (registered to run at process exit).
void ReleaseResourceDirectory();

// Whether two logical names are the same entry: equal length, equal bytes
// after upper-casing a-z, '/' and '\' equal.
bool ResourceNamesMatch(const char* a, const char* b);

// The directory in archive order, or null before the archive is open.
const ResourceDirectoryEntry* ResourceDirectory();

// For tools: read the archive from `path` instead of "varnel.rs" in the
// current directory. Call before OpenResourceArchive.
void SetResourceArchivePath(const char* path);

// For tools and tests: release the directory and return to the state before
// OpenResourceArchive (closed, numbering from 0 again), so that another
// archive can be opened in the same process.
void CloseResourceArchive();

}  // namespace varnel
