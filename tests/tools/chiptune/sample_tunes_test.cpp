// The sample issue's tunes, built from samples/music the way the build does:
// each loads, lasts at least 30 seconds before it loops, and is audible
// without clipping.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <set>

#include "tests/tools/chiptune/module_probe.hpp"
#include "tools/chiptune/module_writer.hpp"
#include "tools/chiptune/score_parser.hpp"

using namespace chiptune;
using namespace chiptune_testing;

namespace {

struct Tune {
  const char* score;
  ModuleFormat format;
};

void PrintTo(const Tune& tune, std::ostream* out) { *out << tune.score; }

class SampleTuneTest : public ::testing::TestWithParam<Tune> {};

TEST_P(SampleTuneTest, LoadsLastsAndLoopsAudibly) {
  const std::string text = ReadSampleScore(GetParam().score);
  ASSERT_FALSE(text.empty()) << "missing " << GetParam().score;
  const Song song = ParseScore(text);
  const LoadedModule loaded = Load(WriteModule(song, GetParam().format));
  openmpt::module& module = *loaded.module;
  EXPECT_EQ(loaded.log, "");
  EXPECT_EQ(module.get_metadata("type"), FormatName(GetParam().format));
  EXPECT_FALSE(module.get_metadata("title").empty());

  const double duration = module.get_duration_seconds();
  EXPECT_GE(duration, 30.0);
  // The player counts whole output frames per tick: at most one short each.
  const double ticks = SongDurationSeconds(song) * song.tempo / 2.5;
  EXPECT_NEAR(duration, SongDurationSeconds(song), ticks / 48000.0);

  module.set_repeat_count(-1);
  const double row = song.speed * 2.5 / song.tempo;
  const std::vector<float> audio = Render(module, duration + row / 2);
  EXPECT_EQ(module.get_current_order(), song.restart);
  EXPECT_EQ(module.get_current_row(), 0);
  EXPECT_GT(Rms(audio), 0.05);
  size_t clipped = 0;
  for (float v : audio) clipped += std::fabs(v) >= 0.999f ? 1 : 0;
  EXPECT_LT(clipped, audio.size() / 1000) << "frames at full scale";
  // Every stretch of five seconds has music in it.
  for (size_t from = 0; from + 5 * kRenderRate <= audio.size(); from += 5 * kRenderRate) {
    const std::vector<float> part(audio.begin() + static_cast<long>(from),
                                  audio.begin() + static_cast<long>(from + 5 * kRenderRate));
    EXPECT_GT(Rms(part), 0.03) << "quiet from " << from / kRenderRate << " s";
  }
}

INSTANTIATE_TEST_SUITE_P(Issue, SampleTuneTest,
                         ::testing::Values(Tune{"msx0.tune", ModuleFormat::Xm},
                                           Tune{"msx1.tune", ModuleFormat::Xm},
                                           Tune{"msx2.tune", ModuleFormat::Xm},
                                           Tune{"bonus.tune", ModuleFormat::Mod}),
                         [](const auto& param) {
                           const std::string name = param.param.score;
                           return name.substr(0, name.find('.'));
                         });

TEST(SampleTunesTest, TheThreeMenuTunesAreDistinct) {
  std::set<std::string> titles;
  std::set<int> tempi;
  for (const char* name : {"msx0.tune", "msx1.tune", "msx2.tune"}) {
    const Song song = ParseScore(ReadSampleScore(name));
    titles.insert(song.title);
    tempi.insert(song.tempo * 100 / song.speed);
  }
  EXPECT_EQ(titles.size(), 3u);
  EXPECT_EQ(tempi.size(), 3u) << "rows per minute";
}

}  // namespace
