// Where the reader's 640 x 480 image sits in a window of another size: as
// large as fits with its aspect kept, in whole multiples when at least one
// fits (pixels stay square and sharp), centred on black.
#pragma once

#include "platform/screen_size.hpp"

namespace platform {

struct ImageRect {
  int x, y, width, height;
};

ImageRect LetterboxRect(int outputWidth, int outputHeight);

// The image pixel under output point (x, y), clamped to the image.
void OutputToImage(const ImageRect& rect, int x, int y, int& imageX, int& imageY);

}  // namespace platform
