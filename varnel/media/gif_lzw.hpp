// The LZW code stream of a GIF image, decoded into colour indices. Used by
// the GIF decoder once it has found and joined the image's sub-blocks.
#pragma once

#include <cstdint>

namespace varnel {

// Decodes `dataBytes` bytes of codes (the sub-blocks joined, followed by at
// least 8 readable bytes) with minimum code size `minCodeSize` (2 to 9) into
// at most `outCount` indices. `out` must come zero-filled. Stops at the end
// code, when the data or the image is used up, or at a damaged string table
// whose prefix chain loops. Returns the number of indices written; the rest
// of `out` stays zero.
uint32_t DecodeGifLzw(const uint8_t* data, uint32_t dataBytes, uint32_t minCodeSize, uint8_t* out,
                      uint32_t outCount);

}  // namespace varnel
