// Effect numbers of the two tracker families: the ProTracker digits used by
// MOD and XM, and the Scream Tracker letters used by S3M and IT.
#pragma once

#include <cmath>
#include <cstdint>

#include "tools/chiptune/song.hpp"

namespace chiptune {

struct EffectCode {
  uint8_t command = 0;  // 0 with param 0: no effect
  uint8_t param = 0;
};

// MOD/XM: 0 arpeggio .. F speed/tempo.
EffectCode ProTrackerEffect(const Cell& cell);
// S3M/IT: 1 = A (speed) .. 20 = T (tempo); 0 is no effect.
EffectCode ScreamTrackerEffect(const Cell& cell);

// Tuning of a sample that plays at `rate` Hz at middle C, in 1/128
// semitones relative to the 8363 Hz the trackers assume.
inline int FineTuneUnits(uint32_t rate) {
  return static_cast<int>(std::lround(1536.0 * std::log2(rate / 8363.0)));
}

}  // namespace chiptune
