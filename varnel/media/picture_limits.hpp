// The largest picture the loaders accept. The screen is 640x480; anything
// far beyond this is a damaged or hostile file, refused with a clear message
// before gigabytes are asked of the allocator.
#pragma once

#include <cstdint>

namespace varnel {

constexpr int64_t kMaxPictureSide = 16384;
constexpr int64_t kMaxPicturePixels = 16 * 1024 * 1024;

inline bool PictureSizeAcceptable(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

}  // namespace varnel
