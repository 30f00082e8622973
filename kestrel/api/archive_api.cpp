// Data-archive calls of the C interface.
#include "kestrel/archive/archive.hpp"
#include "kestrel/kestrel.h"

static_assert(offsetof(kestrel::ArchiveFile, size) == 0,
              "a file handle starts with the file's size");

extern "C" {

int alfInit(const char* archive) { return archive && kestrel::AlfInit(archive) ? 1 : 0; }

KLarchiveFile* alfOpen(const char* name, const char* mode) {
  if (!name) return nullptr;
  return reinterpret_cast<KLarchiveFile*>(kestrel::AlfOpen(name, mode ? mode : "rb"));
}

size_t alfRead(void* buffer, size_t size, size_t count, KLarchiveFile* file) {
  if (!buffer || !file) return 0;
  return kestrel::AlfRead(buffer, size, count, reinterpret_cast<kestrel::ArchiveFile*>(file));
}

void alfClose(KLarchiveFile* file) { kestrel::AlfClose(reinterpret_cast<kestrel::ArchiveFile*>(file)); }

}  // extern "C"
