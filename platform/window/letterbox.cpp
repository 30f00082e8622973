#include "platform/window/letterbox.hpp"

#include <algorithm>

namespace platform {

ImageRect LetterboxRect(int outputWidth, int outputHeight) {
  const int width = std::max(outputWidth, 1);
  const int height = std::max(outputHeight, 1);
  const int wholeScale = std::min(width / kScreenWidth, height / kScreenHeight);
  ImageRect rect{};
  if (wholeScale >= 1) {
    rect.width = kScreenWidth * wholeScale;
    rect.height = kScreenHeight * wholeScale;
  } else if (width * kScreenHeight <= height * kScreenWidth) {
    rect.width = width;  // narrower than 4:3
    rect.height = std::max(1, width * kScreenHeight / kScreenWidth);
  } else {
    rect.height = height;
    rect.width = std::max(1, height * kScreenWidth / kScreenHeight);
  }
  rect.x = (width - rect.width) / 2;
  rect.y = (height - rect.height) / 2;
  return rect;
}

void OutputToImage(const ImageRect& rect, int x, int y, int& imageX, int& imageY) {
  const long long dx = static_cast<long long>(x - rect.x) * kScreenWidth;
  const long long dy = static_cast<long long>(y - rect.y) * kScreenHeight;
  // Floor division, so points left of or above the image clamp to 0.
  auto floorDiv = [](long long value, long long by) {
    return value >= 0 ? value / by : -((-value + by - 1) / by);
  };
  imageX = static_cast<int>(std::clamp<long long>(floorDiv(dx, rect.width), 0, kScreenWidth - 1));
  imageY = static_cast<int>(std::clamp<long long>(floorDiv(dy, rect.height), 0, kScreenHeight - 1));
}

}  // namespace platform
