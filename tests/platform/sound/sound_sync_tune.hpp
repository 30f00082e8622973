// A short tune with sync effects on sounding channels, written by the tune
// writer in any format, and the same tune without them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/chiptune/module_writer.hpp"

namespace sync_tune {

// Tempo 125 and speed 6: every row lasts 6 ticks of 882 frames at 44.1 kHz.
constexpr int kRowFrames = 5292;
constexpr int kRate = 44100;
constexpr int kRowsPerPattern = 16;
constexpr int kOrders = 3;  // patterns a, b, a

struct Expected {
  int order;
  int row;
  uint32_t value;
};
// The syncs in the order they play (two in one row go by channel).
const std::vector<Expected>& Syncs();

std::vector<uint8_t> Write(chiptune::ModuleFormat format, bool withSyncs = true);

// The first frame of a row, counted from the start of the song.
constexpr int64_t RowFrame(int order, int row) {
  return int64_t{order * kRowsPerPattern + row} * kRowFrames;
}

inline constexpr chiptune::ModuleFormat kFormats[] = {
    chiptune::ModuleFormat::Xm, chiptune::ModuleFormat::Mod, chiptune::ModuleFormat::S3m,
    chiptune::ModuleFormat::It};

}  // namespace sync_tune
