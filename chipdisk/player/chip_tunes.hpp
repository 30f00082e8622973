// The built-in tune table and the codes of the hotspot map.
#pragma once

#include <cstdint>

namespace chipdisk {

struct TuneEntry {
  int32_t x, y, width, height;  // the tune's line on the main screen
  const char* file;
};

constexpr int kTuneCount = 19;
constexpr int kLastTune = kTuneCount - 1;
constexpr int kStartTune = 14;
extern const TuneEntry kTunes[kTuneCount];

// Hotspot codes: 233..251 are the tune lines (251 is tune 0), 1..232 mean
// nothing.
enum HotspotCode : uint8_t {
  kCodeBackground = 0,
  kCodeLastTuneLine = 233,
  kCodeFirstTuneLine = 251,
  kCodeNext = 252,
  kCodeStop = 253,
  kCodePlay = 254,
  kCodePrevious = 255,
};

constexpr bool IsTuneCode(uint8_t code) {
  return code >= kCodeLastTuneLine && code <= kCodeFirstTuneLine;
}
constexpr int TuneOfCode(uint8_t code) { return kCodeFirstTuneLine - code; }
constexpr uint8_t CodeOfTune(int tune) { return static_cast<uint8_t>(kCodeFirstTuneLine - tune); }

}  // namespace chipdisk
