// Sample synthesis: turns an instrument into PCM frames that a tracker
// plays back at the note's pitch.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/chiptune/song.hpp"

namespace chiptune {

// Playback rate of every sample at the note C-4 (60): 32 frames per period
// of middle C.
constexpr uint32_t kSampleRateAtC4 = 8372;
constexpr int kFramesPerPeriod = 32;

struct SampleData {
  std::vector<float> frames;  // -1..1
  uint32_t loopStart = 0;     // frames; both even
  uint32_t loopLength = 0;    // 0: plays once
};

// Attack, decay and sweep last as set when the instrument's base note
// plays; a tracker plays other notes faster or slower. `octaveShift` k
// stretches the sample by 2^k so that a tracker note k octaves higher sounds
// the same (for formats with a narrow note range). Deterministic.
SampleData SynthesizeSample(const Instrument& instrument, int octaveShift);

// Quantised copies: signed 8-bit and signed 16-bit.
std::vector<int8_t> ToPcm8(const std::vector<float>& frames);
std::vector<int16_t> ToPcm16(const std::vector<float>& frames);

}  // namespace chiptune
