#include "varnel/media/picture.hpp"

#include <cstdlib>
#include <cstring>

#include "varnel/failure/fatal_error.hpp"
#include "varnel/media/gif_decoder.hpp"
#include "varnel/media/name_compare.hpp"
#include "varnel/media/resource_archive.hpp"

namespace varnel {

namespace {

int32_t PixelCount(int32_t width, int32_t height, int32_t bytesPerPixel) {
  const int64_t count = static_cast<int64_t>(width) * height;
  if (width < 0 || height < 0 || count * bytesPerPixel > INT32_MAX) FatalError("Allocator Error !");
  return static_cast<int32_t>(count);
}

}  // namespace

void LoadPicture(const char* name, Picture* picture) {
  const char* dot = std::strchr(name, '.');
  if (!dot) FatalError("File w/o extension !");
  const char* extension = dot + 1;
  if (EqualsIgnoringCase(extension, "PNG")) {
    LoadPngPicture(name, picture);
  } else if (EqualsIgnoringCase(extension, "JPG")) {
    LoadJpegPicture(name, picture);
  } else if (EqualsIgnoringCase(extension, "GIF")) {
    LoadGifPicture(name, picture);
  } else {
    FatalError("Unsupported Picture format !(GIF || PNG || JPG)");
  }
}

int32_t FileSize(FILE* file) {
  const long position = std::ftell(file);
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fseek(file, position, SEEK_SET);
  return size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
}

uint8_t* LoadBinaryFile(const char* name, int32_t* size) {
  char* fileName = ExtractResource(name);
  FILE* file = std::fopen(fileName, "rb");
  if (!file) {
    DeleteExtracted(fileName);
    std::free(fileName);
    FatalErrorFormat("Load Binary Error - file: %s !", name);
  }
  *size = FileSize(file);
  auto* buffer = static_cast<uint8_t*>(AllocZeroed(*size));
  // A short read leaves the rest zero, as the buffer came zero-filled.
  (void)std::fread(buffer, 1, static_cast<size_t>(*size), file);
  std::fclose(file);
  DeleteExtracted(fileName);
  std::free(fileName);
  return buffer;
}

void LoadRawPicture(const char* name, Picture* picture, int32_t width, int32_t height) {
  const int32_t count = PixelCount(width, height, 3);
  picture->pixels = AllocZeroedArray<uint16_t>(count);
  picture->width = width;
  picture->height = height;
  int32_t size = 0;
  uint8_t* bytes = LoadBinaryFile(name, &size);
  if (size != count * 3) FatalError("RAW - format error !");
  for (int32_t i = 0; i < count; ++i) {
    const uint8_t* rgb = bytes + 3 * i;
    picture->pixels[i] = static_cast<uint16_t>((rgb[0] >> 3) << 10 | (rgb[1] >> 3) << 5 | rgb[2] >> 3);
  }
  std::free(bytes);
}

void LoadR16Picture(const char* name, Picture* picture, int32_t width, int32_t height) {
  const int32_t count = PixelCount(width, height, 2);
  picture->height = height;
  picture->width = width;
  int32_t size = 0;
  picture->pixels = reinterpret_cast<uint16_t*>(LoadBinaryFile(name, &size));
  if (size != count * 2) FatalError("R16 - format error !");
  // The words are little endian on disk and in memory alike on the hosts we
  // build for; a big-endian host would swap here.
  static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "R16 words are little endian");
}

}  // namespace varnel
