// The demo's music, "marigold.xm": a procedural tune whose order list
// follows the scene changes of the demo's timeline, with the demo's sync
// markers on a channel of their own.
#pragma once

#include <cstdint>
#include <vector>

#include "marigold/sync_values.hpp"
#include "tools/chiptune/song.hpp"

namespace demotools {

// Orders the timeline knows: order 0 plays before the first scene, the
// scenes start at the orders below, and reaching kLoopOrder sends the
// module back to kFirstSceneOrder.
constexpr int kIntroOrder = 0;
constexpr int kFirstSceneOrder = 1;
constexpr int kChainsOrder = 6;
constexpr int kFloatOrder = 8;
constexpr int kTunnelOrder = 11;
constexpr int kDiscoOrder = 13;
constexpr int kFinaleOrder = 15;
constexpr int kLoopOrder = 20;

// The sync values the demo acts on.
using enum marigold::SyncValue;

// One sync marker: the value at an order's row.
struct SyncCue {
  int order;
  int row;
  uint8_t value;

  bool operator==(const SyncCue&) const = default;
};

// Every marker of one pass, in playing order.
const std::vector<SyncCue>& DemoSyncCues();

// The song, markers included; the XM bytes written from it.
chiptune::Song DemoSong();
std::vector<uint8_t> DemoModule();

}  // namespace demotools
