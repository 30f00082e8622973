// FastTracker 2 extended module, version 1.04: linear frequencies, one
// instrument with one 16-bit delta-coded sample per score instrument.
#include "tools/chiptune/byte_writer.hpp"
#include "tools/chiptune/effect_codes.hpp"
#include "tools/chiptune/module_layout.hpp"
#include "tools/chiptune/module_writer.hpp"

namespace chiptune {
namespace {

constexpr FormatRules kXmRules{
    .name = "XM",
    .maxChannels = 32,
    .fixedChannels = 0,
    .evenChannels = true,
    .maxPatterns = 256,
    .maxOrders = 256,
    .maxInstruments = 128,
    .minRows = 1,
    .maxRows = 256,
    .lowestNote = 12,    // C-0, the format's note 1
    .highestNote = 107,  // B-7, note 96
    .octaveShift = false,
    .minTempo = 32,
    .speedInHeader = true,
    .restartInHeader = true,
    .volumeColumn = true,
    .maxTitle = 20,
    .maxName = 22,
    .maxSampleFrames = 1u << 24,
};

constexpr uint8_t kKeyOff = 97;
constexpr uint32_t kInstrumentHeaderSize = 263;
constexpr uint32_t kSampleHeaderSize = 40;

void WriteCell(const Cell& cell, ByteWriter* out) {
  const EffectCode effect = ProTrackerEffect(cell);
  uint8_t mask = 0x80;
  if (cell.note != kNoNote) mask |= 0x01;
  if (cell.instrument != 0) mask |= 0x02;
  if (cell.volume != kNoVolume) mask |= 0x04;
  if (effect.command != 0) mask |= 0x08;
  if (effect.param != 0) mask |= 0x10;
  out->U8(mask);
  if (mask & 0x01) out->U8(cell.note == kNoteOff ? kKeyOff : static_cast<uint32_t>(cell.note - 11));
  if (mask & 0x02) out->U8(static_cast<uint32_t>(cell.instrument));
  if (mask & 0x04) out->U8(0x10 + static_cast<uint32_t>(cell.volume));
  if (mask & 0x08) out->U8(effect.command);
  if (mask & 0x10) out->U8(effect.param);
}

void WritePattern(const Pattern& pattern, ByteWriter* out) {
  out->U32(9);  // header length
  out->U8(0);   // packing type
  out->U16(static_cast<uint32_t>(pattern.rows));
  const size_t sizeAt = out->Size();
  out->U16(0);
  const size_t start = out->Size();
  for (const Cell& cell : pattern.cells) WriteCell(cell, out);
  out->PatchU16(sizeAt, static_cast<uint32_t>(out->Size() - start));
}

void WriteInstrument(const Instrument& instrument, const SampleData& sample, ByteWriter* out) {
  out->U32(kInstrumentHeaderSize);
  out->Text(instrument.name, 22);
  out->U8(0);   // type
  out->U16(1);  // samples
  out->U32(kSampleHeaderSize);
  out->Zeros(96);             // every note plays sample 0
  out->Zeros(48 + 48);        // volume and panning envelope points
  out->Zeros(2 + 3 + 3 + 2);  // point counts, sustain/loop points, envelope types: none
  out->Zeros(4);              // auto-vibrato
  out->U16(0);                // fade-out
  out->Zeros(22);             // reserved

  const int tune = FineTuneUnits(kSampleRateAtC4);
  const int relative = static_cast<int>(std::lround(tune / 128.0));
  out->U32(static_cast<uint32_t>(sample.frames.size() * 2));
  out->U32(sample.loopStart * 2);
  out->U32(sample.loopLength * 2);
  out->U8(static_cast<uint32_t>(instrument.volume));
  out->U8(static_cast<uint32_t>(static_cast<uint8_t>(tune - relative * 128)));
  out->U8((sample.loopLength > 0 ? 0x01 : 0x00) | 0x10);  // forward loop, 16-bit
  out->U8(128);                                           // panning: centre
  out->U8(static_cast<uint32_t>(static_cast<uint8_t>(relative)));
  out->U8(0);  // delta coding
  out->Text(instrument.name, 22);
}

void WriteSampleData(const SampleData& sample, ByteWriter* out) {
  int16_t previous = 0;
  for (int16_t value : ToPcm16(sample.frames)) {
    out->U16(static_cast<uint16_t>(value - previous));
    previous = value;
  }
}

}  // namespace

std::vector<uint8_t> WriteXm(const Song& song) {
  const LaidOutSong laid = LayOutSong(song, kXmRules);
  ByteWriter out;
  out.Text("Extended Module: ", 17);
  out.Text(laid.title, 20);
  out.U8(0x1A);
  out.Text("varnel-tune", 20, ' ');
  out.U16(0x0104);
  out.U32(276);  // header size from here: fields and the 256-entry order table
  out.U16(static_cast<uint32_t>(laid.order.size()));
  out.U16(static_cast<uint32_t>(laid.restart));
  out.U16(static_cast<uint32_t>(laid.channels));
  out.U16(static_cast<uint32_t>(laid.patterns.size()));
  out.U16(static_cast<uint32_t>(laid.instruments.size()));
  out.U16(1);  // linear frequency table
  out.U16(static_cast<uint32_t>(laid.speed));
  out.U16(static_cast<uint32_t>(laid.tempo));
  for (size_t i = 0; i < 256; ++i)
    out.U8(i < laid.order.size() ? static_cast<uint32_t>(laid.order[i]) : 0);
  for (const Pattern& pattern : laid.patterns) WritePattern(pattern, &out);
  for (size_t i = 0; i < laid.instruments.size(); ++i) {
    WriteInstrument(laid.instruments[i], laid.samples[i], &out);
    WriteSampleData(laid.samples[i], &out);
  }
  return out.Take();
}

}  // namespace chiptune
