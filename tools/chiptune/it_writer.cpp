// Impulse Tracker module in sample mode (no instruments): uncompressed
// 16-bit signed samples, packed patterns of 32..200 rows.
#include "tools/chiptune/byte_writer.hpp"
#include "tools/chiptune/effect_codes.hpp"
#include "tools/chiptune/module_layout.hpp"
#include "tools/chiptune/module_writer.hpp"

namespace chiptune {
namespace {

constexpr FormatRules kItRules{
    .name = "IT",
    .maxChannels = 64,
    .fixedChannels = 0,
    .evenChannels = false,
    .maxPatterns = 200,
    .maxOrders = 255,  // and the end marker
    .maxInstruments = 99,
    .minRows = 32,
    .maxRows = 200,
    .lowestNote = 0,
    .highestNote = 119,  // B-9 in the tracker's naming
    .octaveShift = false,
    .minTempo = 32,
    .speedInHeader = true,
    .restartInHeader = false,
    .volumeColumn = true,
    .maxTitle = 25,
    .maxName = 25,
    .maxSampleFrames = 1u << 24,
};

constexpr uint32_t kVersion = 0x0214;
constexpr uint32_t kNoteCut = 254;
constexpr uint32_t kEndOfOrders = 255;
constexpr uint32_t kCentre = 32;
constexpr uint32_t kChannelOff = 128;

void WriteCell(const Cell& cell, int channel, ByteWriter* out) {
  const EffectCode effect = ScreamTrackerEffect(cell);
  uint32_t mask = 0;
  if (cell.note != kNoNote) mask |= 0x01;
  if (cell.instrument != 0) mask |= 0x02;
  if (cell.volume != kNoVolume) mask |= 0x04;
  if (effect.command != 0) mask |= 0x08;
  if (mask == 0) return;
  out->U8(static_cast<uint32_t>(channel + 1) | 0x80);  // a mask follows
  out->U8(mask);
  if (mask & 0x01) out->U8(cell.note == kNoteOff ? kNoteCut : static_cast<uint32_t>(cell.note));
  if (mask & 0x02) out->U8(static_cast<uint32_t>(cell.instrument));
  if (mask & 0x04) out->U8(static_cast<uint32_t>(cell.volume));
  if (mask & 0x08) {
    out->U8(effect.command);
    out->U8(effect.param);
  }
}

void WritePattern(const Pattern& pattern, ByteWriter* out) {
  const size_t start = out->Size();
  out->U16(0);
  out->U16(static_cast<uint32_t>(pattern.rows));
  out->U32(0);
  for (int row = 0; row < pattern.rows; ++row) {
    for (int channel = 0; channel < pattern.channels; ++channel)
      WriteCell(pattern.At(row, channel), channel, out);
    out->U8(0);
  }
  out->PatchU16(start, static_cast<uint32_t>(out->Size() - start - 8));
}

// Returns the offset of the header's sample data pointer.
size_t WriteSampleHeader(const Instrument& instrument, const SampleData& sample, ByteWriter* out) {
  out->Text("IMPS", 4);
  out->Zeros(12);  // file name
  out->U8(0);
  out->U8(64);                                                // global volume
  out->U8(0x01 | 0x02 | (sample.loopLength > 0 ? 0x10 : 0));  // data, 16-bit, loop
  out->U8(static_cast<uint32_t>(instrument.volume));
  out->Text(instrument.name, 26);
  out->U8(0x01);     // signed data
  out->U8(kCentre);  // default pan, not enabled
  out->U32(static_cast<uint32_t>(sample.frames.size()));
  out->U32(sample.loopStart);
  out->U32(sample.loopStart + sample.loopLength);
  out->U32(kSampleRateAtC4);
  out->U32(0);  // sustain loop
  out->U32(0);
  const size_t pointerAt = out->Size();
  out->U32(0);
  out->Zeros(4);  // auto-vibrato
  return pointerAt;
}

}  // namespace

std::vector<uint8_t> WriteIt(const Song& song) {
  const LaidOutSong laid = LayOutSong(song, kItRules);
  const size_t orders = laid.order.size() + 1;
  const size_t samples = laid.samples.size();
  ByteWriter out;
  out.Text("IMPM", 4);
  out.Text(laid.title, 26);
  out.U8(4);   // rows per beat
  out.U8(16);  // rows per measure
  out.U16(static_cast<uint32_t>(orders));
  out.U16(0);  // instruments
  out.U16(static_cast<uint32_t>(samples));
  out.U16(static_cast<uint32_t>(laid.patterns.size()));
  out.U16(kVersion);
  out.U16(kVersion);
  out.U16(0x01 | 0x08);  // stereo, linear slides; sample mode
  out.U16(0);            // no message
  out.U8(128);           // global volume
  out.U8(48);            // mix volume
  out.U8(static_cast<uint32_t>(laid.speed));
  out.U8(static_cast<uint32_t>(laid.tempo));
  out.U8(128);  // panning separation
  out.U8(0);    // pitch wheel depth
  out.U16(0);   // message length
  out.U32(0);   // message offset
  out.U32(0);
  for (int channel = 0; channel < 64; ++channel)
    out.U8(channel < laid.channels ? kCentre : kCentre | kChannelOff);
  for (int channel = 0; channel < 64; ++channel) out.U8(64);
  for (size_t i = 0; i < orders; ++i)
    out.U8(i < laid.order.size() ? static_cast<uint32_t>(laid.order[i]) : kEndOfOrders);
  const size_t samplePointers = out.Size();
  out.Zeros(4 * samples);
  const size_t patternPointers = out.Size();
  out.Zeros(4 * laid.patterns.size());

  std::vector<size_t> dataPointers;
  for (size_t i = 0; i < samples; ++i) {
    out.PatchU32(samplePointers + 4 * i, static_cast<uint32_t>(out.Size()));
    dataPointers.push_back(WriteSampleHeader(laid.instruments[i], laid.samples[i], &out));
  }
  for (size_t i = 0; i < laid.patterns.size(); ++i) {
    out.PatchU32(patternPointers + 4 * i, static_cast<uint32_t>(out.Size()));
    WritePattern(laid.patterns[i], &out);
  }
  for (size_t i = 0; i < samples; ++i) {
    out.PatchU32(dataPointers[i], static_cast<uint32_t>(out.Size()));
    for (int16_t value : ToPcm16(laid.samples[i].frames)) out.U16(static_cast<uint16_t>(value));
  }
  return out.Take();
}

}  // namespace chiptune
