#include "varnel/media/pixel_packing.hpp"

#include "varnel/media/picture.hpp"

// On x86 the fastest kernel the processor has is chosen at the first call:
// AVX2, SSSE3 or plain C.
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VARNEL_PACK_X86 1
#endif

namespace varnel {

namespace {

// Byte offset of red and blue within a 3-byte pixel.
struct RgbOrder {
  static constexpr int kRed = 0, kBlue = 2;
};
struct BgrOrder {
  static constexpr int kRed = 2, kBlue = 0;
};

template <typename Order>
void PackScalar(const uint8_t* bytes, uint16_t* pixels, int32_t count) {
  for (int32_t i = 0; i < count; ++i, bytes += 3)
    pixels[i] = PackRgb555(bytes[Order::kRed], bytes[1], bytes[Order::kBlue]);
}

#ifdef VARNEL_PACK_X86

// 16 pixels at a time: the three channels are gathered by byte shuffles into
// vectors of 16 bytes each, and the high and low byte of every pixel made in
// 8-bit lanes. The AVX2 form does the same for two groups of 16 side by side.

// The shuffle that gathers byte `channel` of 16 pixels out of the 16-byte
// block `block` of their 48 bytes; lanes from other blocks are zero.
__attribute__((target("ssse3"))) __m128i GatherMask(int channel, int block) {
  alignas(16) int8_t lanes[16];
  for (int pixel = 0; pixel < 16; ++pixel) {
    const int offset = pixel * 3 + channel - block * 16;
    lanes[pixel] = offset >= 0 && offset < 16 ? static_cast<int8_t>(offset) : int8_t{-128};
  }
  return _mm_load_si128(reinterpret_cast<const __m128i*>(lanes));
}

struct GatherMasks {
  __m128i m[3][3];  // [byte within the pixel][block]
  GatherMasks() {
    for (int channel = 0; channel < 3; ++channel)
      for (int block = 0; block < 3; ++block) m[channel][block] = GatherMask(channel, block);
  }
};

const GatherMasks& Masks() {
  static const GatherMasks masks;
  return masks;
}

#define SSSE3_INLINE __attribute__((target("ssse3"), always_inline)) inline
#define AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

SSSE3_INLINE __m128i Load16(const uint8_t* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

SSSE3_INLINE __m128i Gather16(const __m128i (&m)[3], __m128i a, __m128i b, __m128i c) {
  return _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, m[0]), _mm_shuffle_epi8(b, m[1])),
                      _mm_shuffle_epi8(c, m[2]));
}

template <typename Order>
__attribute__((target("ssse3"))) void PackSsse3(const uint8_t* bytes, uint16_t* pixels,
                                                int32_t count) {
  const GatherMasks& masks = Masks();
  int32_t i = 0;
  for (; i + 16 <= count; i += 16, bytes += 48) {
    const __m128i a = Load16(bytes), b = Load16(bytes + 16), c = Load16(bytes + 32);
    const __m128i red = Gather16(masks.m[Order::kRed], a, b, c);
    const __m128i green = Gather16(masks.m[1], a, b, c);
    const __m128i blue = Gather16(masks.m[Order::kBlue], a, b, c);
    // high byte: red's top five bits, then green's top two; low byte:
    // green's next three, then blue's top five
    const __m128i high = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(red, 1), _mm_set1_epi8(0x7C)),
                                      _mm_and_si128(_mm_srli_epi16(green, 6), _mm_set1_epi8(0x03)));
    __m128i low = _mm_or_si128(_mm_and_si128(_mm_slli_epi16(green, 2), _mm_set1_epi8(-32)),
                               _mm_and_si128(_mm_srli_epi16(blue, 3), _mm_set1_epi8(0x1F)));
    // a colour that packs to 0 without being black becomes 1
    const __m128i zero = _mm_setzero_si128();
    const __m128i packsToZero = _mm_cmpeq_epi8(_mm_or_si128(high, low), zero);
    const __m128i isBlack = _mm_cmpeq_epi8(_mm_or_si128(_mm_or_si128(red, green), blue), zero);
    low =
        _mm_or_si128(low, _mm_and_si128(_mm_andnot_si128(isBlack, packsToZero), _mm_set1_epi8(1)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + i), _mm_unpacklo_epi8(low, high));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + i + 8), _mm_unpackhi_epi8(low, high));
  }
  PackScalar<Order>(bytes, pixels + i, count - i);
}

// Block k of pixels 0-15 in the low half, of pixels 16-31 in the high half.
AVX2_INLINE __m256i Load32(const uint8_t* at) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(Load16(at)), Load16(at + 48), 1);
}

AVX2_INLINE __m256i Gather32(const __m128i (&m)[3], __m256i a, __m256i b, __m256i c) {
  return _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(a, _mm256_broadcastsi128_si256(m[0])),
                                         _mm256_shuffle_epi8(b, _mm256_broadcastsi128_si256(m[1]))),
                         _mm256_shuffle_epi8(c, _mm256_broadcastsi128_si256(m[2])));
}

template <typename Order>
__attribute__((target("avx2"))) void PackAvx2(const uint8_t* bytes, uint16_t* pixels,
                                              int32_t count) {
  const GatherMasks& masks = Masks();
  int32_t i = 0;
  for (; i + 32 <= count; i += 32, bytes += 96) {
    const __m256i a = Load32(bytes), b = Load32(bytes + 16), c = Load32(bytes + 32);
    const __m256i red = Gather32(masks.m[Order::kRed], a, b, c);
    const __m256i green = Gather32(masks.m[1], a, b, c);
    const __m256i blue = Gather32(masks.m[Order::kBlue], a, b, c);
    const __m256i high =
        _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi16(red, 1), _mm256_set1_epi8(0x7C)),
                        _mm256_and_si256(_mm256_srli_epi16(green, 6), _mm256_set1_epi8(0x03)));
    __m256i low =
        _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(green, 2), _mm256_set1_epi8(-32)),
                        _mm256_and_si256(_mm256_srli_epi16(blue, 3), _mm256_set1_epi8(0x1F)));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i packsToZero = _mm256_cmpeq_epi8(_mm256_or_si256(high, low), zero);
    const __m256i isBlack =
        _mm256_cmpeq_epi8(_mm256_or_si256(_mm256_or_si256(red, green), blue), zero);
    low = _mm256_or_si256(
        low, _mm256_and_si256(_mm256_andnot_si256(isBlack, packsToZero), _mm256_set1_epi8(1)));
    // each half holds its group's pixels 0-7 in `first` and 8-15 in `second`
    const __m256i first = _mm256_unpacklo_epi8(low, high);
    const __m256i second = _mm256_unpackhi_epi8(low, high);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + i),
                        _mm256_permute2x128_si256(first, second, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + i + 16),
                        _mm256_permute2x128_si256(first, second, 0x31));
  }
  PackSsse3<Order>(bytes, pixels + i, count - i);
}

enum class Kernel { Scalar, Ssse3, Avx2 };

Kernel BestKernel() {
  static const Kernel best = __builtin_cpu_supports("avx2")    ? Kernel::Avx2
                             : __builtin_cpu_supports("ssse3") ? Kernel::Ssse3
                                                               : Kernel::Scalar;
  return best;
}

#endif

template <typename Order>
void Pack(const uint8_t* bytes, uint16_t* pixels, int32_t count) {
#ifdef VARNEL_PACK_X86
  switch (BestKernel()) {
    case Kernel::Avx2:
      return PackAvx2<Order>(bytes, pixels, count);
    case Kernel::Ssse3:
      return PackSsse3<Order>(bytes, pixels, count);
    case Kernel::Scalar:
      break;
  }
#endif
  PackScalar<Order>(bytes, pixels, count);
}

}  // namespace

void PackRgbPixels(const uint8_t* rgb, uint16_t* pixels, int32_t count) {
  Pack<RgbOrder>(rgb, pixels, count);
}

void PackBgrPixels(const uint8_t* bgr, uint16_t* pixels, int32_t count) {
  Pack<BgrOrder>(bgr, pixels, count);
}

}  // namespace varnel
