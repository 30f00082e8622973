#include "tools/chiptune/song.hpp"

namespace chiptune {

double SongDurationSeconds(const Song& song) {
  long rows = 0;
  for (int index : song.order) rows += song.patterns[static_cast<size_t>(index)].rows;
  return static_cast<double>(rows) * song.speed * 2.5 / song.tempo;
}

std::string NoteName(int note) {
  if (note == kNoteOff) return "===";
  if (note < 0) return "...";
  static const char* const kNames[12] = {"C-", "C#", "D-", "D#", "E-", "F-",
                                         "F#", "G-", "G#", "A-", "A#", "B-"};
  return kNames[note % 12] + std::to_string(note / 12 - 1);
}

std::string CellPlace(const Pattern& pattern, int row, int channel) {
  return "pattern '" + pattern.name + "' row " + std::to_string(row) + " channel " +
         std::to_string(channel + 1);
}

}  // namespace chiptune
