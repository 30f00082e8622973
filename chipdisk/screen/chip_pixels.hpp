// Pixel work of the chip player's display: the desktop's pixel format as a
// depth code, 24-bit pictures (blue, green, red bytes) converted to each
// depth, and the fade that lowers every channel by a level.
#pragma once

#include <cstddef>
#include <cstdint>

namespace chipdisk {

// Depth codes: the bits per pixel the display writes (8: palette, nothing
// is written).
enum ChipDepth : int32_t {
  kDepthPalette = 8,
  kDepth15 = 15,
  kDepth16 = 16,
  kDepth24 = 24,
  kDepth32 = 32,
};

constexpr int32_t kSourceBytesPerPixel = 3;

// The depth code for a format given by its channel masks and bit count.
int32_t DepthOfFormat(uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                      int32_t bitsPerPixel);

// Bytes one pixel takes at `depth`; 0 for the palette depth.
int32_t BytesPerPixelOfDepth(int32_t depth);

// Converts `count` source pixels to `depth` at `destination`.
void ConvertPixels(int32_t depth, const uint8_t* source, uint8_t* destination, size_t count);

// Lowers each of `bytes` bytes by `level`, stopping at 0. The plain path is
// portable C++ (the compiler's generic 16-byte vectors, then four bytes at a
// time in a word); the SIMD one uses SSE2. Both give the same bytes.
void DarkenBytesPlain(const uint8_t* source, uint8_t* destination, size_t bytes, uint8_t level);
void DarkenBytesSimd(const uint8_t* source, uint8_t* destination, size_t bytes, uint8_t level);

// Darkens `count` source pixels and writes them as 32-bit pixels (blue,
// green, red, 0) in one pass. The plain path reads up to one byte past a
// group of eight pixels only when more pixels follow. The SIMD path uses
// SSSE3's byte shuffle when the processor has it, else SSE2 alone
// (DarkenTo32Sse2).
void DarkenTo32Plain(const uint8_t* source, uint8_t* destination, size_t count, uint8_t level);
void DarkenTo32Simd(const uint8_t* source, uint8_t* destination, size_t count, uint8_t level);
void DarkenTo32Sse2(const uint8_t* source, uint8_t* destination, size_t count, uint8_t level);

// True when this build and processor have the SIMD path.
bool ProcessorHasSimd();

}  // namespace chipdisk
