// Laying a song out for a format: pattern lengths, control effects, octave
// stretching, and the limits each writer enforces.
#include "tools/chiptune/module_layout.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tools/chiptune/module_writer.hpp"
#include "tools/chiptune/score_parser.hpp"

using namespace chiptune;

namespace {

// A strict format: fixed 8-row patterns, no header fields, no volume column.
constexpr FormatRules kStrict{.name = "TEST",
                              .maxChannels = 4,
                              .fixedChannels = 0,
                              .evenChannels = false,
                              .maxPatterns = 8,
                              .maxOrders = 8,
                              .maxInstruments = 4,
                              .minRows = 8,
                              .maxRows = 8,
                              .lowestNote = 48,
                              .highestNote = 83,
                              .octaveShift = true,
                              .minTempo = 32,
                              .speedInHeader = false,
                              .restartInHeader = false,
                              .volumeColumn = false,
                              .maxTitle = 8,
                              .maxName = 8,
                              .maxSampleFrames = 100000};

Song Score(const std::string& body, int channels = 2) {
  return ParseScore("channels " + std::to_string(channels) +
                    "\ninstrument 1 \"lead\" square\ninstrument 2 \"bass\" triangle\n" + body);
}

TEST(ModuleLayoutTest, ShortPatternsBreakEarlyAndTheLastJumpsBackToTheRestart) {
  const Song song = Score(
      "speed 3\nrestart 1\n"
      "pattern a 3\nC-4 01 | .\nend\npattern b 2\n. | C-4 02\nend\norder a b a b\n");
  const LaidOutSong laid = LayOutSong(song, kStrict);
  // "b" plays twice and ends the song: its last use becomes a copy with the jump.
  ASSERT_EQ(laid.patterns.size(), 3u);
  EXPECT_EQ(laid.order, (std::vector<int>{0, 1, 0, 2}));
  for (const Pattern& pattern : laid.patterns) EXPECT_EQ(pattern.rows, 8);

  const Cell& breakA = laid.patterns[0].At(2, 1);
  EXPECT_EQ(breakA.effect, Effect::PatternBreak);
  EXPECT_EQ(laid.patterns[1].At(1, 1).effect, Effect::PatternBreak);
  const Cell& jump = laid.patterns[2].At(1, 1);
  EXPECT_EQ(jump.effect, Effect::PositionJump);
  EXPECT_EQ(jump.param, 1);
  EXPECT_EQ(laid.patterns[2].At(1, 0).effect, Effect::None) << "one control effect is enough";

  // Speed and tempo go to free columns of the first row played.
  EXPECT_EQ(laid.patterns[0].At(0, 1), (Cell{kNoNote, 0, kNoVolume, Effect::SetSpeed, 3}));
  EXPECT_EQ(laid.patterns[0].At(0, 0).effect, Effect::None);
  EXPECT_EQ(laid.patterns[0].At(0, 0).note, 60);
}

TEST(ModuleLayoutTest, ControlEffectsNeedAFreeColumn) {
  const Song song =
      Score("speed 3\ntempo 99\npattern a 8\nC-4 01 .. 037 | . .. .. 401\nend\norder a\n");
  try {
    LayOutSong(song, kStrict);
    FAIL();
  } catch (const FormatError& error) {
    EXPECT_STREQ(error.what(),
                 "TEST: needs a free effect column for the speed in pattern 'a' row 0");
  }
}

TEST(ModuleLayoutTest, VolumesAndNoteOffsBecomeSetVolumeWithoutAVolumeColumn) {
  const Song song = Score("pattern a 8\nC-4 01 20 | ===\nend\norder a\n");
  const LaidOutSong laid = LayOutSong(song, kStrict);
  EXPECT_EQ(laid.patterns[0].At(0, 0), (Cell{60, 1, kNoVolume, Effect::SetVolume, 20}));
  EXPECT_EQ(laid.patterns[0].At(0, 1), (Cell{kNoNote, 0, kNoVolume, Effect::SetVolume, 0}));
}

TEST(ModuleLayoutTest, LowInstrumentsMoveUpAnOctaveWithAStretchedSample) {
  const Song song = Score("pattern a 8\nC-4 01 | C-2 02\nB-5 01 | G-4 02\nend\norder a\n");
  const LaidOutSong laid = LayOutSong(song, kStrict);
  EXPECT_EQ(laid.patterns[0].At(0, 0).note, 60);
  EXPECT_EQ(laid.patterns[0].At(0, 1).note, 36 + 12) << "C-2..G-4 fits one octave up";
  EXPECT_EQ(laid.patterns[0].At(1, 1).note, 67 + 12);
  EXPECT_EQ(laid.samples[0].loopLength, 32u);
  EXPECT_EQ(laid.samples[1].loopLength, 64u);
}

TEST(ModuleLayoutTest, OnlyPlayedPatternsAreWritten) {
  const Song song = Score("pattern sketch 8\n.\nend\npattern a 8\n.\nend\norder a a\n");
  const LaidOutSong laid = LayOutSong(song, kStrict);
  ASSERT_EQ(laid.patterns.size(), 1u);
  EXPECT_EQ(laid.patterns[0].name, "a");
  EXPECT_EQ(laid.order, (std::vector<int>{0, 0}));
}

void ExpectFault(const Song& song, ModuleFormat format, const std::string& message) {
  try {
    WriteModule(song, format);
    ADD_FAILURE() << "written as " << FormatName(format);
  } catch (const FormatError& error) {
    EXPECT_EQ(error.what(), message);
  }
}

TEST(ModuleLimitsTest, EachWriterRefusesWhatItsFormatCannotHold) {
  ExpectFault(Score("pattern a 8\n. | . | . | . | .\nend\norder a\n", 5), ModuleFormat::Mod,
              "MOD: the song has 5 channels; the format allows 4");
  ExpectFault(Score("pattern a 80\n.\nend\norder a\n"), ModuleFormat::Mod,
              "MOD: pattern 'a' has 80 rows; the format allows 64");
  ExpectFault(Score("pattern a 80\n.\nend\norder a\n"), ModuleFormat::S3m,
              "S3M: pattern 'a' has 80 rows; the format allows 64");
  ExpectFault(Score("pattern a 201\n.\nend\norder a\n"), ModuleFormat::It,
              "IT: pattern 'a' has 201 rows; the format allows 200");
  ExpectFault(Score("pattern a\nC-8 01 | .\nend\norder a\n"), ModuleFormat::Xm,
              "XM: note C-8 in pattern 'a' row 0 channel 1 is outside the format's C-0..B-7");
  ExpectFault(Score("pattern a\nC-1 01 | .\nC-6 01 | .\nend\norder a\n"), ModuleFormat::Mod,
              "MOD: instrument 1 'lead' plays C-1..C-6, which does not fit the format's "
              "C-3..B-5");
  ExpectFault(Score("title \"A title of twenty-one\"\npattern a\n.\nend\norder a\n"),
              ModuleFormat::Xm, "XM: the title is 21 characters; the format allows 20");
  ExpectFault(Score("tempo 32\npattern a\n.\nend\norder a\n"), ModuleFormat::S3m,
              "S3M: tempo 32 is below the format's 33");
  ExpectFault(Score("pattern a\nC-4 01 40 401 | .\nend\norder a\n"), ModuleFormat::Mod,
              "MOD: no volume column: pattern 'a' row 0 channel 1 has a volume (or note off) "
              "and an effect");
  ExpectFault(Score("pattern a\n.\nend\norder a\n", 17), ModuleFormat::S3m,
              "S3M: the song has 17 channels; the format allows 16");
}

TEST(ModuleLimitsTest, TooManyInstrumentsOrLongSamplesAreRefused) {
  std::string many = "channels 1\n";
  for (int i = 1; i <= 32; ++i) many += "instrument " + std::to_string(i) + " \"i\" saw\n";
  many += "pattern a\n.\nend\norder a\n";
  ExpectFault(ParseScore(many), ModuleFormat::Mod,
              "MOD: the song has 32 instruments; the format allows 31");

  const Song longSound = ParseScore(
      "channels 1\ninstrument 1 \"pad\" saw attack=2000 decay=8000 sustain=50\n"
      "pattern a\nC-4 01\nend\norder a\n");
  ExpectFault(longSound, ModuleFormat::S3m,
              "S3M: instrument 1 'pad' needs 83752 sample frames; the format allows 64000");
  EXPECT_NO_THROW(WriteModule(longSound, ModuleFormat::Xm));
}

}  // namespace
