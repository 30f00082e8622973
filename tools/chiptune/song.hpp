// A chip tune as the score describes it, independent of any module format:
// instruments made from synthesised waveforms, patterns of cells per
// channel, an order list and the position the song loops back to.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace chiptune {

enum class Waveform : uint8_t { Square, Triangle, Saw, Sine, Noise };

struct Instrument {
  std::string name;
  Waveform wave = Waveform::Square;
  int duty = 50;      // square only: percent of the period spent high, 1..99
  int volume = 64;    // default volume 0..64
  int attackMs = 0;   // rise from silence to full level
  int decayMs = 0;    // fall from full level to the sustain level
  int sustain = 100;  // percent of full level held (looped); 0 ends the sound
  int sweep = 0;      // semitones above the note the sound starts at
  int sweepMs = 0;    // time the pitch takes to glide down to the note
  int baseNote = 60;  // the note at which the times above are exact
};

// Effects a score may write, then the ones the format layout adds itself.
enum class Effect : uint8_t {
  None,
  Arpeggio,     // xy: note, +x, +y semitones in turn
  PortaUp,      // xx: pitch slide up per tick
  PortaDown,    // xx: pitch slide down per tick
  TonePorta,    // xx: glide towards the cell's note (00 keeps going)
  Vibrato,      // xy: speed x, depth y (00 keeps going)
  VolumeSlide,  // x0 up or 0y down per tick
  NoteCut,      // x: silence after x ticks
  NoteDelay,    // x: start the note after x ticks
  Sync,         // x: a marker for the player program (E8x / S2x), no sound of its own
  SetVolume,    // formats without a volume column
  PositionJump,
  PatternBreak,
  SetSpeed,
  SetTempo,
};

constexpr int kNoNote = -1;
constexpr int kNoteOff = -2;
constexpr int kNoVolume = -1;

// Notes are semitone numbers with 60 = C-4 (middle C, 261.63 Hz).
struct Cell {
  int note = kNoNote;
  int instrument = 0;  // 1-based; every note carries one, 0 elsewhere
  int volume = kNoVolume;
  Effect effect = Effect::None;
  uint8_t param = 0;

  bool operator==(const Cell&) const = default;
};

struct Pattern {
  std::string name;
  int rows = 0;
  int channels = 0;
  std::vector<Cell> cells;  // row after row, `channels` cells each

  Cell& At(int row, int channel) { return cells[static_cast<size_t>(row * channels + channel)]; }
  const Cell& At(int row, int channel) const {
    return cells[static_cast<size_t>(row * channels + channel)];
  }
};

struct Song {
  std::string title;
  int tempo = 125;  // beats per minute: a tick lasts 2.5 / tempo seconds
  int speed = 6;    // ticks per row
  int channels = 0;
  int restart = 0;  // order position the song loops back to
  std::vector<Instrument> instruments;
  std::vector<Pattern> patterns;
  std::vector<int> order;  // pattern indices
};

// A song the chosen module format cannot hold.
class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Seconds one pass through the order list takes.
double SongDurationSeconds(const Song& song);

// "C-4", "F#2", "===" (note off).
std::string NoteName(int note);

// Where a cell sits, for messages: "pattern 'lead' row 12 channel 2".
std::string CellPlace(const Pattern& pattern, int row, int channel);

}  // namespace chiptune
