// Test display driver: frames stay in memory, each creation step can be made
// to fail, surfaces can be lost, rows can be wider than the image.
#pragma once

#include <vector>

#include "platform/display/display_service.hpp"

namespace platform {

class FakeDisplayService final : public DisplayService {
 public:
  enum class Failure { None, Open, TakeWindow, AllModes, Primary, BackBuffer, Offscreen };

  const char* DriverName() const override { return "fake"; }
  bool Open() override;
  bool TakeWindow(WindowHandle window) override;
  bool SetMode(int32_t bitsPerPixel) override;
  DisplayMode ModeOf(int32_t bitsPerPixel) const override;
  int32_t SurfacePitch(int32_t width) const override;
  uint8_t SurfaceFill() const override { return fill; }
  bool CanCreateSurface(uint32_t caps) override;
  uint32_t LostGeneration() const override { return lostGeneration; }
  bool CanRestore() const override { return !restoreFails; }
  void Show(const uint8_t* pixels, int32_t pitch, bool waitForVsync) override;
  void Close() override { ++closes; }

  void Reset();
  // As when another program took the screen: every surface is lost.
  void LoseSurfaces() { ++lostGeneration; }
  // A pixel of the last frame shown.
  uint16_t PixelAt(int32_t x, int32_t y) const;

  // Options.
  bool refuse15Bit = false;
  uint32_t sixteenBitRedMask = 0xF800;  // 0x7C00: a 16-bit mode laid out 5-5-5
  int32_t pitch = 0;                    // 0: 1280; else bytes per row (even)
  uint8_t fill = 0;
  Failure failure = Failure::None;
  bool restoreFails = false;
  bool keepFrames = true;  // false: Show only counts (benchmarks)

  // Records.
  int opens = 0;
  int closes = 0;
  WindowHandle window = nullptr;
  int32_t bitsPerPixel = 0;
  int offscreenSurfacesMade = 0;
  int flips = 0;
  int vsyncFlips = 0;
  std::vector<uint8_t> lastFrame;  // rows of lastPitch bytes
  int32_t lastPitch = 0;
  uint32_t lostGeneration = 0;
};

FakeDisplayService& FakeDisplay();

}  // namespace platform
