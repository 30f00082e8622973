// Four-channel "M.K." module: 31 samples of 8-bit signed data, 64-row
// patterns, three octaves of Amiga periods.
#include <algorithm>

#include "tools/chiptune/byte_writer.hpp"
#include "tools/chiptune/effect_codes.hpp"
#include "tools/chiptune/module_layout.hpp"
#include "tools/chiptune/module_writer.hpp"

namespace chiptune {
namespace {

constexpr int kSampleSlots = 31;

constexpr FormatRules kModRules{
    .name = "MOD",
    .maxChannels = 4,
    .fixedChannels = 4,
    .evenChannels = false,
    .maxPatterns = 64,
    .maxOrders = 128,
    .maxInstruments = kSampleSlots,
    .minRows = 64,
    .maxRows = 64,
    .lowestNote = 48,   // the tracker's C-1, period 856
    .highestNote = 83,  // B-3, period 113
    .octaveShift = true,
    .minTempo = 32,
    .speedInHeader = false,
    .restartInHeader = false,
    .volumeColumn = false,
    .maxTitle = 20,
    .maxName = 22,
    .maxSampleFrames = 2 * 65535,
};

// Periods at finetune 0; C-4 of the score (period 428) plays a sample at 8363 Hz.
constexpr uint16_t kPeriods[36] = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,  //
    428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,  //
    214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113,
};

void WriteSampleHeader(const Instrument& instrument, const SampleData& sample, ByteWriter* out) {
  const int eighths = static_cast<int>(std::lround(FineTuneUnits(kSampleRateAtC4) / 16.0));
  out->Text(instrument.name, 22);
  out->U16Be(static_cast<uint32_t>(sample.frames.size() / 2));
  out->U8(static_cast<uint32_t>(std::clamp(eighths, -8, 7) & 0x0F));
  out->U8(static_cast<uint32_t>(instrument.volume));
  out->U16Be(sample.loopLength > 0 ? sample.loopStart / 2 : 0);
  out->U16Be(sample.loopLength > 0 ? sample.loopLength / 2 : 1);
}

void WriteCell(const Cell& cell, ByteWriter* out) {
  const uint32_t period = cell.note >= 0 ? kPeriods[cell.note - kModRules.lowestNote] : 0;
  const uint32_t sample = static_cast<uint32_t>(cell.instrument);
  const EffectCode effect = ProTrackerEffect(cell);
  out->U8((sample & 0xF0) | (period >> 8));
  out->U8(period & 0xFF);
  out->U8(((sample & 0x0F) << 4) | effect.command);
  out->U8(effect.param);
}

void WriteSampleData(const SampleData& sample, ByteWriter* out) {
  std::vector<int8_t> pcm = ToPcm8(sample.frames);
  // A sample that plays once then repeats its first word: keep that word silent.
  if (sample.loopLength == 0)
    for (size_t i = 0; i < std::min<size_t>(2, pcm.size()); ++i) pcm[i] = 0;
  for (int8_t value : pcm) out->U8(static_cast<uint8_t>(value));
}

}  // namespace

std::vector<uint8_t> WriteMod(const Song& song) {
  const LaidOutSong laid = LayOutSong(song, kModRules);
  ByteWriter out;
  out.Text(laid.title, 20);
  for (size_t i = 0; i < kSampleSlots; ++i) {
    if (i < laid.instruments.size()) {
      WriteSampleHeader(laid.instruments[i], laid.samples[i], &out);
    } else {
      out.Zeros(28);
      out.U16Be(1);  // an empty slot's loop length is one word
    }
  }
  out.U8(static_cast<uint32_t>(laid.order.size()));
  out.U8(127);  // restart byte unused: the loop is a position jump
  for (size_t i = 0; i < 128; ++i)
    out.U8(i < laid.order.size() ? static_cast<uint32_t>(laid.order[i]) : 0);
  out.Text("M.K.", 4);
  for (const Pattern& pattern : laid.patterns)
    for (const Cell& cell : pattern.cells) WriteCell(cell, &out);
  for (const SampleData& sample : laid.samples) WriteSampleData(sample, &out);
  return out.Take();
}

}  // namespace chiptune
