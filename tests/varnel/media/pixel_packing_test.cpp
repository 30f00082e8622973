#include "varnel/media/pixel_packing.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "varnel/media/picture.hpp"

using namespace varnel;

namespace {

// Every colour with channels below 16 (where the black rule and the bit
// boundaries lie), then random bytes, at every count around the 16-pixel
// blocks of the fast path; the bytes after `count` pixels must stay.
std::vector<uint8_t> Colours() {
  std::vector<uint8_t> bytes;
  for (int r = 0; r < 16; ++r)
    for (int g = 0; g < 16; ++g)
      for (int b = 0; b < 16; ++b) bytes.insert(bytes.end(), {uint8_t(r), uint8_t(g), uint8_t(b)});
  uint32_t seed = 99;
  for (int i = 0; i < 3 * 1000; ++i) {
    seed = seed * 1103515245 + 12345;
    bytes.push_back(static_cast<uint8_t>(seed >> 16));
  }
  return bytes;
}

TEST(PixelPacking, EveryPixelFollowsPackRgb555InBothByteOrders) {
  const std::vector<uint8_t> bytes = Colours();
  const int32_t all = static_cast<int32_t>(bytes.size() / 3);
  std::vector<uint16_t> pixels(all + 1);
  PackRgbPixels(bytes.data(), pixels.data(), all);
  for (int32_t i = 0; i < all; ++i)
    ASSERT_EQ(pixels[i], PackRgb555(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2])) << i;
  PackBgrPixels(bytes.data(), pixels.data(), all);
  for (int32_t i = 0; i < all; ++i)
    ASSERT_EQ(pixels[i], PackRgb555(bytes[3 * i + 2], bytes[3 * i + 1], bytes[3 * i])) << i;
}

TEST(PixelPacking, CountsAroundTheBlockSizeWriteExactlyThatMany) {
  const std::vector<uint8_t> bytes = Colours();
  for (int32_t count = 0; count <= 50; ++count) {
    for (int32_t start : {0, 1, 7, 300}) {
      std::vector<uint16_t> pixels(count + 4, 0xBEEF);
      PackBgrPixels(bytes.data() + 3 * start, pixels.data(), count);
      for (int32_t i = 0; i < count; ++i) {
        const uint8_t* p = &bytes[3 * (start + i)];
        ASSERT_EQ(pixels[i], PackRgb555(p[2], p[1], p[0])) << count << " " << start << " " << i;
      }
      for (int32_t i = count; i < count + 4; ++i) ASSERT_EQ(pixels[i], 0xBEEF) << count;
    }
  }
}

}  // namespace
