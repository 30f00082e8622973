#include "platform/display/fake_display_service.hpp"

#include <algorithm>
#include <cstring>

namespace platform {

bool FakeDisplayService::Open() {
  ++opens;
  return failure != Failure::Open;
}

bool FakeDisplayService::TakeWindow(WindowHandle taken) {
  if (failure == Failure::TakeWindow || !taken) return false;
  window = taken;
  return true;
}

bool FakeDisplayService::SetMode(int32_t bits) {
  if (failure == Failure::AllModes || (bits == 15 && refuse15Bit)) return false;
  bitsPerPixel = bits;
  return true;
}

DisplayMode FakeDisplayService::ModeOf(int32_t bits) const {
  DisplayMode mode = DisplayService::ModeOf(bits);
  if (bits == 16 && sixteenBitRedMask == 0x7C00) {
    mode.redMask = 0x7C00;
    mode.greenMask = 0x03E0;
  }
  return mode;
}

int32_t FakeDisplayService::SurfacePitch(int32_t width) const {
  return std::max(pitch & ~1, width * 2);
}

bool FakeDisplayService::CanCreateSurface(uint32_t caps) {
  if ((caps & DDSCAPS_PRIMARYSURFACE) && failure == Failure::Primary) return false;
  if ((caps & DDSCAPS_BACKBUFFER) && failure == Failure::BackBuffer) return false;
  if (caps & DDSCAPS_OFFSCREENPLAIN) {
    if (failure == Failure::Offscreen) return false;
    ++offscreenSurfacesMade;
  }
  return true;
}

void FakeDisplayService::Show(const uint8_t* pixels, int32_t rowPitch, bool waitForVsync) {
  ++flips;
  if (waitForVsync) ++vsyncFlips;
  if (!keepFrames) return;
  lastFrame.assign(pixels, pixels + static_cast<size_t>(rowPitch) * kScreenHeight);
  lastPitch = rowPitch;
}

void FakeDisplayService::Reset() { *this = FakeDisplayService(); }

uint16_t FakeDisplayService::PixelAt(int32_t x, int32_t y) const {
  uint16_t pixel = 0;
  const size_t at = static_cast<size_t>(y) * lastPitch + static_cast<size_t>(x) * 2;
  if (x >= 0 && y >= 0 && at + 2 <= lastFrame.size()) std::memcpy(&pixel, &lastFrame[at], 2);
  return pixel;
}

FakeDisplayService& FakeDisplay() {
  static FakeDisplayService fake;
  return fake;
}

}  // namespace platform
