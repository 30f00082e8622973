#include "platform/jpeg/jpeg_service.hpp"

#include <cstdio>
#include <cstring>

namespace platform {
namespace {

JpegService* current = nullptr;

constexpr char kFakeMagic[4] = {'F', 'J', 'P', 'G'};
constexpr int kFakeHeaderSize = 9;

bool ChannelsFitColor(int32_t channels, JpegColor color) {
  if (color == JpegColor::Grey) return channels == 1;
  if (color == JpegColor::YCbCr) return channels == 3;
  return false;
}

// Reads the fake format's header from an open file.
int ReadFakeHeader(FILE* file, JpegHeader* header) {
  uint8_t bytes[kFakeHeaderSize];
  if (std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) return kJpegBadData;
  if (std::memcmp(bytes, kFakeMagic, sizeof kFakeMagic) != 0) return kJpegBadData;
  header->width = bytes[4] | bytes[5] << 8;
  header->height = bytes[6] | bytes[7] << 8;
  header->channels = bytes[8];
  return header->width > 0 && header->height > 0 ? kJpegOk : kJpegBadData;
}

int DecodeFake(FILE* file, const JpegOutput& output) {
  JpegHeader header{};
  const int status = ReadFakeHeader(file, &header);
  if (status != kJpegOk) return status;
  if (!ChannelsFitColor(header.channels, output.sourceColor)) return kJpegUnsupported;
  if (header.width != output.width || header.height != output.height || output.padBytes < 0 ||
      !output.bytes)
    return kJpegBadOutput;
  const int32_t stride = output.width * 3 + output.padBytes;
  for (int32_t y = 0; y < output.height; ++y) {
    uint8_t* row = output.bytes + static_cast<size_t>(stride) * y;
    for (int32_t x = 0; x < output.width; ++x) {
      uint8_t rgb[3];
      if (std::fread(rgb, 1, 3, file) != 3) return kJpegBadData;
      row[3 * x] = rgb[2];
      row[3 * x + 1] = rgb[1];
      row[3 * x + 2] = rgb[0];
    }
  }
  return kJpegOk;
}

}  // namespace

JpegService& Jpeg() { return current ? *current : LibjpegService(); }

void SetJpegService(JpegService* service) { current = service; }

int FakeJpegService::ReadHeader(const char* path, JpegHeader* header) {
  ++headerCalls;
  if (failWith != kJpegOk) return failWith;
  FILE* file = std::fopen(path, "rb");
  if (!file) return kJpegCannotOpen;
  const int status = ReadFakeHeader(file, header);
  std::fclose(file);
  return status;
}

int FakeJpegService::Decode(const char* path, const JpegOutput& output) {
  ++decodeCalls;
  lastOutput = output;
  if (failWith != kJpegOk) return failWith;
  FILE* file = std::fopen(path, "rb");
  if (!file) return kJpegCannotOpen;
  const int status = DecodeFake(file, output);
  std::fclose(file);
  return status;
}

FakeJpegService& FakeJpeg() {
  static FakeJpegService fake;
  return fake;
}

}  // namespace platform
