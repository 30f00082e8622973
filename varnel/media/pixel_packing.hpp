// Rows of 8-bit colour to the reader's 15-bit pixels, PackRgb555's rule for
// every pixel, fast enough that the PNG and JPEG loaders spend their time in
// the decoders rather than here.
#pragma once

#include <cstdint>

namespace varnel {

// `count` pixels of 3 bytes R, G, B (or B, G, R) to `count` pixels.
void PackRgbPixels(const uint8_t* rgb, uint16_t* pixels, int32_t count);
void PackBgrPixels(const uint8_t* bgr, uint16_t* pixels, int32_t count);

}  // namespace varnel
