#include "varnel/media/resource_archive.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "varnel/failure/fatal_error.hpp"
#include "varnel/media/huffman_codec.hpp"
#include "varnel/media/name_compare.hpp"

namespace varnel {

namespace {

constexpr const char* kWriteError = "Cannot extact files from resource !\n[write/rights error] !";
constexpr int kMaxOutstanding = 64;

int archiveOpen = 0;
ResourceDirectoryEntry* directoryHead = nullptr;
int32_t extractionCounter = 0;
char archivePath[4096] = "varnel.rs";

// Temporary files extracted by this run and not yet deleted; a fatal exit
// removes them so a failed run leaves nothing behind.
char outstanding[kMaxOutstanding][kResourceNameField];

int32_t ReadInt32(const unsigned char* bytes) {
  return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                              static_cast<uint32_t>(bytes[2]) << 16 |
                              static_cast<uint32_t>(bytes[3]) << 24);
}

void RememberOutstanding(const char* name) {
  for (auto& slot : outstanding) {
    if (slot[0] == '\0') {
      std::snprintf(slot, sizeof slot, "%s", name);
      return;
    }
  }
}

void ForgetOutstanding(const char* name) {
  for (auto& slot : outstanding) {
    if (slot[0] != '\0' && std::strcmp(slot, name) == 0) {
      slot[0] = '\0';
      return;
    }
  }
}

void DeleteOutstandingExtractions() {
  for (auto& slot : outstanding) {
    if (slot[0] != '\0') {
      unlink(slot);
      slot[0] = '\0';
    }
  }
}

const ResourceDirectoryEntry* FindEntry(const char* name) {
  for (const ResourceDirectoryEntry* entry = directoryHead; entry; entry = entry->next)
    if (ResourceNamesMatch(entry->name, name)) return entry;
  return nullptr;
}

// Creates the temporary file afresh: whatever has that name (a stale file, a
// symbolic link planted there) is removed first and never followed.
FILE* CreateTemporaryFile(const char* name) {
  unlink(name);
  const int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  FILE* file = fdopen(fd, "wb");
  if (!file) close(fd);
  return file;
}

[[noreturn]] void FailExtraction(FILE* temporary, FILE* archive) {
  std::fclose(temporary);
  std::fclose(archive);
  FatalError(kWriteError);
}

void CopyStored(FILE* archive, FILE* temporary, int32_t size) {
  unsigned char chunk[kResourceCopyChunk];
  while (size > 0) {
    const size_t part = size < kResourceCopyChunk ? static_cast<size_t>(size) : kResourceCopyChunk;
    if (std::fread(chunk, 1, part, archive) != part) FailExtraction(temporary, archive);
    if (std::fwrite(chunk, 1, part, temporary) != part) FailExtraction(temporary, archive);
    size -= static_cast<int32_t>(part);
  }
}

[[noreturn]] void FailUnpacking(FILE* temporary, FILE* archive) {
  std::fclose(temporary);
  std::fclose(archive);
  FatalError("HUFF decompresion error !");
}

void CopyPacked(FILE* archive, FILE* temporary, const ResourceDirectoryEntry& entry) {
  // Every byte costs at least one bit of the stream: a claimed size beyond
  // that cannot be produced, so it is refused before anything is allocated.
  const int64_t maxUnpacked = (static_cast<int64_t>(entry.storedSize) - kHuffmanCountTableSize) * 8;
  if (entry.unpackedSize > 0 && entry.unpackedSize > maxUnpacked) FailUnpacking(temporary, archive);
  auto* packed = static_cast<uint8_t*>(AllocZeroed(entry.storedSize));
  if (std::fread(packed, 1, static_cast<size_t>(entry.storedSize), archive) !=
      static_cast<size_t>(entry.storedSize)) {
    std::free(packed);
    FailExtraction(temporary, archive);
  }
  auto* unpacked = static_cast<uint8_t*>(AllocZeroed(entry.unpackedSize));
  const int32_t produced = UnpackHuffman(packed, entry.storedSize, unpacked, entry.unpackedSize);
  std::free(packed);
  if (produced != entry.unpackedSize) {
    std::free(unpacked);
    FailUnpacking(temporary, archive);
  }
  const size_t size = static_cast<size_t>(entry.unpackedSize);
  const bool written = std::fwrite(unpacked, 1, size, temporary) == size;
  std::free(unpacked);
  if (!written) FailExtraction(temporary, archive);
}

}  // namespace

bool ResourceNamesMatch(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (FoldNameChar(*a) != FoldNameChar(*b)) return false;
  return *a == '\0' && *b == '\0';
}

void SetResourceArchivePath(const char* path) {
  std::snprintf(archivePath, sizeof archivePath, "%s", path);
}

const ResourceDirectoryEntry* ResourceDirectory() { return archiveOpen ? directoryHead : nullptr; }

void OpenResourceArchive() {
  archiveOpen = 1;
  RegisterFatalShutdownStep(DeleteOutstandingExtractions);

  FILE* archive = std::fopen(archivePath, "rb");
  if (!archive) FatalError("Cannot open resource file !");
  std::fseek(archive, 0, SEEK_END);
  const long fileSize = std::ftell(archive);
  std::fseek(archive, 0, SEEK_SET);
  if (fileSize > INT32_MAX) {
    std::fclose(archive);
    FatalError("Resource format error !");
  }

  ResourceDirectoryEntry** tail = &directoryHead;
  long position = 0;
  do {
    unsigned char header[kResourceHeaderSize];
    if (std::fread(header, 1, sizeof header, archive) != sizeof header) {
      std::fclose(archive);
      FatalError("Read error !");
    }
    position += kResourceHeaderSize;
    const int32_t storedSize = ReadInt32(header + 261);
    const int32_t unpackedSize = ReadInt32(header + 265);
    // A negative size would seek backwards (an endless scan) or ask for a
    // negative buffer: the header is damaged.
    if (ReadInt32(header) != kResourceMagic || storedSize < 0 || unpackedSize < 0) {
      std::fclose(archive);
      FatalError("Resource format error !");
    }
    // Data that runs past the end of the file: the archive was cut short.
    if (storedSize > fileSize - position) {
      std::fclose(archive);
      FatalError("Read error !");
    }
    auto* entry = static_cast<ResourceDirectoryEntry*>(AllocZeroed(sizeof(ResourceDirectoryEntry)));
    std::memcpy(entry->name, header + 4, kResourceNameKept);
    entry->dataOffset = static_cast<int32_t>(position);
    entry->storedSize = storedSize;
    entry->unpackedSize = unpackedSize;
    entry->packedFlag = ReadInt32(header + 269);
    *tail = entry;
    tail = &entry->next;

    position += storedSize;
    std::fseek(archive, position, SEEK_SET);
  } while (position != fileSize);
  std::fclose(archive);
}

char* ExtractResource(const char* name) {
  if (!archiveOpen) {
    auto* copy = static_cast<char*>(AllocZeroed(kResourceNameField));
    std::snprintf(copy, kResourceNameField, "%s", name);
    return copy;
  }
  // The name is allocated only once the file is complete: a failure below
  // that is caught (fuzz targets) loses no memory.
  char temporaryName[kResourceNameField];
  std::snprintf(temporaryName, sizeof temporaryName, "_#q_%i.t$p", extractionCounter);
  ++extractionCounter;

  FILE* archive = std::fopen(archivePath, "rb");
  if (!archive) FatalError("Cannot open resource file !");
  FILE* temporary = CreateTemporaryFile(temporaryName);
  if (!temporary) {
    std::fclose(archive);
    FatalError(kWriteError);
  }
  RememberOutstanding(temporaryName);

  const ResourceDirectoryEntry* entry = FindEntry(name);
  if (!entry) {
    std::fclose(temporary);
    std::fclose(archive);
    FatalErrorFormat("File not in resource !\n[%s]", name);
  }
  std::fseek(archive, entry->dataOffset, SEEK_SET);
  if (entry->packedFlag == 0) {
    CopyStored(archive, temporary, entry->storedSize);
  } else {
    CopyPacked(archive, temporary, *entry);
  }
  const bool flushed = std::fflush(temporary) == 0;
  std::fclose(temporary);
  std::fclose(archive);
  if (!flushed) FatalError(kWriteError);
  auto* result = static_cast<char*>(AllocZeroed(kResourceNameField));
  std::memcpy(result, temporaryName, sizeof temporaryName);
  return result;
}

void DeleteExtracted(const char* name) {
  if (!archiveOpen) return;
  unlink(name);
  ForgetOutstanding(name);
}

void ReleaseResourceDirectory() {
  if (!archiveOpen) return;
  while (directoryHead) {
    ResourceDirectoryEntry* next = directoryHead->next;
    std::free(directoryHead);
    directoryHead = next;
  }
}

void CloseResourceArchive() {
  ReleaseResourceDirectory();
  archiveOpen = 0;
  extractionCounter = 0;
}

}  // namespace varnel
