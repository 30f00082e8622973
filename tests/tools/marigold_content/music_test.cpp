// The demo tune played through the BASS-style sound library, offline: its
// sync markers arrive with the values and at the rows planned, every effect
// shows in each pass, and the orders leave each scene the time it needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>

#include "platform/sound/bass_service.hpp"
#include "tools/chiptune/module_writer.hpp"
#include "tools/marigold_content/music.hpp"

namespace demotools {
void PrintTo(const SyncCue& cue, std::ostream* out) {
  *out << "{order " << cue.order << ", row " << cue.row << ", value " << int(cue.value) << "}";
}
}  // namespace demotools

namespace {

using demotools::SyncCue;
using namespace platform;

constexpr uint32_t kRate = 44100;
constexpr uint32_t kScaler = 10;  // as the demo sets it
constexpr uint32_t kBlockFrames = 1024;
constexpr double kMaxPassSeconds = 300;
constexpr double kRowSeconds = 0.12;  // speed 6 at tempo 125
constexpr double kLogoEndSeconds = 37;        // the spiral's logo fades out by then
constexpr double kSecondSceneSeconds = 35;    // the finale's closing words start then
constexpr double kOverlayClearSeconds = 1.0;  // a scene must be visible this soon

int OrderOf(uint32_t position) { return static_cast<int>(position & 0xFFFF); }
int RowOf(uint32_t position) { return static_cast<int>(position >> 16) / static_cast<int>(kScaler); }

BassService& bass() { return SdlBassService(); }

struct Recorder {
  std::vector<SyncCue> heard;
  static void Proc(HSYNC, uint32_t channel, uint32_t data, void* user) {
    const uint32_t position = bass().BASS_ChannelGetPosition(channel);
    static_cast<Recorder*>(user)->heard.push_back(
        {OrderOf(position), RowOf(position), static_cast<uint8_t>(data)});
  }
};

class DemoTune : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bass().BASS_Init(kBassOfflineDevice, kRate, 0, nullptr));
    const std::vector<uint8_t> bytes = demotools::DemoModule();
    music_ = bass().BASS_MusicLoad(true, bytes.data(), 0, static_cast<uint32_t>(bytes.size()), 1);
    ASSERT_NE(music_, 0u);
    ASSERT_TRUE(bass().BASS_MusicSetPositionScaler(music_, kScaler));
    ASSERT_NE(bass().BASS_ChannelSetSync(music_, BASS_SYNC_MUSICFX, 1, Recorder::Proc, &recorder_), 0u);
  }
  void TearDown() override { bass().BASS_Free(); }

  // Renders until the module reaches `order`; false if it never does.
  bool RenderUntilOrder(int order) {
    std::vector<int16_t> block(kBlockFrames * 2);
    const double limit = kMaxPassSeconds * kRate;
    for (double done = 0; done < limit; done += kBlockFrames) {
      if (!bass().RenderOffline(block.data(), kBlockFrames)) return false;
      if (OrderOf(bass().BASS_ChannelGetPosition(music_)) == order) return true;
    }
    return false;
  }

  HMUSIC music_ = 0;
  Recorder recorder_;
};

TEST_F(DemoTune, SyncsArriveWithTheirValuesAtThePlannedRows) {
  ASSERT_TRUE(bass().BASS_MusicPlayEx(music_, 0, -1, true));
  ASSERT_TRUE(RenderUntilOrder(demotools::kLoopOrder));
  EXPECT_EQ(recorder_.heard, demotools::DemoSyncCues());
}

TEST_F(DemoTune, EveryEffectShowsInEachPass) {
  ASSERT_TRUE(bass().BASS_MusicPlayEx(music_, 0, -1, true));
  ASSERT_TRUE(RenderUntilOrder(demotools::kLoopOrder));
  std::set<int> values;
  int flybys = 0;
  for (const SyncCue& cue : recorder_.heard) {
    EXPECT_GE(cue.order, demotools::kFirstSceneOrder);
    EXPECT_LT(cue.order, demotools::kLoopOrder);
    values.insert(cue.value);
    if (cue.value == demotools::kSyncFlyby) ++flybys;
  }
  EXPECT_EQ(values, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 15}));
  // An even count keeps the two flyby pictures alternating alike each pass.
  EXPECT_EQ(flybys % 2, 0);
}

TEST_F(DemoTune, RestartAtTheLoopPlaysTheFirstSceneSyncsAgain) {
  ASSERT_TRUE(bass().BASS_MusicPlayEx(music_, 0, -1, true));
  ASSERT_TRUE(RenderUntilOrder(demotools::kLoopOrder));
  recorder_.heard.clear();
  // What the demo does at the loop order: order 1, row 0, from a reset.
  ASSERT_TRUE(bass().BASS_MusicPlayEx(music_, demotools::kFirstSceneOrder, -1, true));
  ASSERT_TRUE(RenderUntilOrder(demotools::kFirstSceneOrder + 1));
  // The block that reaches the next order may bring its first sync too.
  std::erase_if(recorder_.heard, [](const SyncCue& cue) { return cue.order > demotools::kFirstSceneOrder; });
  std::vector<SyncCue> expected;
  for (const SyncCue& cue : demotools::DemoSyncCues())
    if (cue.order == demotools::kFirstSceneOrder) expected.push_back(cue);
  EXPECT_EQ(recorder_.heard, expected);
}

// Seconds from the start of `first` to the start of `end`.
double OrderSeconds(const chiptune::Song& song, int first, int end) {
  int rows = 0;
  for (int o = first; o < end; ++o) rows += song.patterns[size_t(song.order[size_t(o)])].rows;
  return rows * kRowSeconds;
}

TEST(DemoTuneLayout, ScenesLastLongEnoughForTheirTimedPictures) {
  const chiptune::Song song = demotools::DemoSong();
  ASSERT_GT(song.order.size(), size_t(demotools::kLoopOrder + 1));
  EXPECT_EQ(song.restart, demotools::kFirstSceneOrder);
  ASSERT_EQ(song.tempo, 125);
  ASSERT_EQ(song.speed, 6);
  EXPECT_GT(OrderSeconds(song, demotools::kFirstSceneOrder, demotools::kChainsOrder), kLogoEndSeconds);
  EXPECT_GT(OrderSeconds(song, demotools::kFinaleOrder, demotools::kLoopOrder), kSecondSceneSeconds + 5);
  // The marker channel holds nothing but markers.
  for (const auto& pattern : song.patterns)
    for (int row = 0; row < pattern.rows; ++row) {
      const chiptune::Cell& cell = pattern.At(row, pattern.channels - 1);
      EXPECT_EQ(cell.note, chiptune::kNoNote);
      EXPECT_TRUE(cell.effect == chiptune::Effect::None || cell.effect == chiptune::Effect::Sync);
    }
}

// Follows the black and white overlays through the cues: each scene must be
// visible within a second of its start, and "Mind" must fall in the spiral
// (the only scene that shows it).
TEST(DemoTuneLayout, NoSceneStaysHiddenUnderAnOverlay) {
  const int sceneOrders[] = {demotools::kFirstSceneOrder, demotools::kChainsOrder, demotools::kFloatOrder,
                             demotools::kTunnelOrder, demotools::kDiscoOrder, demotools::kFinaleOrder};
  const int clearRows = static_cast<int>(kOverlayClearSeconds / kRowSeconds);
  for (int scene : sceneOrders) {
    bool black = false, white = false;
    for (const SyncCue& cue : demotools::DemoSyncCues()) {
      if (cue.order > scene || (cue.order == scene && cue.row > clearRows)) break;
      switch (cue.value) {
        case demotools::kSyncFadeToBlack: black = true; break;
        case demotools::kSyncFadeToWhite: white = true; break;
        case demotools::kSyncOverlaysOff: black = white = false; break;
        case demotools::kSyncMind: black = false; break;
        default: break;
      }
    }
    EXPECT_FALSE(black) << "order " << scene;
    EXPECT_FALSE(white) << "order " << scene;
  }
  for (const SyncCue& cue : demotools::DemoSyncCues()) {
    if (cue.value != demotools::kSyncMind) continue;
    EXPECT_GE(cue.order, demotools::kFirstSceneOrder);
    EXPECT_LT(cue.order, demotools::kChainsOrder);
  }
}

}  // namespace
