#include "platform/png/png_service.hpp"

#include <cstdio>
#include <cstring>

namespace platform {
namespace {

PngService* current = nullptr;

constexpr char kFakeMagic[4] = {'F', 'P', 'N', 'G'};
constexpr int kFakeHeaderSize = 9;

void SetMessage(PngMessage* message, const char* text) {
  std::snprintf(message->text, sizeof message->text, "%s", text);
}

// Reads the fake format's header from an open file.
int ReadFakeHeader(FILE* file, PngHeader* header) {
  uint8_t bytes[kFakeHeaderSize];
  if (std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) return kPngNotPng;
  if (std::memcmp(bytes, kFakeMagic, sizeof kFakeMagic) != 0) return kPngNotPng;
  header->width = static_cast<uint32_t>(bytes[4] | bytes[5] << 8);
  header->height = static_cast<uint32_t>(bytes[6] | bytes[7] << 8);
  header->interlaced = bytes[8] != 0;
  return kPngOk;
}

int DecodeFake(FILE* file, const PngOutput& output, PngMessage* message) {
  PngHeader header{};
  const int status = ReadFakeHeader(file, &header);
  if (status != kPngOk) return status;
  if (header.width != output.width || header.height != output.height || !output.rows)
    return kPngBadOutput;
  const size_t rowBytes = static_cast<size_t>(output.width) * 3;
  for (uint32_t y = 0; y < output.height; ++y) {
    uint8_t* row = output.rows + (header.interlaced ? rowBytes * y : 0);
    if (std::fread(row, 1, rowBytes, file) != rowBytes) {
      SetMessage(message, "fake data cut short");
      return kPngBadData;
    }
    if (!header.interlaced) output.rowDone(output.context, y, row);
  }
  if (header.interlaced) {
    for (uint32_t y = 0; y < output.height; ++y)
      output.rowDone(output.context, y, output.rows + rowBytes * y);
  }
  return kPngOk;
}

}  // namespace

size_t PngRowBufferBytes(const PngHeader& header) {
  return static_cast<size_t>(header.width) * 3 * (header.interlaced ? header.height : 1);
}

PngService& Png() { return current ? *current : LibpngService(); }

void SetPngService(PngService* service) { current = service; }

int FakePngService::ReadHeader(const char* path, PngHeader* header, PngMessage* message) {
  ++headerCalls;
  SetMessage(message, "");
  if (failWith != kPngOk) {
    SetMessage(message, failText);
    return failWith;
  }
  FILE* file = std::fopen(path, "rb");
  if (!file) return kPngCannotOpen;
  const int status = ReadFakeHeader(file, header);
  std::fclose(file);
  return status;
}

int FakePngService::Decode(const char* path, const PngOutput& output, PngMessage* message) {
  ++decodeCalls;
  SetMessage(message, "");
  if (failWith != kPngOk) {
    SetMessage(message, failText);
    return failWith;
  }
  FILE* file = std::fopen(path, "rb");
  if (!file) return kPngCannotOpen;
  const int status = DecodeFake(file, output, message);
  std::fclose(file);
  return status;
}

FakePngService& FakePng() {
  static FakePngService fake;
  return fake;
}

}  // namespace platform
