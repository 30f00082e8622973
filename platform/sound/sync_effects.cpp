#include "platform/sound/sync_effects.hpp"

#include <libopenmpt/libopenmpt.h>

#include <cstring>
#include <vector>

#include "platform/sound/module_file.hpp"

namespace platform {
namespace {

// libopenmpt's own effect numbers for the extended commands.
constexpr int kOpenmptModExtended = 19;  // Exy of MOD and XM
constexpr int kOpenmptS3mExtended = 20;  // Sxy of S3M and IT
constexpr uint8_t kModSyncNibble = 0x8;  // E8x
constexpr uint8_t kS3mSyncNibble = 0x2;  // S2x
// Effect numbers as the files store them.
constexpr uint8_t kFileModExtended = 0xE;
constexpr uint8_t kFileLetterS = 'S' - 'A' + 1;

constexpr size_t kModPatternStart = 1084;
constexpr size_t kModOrderTable = 952;
constexpr size_t kModOrders = 128;
constexpr size_t kModTag = 1080;
constexpr size_t kModRows = 64;
constexpr size_t kCellBytes = 4;
constexpr uint16_t kXmVersion = 0x0104;
constexpr size_t kS3mRows = 64;

bool IsModSync(uint8_t command, uint8_t param) {
  return command == kFileModExtended && (param >> 4) == kModSyncNibble;
}

bool IsS3mSync(uint8_t command, uint8_t param) {
  return command == kFileLetterS && (param >> 4) == kS3mSyncNibble;
}

class Bytes {
 public:
  Bytes(uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t size() const { return size_; }
  bool Has(size_t at, size_t count) const { return at <= size_ && count <= size_ - at; }
  uint8_t U8(size_t at) const { return Has(at, 1) ? data_[at] : 0; }
  uint16_t U16(size_t at) const { return static_cast<uint16_t>(U8(at) | U8(at + 1) << 8); }
  uint32_t U32(size_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }
  bool Tag(size_t at, const char* text) const {
    const size_t length = std::strlen(text);
    return Has(at, length) && std::memcmp(data_ + at, text, length) == 0;
  }
  // Blanks the effect in the two bytes at `command` and `param` when
  // `isSync` says so; both must lie inside.
  size_t BlankIf(size_t command, size_t param, bool (*isSync)(uint8_t, uint8_t)) {
    if (!Has(command, 1) || !Has(param, 1) || !isSync(data_[command], data_[param])) return 0;
    data_[command] = 0;
    data_[param] = 0;
    return 1;
  }
  uint8_t* data() { return data_; }

 private:
  uint8_t* data_;
  size_t size_;
};

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Channels of a 31-sample MOD from its tag; 0 for an unknown tag.
size_t ModChannels(const Bytes& b) {
  for (const char* four : {"M.K.", "M!K!", "M&K!", "FLT4", "NSMS", "LARD", "PATT"})
    if (b.Tag(kModTag, four)) return 4;
  for (const char* eight : {"FLT8", "OKTA", "OCTA", "CD81"})
    if (b.Tag(kModTag, eight)) return 8;
  const uint8_t c0 = b.U8(kModTag), c1 = b.U8(kModTag + 1);
  if (b.Tag(kModTag + 1, "CHN") && IsDigit(c0)) return c0 - '0';
  if ((b.Tag(kModTag + 2, "CH") || b.Tag(kModTag + 2, "CN")) && IsDigit(c0) && IsDigit(c1))
    return static_cast<size_t>((c0 - '0') * 10 + (c1 - '0'));
  if (b.Tag(kModTag, "TDZ") && IsDigit(b.U8(kModTag + 3))) return b.U8(kModTag + 3) - '0';
  return 0;
}

// Every pattern is 64 rows of 4-byte cells, however a tracker orders the
// channels inside it.
size_t BlankMod(Bytes& b) {
  const size_t channels = ModChannels(b);
  if (channels == 0 || !b.Has(kModPatternStart, 0)) return 0;
  size_t patterns = 0;
  for (size_t i = 0; i < kModOrders; ++i)
    patterns = std::max<size_t>(patterns, b.U8(kModOrderTable + i) + 1u);
  const size_t cells = patterns * kModRows * channels;
  size_t blanked = 0;
  for (size_t i = 0; i < cells; ++i) {
    const size_t at = kModPatternStart + i * kCellBytes;
    if (!b.Has(at, kCellBytes)) break;
    const uint8_t low = b.data()[at + 2] & 0x0F;
    if (!IsModSync(low, b.data()[at + 3])) continue;
    b.data()[at + 2] &= 0xF0;
    b.data()[at + 3] = 0;
    ++blanked;
  }
  return blanked;
}

size_t BlankXmPattern(Bytes& b, size_t at, size_t end) {
  size_t blanked = 0;
  while (at < end) {
    const uint8_t lead = b.U8(at);
    if (!(lead & 0x80)) {  // note, instrument, volume, effect, parameter
      blanked += at + 4 < end ? b.BlankIf(at + 3, at + 4, IsModSync) : 0;
      at += 5;
      continue;
    }
    ++at;
    size_t command = 0, param = 0;
    for (int bit = 0; bit < 5; ++bit) {
      if (!(lead & (1 << bit))) continue;
      if (bit == 3) command = at;
      if (bit == 4) param = at;
      ++at;
    }
    if (command && param && param < end) blanked += b.BlankIf(command, param, IsModSync);
  }
  return blanked;
}

size_t BlankXm(Bytes& b) {
  constexpr size_t kVersion = 58, kHeaderSize = 60, kPatterns = 70;
  if (!b.Tag(0, "Extended Module: ") || b.U16(kVersion) != kXmVersion) return 0;
  size_t at = kHeaderSize + size_t{b.U32(kHeaderSize)};
  size_t blanked = 0;
  for (uint32_t p = 0; p < b.U16(kPatterns); ++p) {
    if (!b.Has(at, 9)) break;
    const size_t headerLength = b.U32(at);
    const size_t packed = b.U16(at + 7);
    const size_t data = at + headerLength;
    if (headerLength < 9 || !b.Has(data, packed)) break;
    blanked += BlankXmPattern(b, data, data + packed);
    at = data + packed;
  }
  return blanked;
}

size_t BlankS3m(Bytes& b) {
  constexpr size_t kOrders = 32, kInstruments = 34, kPatterns = 36, kTables = 96;
  constexpr size_t kParagraph = 16;
  if (!b.Tag(44, "SCRM")) return 0;
  const size_t table = kTables + b.U16(kOrders) + size_t{b.U16(kInstruments)} * 2;
  size_t blanked = 0;
  for (size_t p = 0; p < b.U16(kPatterns); ++p) {
    const size_t start = size_t{b.U16(table + p * 2)} * kParagraph;
    if (start == 0 || !b.Has(start, 2)) continue;
    size_t at = start + 2;
    const size_t end = std::min(b.size(), start + b.U16(start));
    for (size_t row = 0; row < kS3mRows && at < end;) {
      const uint8_t what = b.U8(at++);
      if (what == 0) {
        ++row;
        continue;
      }
      if (what & 0x20) at += 2;
      if (what & 0x40) at += 1;
      if (what & 0x80) {
        if (at + 1 < end) blanked += b.BlankIf(at, at + 1, IsS3mSync);
        at += 2;
      }
    }
  }
  return blanked;
}

size_t BlankIt(Bytes& b) {
  constexpr size_t kOrders = 0x20, kInstruments = 0x22, kSamples = 0x24, kPatterns = 0x26;
  constexpr size_t kTables = 0xC0, kPatternHeader = 8, kChannels = 64;
  if (!b.Tag(0, "IMPM")) return 0;
  const size_t table = kTables + b.U16(kOrders) + size_t{b.U16(kInstruments)} * 4 +
                       size_t{b.U16(kSamples)} * 4;
  size_t blanked = 0;
  for (size_t p = 0; p < b.U16(kPatterns); ++p) {
    const size_t start = b.U32(table + p * 4);
    if (start == 0 || !b.Has(start, kPatternHeader)) continue;
    size_t at = start + kPatternHeader;
    const size_t end = std::min(b.size(), at + b.U16(start));
    uint8_t masks[kChannels] = {};
    while (at < end) {
      const uint8_t lead = b.U8(at++);
      if (lead == 0) continue;  // end of a row
      const size_t channel = (lead - 1u) & (kChannels - 1);
      if (lead & 0x80) masks[channel] = b.U8(at++);
      const uint8_t mask = masks[channel];
      if (mask & 0x01) ++at;
      if (mask & 0x02) ++at;
      if (mask & 0x04) ++at;
      if (mask & 0x08) {
        if (at + 1 < end) blanked += b.BlankIf(at, at + 1, IsS3mSync);
        at += 2;
      }
    }
  }
  return blanked;
}

}  // namespace

void SyncTable::Add(int32_t pattern, int32_t row, uint8_t value) {
  rows_[{pattern, row}].push_back(value);
}

const std::vector<uint8_t>& SyncTable::At(int32_t pattern, int32_t row) const {
  static const std::vector<uint8_t> kNone;
  const auto found = rows_.find({pattern, row});
  return found == rows_.end() ? kNone : found->second;
}

size_t SyncTable::Count() const {
  size_t count = 0;
  for (const auto& [row, values] : rows_) count += values.size();
  return count;
}

SyncTable FindSyncEffects(openmpt_module* module) {
  SyncTable table;
  if (!module) return table;
  const int32_t channels = openmpt_module_get_num_channels(module);
  const int32_t patterns = openmpt_module_get_num_patterns(module);
  for (int32_t p = 0; p < patterns; ++p) {
    const int32_t rows = openmpt_module_get_pattern_num_rows(module, p);
    for (int32_t r = 0; r < rows; ++r) {
      for (int32_t c = 0; c < channels; ++c) {
        const int effect = openmpt_module_get_pattern_row_channel_command(
            module, p, r, c, OPENMPT_MODULE_COMMAND_EFFECT);
        const uint8_t param = openmpt_module_get_pattern_row_channel_command(
            module, p, r, c, OPENMPT_MODULE_COMMAND_PARAMETER);
        const bool sync = (effect == kOpenmptModExtended && (param >> 4) == kModSyncNibble) ||
                          (effect == kOpenmptS3mExtended && (param >> 4) == kS3mSyncNibble);
        if (sync) table.Add(p, r, param & 0x0F);
      }
    }
  }
  return table;
}

size_t BlankSyncEffects(uint8_t* data, size_t size) {
  if (!data) return 0;
  Bytes bytes(data, size);
  if (bytes.Tag(0, "Extended Module: ")) return BlankXm(bytes);
  if (bytes.Tag(44, "SCRM")) return BlankS3m(bytes);
  if (bytes.Tag(0, "IMPM")) return BlankIt(bytes);
  return BlankMod(bytes);
}

SyncedModule LoadSyncedModule(const void* data, size_t size) {
  const ModuleLoad original = LoadModuleMemory(data, size);
  if (!original.module) return {nullptr, {}, true};
  SyncTable syncs = FindSyncEffects(original.module);
  if (syncs.empty()) return {original.module, std::move(syncs), true};
  std::vector<uint8_t> copy(static_cast<const uint8_t*>(data),
                            static_cast<const uint8_t*>(data) + size);
  BlankSyncEffects(copy.data(), copy.size());
  const ModuleLoad blanked = LoadModuleMemory(copy.data(), copy.size());
  if (blanked.module && FindSyncEffects(blanked.module).empty()) {
    FreeModule(original.module);
    return {blanked.module, std::move(syncs), true};
  }
  FreeModule(blanked.module);
  return {original.module, std::move(syncs), false};
}

}  // namespace platform
