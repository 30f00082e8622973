#include "tools/chiptune/module_layout.hpp"

#include <algorithm>

namespace chiptune {
namespace {

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

[[noreturn]] void Fail(const FormatRules& rules, const std::string& message) {
  throw FormatError(std::string(rules.name) + ": " + message);
}

void CheckCount(const FormatRules& rules, size_t count, int limit, const char* what) {
  if (count > static_cast<size_t>(limit))
    Fail(rules, "the song has " + std::to_string(count) + " " + what + "; the format allows " +
                    std::to_string(limit));
}

void CheckSong(const Song& song, const FormatRules& rules) {
  CheckCount(rules, static_cast<size_t>(song.channels), rules.maxChannels, "channels");
  CheckCount(rules, song.instruments.size(), rules.maxInstruments, "instruments");
  CheckCount(rules, song.order.size(), rules.maxOrders, "order positions");
  if (song.title.size() > rules.maxTitle)
    Fail(rules, "the title is " + std::to_string(song.title.size()) +
                    " characters; the format allows " + std::to_string(rules.maxTitle));
  for (const Instrument& instrument : song.instruments)
    if (instrument.name.size() > rules.maxName)
      Fail(rules, "instrument name " + Quoted(instrument.name) + " is longer than " +
                      std::to_string(rules.maxName) + " characters");
  if (song.tempo < rules.minTempo)
    Fail(rules, "tempo " + std::to_string(song.tempo) + " is below the format's " +
                    std::to_string(rules.minTempo));
}

Pattern Widen(const Pattern& source, int channels) {
  Pattern pattern;
  pattern.name = source.name;
  pattern.rows = source.rows;
  pattern.channels = channels;
  pattern.cells.resize(static_cast<size_t>(source.rows * channels));
  for (int row = 0; row < source.rows; ++row)
    for (int channel = 0; channel < source.channels; ++channel)
      pattern.At(row, channel) = source.At(row, channel);
  return pattern;
}

// The notes one instrument plays, and the first that lies outside the range.
struct NoteSpan {
  int low = 1000, high = -1000;
  const Pattern* outside = nullptr;
  int row = 0, channel = 0;
};

NoteSpan SpanOf(const LaidOutSong& song, int instrument, const FormatRules& rules) {
  NoteSpan span;
  for (const Pattern& pattern : song.patterns)
    for (int row = 0; row < pattern.rows; ++row)
      for (int channel = 0; channel < pattern.channels; ++channel) {
        const Cell& cell = pattern.At(row, channel);
        if (cell.note < 0 || cell.instrument != instrument) continue;
        span.low = std::min(span.low, cell.note);
        span.high = std::max(span.high, cell.note);
        if (!span.outside && (cell.note < rules.lowestNote || cell.note > rules.highestNote)) {
          span.outside = &pattern;
          span.row = row;
          span.channel = channel;
        }
      }
  return span;
}

// Octaves k (a sample stretched 2^k) that bring an instrument's notes into range.
int ChooseShift(const LaidOutSong& song, int instrument, const FormatRules& rules) {
  const NoteSpan span = SpanOf(song, instrument, rules);
  if (!span.outside) return 0;
  const Instrument& source = song.instruments[static_cast<size_t>(instrument - 1)];
  const std::string range = NoteName(rules.lowestNote) + ".." + NoteName(rules.highestNote);
  if (!rules.octaveShift) {
    const Cell& cell = span.outside->At(span.row, span.channel);
    Fail(rules, "note " + NoteName(cell.note) + " in " +
                    CellPlace(*span.outside, span.row, span.channel) + " is outside the format's " +
                    range);
  }
  for (int shift : {1, 2, -1}) {
    if (shift < 0 && source.wave == Waveform::Noise) continue;
    if (span.low + 12 * shift >= rules.lowestNote && span.high + 12 * shift <= rules.highestNote)
      return shift;
  }
  Fail(rules, "instrument " + std::to_string(instrument) + " " + Quoted(source.name) + " plays " +
                  NoteName(span.low) + ".." + NoteName(span.high) + ", which does not fit the " +
                  "format's " + range);
}

void ShiftNotes(LaidOutSong* song, const std::vector<int>& shifts) {
  for (Pattern& pattern : song->patterns)
    for (Cell& cell : pattern.cells)
      if (cell.note >= 0) cell.note += 12 * shifts[static_cast<size_t>(cell.instrument - 1)];
}

void VolumesToEffects(Pattern* pattern, const FormatRules& rules) {
  for (int row = 0; row < pattern->rows; ++row)
    for (int channel = 0; channel < pattern->channels; ++channel) {
      Cell& cell = pattern->At(row, channel);
      int volume = cell.volume;
      if (cell.note == kNoteOff) {
        if (volume != kNoVolume)
          Fail(rules, "a note off cannot carry a volume in " + CellPlace(*pattern, row, channel));
        volume = 0;
        cell.note = kNoNote;
      }
      if (volume == kNoVolume) continue;
      if (cell.effect != Effect::None)
        Fail(rules, "no volume column: " + CellPlace(*pattern, row, channel) +
                        " has a volume (or note off) and an effect");
      cell.effect = Effect::SetVolume;
      cell.param = static_cast<uint8_t>(volume);
      cell.volume = kNoVolume;
    }
}

void PlaceEffect(Pattern* pattern, int row, Effect effect, int param, const FormatRules& rules,
                 const char* purpose) {
  for (int channel = pattern->channels - 1; channel >= 0; --channel) {
    Cell& cell = pattern->At(row, channel);
    if (cell.effect != Effect::None) continue;
    cell.effect = effect;
    cell.param = static_cast<uint8_t>(param);
    return;
  }
  Fail(rules, std::string("needs a free effect column for ") + purpose + " in pattern " +
                  Quoted(pattern->name) + " row " + std::to_string(row));
}

}  // namespace

LaidOutSong LayOutSong(const Song& song, const FormatRules& rules) {
  CheckSong(song, rules);
  LaidOutSong out;
  out.title = song.title;
  out.channels = rules.fixedChannels ? rules.fixedChannels
                                     : song.channels + (rules.evenChannels ? song.channels % 2 : 0);
  out.tempo = song.tempo;
  out.speed = song.speed;
  out.restart = song.restart;
  out.instruments = song.instruments;

  // Only patterns the order list plays are written, in the score's order.
  std::vector<int> index(song.patterns.size(), -1);
  for (int used : song.order) index[static_cast<size_t>(used)] = 0;
  for (size_t p = 0; p < song.patterns.size(); ++p) {
    if (index[p] < 0) continue;
    index[p] = static_cast<int>(out.patterns.size());
    out.patterns.push_back(Widen(song.patterns[p], out.channels));
  }
  for (int used : song.order) out.order.push_back(index[static_cast<size_t>(used)]);

  // The jump back must not fire where the last pattern also plays earlier.
  const bool jumpBack = song.restart > 0 && !rules.restartInHeader;
  if (jumpBack && std::count(out.order.begin(), out.order.end(), out.order.back()) > 1) {
    out.patterns.push_back(out.patterns[static_cast<size_t>(out.order.back())]);
    out.order.back() = static_cast<int>(out.patterns.size()) - 1;
  }
  CheckCount(rules, out.patterns.size(), rules.maxPatterns, "patterns");

  std::vector<int> shifts;
  for (int i = 1; i <= static_cast<int>(song.instruments.size()); ++i)
    shifts.push_back(ChooseShift(out, i, rules));
  ShiftNotes(&out, shifts);

  for (size_t p = 0; p < out.patterns.size(); ++p) {
    Pattern& pattern = out.patterns[p];
    if (!rules.volumeColumn) VolumesToEffects(&pattern, rules);
    if (pattern.rows > rules.maxRows)
      Fail(rules, "pattern " + Quoted(pattern.name) + " has " + std::to_string(pattern.rows) +
                      " rows; the format allows " + std::to_string(rules.maxRows));
    const int last = pattern.rows - 1;
    if (jumpBack && static_cast<int>(p) == out.order.back()) {
      PlaceEffect(&pattern, last, Effect::PositionJump, song.restart, rules, "the loop jump");
    } else if (pattern.rows < rules.minRows) {
      PlaceEffect(&pattern, last, Effect::PatternBreak, 0, rules, "the pattern break");
    }
    if (pattern.rows < rules.minRows) {
      pattern.cells.resize(static_cast<size_t>(rules.minRows * pattern.channels));
      pattern.rows = rules.minRows;
    }
  }
  if (!rules.speedInHeader) {
    Pattern* first = &out.patterns[static_cast<size_t>(out.order.front())];
    if (song.speed != 6) PlaceEffect(first, 0, Effect::SetSpeed, song.speed, rules, "the speed");
    if (song.tempo != 125) PlaceEffect(first, 0, Effect::SetTempo, song.tempo, rules, "the tempo");
  }

  for (size_t i = 0; i < song.instruments.size(); ++i) {
    out.samples.push_back(SynthesizeSample(song.instruments[i], shifts[i]));
    if (out.samples.back().frames.size() > rules.maxSampleFrames)
      Fail(rules, "instrument " + std::to_string(i + 1) + " " + Quoted(song.instruments[i].name) +
                      " needs " + std::to_string(out.samples.back().frames.size()) +
                      " sample frames; the format allows " + std::to_string(rules.maxSampleFrames));
  }
  return out;
}

}  // namespace chiptune
