// The chip player's display: one 640 x 480 drawing surface behind the
// player's window in the desktop's pixel format, 24-bit pictures drawn into
// it whole, by rectangle or darkened, and rectangles of it presented on the
// window one refresh at a time.
#pragma once

#include <cstdint>

#include "platform/window/window_messages.hpp"

namespace chipdisk {

constexpr int32_t kScreenWidth = 640;
constexpr int32_t kScreenHeight = 480;
constexpr int32_t kSourcePitch = kScreenWidth * 3;  // bytes per source row

struct ChipScreen {
  platform::WindowHandle window = nullptr;
  int32_t originX = 0, originY = 0;  // desktop position of the window, fixed at set-up
  int32_t depth = 0;                 // 8, 15, 16, 24 or 32
  bool simd = false;                 // the fade's SIMD path is used
  bool ready = false;                // set up and not yet released
};

// The one display of the process.
ChipScreen& Display();

// Makes the drawing surface for `window`; false when the window has none.
bool ScreenSetUp(platform::WindowHandle window);
// The depth code of the desktop's pixel format.
int32_t ScreenPixelFormat();
// Whether the processor has the fade's SIMD path (stored by the caller).
bool ScreenHasSimd();

// Each draw locks the surface, writes and unlocks; false when the surface
// cannot be locked. Pixels are 640-pixel rows of blue, green, red bytes.
bool DrawPicture(int32_t width, int32_t height, const uint8_t* pixels);
// The picture's rectangle at (x, y) to the same place, clipped to the screen.
bool DrawRect(int32_t x, int32_t y, int32_t width, int32_t height, const uint8_t* pixels);
// The whole 640 x 480 picture with every channel lowered by `level`.
bool DrawDarkened(uint8_t level, const uint8_t* pixels);
// Shows the surface's rectangle at (sourceX, sourceY) at (x, y) of the
// window, at the next refresh.
bool Present(int32_t x, int32_t y, int32_t sourceX, int32_t sourceY, int32_t width,
             int32_t height);
bool PresentAll();

void ScreenRelease();

}  // namespace chipdisk
