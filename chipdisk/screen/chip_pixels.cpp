#include "chipdisk/screen/chip_pixels.hpp"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <tmmintrin.h>
#endif

namespace chipdisk {
namespace {

constexpr uint32_t kMask15 = 0x7FFF;
constexpr uint32_t kMask16 = 0xFFFF;
constexpr uint32_t kMask24 = 0xFFFFFF;

// Four bytes lowered by `level` at once: the even and the odd bytes each sit
// in 16-bit lanes with a guard bit above them, which survives the
// subtraction exactly when the byte was at least the level.
inline uint32_t DarkenWord(uint32_t word, uint32_t levelPair) {
  constexpr uint32_t kLowBytes = 0x00FF00FF;
  constexpr uint32_t kGuards = 0x01000100;
  const uint32_t even = ((word & kLowBytes) | kGuards) - levelPair;
  const uint32_t odd = (((word >> 8) & kLowBytes) | kGuards) - levelPair;
  const uint32_t evenKeep = ((even >> 8) & 0x00010001) * 0xFF;
  const uint32_t oddKeep = ((odd >> 8) & 0x00010001) * 0xFF;
  return (even & evenKeep) | ((odd & oddKeep) << 8);
}

inline uint32_t LevelPair(uint8_t level) { return uint32_t{level} * 0x00010001; }

inline uint8_t DarkenByte(uint8_t value, uint8_t level) {
  return value > level ? static_cast<uint8_t>(value - level) : 0;
}

inline uint32_t Load32(const uint8_t* at) {
  uint32_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

inline void Store32(uint8_t* at, uint32_t word) { std::memcpy(at, &word, sizeof word); }

inline void Store16(uint8_t* at, uint16_t value) { std::memcpy(at, &value, sizeof value); }

// The plain path's wide steps use the compiler's generic vectors, which
// become SIMD registers where the target has them and plain words elsewhere.
using Bytes16 = uint8_t __attribute__((vector_size(16)));
using Words4 = uint32_t __attribute__((vector_size(16)));

template <typename Vector>
inline Vector LoadVector(const uint8_t* at) {
  Vector vector;
  std::memcpy(&vector, at, sizeof vector);
  return vector;
}

template <typename Vector>
inline void StoreVector(uint8_t* at, Vector vector) {
  std::memcpy(at, &vector, sizeof vector);
}

// Each byte lowered by the matching byte of `levels`, stopping at 0.
inline Bytes16 DarkenVector(Bytes16 bytes, Bytes16 levels) {
  return bytes - (bytes < levels ? bytes : levels);
}

// `level` in every byte; with `clearFourth`, 255 in every fourth byte, which
// clears the unused fourth byte of 32-bit pixels.
inline Bytes16 LevelVector(uint8_t level, bool clearFourth) {
  Bytes16 levels;
  for (int i = 0; i < 16; ++i) levels[i] = clearFourth && i % 4 == 3 ? 0xFF : level;
  return levels;
}

// One darkened pixel to 32 bits, for the ends the grouped loops leave.
inline void DarkenPixelTo32(const uint8_t* source, uint8_t* destination, uint8_t level) {
  destination[0] = DarkenByte(source[0], level);
  destination[1] = DarkenByte(source[1], level);
  destination[2] = DarkenByte(source[2], level);
  destination[3] = 0;
}

}  // namespace

int32_t DepthOfFormat(uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                      int32_t bitsPerPixel) {
  const uint32_t sum = redMask + greenMask + blueMask;
  if (sum == kMask15) return kDepth15;
  if (sum == kMask16) return kDepth16;
  if (sum == kMask24) {
    if (bitsPerPixel == 24) return kDepth24;
    if (bitsPerPixel == 32) return kDepth32;
  }
  return kDepthPalette;
}

int32_t BytesPerPixelOfDepth(int32_t depth) {
  switch (depth) {
    case kDepth15:
    case kDepth16:
      return 2;
    case kDepth24:
      return 3;
    case kDepth32:
      return 4;
    default:
      return 0;
  }
}

void ConvertPixels(int32_t depth, const uint8_t* source, uint8_t* destination, size_t count) {
  switch (depth) {
    case kDepth15:
      for (size_t i = 0; i < count; ++i, source += 3, destination += 2) {
        Store16(destination, static_cast<uint16_t>(((source[2] & 0xF8) << 7) |
                                                   ((source[1] & 0xF8) << 2) | (source[0] >> 3)));
      }
      break;
    case kDepth16:
      for (size_t i = 0; i < count; ++i, source += 3, destination += 2) {
        Store16(destination, static_cast<uint16_t>(((source[2] & 0xF8) << 8) |
                                                   ((source[1] & 0xFC) << 3) | (source[0] >> 3)));
      }
      break;
    case kDepth24:
      std::memcpy(destination, source, count * 3);
      break;
    case kDepth32:
      for (size_t i = 0; i < count; ++i, source += 3, destination += 4) {
        destination[0] = source[0];
        destination[1] = source[1];
        destination[2] = source[2];
        destination[3] = 0;
      }
      break;
    default:
      break;  // a palette desktop gets no picture
  }
}

void DarkenBytesPlain(const uint8_t* source, uint8_t* destination, size_t bytes, uint8_t level) {
  const Bytes16 levels = LevelVector(level, false);
  size_t i = 0;
  for (; i + 16 <= bytes; i += 16) {
    StoreVector(destination + i, DarkenVector(LoadVector<Bytes16>(source + i), levels));
  }
  const uint32_t pair = LevelPair(level);
  for (; i + 4 <= bytes; i += 4) Store32(destination + i, DarkenWord(Load32(source + i), pair));
  for (; i < bytes; ++i) destination[i] = DarkenByte(source[i], level);
}

void DarkenTo32Plain(const uint8_t* source, uint8_t* destination, size_t count, uint8_t level) {
  const Bytes16 levels = LevelVector(level, true);
  size_t i = 0;
  // Eight pixels are 24 source bytes. A 16-byte load from pixel k holds
  // pixels k and k + 4 whole in its first and last 32-bit lanes, so loads
  // from pixels 0 to 3 hold all eight, which two rounds of lane picking put
  // in order. The fourth byte of each lane comes from the next pixel and is
  // cleared by the darkening. The last load ends one byte past the group.
  for (; i + 9 <= count; i += 8, source += 24, destination += 32) {
    const Words4 from0 = LoadVector<Words4>(source), from1 = LoadVector<Words4>(source + 3);
    const Words4 from2 = LoadVector<Words4>(source + 6), from3 = LoadVector<Words4>(source + 9);
    const Words4 pixels0415 = __builtin_shufflevector(from0, from1, 0, 3, 4, 7);
    const Words4 pixels2637 = __builtin_shufflevector(from2, from3, 0, 3, 4, 7);
    const Words4 low = __builtin_shufflevector(pixels0415, pixels2637, 0, 2, 4, 6);
    const Words4 high = __builtin_shufflevector(pixels0415, pixels2637, 1, 3, 5, 7);
    StoreVector(destination, DarkenVector(std::bit_cast<Bytes16>(low), levels));
    StoreVector(destination + 16, DarkenVector(std::bit_cast<Bytes16>(high), levels));
  }
  // The last eight pixels or fewer one at a time, so no read passes the end.
  for (; i < count; ++i, source += 3, destination += 4) DarkenPixelTo32(source, destination, level);
}

#if defined(__SSE2__)

bool ProcessorHasSimd() { return true; }  // SSE2 is part of every x86-64

void DarkenBytesSimd(const uint8_t* source, uint8_t* destination, size_t bytes, uint8_t level) {
  const __m128i levels = _mm_set1_epi8(static_cast<char>(level));
  size_t i = 0;
  for (; i + 16 <= bytes; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + i), _mm_subs_epu8(v, levels));
  }
  DarkenBytesPlain(source + i, destination + i, bytes - i, level);
}

namespace {

// With SSSE3 one byte shuffle spreads 12 bytes over four pixels.
__attribute__((target("ssse3"))) void DarkenTo32Shuffle(const uint8_t* source,
                                                        uint8_t* destination, size_t count,
                                                        uint8_t level) {
  const __m128i levels = _mm_set1_epi8(static_cast<char>(level));
  const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  size_t i = 0;
  for (; i + 6 <= count; i += 4, source += 12, destination += 16) {
    const __m128i v = _mm_subs_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source)),
                                    levels);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination), _mm_shuffle_epi8(v, spread));
  }
  DarkenTo32Plain(source, destination, count - i, level);
}

const bool kHasShuffle = __builtin_cpu_supports("ssse3");

}  // namespace

void DarkenTo32Simd(const uint8_t* source, uint8_t* destination, size_t count, uint8_t level) {
  if (kHasShuffle) {
    DarkenTo32Shuffle(source, destination, count, level);
  } else {
    DarkenTo32Sse2(source, destination, count, level);
  }
}

void DarkenTo32Sse2(const uint8_t* source, uint8_t* destination, size_t count, uint8_t level) {
  const __m128i levels = _mm_set1_epi8(static_cast<char>(level));
  // Lane k of the result takes source bytes 3k..3k+2: the loaded bytes moved
  // up by k bytes, masked to lane k's low three bytes.
  const __m128i lane0 = _mm_set_epi32(0, 0, 0, 0xFFFFFF);
  const __m128i lane1 = _mm_set_epi32(0, 0, 0xFFFFFF, 0);
  const __m128i lane2 = _mm_set_epi32(0, 0xFFFFFF, 0, 0);
  const __m128i lane3 = _mm_set_epi32(0xFFFFFF, 0, 0, 0);
  size_t i = 0;
  // Each step reads 16 bytes for 4 pixels (12 bytes): the last pixels go
  // through the plain path so no read passes the end.
  for (; i + 6 <= count; i += 4, source += 12, destination += 16) {
    const __m128i v = _mm_subs_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source)),
                                    levels);
    const __m128i pixels =
        _mm_or_si128(_mm_or_si128(_mm_and_si128(v, lane0), _mm_and_si128(_mm_slli_si128(v, 1), lane1)),
                     _mm_or_si128(_mm_and_si128(_mm_slli_si128(v, 2), lane2),
                                  _mm_and_si128(_mm_slli_si128(v, 3), lane3)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination), pixels);
  }
  DarkenTo32Plain(source, destination, count - i, level);
}

#else

bool ProcessorHasSimd() { return false; }

void DarkenBytesSimd(const uint8_t* source, uint8_t* destination, size_t bytes, uint8_t level) {
  DarkenBytesPlain(source, destination, bytes, level);
}

void DarkenTo32Simd(const uint8_t* source, uint8_t* destination, size_t count, uint8_t level) {
  DarkenTo32Plain(source, destination, count, level);
}

void DarkenTo32Sse2(const uint8_t* source, uint8_t* destination, size_t count, uint8_t level) {
  DarkenTo32Plain(source, destination, count, level);
}

#endif

}  // namespace chipdisk
