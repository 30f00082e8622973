// The run-length coded PCX pictures of the data file.
#include <algorithm>
#include <cstring>

#include "chipdisk/data/chip_data_reader.hpp"

namespace chipdisk {
namespace {

constexpr uint8_t kRunMask = 0x3F;  // run length = byte - 192

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

}  // namespace

ChipDataStatus ReadPictureHeader(std::span<const uint8_t> coded, ChipPictureHeader& header) {
  if (coded.size() < kPcxHeaderSize)
    return {ChipDataError::kHeaderTooShort,
            "is " + std::to_string(coded.size()) + " bytes, shorter than the " +
                std::to_string(kPcxHeaderSize) + "-byte picture header."};
  const uint8_t* p = coded.data();
  // 16-bit arithmetic: max < min wraps around as the format defines it.
  header.width = static_cast<uint16_t>(Le16(p + kPcxXMaxOffset) - Le16(p + kPcxXMinOffset) + 1);
  header.height = static_cast<uint16_t>(Le16(p + kPcxYMaxOffset) - Le16(p + kPcxYMinOffset) + 1);
  header.planes = p[kPcxPlanesOffset] == 1 ? 1 : 3;
  return {};
}

ChipDataStatus DecodeChipPicture(ChipDataReader& reader, std::span<const uint8_t> coded,
                                 std::span<uint8_t> destination) {
  ChipPictureHeader header;
  if (auto status = ReadPictureHeader(coded, header); !status.ok()) return status;
  const uint64_t total = uint64_t(header.width) * header.height * header.planes;
  if (total > destination.size())
    return {ChipDataError::kPictureTooLarge,
            "decodes to " + std::to_string(total) + " bytes, more than the " +
                std::to_string(destination.size()) + " bytes it has room for."};
  std::size_t in = kPcxHeaderSize;
  std::size_t out = 0;
  uint8_t* dst = destination.data();
  while (out < total) {
    if (in >= coded.size())
      return {ChipDataError::kDataEndsEarly, "ends early: " + std::to_string(out) + " of " +
                                                 std::to_string(total) + " picture bytes decoded."};
    const uint8_t b = coded[in++];
    if (b > kPcxRunThreshold) {
      if (in >= coded.size())
        return {ChipDataError::kDataEndsEarly, "ends early inside a run: " + std::to_string(out) +
                                                   " of " + std::to_string(total) +
                                                   " picture bytes decoded."};
      const uint8_t value = coded[in++];
      // A last run that overshoots is clipped to the picture's size.
      const std::size_t run = std::min<std::size_t>(b & kRunMask, total - out);
      std::memset(dst + out, value, run);
      out += run;
    } else {
      dst[out++] = b;
    }
  }
  reader = {header.width, header.height, header.planes};
  return {};
}

void InterleaveChipPlanes(uint32_t width, uint32_t height, const uint8_t* planar,
                          uint8_t* destination) {
  const std::size_t w = width;
  for (std::size_t y = 0; y < height; ++y) {
    const uint8_t* row = planar + y * w * 3;
    uint8_t* out = destination + y * w * 3;
    for (std::size_t x = 0; x < w; ++x) {
      out[3 * x + 0] = row[x + 2 * w];
      out[3 * x + 1] = row[x + w];
      out[3 * x + 2] = row[x];
    }
  }
}

}  // namespace chipdisk
