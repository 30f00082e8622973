// The demo tune: instruments, chords, melodies and one section per order,
// turned into patterns. Four-on-the-floor at 125 beats per minute in A
// minor: kick, snare, hats, a saw bass, a triangle pad, a chip arpeggio and
// a pulse lead, each on its own channel.
#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/chiptune/module_writer.hpp"
#include "tools/marigold_content/music.hpp"

namespace demotools {
namespace {

using chiptune::Cell;
using chiptune::Effect;
using chiptune::Instrument;
using chiptune::Pattern;
using chiptune::Waveform;

constexpr int kTempo = 125;  // a row is 6 ticks of 20 ms: 0.12 s
constexpr int kSpeed = 6;
constexpr int kBarRows = 16;
constexpr int kPatternRows = 64;
constexpr int kLongRows = 96;   // the finale's last order: room for the closing words
constexpr int kShortRows = 16;  // the loop order, cut short by the restart
constexpr int kOctave = 12;
constexpr int kFifth = 7;
constexpr int kMinorSeventh = 10;
constexpr uint8_t kLeadVibrato = 0x43;  // speed 4, depth 3, on held notes
constexpr int kVibratoAfterRows = 2;

enum Channel { kKickCh, kSnareCh, kHatCh, kBassCh, kPadCh1, kPadCh2, kPadCh3, kArpCh, kLeadCh, kSyncCh, kChannels };
enum InstrumentNumber { kKick = 1, kSnare, kHat, kBass, kPad, kArp, kLead, kCrash, kOpenHat };

Instrument Make(const char* name, Waveform wave, int volume, int attack, int decay, int sustain, int base,
                int duty = 50, int sweep = 0, int sweepMs = 0) {
  Instrument i;
  i.name = name;
  i.wave = wave;
  i.volume = volume;
  i.attackMs = attack;
  i.decayMs = decay;
  i.sustain = sustain;
  i.baseNote = base;
  i.duty = duty;
  i.sweep = sweep;
  i.sweepMs = sweepMs;
  return i;
}

// Notes: 60 is C-4.
constexpr int kKickNote = 35;   // B-1
constexpr int kSnareNote = 81;
constexpr int kHatNote = 96;    // C-7
constexpr int kCrashNote = 84;  // C-6

std::vector<Instrument> Instruments() {
  return {
      Make("Kick", Waveform::Sine, 64, 0, 170, 0, kKickNote, 50, 30, 60),
      Make("Snare", Waveform::Noise, 44, 0, 150, 0, kSnareNote),
      Make("Hat", Waveform::Noise, 20, 0, 40, 0, kHatNote),
      Make("Saw Bass", Waveform::Saw, 46, 0, 220, 55, 45),
      Make("Glass Pad", Waveform::Triangle, 18, 120, 500, 70, 60),
      Make("Chip Arp", Waveform::Square, 16, 0, 160, 40, 69, 12),
      Make("Pulse Lead", Waveform::Square, 34, 4, 320, 60, 72, 25),
      Make("Crash", Waveform::Noise, 30, 0, 1400, 0, kCrashNote),
      Make("Open Hat", Waveform::Noise, 16, 0, 160, 0, kHatNote),
  };
}

struct Chord {
  int bass;
  std::array<int, 3> pad;
  int arpRoot;
  uint8_t arp;  // arpeggio: +x, +y semitones
};

constexpr uint8_t kMinorArp = 0x37;
constexpr uint8_t kMajorArp = 0x47;
constexpr Chord kAm{45, {57, 60, 64}, 69, kMinorArp};
constexpr Chord kF{41, {57, 60, 65}, 65, kMajorArp};
constexpr Chord kC{48, {55, 60, 64}, 72, kMajorArp};
constexpr Chord kG{43, {55, 59, 62}, 67, kMajorArp};
constexpr Chord kE{40, {56, 59, 64}, 64, kMajorArp};
constexpr Chord kDm{38, {57, 62, 65}, 62, kMinorArp};

enum class Drums { None, Hats, Half, Four, Drive, Funk };
enum class Bass { None, Whole, Eighths, Funk };

// A melody bar: 16 tokens, a note ("E5", "G#4"), "-" to hold, "." to stop.
using Bar = std::string_view;

struct Section {
  int rows;
  std::vector<Chord> chords;  // one a bar, repeated
  Drums drums;
  Bass bass;
  bool pads;
  bool arp;
  std::vector<Bar> lead;  // one a bar, repeated; empty: no lead
  bool crash;             // a crash cymbal on the first row
  bool fill;              // a snare roll over the last half bar
};

const std::vector<Chord> kMain{kAm, kF, kC, kG};
const std::vector<Chord> kChainsChords{kAm, kG, kF, kE};
const std::vector<Chord> kFloatChords{kF, kC, kG, kAm};
const std::vector<Chord> kTunnelChords{kAm, kAm, kF, kG};
const std::vector<Chord> kDiscoChords{kDm, kG, kC, kAm};
const std::vector<Chord> kOutroChords{kAm, kF, kC, kG, kF, kAm};

const std::vector<Bar> kHookA{
    "A4 - C5 - E5 - - D5 - - C5 - D5 - E5 -", "F5 - - E5 - - C5 - - - A4 - C5 - - -",
    "G5 - - E5 - - C5 - E5 - G5 - A5 - G5 -", "D5 - - - B4 - - - G4 - B4 - D5 - - -"};
const std::vector<Bar> kHookB{
    "A5 - - G5 - - E5 - - - C5 - D5 - E5 -", "F5 - E5 - C5 - - - A4 - - - C5 - F5 -",
    "E5 - - - G5 - - - C6 - - - B5 - G5 -", "B5 - - - A5 - - - G5 - - - B5 - D6 -"};
const std::vector<Bar> kChainsLead{
    "E5 - - - - - D5 - E5 - - - A5 - - -", "G5 - - - - - F5 - E5 - - - D5 - - -",
    "C5 - - - - - D5 - E5 - - - F5 - - -", "E5 - - - - - - - G#5 - - - B5 - - -"};
const std::vector<Bar> kFloatA{
    "A5 - - - - - - - G5 - - - F5 - - -", "E5 - - - - - - - - - - - C5 - D5 -",
    "D5 - - - - - - - B4 - - - G4 - - -", "A4 - - - - - - - - - - - . - - -"};
const std::vector<Bar> kFloatB{
    "C6 - - - - - - - A5 - - - F5 - - -", "G5 - - - - - - - E5 - - - C5 - E5 -",
    "D5 - - - G5 - - - B5 - - - D6 - - -", "C6 - - - B5 - - - A5 - - - - - - -"};
const std::vector<Bar> kTunnelLead{
    "A5 - A5 . C6 - A5 . E6 - . . D6 - C6 -", "A5 - A5 . C6 - A5 . G5 - . . E5 - G5 -",
    "F5 - F5 . A5 - F5 . C6 - . . A5 - C6 -", "G5 - G5 . B5 - G5 . D6 - . . B5 - G5 -"};
const std::vector<Bar> kDiscoLead{
    "D5 . F5 . A5 - G5 . F5 . D5 - . . C5 D5", "B4 . D5 . G5 - F5 . D5 . B4 - . . G4 A4",
    "C5 . E5 . G5 - A5 . G5 . E5 - C5 . D5 .", "E5 - - - C5 - - - A4 - - - . - - -"};
const std::vector<Bar> kOutroLead{
    "E5 - - - - - - - - - - - - - - -", "C5 - - - - - - - - - - - A4 - - -",
    "G4 - - - - - - - C5 - - - E5 - - -", "D5 - - - - - - - - - - - B4 - - -",
    "C5 - - - - - - - A4 - - - F4 - - -", "A4 - - - - - - - - - - - - - - -"};

// Section per order: 0 the intro before the first scene, then the scenes
// (spiral 1-5, chains 6-7, float 8-10, tunnel 11-12, disco 13-14, finale
// 15-19), the loop order 20 and one beyond it.
std::vector<Section> Sections() {
  const std::vector<Chord> intro{kAm, kF};
  return {
      {32, intro, Drums::None, Bass::None, true, false, {}, false, false},
      {kPatternRows, kMain, Drums::Hats, Bass::Whole, true, true, {}, true, false},
      {kPatternRows, kMain, Drums::None, Bass::Whole, true, true, {}, false, true},
      {kPatternRows, kMain, Drums::Four, Bass::Eighths, true, true, {}, true, false},
      {kPatternRows, kMain, Drums::Four, Bass::Eighths, true, true, kHookA, false, false},
      {kPatternRows, kMain, Drums::Drive, Bass::Eighths, true, true, kHookB, false, true},
      {kPatternRows, kChainsChords, Drums::Half, Bass::Eighths, true, true, {}, true, false},
      {kPatternRows, kChainsChords, Drums::Four, Bass::Eighths, true, false, kChainsLead, false, true},
      {kPatternRows, kFloatChords, Drums::Half, Bass::Whole, true, false, kFloatA, true, false},
      {kPatternRows, kFloatChords, Drums::Four, Bass::Whole, true, true, kFloatB, false, false},
      {kPatternRows, kFloatChords, Drums::Drive, Bass::Eighths, true, true, kFloatA, false, true},
      {kPatternRows, kTunnelChords, Drums::Drive, Bass::Eighths, false, true, kTunnelLead, true, false},
      {kPatternRows, kTunnelChords, Drums::Drive, Bass::Eighths, true, true, kTunnelLead, false, true},
      {kPatternRows, kDiscoChords, Drums::Funk, Bass::Funk, false, true, kDiscoLead, true, false},
      {kPatternRows, kDiscoChords, Drums::Funk, Bass::Funk, true, true, kDiscoLead, false, true},
      {kPatternRows, kMain, Drums::Drive, Bass::Eighths, true, true, kHookA, true, false},
      {kPatternRows, kMain, Drums::Drive, Bass::Eighths, true, true, kHookB, false, false},
      {kPatternRows, kMain, Drums::Four, Bass::Eighths, true, true, kHookA, true, false},
      {kPatternRows, kMain, Drums::Drive, Bass::Eighths, true, true, kHookB, false, true},
      {kLongRows, kOutroChords, Drums::Hats, Bass::Whole, true, false, kOutroLead, true, false},
      {kShortRows, {kAm}, Drums::None, Bass::Whole, true, false, {}, true, false},
      {32, intro, Drums::Hats, Bass::Whole, true, true, {}, false, false},
  };
}

Cell Note(int note, int instrument, int volume = chiptune::kNoVolume) {
  Cell c;
  c.note = note;
  c.instrument = instrument;
  c.volume = volume;
  return c;
}

Cell NoteOff() {
  Cell c;
  c.note = chiptune::kNoteOff;
  return c;
}

int ParseNote(std::string_view token) {
  static constexpr int kPitchClass[] = {9, 11, 0, 2, 4, 5, 7};  // A..G
  if (token.size() < 2 || token[0] < 'A' || token[0] > 'G') throw std::logic_error("bad note");
  int note = kPitchClass[token[0] - 'A'];
  size_t at = 1;
  if (token[at] == '#') {
    ++note;
    ++at;
  }
  if (at + 1 != token.size() || token[at] < '0' || token[at] > '9') throw std::logic_error("bad note");
  return note + (token[at] - '0' + 1) * kOctave;
}

void PutDrums(const Section& s, int row, Pattern* p) {
  const int step = row % kBarRows;
  const bool rolling = s.fill && row >= s.rows - kBarRows / 2;
  auto kick = [&] { p->At(row, kKickCh) = Note(kKickNote, kKick); };
  auto snare = [&](int volume) { p->At(row, kSnareCh) = Note(kSnareNote, kSnare, volume); };
  auto hat = [&](int instrument, int volume) { p->At(row, kHatCh) = Note(kHatNote, instrument, volume); };
  if (rolling) {
    // Louder and louder to the next order.
    const int into = row - (s.rows - kBarRows / 2);
    snare(24 + into * 5);
    if (into == 0) kick();
    return;
  }
  switch (s.drums) {
    case Drums::None:
      break;
    case Drums::Hats:
      if (step % 2 == 0) hat(kHat, step % 4 == 2 ? 24 : 12);
      break;
    case Drums::Half:
      if (step == 0 || step == 10) kick();
      if (step == 8) snare(chiptune::kNoVolume);
      if (step % 2 == 0) hat(kHat, step % 4 == 2 ? 22 : 12);
      break;
    case Drums::Four:
    case Drums::Drive:
      if (step % 4 == 0) kick();
      if (step == 4 || step == 12) snare(chiptune::kNoVolume);
      if (step % 4 == 2) hat(kOpenHat, chiptune::kNoVolume);
      else if (s.drums == Drums::Drive) hat(kHat, step % 2 == 0 ? 18 : 10);
      break;
    case Drums::Funk:
      if (step == 0 || step == 3 || step == 8 || step == 10) kick();
      if (step == 4 || step == 12) snare(chiptune::kNoVolume);
      if (step == 7 || step == 15) snare(14);  // ghost notes
      if (step == 14) hat(kOpenHat, chiptune::kNoVolume);
      else hat(kHat, step % 2 == 0 ? 20 : 11);
      break;
  }
  if (row == 0 && s.crash) hat(kCrash, chiptune::kNoVolume);
}

void PutBass(const Section& s, int row, const Chord& chord, Pattern* p) {
  const int step = row % kBarRows;
  int note = chiptune::kNoNote;
  switch (s.bass) {
    case Bass::None:
      break;
    case Bass::Whole:
      if (step == 0) note = chord.bass;
      break;
    case Bass::Eighths:
      if (step % 2 == 0) note = chord.bass + (step % 8 == 6 ? kOctave : 0);
      break;
    case Bass::Funk: {
      static constexpr int kRiff[kBarRows] = {0, -1, -1, 0, -1, -1, kOctave, -1, 0, -1, kFifth, kOctave,
                                              -1, -1, kMinorSeventh, -1};
      if (kRiff[step] >= 0) note = chord.bass + kRiff[step];
      break;
    }
  }
  if (note != chiptune::kNoNote) p->At(row, kBassCh) = Note(note, kBass);
}

void PutHarmony(const Section& s, int row, const Chord& chord, Pattern* p) {
  const int step = row % kBarRows;
  if (s.pads && step == 0) {
    for (int i = 0; i < 3; ++i) p->At(row, kPadCh1 + i) = Note(chord.pad[size_t(i)], kPad);
  }
  if (s.arp) {
    if (step % 4 == 0) p->At(row, kArpCh) = Note(chord.arpRoot, kArp);
    p->At(row, kArpCh).effect = Effect::Arpeggio;
    p->At(row, kArpCh).param = chord.arp;
  }
}

void PutLead(const Section& s, Pattern* p) {
  int held = 0;
  for (int bar = 0; bar * kBarRows < s.rows; ++bar) {
    const Bar text = s.lead[size_t(bar) % s.lead.size()];
    size_t at = 0;
    for (int step = 0; step < kBarRows; ++step) {
      while (at < text.size() && text[at] == ' ') ++at;
      const size_t end = std::min(text.find(' ', at), text.size());
      const std::string_view token = text.substr(at, end - at);
      at = end;
      if (token.empty()) throw std::logic_error("melody bar shorter than a bar");
      Cell& cell = p->At(bar * kBarRows + step, kLeadCh);
      if (token == "-") {
        if (++held >= kVibratoAfterRows) {
          cell.effect = Effect::Vibrato;
          cell.param = kLeadVibrato;
        }
      } else if (token == ".") {
        cell = NoteOff();
        held = 0;
      } else {
        cell = Note(ParseNote(token), kLead);
        held = 0;
      }
    }
  }
}

Pattern MakePattern(const Section& s, int index) {
  Pattern p;
  p.name = "order" + std::to_string(index);
  p.rows = s.rows;
  p.channels = kChannels;
  p.cells.assign(size_t(s.rows * kChannels), Cell{});
  // Channels a section leaves out fall silent at its start.
  for (int ch : {kBassCh, kPadCh1, kPadCh2, kPadCh3, kArpCh, kLeadCh}) p.At(0, ch) = NoteOff();
  for (int row = 0; row < s.rows; ++row) {
    const Chord& chord = s.chords[size_t(row / kBarRows) % s.chords.size()];
    PutDrums(s, row, &p);
    PutBass(s, row, chord, &p);
    PutHarmony(s, row, chord, &p);
  }
  if (!s.lead.empty()) PutLead(s, &p);
  return p;
}

}  // namespace

chiptune::Song DemoSong() {
  chiptune::Song song;
  song.title = "Marigold";
  song.tempo = kTempo;
  song.speed = kSpeed;
  song.channels = kChannels;
  song.restart = kFirstSceneOrder;
  song.instruments = Instruments();
  const std::vector<Section> sections = Sections();
  for (size_t i = 0; i < sections.size(); ++i) {
    song.patterns.push_back(MakePattern(sections[i], static_cast<int>(i)));
    song.order.push_back(static_cast<int>(i));
  }
  for (const SyncCue& cue : DemoSyncCues()) {
    if (cue.order < 0 || size_t(cue.order) >= song.order.size()) throw std::logic_error("sync cue order");
    Pattern& p = song.patterns[size_t(song.order[size_t(cue.order)])];
    if (cue.row < 0 || cue.row >= p.rows) throw std::logic_error("sync cue row");
    Cell& cell = p.At(cue.row, kSyncCh);
    cell.effect = Effect::Sync;
    cell.param = cue.value;
  }
  return song;
}

std::vector<uint8_t> DemoModule() { return chiptune::WriteXm(DemoSong()); }

}  // namespace demotools
