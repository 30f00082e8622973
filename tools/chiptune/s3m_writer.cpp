// Scream Tracker 3 module: 8-bit unsigned samples, 64-row packed patterns,
// everything placed on 16-byte paragraphs that the header points at.
#include "tools/chiptune/byte_writer.hpp"
#include "tools/chiptune/effect_codes.hpp"
#include "tools/chiptune/module_layout.hpp"
#include "tools/chiptune/module_writer.hpp"

namespace chiptune {
namespace {

constexpr FormatRules kS3mRules{
    .name = "S3M",
    .maxChannels = 16,  // the sample channels L1-L8 and R1-R8
    .fixedChannels = 0,
    .evenChannels = false,
    .maxPatterns = 100,
    .maxOrders = 255,
    .maxInstruments = 99,
    .minRows = 64,
    .maxRows = 64,
    .lowestNote = 12,    // C-0
    .highestNote = 107,  // B-7
    .octaveShift = false,
    .minTempo = 33,
    .speedInHeader = true,
    .restartInHeader = false,
    .volumeColumn = true,
    .maxTitle = 27,
    .maxName = 27,
    .maxSampleFrames = 64000,
};

constexpr uint32_t kNoteCut = 254;
constexpr uint32_t kEndOfOrders = 255;
constexpr uint32_t kUnusedChannel = 255;

uint32_t Paragraph(size_t offset) { return static_cast<uint32_t>(offset / 16); }

void WriteCell(const Cell& cell, int channel, ByteWriter* out) {
  const EffectCode effect = ScreamTrackerEffect(cell);
  uint32_t what = static_cast<uint32_t>(channel);
  if (cell.note != kNoNote) what |= 0x20;
  if (cell.volume != kNoVolume) what |= 0x40;
  if (effect.command != 0) what |= 0x80;
  if (what == static_cast<uint32_t>(channel)) return;
  out->U8(what);
  if (what & 0x20) {
    out->U8(cell.note == kNoteOff
                ? kNoteCut
                : static_cast<uint32_t>((cell.note / 12 - 1) << 4 | cell.note % 12));
    out->U8(static_cast<uint32_t>(cell.instrument));
  }
  if (what & 0x40) out->U8(static_cast<uint32_t>(cell.volume));
  if (what & 0x80) {
    out->U8(effect.command);
    out->U8(effect.param);
  }
}

void WritePattern(const Pattern& pattern, ByteWriter* out) {
  const size_t start = out->Size();
  out->U16(0);
  for (int row = 0; row < pattern.rows; ++row) {
    for (int channel = 0; channel < pattern.channels; ++channel)
      WriteCell(pattern.At(row, channel), channel, out);
    out->U8(0);
  }
  out->PatchU16(start, static_cast<uint32_t>(out->Size() - start));
}

// Returns the offset of the header's three-byte sample pointer.
size_t WriteSampleHeader(const Instrument& instrument, const SampleData& sample, ByteWriter* out) {
  out->U8(1);      // a sample
  out->Zeros(12);  // file name
  const size_t pointerAt = out->Size();
  out->Zeros(3);
  out->U32(static_cast<uint32_t>(sample.frames.size()));
  out->U32(sample.loopStart);
  out->U32(sample.loopStart + sample.loopLength);
  out->U8(static_cast<uint32_t>(instrument.volume));
  out->U8(0);
  out->U8(0);  // not packed
  out->U8(sample.loopLength > 0 ? 1 : 0);
  out->U32(kSampleRateAtC4);
  out->Zeros(12);
  out->Text(instrument.name, 28);
  out->Text("SCRS", 4);
  return pointerAt;
}

}  // namespace

std::vector<uint8_t> WriteS3m(const Song& song) {
  const LaidOutSong laid = LayOutSong(song, kS3mRules);
  const size_t orders = laid.order.size() + 1 + (laid.order.size() + 1) % 2;  // ends, even
  const size_t samples = laid.samples.size();
  ByteWriter out;
  out.Text(laid.title, 28);
  out.U8(0x1A);
  out.U8(16);  // module type
  out.U16(0);
  out.U16(static_cast<uint32_t>(orders));
  out.U16(static_cast<uint32_t>(samples));
  out.U16(static_cast<uint32_t>(laid.patterns.size()));
  out.U16(0);       // flags
  out.U16(0x1320);  // written as by version 3.20
  out.U16(2);       // unsigned samples
  out.Text("SCRM", 4);
  out.U8(64);  // global volume
  out.U8(static_cast<uint32_t>(laid.speed));
  out.U8(static_cast<uint32_t>(laid.tempo));
  out.U8(0x80 | 48);  // stereo, master volume 48
  out.U8(16);         // click removal
  out.U8(0);          // no panning table
  out.Zeros(8);
  out.U16(0);  // no special data
  // Channels alternate left and right: L1 R1 L2 R2 ...
  for (int channel = 0; channel < 32; ++channel)
    out.U8(channel < laid.channels ? static_cast<uint32_t>(channel % 2 * 8 + channel / 2)
                                   : kUnusedChannel);
  for (size_t i = 0; i < orders; ++i)
    out.U8(i < laid.order.size() ? static_cast<uint32_t>(laid.order[i]) : kEndOfOrders);
  const size_t samplePointers = out.Size();
  out.Zeros(2 * samples);
  const size_t patternPointers = out.Size();
  out.Zeros(2 * laid.patterns.size());

  std::vector<size_t> dataPointers;
  for (size_t i = 0; i < samples; ++i) {
    out.AlignTo(16);
    out.PatchU16(samplePointers + 2 * i, Paragraph(out.Size()));
    dataPointers.push_back(WriteSampleHeader(laid.instruments[i], laid.samples[i], &out));
  }
  for (size_t i = 0; i < laid.patterns.size(); ++i) {
    out.AlignTo(16);
    out.PatchU16(patternPointers + 2 * i, Paragraph(out.Size()));
    WritePattern(laid.patterns[i], &out);
  }
  for (size_t i = 0; i < samples; ++i) {
    out.AlignTo(16);
    const uint32_t paragraph = Paragraph(out.Size());
    out.PatchU8(dataPointers[i], paragraph >> 16);  // high byte first, then the low word
    out.PatchU16(dataPointers[i] + 1, paragraph);
    for (int8_t value : ToPcm8(laid.samples[i].frames))
      out.U8(static_cast<uint32_t>(static_cast<uint8_t>(value) ^ 0x80));
  }
  return out.Take();
}

}  // namespace chiptune
