// JPEG pictures through the platform's JPEG service: the service decodes
// into B, G, R rows padded to a multiple of 4 bytes, which are then packed
// into the reader's pixels.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/jpeg/jpeg_service.hpp"
#include "varnel/media/picture.hpp"
#include "varnel/media/picture_limits.hpp"
#include "varnel/media/pixel_packing.hpp"
#include "varnel/media/resource_archive.hpp"
#include "varnel/failure/fatal_error.hpp"

namespace varnel {

namespace {

platform::JpegColor ColorOfChannels(int32_t channels) {
  if (channels == 1) return platform::JpegColor::Grey;
  if (channels == 3) return platform::JpegColor::YCbCr;
  return platform::JpegColor::Other;
}

// The bytes that round a row of `width` B, G, R pixels up to a multiple of 4.
int32_t RowPadBytes(int32_t width) { return (4 - width * 3 % 4) % 4; }

// Packs the decoded rows where they are: pixel i of the picture lands at
// byte 2i, never past the bytes still to be read (3i onwards), so the
// decoded block becomes the picture's, shrunk to its size with the
// allocator's 8 zero bytes after it. Saves a second block and a pass over it.
uint16_t* PackInPlace(const platform::JpegOutput& decoded) {
  const size_t width = static_cast<size_t>(decoded.width);
  const size_t stride = width * 3 + decoded.padBytes;
  auto* pixels = reinterpret_cast<uint16_t*>(decoded.bytes);
  for (size_t y = 0; y < static_cast<size_t>(decoded.height); ++y)
    PackBgrPixels(decoded.bytes + stride * y, pixels + width * y, decoded.width);
  const size_t size = width * decoded.height * sizeof(uint16_t);
  auto* shrunk = static_cast<uint8_t*>(std::realloc(decoded.bytes, size + 8));
  if (!shrunk) shrunk = decoded.bytes;  // a failed shrink keeps the larger block
  std::memset(shrunk + size, 0, 8);
  return reinterpret_cast<uint16_t*>(shrunk);
}

}  // namespace

void LoadJpegPicture(const char* name, Picture* picture) {
  char* fileName = ExtractResource(name);
  platform::JpegService& jpeg = platform::Jpeg();

  platform::JpegHeader header{};
  platform::JpegOutput decoded{};
  bool tooLarge = false;
  int status = jpeg.ReadHeader(fileName, &header);
  if (status == platform::kJpegOk && (header.width <= 0 || header.height <= 0))
    status = platform::kJpegBadData;
  if (status == platform::kJpegOk) {
    tooLarge = !PictureSizeAcceptable(header.width, header.height);
    if (!tooLarge) {
      decoded.sourceColor = ColorOfChannels(header.channels);
      decoded.width = header.width;
      decoded.height = header.height;
      decoded.padBytes = RowPadBytes(header.width);
      decoded.bytes =
          static_cast<uint8_t*>(AllocZeroed((header.width * 3 + decoded.padBytes) * header.height));
      status = jpeg.Decode(fileName, decoded);
    }
  }

  DeleteExtracted(fileName);
  std::free(fileName);
  if (tooLarge) {
    FatalErrorFormat("JPG - picture too large ! (%s: %d x %d)", name, header.width, header.height);
  }
  if (status != platform::kJpegOk) {
    std::free(decoded.bytes);
    FatalErrorFormat("JPG loader error ! (%s)", name);
  }

  picture->width = decoded.width;
  picture->height = decoded.height;
  picture->pixels = PackInPlace(decoded);
}

}  // namespace varnel
