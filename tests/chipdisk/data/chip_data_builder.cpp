#include "tests/chipdisk/data/chip_data_builder.hpp"

#include "chipdisk/data/chip_data_reader.hpp"

namespace chipdisk_test {

void PutLe32(Bytes& bytes, std::size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

Bytes Pcx(uint32_t width, uint32_t height, uint8_t planes, const Bytes& coded) {
  Bytes out(chipdisk::kPcxHeaderSize + coded.size(), 0);
  out[0] = 0x0A;
  out[chipdisk::kPcxXMaxOffset] = static_cast<uint8_t>(width - 1);
  out[chipdisk::kPcxXMaxOffset + 1] = static_cast<uint8_t>((width - 1) >> 8);
  out[chipdisk::kPcxYMaxOffset] = static_cast<uint8_t>(height - 1);
  out[chipdisk::kPcxYMaxOffset + 1] = static_cast<uint8_t>((height - 1) >> 8);
  out[chipdisk::kPcxPlanesOffset] = planes;
  for (std::size_t i = 0; i < coded.size(); ++i) out[chipdisk::kPcxHeaderSize + i] = coded[i];
  return out;
}

Bytes Runs(uint8_t value, uint64_t count) {
  Bytes out;
  while (count > 0) {
    const uint64_t run = count < 63 ? count : 63;
    out.push_back(static_cast<uint8_t>(192 + run));
    out.push_back(value);
    count -= run;
  }
  return out;
}

Bytes Container(const std::vector<Bytes>& entries) {
  Bytes out(4 + 8 * entries.size(), 0);
  PutLe32(out, 0, static_cast<uint32_t>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    PutLe32(out, 4 + 8 * i, static_cast<uint32_t>(out.size()));
    PutLe32(out, 8 + 8 * i, static_cast<uint32_t>(entries[i].size()));
    for (uint8_t b : entries[i]) out.push_back(chipdisk::RotateRight2(b));
  }
  return out;
}

std::vector<Bytes> PlayerPictures(uint32_t mapWidth, uint32_t mapHeight, uint8_t mapCode) {
  std::vector<Bytes> entries{
      Pcx(mapWidth, mapHeight, 1, Runs(mapCode, uint64_t(mapWidth) * mapHeight))};
  for (uint8_t i = 1; i < chipdisk::kPictureCount; ++i) {
    Bytes coded;
    for (int row = 0; row < 480; ++row)
      for (uint8_t plane = 0; plane < 3; ++plane) {
        Bytes line = Runs(static_cast<uint8_t>(10 * i + plane), 640);
        coded.insert(coded.end(), line.begin(), line.end());
      }
    entries.push_back(Pcx(640, 480, 3, coded));
  }
  return entries;
}

}  // namespace chipdisk_test
