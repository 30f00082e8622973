// The score parser: what a valid score means, and faults named by line.
#include "tools/chiptune/score_parser.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace chiptune;

namespace {

const char* const kScore = R"(# a comment line
title "Small Hours"   # trailing comment
tempo 140
speed 3
channels 2
restart 1

instrument 1 "Pulse # lead" square duty=12 volume=40 attack=3 decay=250 sustain=40
instrument 2 "Drop" sine decay=120 sustain=0 sweep=-12 sweeptime=80 base=A-1

pattern intro 4
C-4 01 .. ...  | c#3 02 32 4a2  # a sharp, then a comment
===            | .

end

pattern verse
B-8 01 | .
... .. 10 A04 | D-0 02 .. EC3
end

order intro verse
order verse
)";

TEST(ScoreParserTest, ReadsEveryPartOfAScore) {
  const Song song = ParseScore(kScore);
  EXPECT_EQ(song.title, "Small Hours");
  EXPECT_EQ(song.tempo, 140);
  EXPECT_EQ(song.speed, 3);
  EXPECT_EQ(song.channels, 2);
  EXPECT_EQ(song.restart, 1);
  EXPECT_EQ(song.order, (std::vector<int>{0, 1, 1}));

  ASSERT_EQ(song.instruments.size(), 2u);
  const Instrument& lead = song.instruments[0];
  EXPECT_EQ(lead.name, "Pulse # lead");
  EXPECT_EQ(lead.wave, Waveform::Square);
  EXPECT_EQ(lead.duty, 12);
  EXPECT_EQ(lead.volume, 40);
  EXPECT_EQ(lead.attackMs, 3);
  EXPECT_EQ(lead.decayMs, 250);
  EXPECT_EQ(lead.sustain, 40);
  const Instrument& drop = song.instruments[1];
  EXPECT_EQ(drop.wave, Waveform::Sine);
  EXPECT_EQ(drop.volume, 64);
  EXPECT_EQ(drop.sweep, -12);
  EXPECT_EQ(drop.sweepMs, 80);
  EXPECT_EQ(drop.baseNote, 33);
  EXPECT_EQ(lead.baseNote, 60);

  ASSERT_EQ(song.patterns.size(), 2u);
  const Pattern& intro = song.patterns[0];
  EXPECT_EQ(intro.rows, 4);  // two rows written, padded to the declared four
  EXPECT_EQ(intro.At(0, 0), (Cell{60, 1, kNoVolume, Effect::None, 0}));
  EXPECT_EQ(intro.At(0, 1), (Cell{49, 2, 32, Effect::Vibrato, 0xA2}));
  EXPECT_EQ(intro.At(1, 0), (Cell{kNoteOff, 0, kNoVolume, Effect::None, 0}));
  EXPECT_EQ(intro.At(3, 1), Cell{});

  const Pattern& verse = song.patterns[1];
  EXPECT_EQ(verse.rows, 2);
  EXPECT_EQ(verse.At(0, 0).note, 119);
  EXPECT_EQ(verse.At(1, 0), (Cell{kNoNote, 0, 10, Effect::VolumeSlide, 0x04}));
  EXPECT_EQ(verse.At(1, 1), (Cell{14, 2, kNoVolume, Effect::NoteCut, 3}));
}

TEST(ScoreParserTest, NotesTakeTheLastInstrumentOfTheirChannelInThePattern) {
  const Song song = ParseScore(
      "channels 2\ninstrument 1 \"a\" saw\ninstrument 2 \"b\" noise\n"
      "pattern p\nC-4 02 | E-4 01\nD-4 | F#4\nend\norder p\n");
  EXPECT_EQ(song.patterns[0].At(1, 0).instrument, 2);
  EXPECT_EQ(song.patterns[0].At(1, 1).instrument, 1);
  EXPECT_EQ(song.patterns[0].At(1, 1).note, 66);
}

TEST(ScoreParserTest, LineOfDotsIsAnEmptyRowAndCrLfIsAccepted) {
  const Song song = ParseScore(
      "channels 3\r\ninstrument 1 \"a\" triangle\r\npattern p\r\n...\r\nC-4 01 | | ---\r\nend\r\n"
      "order p\r\n");
  ASSERT_EQ(song.patterns[0].rows, 2);
  EXPECT_EQ(song.patterns[0].At(0, 0), Cell{});
  EXPECT_EQ(song.patterns[0].At(1, 0).note, 60);
}

struct Fault {
  const char* score;
  int line;
  const char* message;
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << '"' << fault.message << '"'; }

const char* const kHead = "channels 2\ninstrument 1 \"a\" square\n";  // lines 1-2

class ScoreFaultTest : public ::testing::TestWithParam<Fault> {};

TEST_P(ScoreFaultTest, NamesTheLineAndTheFault) {
  const Fault& fault = GetParam();
  try {
    ParseScore(fault.score);
    FAIL() << "accepted:\n" << fault.score;
  } catch (const ScoreError& error) {
    EXPECT_EQ(error.line(), fault.line) << error.what();
    EXPECT_NE(error.message().find(fault.message), std::string::npos) << error.what();
    if (fault.line > 0) {
      EXPECT_EQ(std::string(error.what()).rfind("line " + std::to_string(fault.line) + ": ", 0),
                0u);
    }
  }
}

std::string WithHead(const char* rest) { return std::string(kHead) + rest; }

// Scores are kept alive for the parameter list.
const std::string kBadNote = WithHead("pattern p\nH-4 01 | .\nend\norder p\n");
const std::string kBadCells = WithHead("pattern p\nC-4 01\nend\norder p\n");
const std::string kNoInstrument = WithHead("pattern p\nC-4 | .\nend\norder p\n");
const std::string kUnknownInstrument = WithHead("pattern p\n. | C-4 07\nend\norder p\n");
const std::string kLoudVolume = WithHead("pattern p\nC-4 01 65 | .\nend\norder p\n");
const std::string kSpeedEffect = WithHead("pattern p\nC-4 01 .. F06 | .\nend\norder p\n");
const std::string kJumpEffect = WithHead("pattern p\n. | . .. .. B00\nend\norder p\n");
const std::string kBothSlides = WithHead("pattern p\n. | . .. .. A12\nend\norder p\n");
const std::string kTooManyRows = WithHead("pattern p 1\n.\n.\nend\norder p\n");
const std::string kUnclosed = WithHead("\npattern p\n.\n");
const std::string kUnknownOrder = WithHead("pattern p\n.\nend\norder p q\n");
const std::string kRestartPast = WithHead("restart 2\npattern p\n.\nend\norder p p\n");
const std::string kTwice = WithHead("tempo 100\ntempo 120\n");
const std::string kInstrumentGap = WithHead("instrument 3 \"c\" saw\n");
const std::string kSilentSound = WithHead("instrument 2 \"c\" noise sustain=0\n");
const std::string kLongNumber = WithHead("pattern p\nC-4 00000000000000000001 | .\nend\norder p\n");
const std::string kBadBase = WithHead("instrument 2 \"c\" noise base=loud\n");
const std::string kNoteOffWithInstrument = WithHead("pattern p\n=== 01 | .\nend\norder p\n");

INSTANTIATE_TEST_SUITE_P(
    Faults, ScoreFaultTest,
    ::testing::Values(
        Fault{"tempo 300\n", 1, "tempo must be a whole number 32..255"},
        Fault{"\n\nspeed fast\n", 3, "speed must be"},
        Fault{"pattern p\n", 1, "set 'channels' before"},
        Fault{"instrument 1 \"a\" pulse\n", 1, "unknown waveform 'pulse'"},
        Fault{"channels 2\n", 0, "no instruments"},
        Fault{kBadNote.c_str(), 4, "'H-4' is not a note"},
        Fault{kBadCells.c_str(), 4, "row has 1 cells; the song has 2 channels"},
        Fault{kNoInstrument.c_str(), 4, "has no instrument yet"},
        Fault{kUnknownInstrument.c_str(), 4, "instrument 7 is not defined"},
        Fault{kLoudVolume.c_str(), 4, "volume must be 0..64"},
        Fault{kSpeedEffect.c_str(), 4, "set 'speed' and 'tempo'"},
        Fault{kJumpEffect.c_str(), 4, "jumps and breaks come from"},
        Fault{kBothSlides.c_str(), 4, "volume slide 'A12'"},
        Fault{kTooManyRows.c_str(), 5, "more than 1 rows"},
        Fault{kUnclosed.c_str(), 4, "not closed with 'end'"},
        Fault{kUnknownOrder.c_str(), 6, "pattern 'q', which is not defined"},
        Fault{kRestartPast.c_str(), 3, "restart 2 is past the order list"},
        Fault{kTwice.c_str(), 4, "already set on line 3"},
        Fault{kInstrumentGap.c_str(), 3, "should be numbered 2"},
        Fault{kSilentSound.c_str(), 3, "sustain=0 needs a decay"},
        Fault{kLongNumber.c_str(), 4, "instrument must be 1..99, not '00000000000000000001'"},
        Fault{kBadBase.c_str(), 3, "base must be a note such as C-4, not 'loud'"},
        Fault{kNoteOffWithInstrument.c_str(), 4, "note off (===) takes no instrument"}));

}  // namespace
