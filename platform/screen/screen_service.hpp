// Screen service: one drawing surface behind a window, in the window's own
// pixel format, and presentation of rectangles of it on the window. Each
// present waits for the display's next refresh, so successive presents are
// successive shown frames.
//
// Drivers: SDL2 (the window's surface) and a fake for tests whose pixel
// format is chosen by the test and whose presents are recorded.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/window/window_messages.hpp"

namespace platform {

// A pixel format as the desktop describes it: bits per pixel and the
// channel masks (all 0 for palette formats).
struct ScreenFormat {
  int32_t bitsPerPixel;
  uint32_t redMask;
  uint32_t greenMask;
  uint32_t blueMask;
};

struct ScreenPixels {
  uint8_t* pixels;  // first byte of the top row
  int32_t pitch;    // bytes from one row to the next
  int32_t width;
  int32_t height;
};

class ScreenService {
 public:
  virtual ~ScreenService() = default;
  virtual const char* DriverName() const = 0;

  // Makes a `width` x `height` drawing surface for `window` (black); false
  // when the window has no surface. On a palette desktop the surface has 8
  // bits and no channel masks, and presents show nothing of it.
  virtual bool Open(WindowHandle window, int32_t width, int32_t height) = 0;
  virtual ScreenFormat Format() const = 0;
  // The whole drawing surface for writing; false before Open or while
  // locked.
  virtual bool Lock(ScreenPixels& locked) = 0;
  virtual bool Unlock() = 0;
  // Waits for the next refresh, then shows the surface's rectangle at
  // (sourceX, sourceY) at (x, y) of the window. False for a rectangle
  // outside the surface, before Open or while locked.
  virtual bool Present(int32_t x, int32_t y, int32_t sourceX, int32_t sourceY, int32_t width,
                       int32_t height) = 0;
  virtual void Close() = 0;
};

ScreenService& Screen();
void SetScreenService(ScreenService* service);  // null: the SDL driver

ScreenService& SdlScreenService();

// Records presents and keeps what the window would show.
class FakeScreenService final : public ScreenService {
 public:
  struct PresentCall {
    int32_t x, y, sourceX, sourceY, width, height;
  };

  const char* DriverName() const override { return "fake"; }
  bool Open(WindowHandle owner, int32_t surfaceWidth, int32_t surfaceHeight) override;
  ScreenFormat Format() const override { return format; }
  bool Lock(ScreenPixels& locked) override;
  bool Unlock() override;
  bool Present(int32_t x, int32_t y, int32_t sourceX, int32_t sourceY, int32_t width,
               int32_t height) override;
  void Close() override;

  // Back to a closed 32-bit screen; forgets the calls and failures.
  void Reset();
  int32_t BytesPerPixel() const { return (format.bitsPerPixel + 7) / 8; }

  ScreenFormat format{32, 0xFF0000, 0xFF00, 0xFF};
  bool openFails = false;
  bool lockFails = false;
  bool presentFails = false;
  // Each present waits this long on the clock service, like a refresh.
  uint32_t frameMilliseconds = 16;

  bool open = false;
  int32_t width = 0, height = 0, pitch = 0;
  std::vector<uint8_t> surface;  // the drawing surface, rows `pitch` apart
  std::vector<uint8_t> window;   // what the window shows, same layout
  std::vector<PresentCall> presents;

 private:
  bool locked_ = false;
};

FakeScreenService& FakeScreen();

}  // namespace platform
