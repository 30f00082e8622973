// Depth codes, the conversions of every depth and the fade's two paths.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "chipdisk/screen/chip_pixels.hpp"

namespace {

using namespace chipdisk;
using Bytes = std::vector<uint8_t>;

Bytes RandomBytes(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(count);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

TEST(ChipDepth, MaskSumsGiveTheDepth) {
  EXPECT_EQ(DepthOfFormat(0xF800, 0x07E0, 0x001F, 16), kDepth16);
  EXPECT_EQ(DepthOfFormat(0x7C00, 0x03E0, 0x001F, 16), kDepth15);
  EXPECT_EQ(DepthOfFormat(0xFF0000, 0xFF00, 0xFF, 24), kDepth24);
  EXPECT_EQ(DepthOfFormat(0xFF0000, 0xFF00, 0xFF, 32), kDepth32);
  // The sum decides, not the order of the channels.
  EXPECT_EQ(DepthOfFormat(0xFF, 0xFF00, 0xFF0000, 32), kDepth32);
  EXPECT_EQ(DepthOfFormat(0xFF0000, 0xFF00, 0xFF, 16), kDepthPalette);
  EXPECT_EQ(DepthOfFormat(0, 0, 0, 8), kDepthPalette);
  EXPECT_EQ(DepthOfFormat(0x3FF00000, 0xFFC00, 0x3FF, 32), kDepthPalette);  // 10-bit channels
}

TEST(ChipConvert, EveryDepthWritesItsTablePixel) {
  const uint8_t source[6] = {0x1F, 0x7E, 0xF9, 0x08, 0x04, 0x80};  // B, G, R twice
  uint8_t out[8] = {};
  ConvertPixels(kDepth15, source, out, 2);
  EXPECT_EQ(out[0] | out[1] << 8, ((0xF9 & 0xF8) << 7) | ((0x7E & 0xF8) << 2) | (0x1F >> 3));
  EXPECT_EQ(out[2] | out[3] << 8, ((0x80 & 0xF8) << 7) | ((0x04 & 0xF8) << 2) | (0x08 >> 3));
  ConvertPixels(kDepth16, source, out, 2);
  EXPECT_EQ(out[0] | out[1] << 8, ((0xF9 & 0xF8) << 8) | ((0x7E & 0xFC) << 3) | (0x1F >> 3));
  EXPECT_EQ(out[2] | out[3] << 8, (0x80 << 8) | (0x04 << 3) | (0x08 >> 3));
  ConvertPixels(kDepth24, source, out, 2);
  EXPECT_EQ(Bytes(out, out + 6), Bytes(source, source + 6));
  ConvertPixels(kDepth32, source, out, 2);
  EXPECT_EQ(Bytes(out, out + 8), (Bytes{0x1F, 0x7E, 0xF9, 0, 0x08, 0x04, 0x80, 0}));
  uint8_t untouched[4] = {1, 2, 3, 4};
  ConvertPixels(kDepthPalette, source, untouched, 1);
  EXPECT_EQ(Bytes(untouched, untouched + 4), (Bytes{1, 2, 3, 4}));
}

TEST(ChipFade, LevelZeroKeepsLevel255ClearsAndLowChannelsStopAtZero) {
  const Bytes source = RandomBytes(1001, 1);
  Bytes out(source.size());
  DarkenBytesPlain(source.data(), out.data(), source.size(), 0);
  EXPECT_EQ(out, source);
  DarkenBytesSimd(source.data(), out.data(), source.size(), 255);
  EXPECT_EQ(out, Bytes(source.size(), 0));
  const uint8_t low[8] = {10, 20, 21, 0, 255, 19, 1, 200};
  uint8_t darkened[8];
  for (auto darken : {DarkenBytesPlain, DarkenBytesSimd}) {
    darken(low, darkened, 8, 20);
    EXPECT_EQ(Bytes(darkened, darkened + 8), (Bytes{0, 0, 1, 0, 235, 0, 0, 180}));
  }
}

TEST(ChipFade, PlainAndSimdPathsGiveTheSameBytesAtEveryLevel) {
  const Bytes source = RandomBytes(3 * 1003, 2);  // not a whole number of SIMD steps
  Bytes plain(source.size()), simd(source.size());
  Bytes plain32(1003 * 4), simd32(1003 * 4), sse32(1003 * 4), reference32(1003 * 4);
  for (int level = 0; level < 256; ++level) {
    const auto l = static_cast<uint8_t>(level);
    DarkenBytesPlain(source.data(), plain.data(), source.size(), l);
    DarkenBytesSimd(source.data(), simd.data(), source.size(), l);
    ASSERT_EQ(plain, simd) << "level " << level;
    for (size_t i = 0; i < source.size(); ++i)
      ASSERT_EQ(plain[i], source[i] > l ? source[i] - l : 0) << "level " << level;
    ConvertPixels(kDepth32, plain.data(), reference32.data(), 1003);
    DarkenTo32Plain(source.data(), plain32.data(), 1003, l);
    DarkenTo32Simd(source.data(), simd32.data(), 1003, l);
    DarkenTo32Sse2(source.data(), sse32.data(), 1003, l);
    ASSERT_EQ(plain32, reference32) << "level " << level;
    ASSERT_EQ(sse32, reference32) << "level " << level;
    ASSERT_EQ(simd32, reference32) << "level " << level;
  }
}

// Each channel lowered and clamped by itself, then the 32-bit table pixel.
Bytes Reference32(const Bytes& source, size_t count, uint8_t level) {
  Bytes darkened(source.size()), pixels(count * 4);
  for (size_t i = 0; i < source.size(); ++i) {
    darkened[i] = source[i] > level ? static_cast<uint8_t>(source[i] - level) : 0;
  }
  ConvertPixels(kDepth32, darkened.data(), pixels.data(), count);
  return pixels;
}

TEST(ChipFade, PathsMatchTheTableAtEveryCountAroundTheirGroupsAndWriteNoFurther) {
  // Exactly sized sources (the sanitizer build catches a read past them),
  // guard bytes after the output, counts on and beside the 4- and 8-pixel
  // groups, and bright bytes so a fourth byte taken from the next pixel shows.
  constexpr size_t kGuard = 8;
  constexpr uint8_t kGuardByte = 0xAB;
  for (size_t count = 1; count <= 41; ++count) {
    Bytes source = RandomBytes(count * 3, static_cast<unsigned>(count));
    for (size_t i = 0; i < source.size(); i += 5) source[i] = 0xFF;
    for (int level : {0, 1, 128, 254, 255}) {
      const auto l = static_cast<uint8_t>(level);
      const Bytes reference = Reference32(source, count, l);
      for (auto darken : {DarkenTo32Plain, DarkenTo32Simd, DarkenTo32Sse2}) {
        Bytes out(count * 4 + kGuard, kGuardByte);
        darken(source.data(), out.data(), count, l);
        ASSERT_EQ(Bytes(out.begin(), out.begin() + static_cast<ptrdiff_t>(count * 4)), reference)
            << "count " << count << " level " << level;
        ASSERT_EQ(Bytes(out.end() - kGuard, out.end()), Bytes(kGuard, kGuardByte))
            << "count " << count << " level " << level;
      }
    }
  }
}

TEST(ChipFade, ByteStreamPathsStopAtTheirEndAtEveryLength) {
  for (size_t bytes = 1; bytes <= 40; ++bytes) {
    const Bytes source = RandomBytes(bytes, static_cast<unsigned>(100 + bytes));
    for (auto darken : {DarkenBytesPlain, DarkenBytesSimd}) {
      Bytes out(bytes + 4, 0xAB);
      darken(source.data(), out.data(), bytes, 77);
      for (size_t i = 0; i < bytes; ++i) ASSERT_EQ(out[i], source[i] > 77 ? source[i] - 77 : 0);
      ASSERT_EQ(Bytes(out.end() - 4, out.end()), Bytes(4, 0xAB)) << bytes;
    }
  }
}

TEST(ChipFade, SimdPathReadsNothingPastTheEnd) {
  // Exactly sized buffers: the sanitizer build catches a read past them.
  for (size_t count : {1u, 4u, 5u, 6u, 7u, 8u, 9u}) {
    const Bytes source = RandomBytes(count * 3, 3);
    Bytes out(count * 4);
    DarkenTo32Simd(source.data(), out.data(), count, 7);
    Bytes reference(count * 4);
    DarkenTo32Plain(source.data(), reference.data(), count, 7);
    EXPECT_EQ(out, reference) << count;
    DarkenTo32Sse2(source.data(), out.data(), count, 7);
    EXPECT_EQ(out, reference) << count;
  }
}

}  // namespace
