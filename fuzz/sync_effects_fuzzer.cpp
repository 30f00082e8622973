// Sync-effect blanking fuzzer: arbitrary bytes as a module file. The scan
// stays inside the bytes and changes only effect bytes to zero. A second scan
// is run for its memory safety only: in a damaged file pattern data may
// overlap the header or other patterns, so zeroing an effect can change what
// the next scan reads (the loader checks the blanked copy through libopenmpt
// and keeps the original when syncs remain).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/sound/sync_effects.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  const size_t blanked = platform::BlankSyncEffects(bytes.data(), bytes.size());
  size_t changed = 0;
  for (size_t i = 0; i < size; ++i) {
    if (bytes[i] == data[i]) continue;
    if (bytes[i] != 0 && (data[i] & 0xF0) == bytes[i]) continue;  // MOD: only the effect nibble
    if (bytes[i] != 0) std::abort();
    ++changed;
  }
  if (changed > blanked * 2) std::abort();
  platform::BlankSyncEffects(bytes.data(), bytes.size());
  return 0;
}
