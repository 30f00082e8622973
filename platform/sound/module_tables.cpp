// Header table checks of the two formats that reach their instrument and
// sample headers through tables of file offsets.
#include <cstring>

#include "platform/sound/module_file.hpp"

namespace platform {
namespace {

uint32_t Read16(const uint8_t* at) { return at[0] | at[1] << 8; }
uint32_t Read32(const uint8_t* at) {
  return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
}

// S3M: orders, then 16-bit paragraph numbers of the instruments and patterns.
bool S3mTablesInside(const uint8_t* data, size_t size) {
  constexpr size_t kHeader = 0x60, kInstrumentHeader = 80;
  const size_t orders = Read16(data + 0x20);
  const size_t instruments = Read16(data + 0x22);
  const size_t patterns = Read16(data + 0x24);
  const size_t table = kHeader + orders;
  if (table + 2 * (instruments + patterns) > size) return false;
  for (size_t i = 0; i < instruments; ++i) {
    if (size_t{Read16(data + table + 2 * i)} * 16 + kInstrumentHeader > size) return false;
  }
  for (size_t i = 0; i < patterns; ++i) {
    const size_t at = size_t{Read16(data + table + 2 * (instruments + i))} * 16;
    if (at != 0 && at + 2 > size) return false;  // 0: an empty pattern
  }
  return true;
}

// IT: orders, then 32-bit offsets of the instruments, samples and patterns.
bool ItTablesInside(const uint8_t* data, size_t size) {
  constexpr size_t kHeader = 0xC0, kInstrumentStart = 64, kSampleHeader = 80, kPatternHeader = 8;
  const size_t orders = Read16(data + 0x20);
  const size_t instruments = Read16(data + 0x22);
  const size_t samples = Read16(data + 0x24);
  const size_t patterns = Read16(data + 0x26);
  const size_t table = kHeader + orders;
  if (table + 4 * (instruments + samples + patterns) > size) return false;
  const uint8_t* offsets = data + table;
  for (size_t i = 0; i < instruments; ++i, offsets += 4) {
    if (size_t{Read32(offsets)} + kInstrumentStart > size) return false;
  }
  for (size_t i = 0; i < samples; ++i, offsets += 4) {
    if (size_t{Read32(offsets)} + kSampleHeader > size) return false;
  }
  for (size_t i = 0; i < patterns; ++i, offsets += 4) {
    const size_t at = Read32(offsets);
    if (at != 0 && at + kPatternHeader > size) return false;  // 0: an empty pattern
  }
  return true;
}

}  // namespace

bool ModuleTablesInsideFile(const uint8_t* data, size_t size) {
  if (size >= 0x60 && std::memcmp(data + 0x2C, "SCRM", 4) == 0) return S3mTablesInside(data, size);
  if (size >= 0xC0 && std::memcmp(data, "IMPM", 4) == 0) return ItTablesInside(data, size);
  return true;
}

}  // namespace platform
