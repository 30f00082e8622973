// Sync effects: E8x in XM and MOD, S2x in S3M and IT. Here they are markers
// for the program, not sound: they are found in the pattern data when a
// module loads and blanked from the bytes libopenmpt plays, which would
// otherwise apply them as panning or fine-tune.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

struct openmpt_module;

namespace platform {

// The sync values (x of E8x or S2x) of every pattern row that has any, in
// channel order.
class SyncTable {
 public:
  void Add(int32_t pattern, int32_t row, uint8_t value);
  // Empty for a row without syncs.
  const std::vector<uint8_t>& At(int32_t pattern, int32_t row) const;
  bool empty() const { return rows_.empty(); }
  size_t Count() const;

 private:
  std::map<std::pair<int32_t, int32_t>, std::vector<uint8_t>> rows_;
};

// Reads the sync effects through libopenmpt's pattern access.
SyncTable FindSyncEffects(openmpt_module* module);

// Rewrites every sync effect in the XM, MOD, S3M or IT file in `data` to an
// empty effect, in place; other formats and unknown layouts are left alone.
// Returns the number of effects blanked. Never reads or writes outside the
// `size` bytes, whatever they hold.
size_t BlankSyncEffects(uint8_t* data, size_t size);

// A module ready for playback with its syncs: the module as libopenmpt loads
// a copy of the bytes with the syncs blanked, and the syncs found in the
// original. `neutral` is false when the blanking missed some (an unusual
// layout): the module then plays them as libopenmpt would.
struct SyncedModule {
  openmpt_module* module;  // null when the bytes are no module; caller owns it
  SyncTable syncs;
  bool neutral;
};
SyncedModule LoadSyncedModule(const void* data, size_t size);

}  // namespace platform
