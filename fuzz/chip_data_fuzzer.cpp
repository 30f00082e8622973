// Arbitrary bytes as the chip player's data file: load the six pictures,
// list the directory, and decode the bytes themselves as one coded picture.
// Every failure must come back as a status, never as a stray read or write.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

#include "chipdisk/data/chip_data_reader.hpp"

namespace {

constexpr const char* kFile = "chip.dat";

void WriteBytes(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(kFile, "wb");
  if (!file) std::abort();
  if (size > 0) std::fwrite(data, 1, size, file);
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::unique_ptr<uint8_t[]> block(new uint8_t[chipdisk::kWorkingBlockSize]);
  const chipdisk::ChipBlockRegions regions = chipdisk::SplitWorkingBlock(block.get());

  WriteBytes(data, size);
  chipdisk::ChipDataReader reader;
  uint32_t storeUsed = 0;
  std::array<chipdisk::PictureSlot, chipdisk::kPictureCount> pictures{};
  if (chipdisk::LoadChipPictures(reader, kFile, regions, storeUsed, pictures).ok()) {
    if (storeUsed > chipdisk::kPictureStoreSize) std::abort();
    const chipdisk::PictureSlot& map = pictures[chipdisk::kHotspotMap];
    volatile uint8_t sink = chipdisk::HotspotCodeAt(map, static_cast<int32_t>(map.width) - 1,
                                                    static_cast<int32_t>(map.height) - 1);
    (void)sink;
  }
  std::vector<chipdisk::ChipDirectoryEntry> entries;
  (void)chipdisk::ReadChipDirectory(kFile, entries);

  chipdisk::DecodeChipPicture(reader, {data, size},
                              {regions.decodeBuffer, chipdisk::kDecodeBufferSize});
  return 0;
}
