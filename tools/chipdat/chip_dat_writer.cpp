#include "tools/chipdat/chip_dat_writer.hpp"

#include "chipdisk/data/chip_data_reader.hpp"

namespace chipdat {
namespace {

constexpr uint8_t kPcxManufacturer = 0x0A;
constexpr uint8_t kPcxVersion = 5;
constexpr uint8_t kPcxRunLengthEncoding = 1;
constexpr uint8_t kPcxBitsPerPlane = 8;
constexpr uint16_t kPcxDpi = 72;
constexpr std::size_t kPcxDpiOffset = 12;
constexpr std::size_t kPcxBytesPerLineOffset = 66;
constexpr std::size_t kPcxPaletteInfoOffset = 68;
constexpr uint16_t kPaletteInfoColour = 1;
constexpr uint16_t kPaletteInfoGrey = 2;
constexpr uint8_t kPaletteMarker = 0x0C;
constexpr std::size_t kPaletteBytes = 768;
constexpr uint8_t kMaxRun = 63;
constexpr uint8_t kRunBase = 192;

void Put16(std::vector<uint8_t>& out, std::size_t at, uint32_t value) {
  out[at] = static_cast<uint8_t>(value);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, std::size_t at, uint32_t value) {
  Put16(out, at, value & 0xFFFF);
  Put16(out, at + 2, value >> 16);
}

// One plane of one row: `count` bytes `stride` apart.
void EncodeRun(std::vector<uint8_t>& out, const uint8_t* in, std::size_t count,
               std::size_t stride) {
  std::size_t i = 0;
  while (i < count) {
    const uint8_t value = in[i * stride];
    std::size_t run = 1;
    while (i + run < count && run < kMaxRun && in[(i + run) * stride] == value) ++run;
    if (run > 1 || value > kRunBase) {
      out.push_back(static_cast<uint8_t>(kRunBase + run));
      out.push_back(value);
    } else {
      out.push_back(value);
    }
    i += run;
  }
}

bool IsGreyRamp(const std::vector<uint8_t>& palette) {
  if (palette.size() != kPaletteBytes) return true;
  for (std::size_t i = 0; i < palette.size(); ++i)
    if (palette[i] != static_cast<uint8_t>(i / 3)) return false;
  return true;
}

}  // namespace

std::string WhyUnloadable(const PlaneImage& image) {
  if (image.width == 0 || image.height == 0) return "is empty";
  if (image.width > kMaxPcxSide || image.height > kMaxPcxSide)
    return "is wider or taller than " + std::to_string(kMaxPcxSide) + " pixels";
  const uint64_t bytes = uint64_t(image.width) * image.height * image.planes;
  if (image.planes == 3 && bytes > chipdisk::kDecodeBufferSize)
    return "decodes to " + std::to_string(bytes) + " bytes, more than the player's " +
           std::to_string(chipdisk::kDecodeBufferSize) + "-byte decode buffer";
  if (bytes > chipdisk::kPictureStoreSize)
    return "decodes to " + std::to_string(bytes) + " bytes, more than the player's " +
           std::to_string(chipdisk::kPictureStoreSize) + "-byte picture store";
  return {};
}

std::vector<uint8_t> EncodePcx(const PlaneImage& image) {
  std::vector<uint8_t> out(chipdisk::kPcxHeaderSize, 0);
  out[0] = kPcxManufacturer;
  out[1] = kPcxVersion;
  out[2] = kPcxRunLengthEncoding;
  out[3] = kPcxBitsPerPlane;
  Put16(out, chipdisk::kPcxXMaxOffset, image.width - 1);
  Put16(out, chipdisk::kPcxYMaxOffset, image.height - 1);
  Put16(out, kPcxDpiOffset, kPcxDpi);
  Put16(out, kPcxDpiOffset + 2, kPcxDpi);
  out[chipdisk::kPcxPlanesOffset] = static_cast<uint8_t>(image.planes);
  Put16(out, kPcxBytesPerLineOffset, image.width);
  const bool grey = image.planes == 1 && IsGreyRamp(image.palette);
  Put16(out, kPcxPaletteInfoOffset, grey ? kPaletteInfoGrey : kPaletteInfoColour);

  const std::size_t rowBytes = std::size_t(image.width) * image.planes;
  for (uint32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = image.pixels.data() + y * rowBytes;
    for (uint32_t plane = 0; plane < image.planes; ++plane)
      EncodeRun(out, row + plane, image.width, image.planes);
  }
  if (image.planes == 1) {
    out.push_back(kPaletteMarker);
    for (std::size_t i = 0; i < kPaletteBytes; ++i)
      out.push_back(image.palette.size() == kPaletteBytes ? image.palette[i]
                                                          : static_cast<uint8_t>(i / 3));
  }
  return out;
}

std::vector<uint8_t> BuildContainer(const std::vector<std::vector<uint8_t>>& entries) {
  constexpr std::size_t kCountSize = 4;
  constexpr std::size_t kDirectoryEntrySize = 8;
  std::vector<uint8_t> out(kCountSize + entries.size() * kDirectoryEntrySize, 0);
  Put32(out, 0, static_cast<uint32_t>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    Put32(out, kCountSize + i * kDirectoryEntrySize, static_cast<uint32_t>(out.size()));
    Put32(out, kCountSize + i * kDirectoryEntrySize + 4, static_cast<uint32_t>(entries[i].size()));
    for (uint8_t b : entries[i]) out.push_back(chipdisk::RotateRight2(b));
  }
  return out;
}

}  // namespace chipdat
