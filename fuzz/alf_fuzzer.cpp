// Arbitrary bytes as a ZIP data archive: opened from memory, every entry
// looked up by its name in another spelling and read.
#include <algorithm>
#include <cctype>
#include <cstdint>

#include "kestrel/archive/archive.hpp"

namespace {
constexpr uint64_t kEntryLimit = 1 << 20;  // keeps zip bombs inside the memory limit
constexpr size_t kMaxEntries = 64;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kestrel::SetDataFileSizeLimit(kEntryLimit);
  if (!kestrel::AlfInitFromMemory(data, size)) return 0;
  auto names = kestrel::ArchiveFileNames();
  if (names.size() > kMaxEntries) names.resize(kMaxEntries);
  for (std::string name : names) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) {
      return c == '/' ? '\\' : static_cast<char>(std::toupper(c));
    });
    if (kestrel::ArchiveFile* file = kestrel::AlfOpen(name.c_str(), "rb")) {
      uint8_t buffer[64];
      while (kestrel::AlfRead(buffer, 7, 3, file) == 3) {
      }
      kestrel::AlfClose(file);
    }
    (void)kestrel::ResolveDataPath("a/b", name);
  }
  kestrel::AlfShutdown();
  return 0;
}
