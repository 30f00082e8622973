// Arbitrary bytes as the magazine's archive "varnel.rs": scan its directory,
// extract every entry it names, check each extracted file against the
// archive's own bytes, delete it. The only way out of a bad archive is a
// fatal error, which here throws FatalEscape; no temporary file stays behind.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_support.hpp"
#include "varnel/media/huffman_codec.hpp"
#include "varnel/media/resource_archive.hpp"

using namespace varnel;

namespace {

using Bytes = std::vector<uint8_t>;

void Check(bool condition) {
  if (!condition) std::abort();
}

void WriteBytes(const char* name, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(name, "wb");
  Check(file != nullptr);
  Check(std::fwrite(data, 1, size, file) == size);
  Check(std::fclose(file) == 0);
}

Bytes ReadBytes(const char* name) {
  FILE* file = std::fopen(name, "rb");
  Check(file != nullptr);
  Bytes bytes;
  uint8_t chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  std::fclose(file);
  return bytes;
}

// The entry a lookup of `name` finds: the first whose name matches.
const ResourceDirectoryEntry* FirstMatch(const char* name) {
  for (const ResourceDirectoryEntry* entry = ResourceDirectory(); entry; entry = entry->next)
    if (ResourceNamesMatch(entry->name, name)) return entry;
  return nullptr;
}

// What the extracted file must hold: the stored bytes, or the packed stream
// unpacked by the bit-by-bit reference.
Bytes Expected(const uint8_t* archive, const ResourceDirectoryEntry& entry) {
  const uint8_t* data = archive + entry.dataOffset;
  if (entry.packedFlag == 0) return Bytes(data, data + entry.storedSize);
  Bytes unpacked(static_cast<size_t>(entry.unpackedSize));
  const int32_t produced = UnpackHuffmanReference(data, entry.storedSize,
                                                  unpacked.empty() ? nullptr : unpacked.data(),
                                                  entry.unpackedSize);
  Check(produced == entry.unpackedSize);
  return unpacked;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_support::InterceptFatalErrors();
  if (size > (1u << 20)) return 0;
  WriteBytes(kResourceArchiveName, data, size);
  int32_t extractions = 0;
  try {
    OpenResourceArchive();
    for (const ResourceDirectoryEntry* entry = ResourceDirectory(); entry; entry = entry->next) {
      const ResourceDirectoryEntry* found = FirstMatch(entry->name);
      Check(found != nullptr && found->dataOffset + static_cast<int64_t>(found->storedSize) <=
                                    static_cast<int64_t>(size));
      ++extractions;
      char* file = ExtractResource(entry->name);
      Check(ReadBytes(file) == Expected(data, *found));
      DeleteExtracted(file);
      Check(access(file, F_OK) != 0);
      std::free(file);
    }
  } catch (const fuzz_support::FatalEscape&) {
    // A failed extraction leaves its temporary file (numbered from 0).
    if (extractions > 0) {
      char name[kResourceNameField];
      std::snprintf(name, sizeof name, "_#q_%i.t$p", extractions - 1);
      DeleteExtracted(name);
    }
  }
  CloseResourceArchive();
  std::remove(kResourceArchiveName);
  return 0;
}
