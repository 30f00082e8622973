#include "chipdisk/screen/chip_screen.hpp"

#include <algorithm>

#include "chipdisk/screen/chip_pixels.hpp"
#include "platform/screen/screen_service.hpp"
#include "platform/window/window_service.hpp"

namespace chipdisk {
namespace {

// The surface locked for one drawing operation; rows `pitch` apart (the
// driver's pitch, which may exceed 640 pixels).
struct Locked {
  platform::ScreenPixels pixels{};
  bool ok = false;
  Locked() { ok = Display().ready && platform::Screen().Lock(pixels); }
  uint8_t* Row(int32_t y, int32_t x) const {
    return pixels.pixels + static_cast<ptrdiff_t>(y) * pixels.pitch +
           static_cast<ptrdiff_t>(x) * BytesPerPixelOfDepth(Display().depth);
  }
};

bool Unlock() { return platform::Screen().Unlock(); }

}  // namespace

ChipScreen& Display() {
  static ChipScreen screen;
  return screen;
}

bool ScreenSetUp(platform::WindowHandle window) {
  ChipScreen& screen = Display();
  screen = ChipScreen{};
  if (!platform::Screen().Open(window, kScreenWidth, kScreenHeight)) return false;
  screen.window = window;
  int desktopWidth = kScreenWidth, desktopHeight = kScreenHeight;
  platform::Window().GetScreenSize(desktopWidth, desktopHeight);
  screen.originX = desktopWidth / 2 - kScreenWidth / 2;
  screen.originY = desktopHeight / 2 - kScreenHeight / 2;
  screen.ready = true;
  screen.depth = ScreenPixelFormat();
  return true;
}

int32_t ScreenPixelFormat() {
  const platform::ScreenFormat format = platform::Screen().Format();
  return DepthOfFormat(format.redMask, format.greenMask, format.blueMask, format.bitsPerPixel);
}

bool ScreenHasSimd() { return ProcessorHasSimd(); }

bool DrawPicture(int32_t width, int32_t height, const uint8_t* pixels) {
  Locked locked;
  if (!locked.ok) return false;
  const int32_t rowPixels = std::clamp(width, 0, locked.pixels.width);
  const int32_t rows = std::clamp(height, 0, locked.pixels.height);
  for (int32_t y = 0; y < rows; ++y) {
    ConvertPixels(Display().depth, pixels + static_cast<ptrdiff_t>(y) * width * 3, locked.Row(y, 0),
                  static_cast<size_t>(rowPixels));
  }
  return Unlock();
}

bool DrawRect(int32_t x, int32_t y, int32_t width, int32_t height, const uint8_t* pixels) {
  Locked locked;
  if (!locked.ok) return false;
  const int32_t left = std::max(x, 0), top = std::max(y, 0);
  const int32_t right = std::min(x + width, std::min(locked.pixels.width, kScreenWidth));
  const int32_t bottom = std::min(y + height, std::min(locked.pixels.height, kScreenHeight));
  for (int32_t row = top; row < bottom && left < right; ++row) {
    ConvertPixels(Display().depth, pixels + static_cast<ptrdiff_t>(row) * kSourcePitch + left * 3,
                  locked.Row(row, left), static_cast<size_t>(right - left));
  }
  return Unlock();
}

bool DrawDarkened(uint8_t level, const uint8_t* pixels) {
  Locked locked;
  if (!locked.ok) return false;
  const ChipScreen& screen = Display();
  const int32_t rows = std::min(locked.pixels.height, kScreenHeight);
  const size_t rowPixels = static_cast<size_t>(std::min(locked.pixels.width, kScreenWidth));
  const bool wholeRows = locked.pixels.pitch == kScreenWidth * BytesPerPixelOfDepth(screen.depth);
  if (screen.depth == kDepth24 && wholeRows) {
    // One stream of 921,600 bytes.
    const size_t bytes = static_cast<size_t>(kSourcePitch) * static_cast<size_t>(rows);
    (screen.simd ? DarkenBytesSimd : DarkenBytesPlain)(pixels, locked.Row(0, 0), bytes, level);
  } else if (screen.depth == kDepth32 && wholeRows) {
    const size_t count = static_cast<size_t>(kScreenWidth) * static_cast<size_t>(rows);
    (screen.simd ? DarkenTo32Simd : DarkenTo32Plain)(pixels, locked.Row(0, 0), count, level);
  } else if (screen.depth != kDepthPalette) {
    uint8_t row[kSourcePitch];
    for (int32_t y = 0; y < rows; ++y) {
      (screen.simd ? DarkenBytesSimd : DarkenBytesPlain)(
          pixels + static_cast<ptrdiff_t>(y) * kSourcePitch, row, rowPixels * 3, level);
      ConvertPixels(screen.depth, row, locked.Row(y, 0), rowPixels);
    }
  }
  return Unlock();
}

bool Present(int32_t x, int32_t y, int32_t sourceX, int32_t sourceY, int32_t width,
             int32_t height) {
  if (!Display().ready) return false;
  return platform::Screen().Present(x, y, sourceX, sourceY, width, height);
}

bool PresentAll() { return Present(0, 0, 0, 0, kScreenWidth, kScreenHeight); }

void ScreenRelease() {
  if (Display().ready) platform::Screen().Close();
  Display() = ChipScreen{};
}

}  // namespace chipdisk
