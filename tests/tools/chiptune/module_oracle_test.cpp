// Each writer's output read back by libopenmpt: structure as written,
// duration, looping, audible instruments at their pitch, stable bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "tests/tools/chiptune/module_probe.hpp"
#include "tools/chiptune/module_writer.hpp"
#include "tools/chiptune/score_parser.hpp"

using namespace chiptune;
using namespace chiptune_testing;

namespace {

// Fits every format: four channels at most, notes inside MOD's range.
const char* const kSmallScore = R"(
title "Oracle"
tempo 150
speed 4
channels 3
restart 1
instrument 1 "Lead" square duty=25 volume=48 decay=200 sustain=50
instrument 2 "Bass" triangle
instrument 3 "Hat" noise volume=32 decay=60 sustain=0
instrument 4 "Kick" sine decay=150 sustain=0 sweep=24 sweeptime=60
pattern a 16
C-4 01 .. ... | C-3 02 | A-5 03
.             | .      | .
E-4 01 40     | .      | C-2 04
G-4 01 .. 037 | ===    | .
end
pattern b
G-4 01 | G-2 02 .. 301 | A-5 03
===    | .             | .
end
order a b a b
)";

struct Expected {
  ModuleFormat format;
  const char* type;
  int channels, patterns, samples, instruments;
  int bassShift;  // octaves MOD moves the low bass up
};

void PrintTo(const Expected& expected, std::ostream* out) { *out << expected.type; }

class ModuleOracleTest : public ::testing::TestWithParam<Expected> {
 protected:
  std::vector<uint8_t> Write(const char* score) {
    return WriteModule(ParseScore(score), GetParam().format);
  }
};

TEST_P(ModuleOracleTest, LibopenmptReadsTheStructureAsWritten) {
  const Expected& expected = GetParam();
  const LoadedModule loaded = Load(Write(kSmallScore));
  openmpt::module& module = *loaded.module;
  EXPECT_EQ(loaded.log, "");
  EXPECT_EQ(module.get_metadata("type"), expected.type);
  EXPECT_EQ(module.get_metadata("title"), "Oracle");
  EXPECT_EQ(module.get_num_channels(), expected.channels);
  EXPECT_EQ(module.get_num_patterns(), expected.patterns);
  EXPECT_EQ(module.get_num_orders(), 4);
  EXPECT_EQ(module.get_num_samples(), expected.samples);
  EXPECT_EQ(module.get_num_instruments(), expected.instruments);
  const std::vector<std::string> names = module.get_sample_names();
  ASSERT_GE(names.size(), 4u);
  EXPECT_EQ(names[0], "Lead");
  EXPECT_EQ(names[3], "Kick");
  if (expected.instruments > 0) {
    EXPECT_EQ(module.get_instrument_names()[1], "Bass");
  }
  EXPECT_EQ(module.get_order_pattern(0), module.get_order_pattern(2));

  // libopenmpt numbers notes from 1 = C-0 of its own naming, which is one octave above ours.
  const int first = module.get_order_pattern(0);
  const auto note = [&](int row, int channel) {
    return module.get_pattern_row_channel_command(first, row, channel,
                                                  openmpt::module::command_note);
  };
  EXPECT_EQ(note(0, 0), 60 + 1);
  EXPECT_EQ(note(2, 0), 64 + 1);
  EXPECT_EQ(note(0, 1), 48 + 1 + 12 * expected.bassShift);
  EXPECT_EQ(
      module.get_pattern_row_channel_command(first, 0, 0, openmpt::module::command_instrument), 1);
  EXPECT_EQ(
      module.get_pattern_row_channel_command(first, 0, 2, openmpt::module::command_instrument), 3);
}

TEST_P(ModuleOracleTest, DurationIsOnePassAndTheSongLoopsToTheRestartPosition) {
  const Song song = ParseScore(kSmallScore);
  const LoadedModule loaded = Load(WriteModule(song, GetParam().format));
  openmpt::module& module = *loaded.module;
  const double duration = SongDurationSeconds(song);
  EXPECT_DOUBLE_EQ(duration, 36 * 4 * 2.5 / 150);
  EXPECT_NEAR(module.get_duration_seconds(), duration, 1e-3);

  module.set_repeat_count(-1);
  const double row = 4 * 2.5 / 150;
  const std::vector<float> audio = Render(module, duration + row / 2);
  EXPECT_EQ(module.get_current_order(), 1);
  EXPECT_EQ(module.get_current_row(), 0);
  EXPECT_GT(Rms(audio), 0.02);
}

// One channel, one instrument after another, 16 rows (1.92 s) each.
const char* const kPitchScore = R"(
channels 1
instrument 1 "sq" square
instrument 2 "tri" triangle
instrument 3 "saw" saw
instrument 4 "sine" sine
pattern p 64
A-4 01
)";

std::string PitchScore() {
  std::string score = kPitchScore;
  const char* const rows[] = {"E-4 02", "C-5 03", "G-3 04"};
  for (const char* row : rows) {
    for (int i = 0; i < 15; ++i) score += ".\n";
    score += std::string(row) + "\n";
  }
  return score + "end\npattern quiet 16\nA-4 01 16\nend\norder p quiet\n";
}

TEST_P(ModuleOracleTest, EachInstrumentSoundsAtItsNoteAndVolume) {
  const LoadedModule loaded = Load(WriteModule(ParseScore(PitchScore()), GetParam().format));
  const std::vector<float> audio = Render(*loaded.module, 5 * 1.92);
  ASSERT_EQ(audio.size(), static_cast<size_t>(5 * 1.92 * kRenderRate));
  const auto segment = [&](int index) {
    const size_t from = static_cast<size_t>((index * 1.92 + 0.3) * kRenderRate);
    return std::vector<float>(audio.begin() + static_cast<long>(from),
                              audio.begin() + static_cast<long>(from + 1.4 * kRenderRate));
  };
  const double expected[] = {440.0, 329.63, 523.25, 196.0};
  for (int i = 0; i < 4; ++i) {
    const std::vector<float> part = segment(i);
    EXPECT_GT(Rms(part), 0.02) << "instrument " << i + 1;
    EXPECT_NEAR(ZeroCrossingFrequency(part), expected[i], expected[i] * 0.01)
        << "instrument " << i + 1;
  }
  EXPECT_NEAR(Rms(segment(4)) / Rms(segment(0)), 0.25, 0.03) << "volume 16 of 64";
}

TEST_P(ModuleOracleTest, SameScoreGivesTheSameBytes) {
  const std::vector<uint8_t> first = Write(kSmallScore);
  EXPECT_EQ(first, Write(kSmallScore));
  EXPECT_NE(first, Write(PitchScore().c_str()));
}

INSTANTIATE_TEST_SUITE_P(Formats, ModuleOracleTest,
                         ::testing::Values(Expected{ModuleFormat::Xm, "xm", 4, 2, 4, 4, 0},
                                           Expected{ModuleFormat::Mod, "mod", 4, 3, 31, 0, 1},
                                           Expected{ModuleFormat::S3m, "s3m", 3, 3, 4, 0, 0},
                                           Expected{ModuleFormat::It, "it", 3, 3, 4, 0, 0}),
                         [](const auto& param) { return std::string(param.param.type); });

}  // namespace
