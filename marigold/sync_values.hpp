// The sync values the demo acts on, shared with the tools that write its
// music.
#pragma once

#include <cstdint>

namespace marigold {

// The module's sync values.
enum SyncValue : uint32_t {
  kSyncFadeToBlack = 1,
  kSyncFlash = 2,
  kSyncOverlaysOff = 3,
  kSyncFadeFromBlack = 4,
  kSyncFadeToWhite = 5,
  kSyncZoomBlur = 6,
  kSyncMind = 7,
  kSyncStretchBlur = 8,
  kSyncGlowBoost = 9,
  kSyncFlyby = 15,
};

}  // namespace marigold
