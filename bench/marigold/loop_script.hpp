// One pass of the demo's module (orders 0 to 19) mixed offline by the sound
// stand-in: the position heard every few milliseconds and the sync values
// with the times their rows are heard. The frame benchmarks replay it
// through the fake sound library and the fake clock, so every run samples
// the same moments of the loop.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marigold_bench {

struct ScriptSync {
  uint32_t time;  // milliseconds from the start of the module
  uint32_t value;
};

struct LoopScript {
  uint32_t stepMs = 0;              // time between two positions
  std::vector<uint32_t> positions;  // the library's form: order low, row x 10 high
  std::vector<ScriptSync> syncs;    // by time
  uint32_t lengthMs() const { return stepMs * static_cast<uint32_t>(positions.size()); }
  // The position heard at `time`.
  uint32_t PositionAt(uint32_t time) const;
};

// Mixes `module` (the file's bytes) offline until order `endOrder`, its
// own loop back or `longestMs`; an empty script and a message in `error` when it cannot.
LoopScript MakeLoopScript(const std::vector<unsigned char>& module, uint32_t endOrder,
                          uint32_t longestMs, std::string* error);

}  // namespace marigold_bench
