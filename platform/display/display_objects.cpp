// The display object and its surfaces, the same for every driver: surfaces
// are rows of 16-bit pixels in memory, and a flip gives the visible page to
// the driver.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <utility>

#include "platform/display/display_service.hpp"

namespace platform {
namespace {

std::atomic<int> liveSurfaces{0};

constexpr int32_t kLargestSurface = 4096;

}  // namespace

DisplaySurface::DisplaySurface(DisplayService& driver, uint32_t caps, int32_t width, int32_t height)
    : driver_(driver),
      caps_(caps),
      width_(width),
      height_(height),
      pitch_(std::max(driver.SurfacePitch(width), width * 2)),
      pixels_(new uint8_t[static_cast<size_t>(pitch_) * static_cast<size_t>(height)]),
      generation_(driver.LostGeneration()) {
  std::memset(pixels_.get(), driver.SurfaceFill(), static_cast<size_t>(pitch_) * height_);
  ++liveSurfaces;
}

DisplaySurface::~DisplaySurface() {
  delete backBuffer_;
  --liveSurfaces;
}

bool DisplaySurface::IsLost() const { return generation_ != driver_.LostGeneration(); }

bool DisplaySurface::Restore() {
  if (!IsLost()) return true;
  if (!driver_.CanRestore()) return false;
  generation_ = driver_.LostGeneration();
  return true;
}

bool DisplaySurface::Usable() const { return !IsLost() && !locked_; }

bool DisplaySurface::Lock(LockedSurface& locked) {
  if (!Usable()) return false;
  locked_ = true;
  locked = {pixels_.get(), pitch_, width_, height_};
  return true;
}

bool DisplaySurface::Unlock() {
  if (!locked_) return false;
  locked_ = false;
  return true;
}

bool DisplaySurface::BltFast(int32_t x, int32_t y, DisplaySurface& source,
                             const SurfaceRect& rect) {
  const int32_t width = rect.right - rect.left;
  const int32_t height = rect.bottom - rect.top;
  if (!Usable() || !source.Usable() || width <= 0 || height <= 0) return false;
  if (rect.left < 0 || rect.top < 0 || rect.right > source.width_ || rect.bottom > source.height_)
    return false;
  if (x < 0 || y < 0 || x + width > width_ || y + height > height_) return false;
  for (int32_t row = 0; row < height; ++row) {
    const uint8_t* from = source.pixels_.get() + (rect.top + row) * source.pitch_ + rect.left * 2;
    uint8_t* to = pixels_.get() + (y + row) * pitch_ + x * 2;
    std::memmove(to, from, static_cast<size_t>(width) * 2);
  }
  return true;
}

DisplaySurface* DisplaySurface::GetAttachedSurface(uint32_t caps) {
  if (!(caps & DDSCAPS_BACKBUFFER) || !driver_.CanCreateSurface(DDSCAPS_BACKBUFFER)) return nullptr;
  return backBuffer_;
}

bool DisplaySurface::Flip(bool waitForVsync) {
  if (!(caps_ & DDSCAPS_PRIMARYSURFACE) || !backBuffer_) return false;
  if (!Usable() || !backBuffer_->Usable()) return false;
  std::swap(pixels_, backBuffer_->pixels_);
  driver_.Show(pixels_.get(), pitch_, waitForVsync);
  return true;
}

void DisplaySurface::Release() {
  // The back buffer belongs to its primary.
  if (caps_ & DDSCAPS_BACKBUFFER) return;
  delete this;
}

bool DisplayDevice::SetCooperativeLevel(WindowHandle window, uint32_t flags) {
  const uint32_t wanted = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;
  if ((flags & wanted) != wanted || !driver_.TakeWindow(window)) return false;
  window_ = window;
  return true;
}

bool DisplayDevice::SetDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel) {
  if (!window_ || width != kScreenWidth || height != kScreenHeight) return false;
  if ((bitsPerPixel != 15 && bitsPerPixel != 16) || !driver_.SetMode(bitsPerPixel)) return false;
  bitsPerPixel_ = bitsPerPixel;
  return true;
}

DisplaySurface* DisplayDevice::CreateSurface(const SurfaceDescription& description) {
  if (!bitsPerPixel_ || !(description.flags & DDSD_CAPS)) return nullptr;
  const uint32_t caps = description.caps;
  try {
    if (caps & DDSCAPS_PRIMARYSURFACE) {
      const uint32_t chain = DDSCAPS_FLIP | DDSCAPS_COMPLEX;
      const bool oneBackBuffer =
          (description.flags & DDSD_BACKBUFFERCOUNT) && description.backBufferCount == 1;
      if ((caps & chain) != chain || !oneBackBuffer) return nullptr;
      if (!driver_.CanCreateSurface(DDSCAPS_PRIMARYSURFACE)) return nullptr;
      auto* primary = new DisplaySurface(driver_, caps, kScreenWidth, kScreenHeight);
      try {
        primary->backBuffer_ = new DisplaySurface(driver_, DDSCAPS_BACKBUFFER | DDSCAPS_FLIP,
                                                  kScreenWidth, kScreenHeight);
      } catch (const std::bad_alloc&) {
        delete primary;
        return nullptr;
      }
      return primary;
    }
    if (caps & DDSCAPS_OFFSCREENPLAIN) {
      const uint32_t size = DDSD_WIDTH | DDSD_HEIGHT;
      const int32_t width = description.width;
      const int32_t height = description.height;
      if ((description.flags & size) != size || width <= 0 || height <= 0) return nullptr;
      if (width > kLargestSurface || height > kLargestSurface) return nullptr;
      if (!driver_.CanCreateSurface(DDSCAPS_OFFSCREENPLAIN)) return nullptr;
      return new DisplaySurface(driver_, caps, width, height);
    }
  } catch (const std::bad_alloc&) {
  }
  return nullptr;
}

bool DisplayDevice::GetDisplayMode(DisplayMode& mode) const {
  if (!bitsPerPixel_) return false;
  mode = driver_.ModeOf(bitsPerPixel_);
  return true;
}

void DisplayDevice::Release() {
  driver_.Close();
  delete this;
}

DisplayDevice* DirectDrawCreate() {
  DisplayService& driver = Display();
  if (!driver.Open()) return nullptr;
  return new (std::nothrow) DisplayDevice(driver);
}

int LiveDisplaySurfaces() { return liveSurfaces.load(); }

}  // namespace platform
