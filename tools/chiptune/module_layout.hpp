// The step between a song and a module format: checks the format's limits
// and rewrites the song into what the format can say directly (fixed
// pattern lengths, jump/break/speed effects, samples synthesised).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/chiptune/song.hpp"
#include "tools/chiptune/synth.hpp"

namespace chiptune {

struct FormatRules {
  const char* name;  // for messages: "MOD"
  int maxChannels;
  int fixedChannels;  // written channel count when the format has only one, else 0
  bool evenChannels;  // odd counts gain one silent channel
  int maxPatterns, maxOrders, maxInstruments;
  int minRows, maxRows;  // shorter patterns end early with a pattern break
  int lowestNote, highestNote;
  bool octaveShift;  // may stretch samples by octaves to bring notes into range
  int minTempo;
  bool speedInHeader;    // else set by effects on the first row
  bool restartInHeader;  // else a position jump on the last row
  bool volumeColumn;     // else volumes become set-volume effects
  size_t maxTitle, maxName;
  uint32_t maxSampleFrames;
};

struct LaidOutSong {
  std::string title;
  int channels = 0;
  int tempo = 125, speed = 6, restart = 0;
  std::vector<Pattern> patterns;  // notes already moved by their instrument's octave shift
  std::vector<int> order;
  std::vector<Instrument> instruments;
  std::vector<SampleData> samples;  // one per instrument
};

// Throws FormatError naming the limit and the place that breaks it.
LaidOutSong LayOutSong(const Song& song, const FormatRules& rules);

}  // namespace chiptune
