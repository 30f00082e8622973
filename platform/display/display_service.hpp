// Display service: a 640 x 480 16-bit screen in the desktop's DirectDraw
// model. DirectDrawCreate gives the display object; it sets the cooperative
// level and the mode and makes surfaces: a primary with a flip chain of one
// back buffer, and plain offscreen surfaces. Surfaces live in memory; a flip
// hands the finished back buffer to the current driver, which shows it.
//
// Drivers: SDL2 (the main window of the SDL window driver, any thread may
// flip) and a fake that records frames. Values of flags and capabilities are
// the desktop's.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/screen_size.hpp"
#include "platform/window/window_messages.hpp"

namespace platform {

constexpr uint32_t DDSCL_FULLSCREEN = 0x0001;
constexpr uint32_t DDSCL_EXCLUSIVE = 0x0010;

constexpr uint32_t DDSD_CAPS = 0x0001;
constexpr uint32_t DDSD_HEIGHT = 0x0002;
constexpr uint32_t DDSD_WIDTH = 0x0004;
constexpr uint32_t DDSD_BACKBUFFERCOUNT = 0x0020;

constexpr uint32_t DDSCAPS_BACKBUFFER = 0x0004;
constexpr uint32_t DDSCAPS_COMPLEX = 0x0008;
constexpr uint32_t DDSCAPS_FLIP = 0x0010;
constexpr uint32_t DDSCAPS_OFFSCREENPLAIN = 0x0040;
constexpr uint32_t DDSCAPS_PRIMARYSURFACE = 0x0200;

struct SurfaceDescription {
  uint32_t flags;  // DDSD_: which fields below are given
  uint32_t caps;   // DDSCAPS_
  int32_t width;
  int32_t height;
  int32_t backBufferCount;
};

struct LockedSurface {
  uint8_t* surface;  // first byte of the top row
  int32_t pitch;     // bytes from one row to the next, 1280 or more
  int32_t width;
  int32_t height;
};

struct DisplayMode {
  int32_t width;
  int32_t height;
  int32_t bitsPerPixel;
  uint32_t redMask;
  uint32_t greenMask;
  uint32_t blueMask;
};

struct SurfaceRect {
  int32_t left, top, right, bottom;
};

class DisplayService;

class DisplaySurface {
 public:
  bool IsLost() const;
  bool Restore();
  // The whole surface for writing; fails while lost or already locked.
  bool Lock(LockedSurface& locked);
  bool Unlock();
  // Copies `rect` of `source` to (x, y) of this surface; fails when it does
  // not fit, while either is lost or locked.
  bool BltFast(int32_t x, int32_t y, DisplaySurface& source, const SurfaceRect& rect);
  // A primary's back buffer (DDSCAPS_BACKBUFFER); it goes with the primary.
  DisplaySurface* GetAttachedSurface(uint32_t caps);
  // Primary only: the back buffer becomes the visible page. With
  // `waitForVsync` it returns once the frame is on the screen; without, a
  // frame the screen cannot take at once gives way to the next one.
  bool Flip(bool waitForVsync);
  // Frees the surface (a primary with its back buffer).
  void Release();

 private:
  friend class DisplayDevice;
  DisplaySurface(DisplayService& driver, uint32_t caps, int32_t width, int32_t height);
  ~DisplaySurface();
  bool Usable() const;

  DisplayService& driver_;
  uint32_t caps_;
  int32_t width_, height_, pitch_;
  std::unique_ptr<uint8_t[]> pixels_;
  bool locked_ = false;
  uint32_t generation_;
  DisplaySurface* backBuffer_ = nullptr;  // owned by the primary
};

class DisplayDevice {
 public:
  // Takes `window` for the display; only DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN.
  bool SetCooperativeLevel(WindowHandle window, uint32_t flags);
  // 640 x 480 at 15 (5-5-5) or 16 (5-6-5) bits, when the screen offers it.
  bool SetDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel);
  // A primary surface with its back buffers (after the cooperative level and
  // the mode), or an offscreen plain surface of the given size. Null on
  // failure.
  DisplaySurface* CreateSurface(const SurfaceDescription& description);
  bool GetDisplayMode(DisplayMode& mode) const;
  // Gives the screen back; surfaces still alive show nothing from now on.
  void Release();

 private:
  friend DisplayDevice* DirectDrawCreate();
  explicit DisplayDevice(DisplayService& driver) : driver_(driver) {}
  DisplayService& driver_;
  WindowHandle window_ = nullptr;
  int32_t bitsPerPixel_ = 0;
};

// The display object of the current driver; null when there is no display.
DisplayDevice* DirectDrawCreate();

// Surfaces in existence (all drivers), so tests can see that nothing leaks.
int LiveDisplaySurfaces();

// A display driver: what a screen does beneath the display objects.
class DisplayService {
 public:
  virtual ~DisplayService() = default;
  virtual const char* DriverName() const = 0;

  virtual bool Open() = 0;
  virtual bool TakeWindow(WindowHandle window) = 0;
  // Prepares the screen for 640 x 480 frames of 15 or 16 bits; false when
  // that depth is not available.
  virtual bool SetMode(int32_t bitsPerPixel) = 0;
  virtual DisplayMode ModeOf(int32_t bitsPerPixel) const;
  // Bytes per row of new surfaces (at least width * 2).
  virtual int32_t SurfacePitch(int32_t width) const { return width * 2; }
  // The byte new surfaces are filled with.
  virtual uint8_t SurfaceFill() const { return 0; }
  virtual bool CanCreateSurface(uint32_t caps) { return caps != 0; }
  // Surfaces made before the count last changed are lost.
  virtual uint32_t LostGeneration() const { return 0; }
  virtual bool CanRestore() const { return true; }
  // Shows a flipped frame (rows `pitch` bytes apart, 16 bits per pixel).
  virtual void Show(const uint8_t* pixels, int32_t pitch, bool waitForVsync) = 0;
  virtual void Close() = 0;
};

DisplayService& Display();
void SetDisplayService(DisplayService* service);  // null: the SDL driver

DisplayService& SdlDisplayService();

// Choices of the SDL driver for tests: refuse the 15-bit mode (so frames go
// out in 5-6-5) and make surface rows wider than the image.
struct SdlDisplayOptions {
  bool refuse15Bit = false;
  int32_t surfacePitch = kScreenWidth * 2;
};
void SetSdlDisplayOptions(const SdlDisplayOptions& options);

struct SdlDisplayCounts {
  uint64_t flipped;    // frames handed over by Flip
  uint64_t presented;  // frames that reached the renderer
};
SdlDisplayCounts SdlDisplayStatistics();

// Test driver (fake_display_service.hpp): records frames in memory.
class FakeDisplayService;
FakeDisplayService& FakeDisplay();

}  // namespace platform
