// The in-memory picture of the reader and its loaders.
//
// Pixels are 15-bit RGB in 16-bit words (bit 15 zero, red 14-10, green 9-5,
// blue 4-0), rows from the top, no padding. Value 0 is the transparent key of
// article pictures; the 8-bit colour loaders give 0 only for pure black.
#pragma once

#include <cstdint>
#include <cstdio>

namespace varnel {

struct Picture {
  int32_t width;
  int32_t height;
  uint16_t* pixels;  // width * height, from AllocZeroed; owned by the caller
};

// 8-bit R, G, B to a pixel: 0 for pure black, else the top five bits of each
// channel, and 1 in place of a result that would be 0.
inline uint16_t PackRgb555(uint8_t red, uint8_t green, uint8_t blue) {
  const unsigned packed = ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3);
  if (packed != 0) return static_cast<uint16_t>(packed);
  return (red | green | blue) ? 1 : 0;
}

// Loads a picture through the archive, choosing the loader by the extension
// after the first '.': PNG, JPG or GIF in any letter case.
void LoadPicture(const char* name, Picture* picture);

// The whole file `name` (through the archive) in a buffer from AllocZeroed;
// its byte count goes to *size. The caller frees the buffer.
uint8_t* LoadBinaryFile(const char* name, int32_t* size);

// Size of an open file; its position is left where it was.
int32_t FileSize(FILE* file);

// Headerless pictures whose dimensions the caller knows: 24-bit R, G, B
// (packed without the black rule) and 16-bit words in the reader's own format.
void LoadRawPicture(const char* name, Picture* picture, int32_t width, int32_t height);
void LoadR16Picture(const char* name, Picture* picture, int32_t width, int32_t height);

// Loaders of the other formats, reached through LoadPicture.
void LoadPngPicture(const char* name, Picture* picture);
void LoadJpegPicture(const char* name, Picture* picture);

}  // namespace varnel
