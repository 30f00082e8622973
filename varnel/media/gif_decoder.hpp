// GIF pictures: the first image of a file as 8-bit colour indices with its
// palette, or as a Picture in the reader's 15-bit format.
//
// Besides the plain layout the magazine's own files use (global colour table
// followed by the image), extension blocks, local colour tables and
// interlaced rows are handled, so files written by today's editors decode too.
#pragma once

#include <cstdint>

#include "varnel/media/picture.hpp"

namespace varnel {

struct IndexedImage {
  int32_t width;
  int32_t height;
  uint8_t* pixels;  // width * height colour indices, from AllocZeroed; owned by the caller
};

constexpr int32_t kGifPaletteBytes = 768;    // 256 entries of R, G, B
constexpr int32_t kGifMaxDimension = 16384;  // larger pictures are refused

// Decodes `size` bytes. Returns 1 on success, 0 for a file it cannot decode
// (then `image` holds no block). `palette`, when given, receives 768 bytes;
// entries beyond the file's table are 0. Never reads outside the bytes.
int DecodeGif(const uint8_t* bytes, int32_t size, IndexedImage* image, uint8_t* palette);

// Loads `fileName` through LoadBinaryFile and decodes it; any failure is
// fatal: "GIF Loader Error !".
void LoadGifIndexed(const char* fileName, IndexedImage* image, uint8_t* palette);

// LoadGifIndexed, then each index through its palette colour and PackRgb555.
void LoadGifPicture(const char* fileName, Picture* picture);

}  // namespace varnel
