// Real-window tests: a private X server that SDL talks to, screenshots as
// 8-bit RGB, and a message pump that waits for a condition.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/window/window_service.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/xvfb.hpp"

namespace testing_support {

class TestScreen {
 public:
  TestScreen(int width = 640, int height = 480, int depth = 24)
      : xvfb_(width, height, depth), width_(width), height_(height) {
    if (xvfb_.running()) setenv("DISPLAY", xvfb_.display().c_str(), 1);
  }
  bool running() const { return xvfb_.running(); }
  const XvfbServer& xvfb() const { return xvfb_; }

  // The whole screen, three bytes per pixel, rows from the top.
  std::vector<uint8_t> Capture(const std::string& name = "screen") const {
    // Named after the display, so tests running at once keep apart.
    const std::string stem = ::testing::TempDir() + name + "-" + xvfb_.display().substr(1);
    const std::string png = stem + ".png";
    const std::string raw = stem + ".rgb";
    if (!xvfb_.Screenshot(png)) return {};
    if (RunCommand("/usr/bin/convert " + png + " -depth 8 rgb:" + raw) != 0) return {};
    Bytes bytes = ReadFile(raw);
    if (bytes.size() != static_cast<size_t>(width_) * height_ * 3) return {};
    return bytes;
  }

  // 0xRRGGBB at (x, y) of a capture.
  uint32_t At(const std::vector<uint8_t>& capture, int x, int y) const {
    const size_t at = (static_cast<size_t>(y) * width_ + x) * 3;
    return (capture[at] << 16) | (capture[at + 1] << 8) | capture[at + 2];
  }

 private:
  XvfbServer xvfb_;
  int width_, height_;
};

// Pumps the current window driver's messages (dispatching each) until
// `done` holds or `seconds` pass; a 50 ms timer keeps GetMessage returning.
inline bool PumpUntil(platform::WindowHandle window, const std::function<bool()>& done,
                      double seconds = kDesktopTimeoutSeconds) {
  constexpr uintptr_t kPumpTimer = 4242;
  platform::WindowService& service = platform::Window();
  service.SetTimer(window, kPumpTimer, 50);
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  bool reached = done();
  platform::WindowMessage message{};
  while (!reached && std::chrono::steady_clock::now() < end && service.GetMessage(message)) {
    service.DispatchMessage(message);
    reached = done();
  }
  service.KillTimer(window, kPumpTimer);
  return reached;
}

// Pumps until the window named `caption` is mapped and has the keyboard
// focus, so that input sent from now on reaches it.
inline bool PumpUntilShownAndFocused(platform::WindowHandle window, const XvfbServer& xvfb,
                                     const std::string& caption = "Varnel") {
  const std::string pattern = "'^" + caption + "$'";
  return PumpUntil(window, [&] { return xvfb.WindowFocused(pattern); }, kDesktopTimeoutSeconds);
}

// Pumps messages while taking screenshots until `shows` holds for one (or
// the wait gives up); the last screenshot, empty if none could be taken.
inline std::vector<uint8_t> PumpUntilScreen(platform::WindowHandle window, const TestScreen& screen,
                                            const std::function<bool(const std::vector<uint8_t>&)>& shows) {
  constexpr double kPumpBetweenShots = 0.1;
  std::vector<uint8_t> shot;
  WaitUntil([&] {
    PumpUntil(window, [] { return false; }, kPumpBetweenShots);
    shot = screen.Capture();
    return !shot.empty() && shows(shot);
  });
  return shot;
}

// Channels widened to 8 bits as SDL converts them on the way to the screen
// (found by experiment): 5 bits scaled to 255 and rounded down; the 6 green
// bits of 5-6-5 go through two byte tables, the high three bits scaled and
// the low three only multiplied by 4.
constexpr uint32_t Widen5(uint32_t value) { return value * 255 / 31; }
constexpr uint32_t Widen6(uint32_t value) {
  return (value >> 3) * 32 * 255 / 252 + (value & 7) * 4;
}

constexpr uint32_t Rgb555ToScreen(uint16_t pixel) {
  return (Widen5((pixel >> 10) & 31) << 16) | (Widen5((pixel >> 5) & 31) << 8) | Widen5(pixel & 31);
}
constexpr uint32_t Rgb565ToScreen(uint16_t pixel) {
  return (Widen5((pixel >> 11) & 31) << 16) | (Widen6((pixel >> 5) & 63) << 8) | Widen5(pixel & 31);
}

// A frame that shows every 5-bit level of every channel and mixes of them.
inline std::vector<uint16_t> TestFrame() {
  std::vector<uint16_t> frame(640 * 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      const uint32_t level = static_cast<uint32_t>(x / 4) & 31;
      uint32_t pixel;
      switch ((y / 16) % 5) {
        case 0:
          pixel = level << 10;
          break;
        case 1:
          pixel = level << 5;
          break;
        case 2:
          pixel = level;
          break;
        case 3:
          pixel = (level << 10) | (((31 - level) & 31) << 5) | ((x + y) & 31);
          break;
        default:
          pixel = static_cast<uint32_t>(x * 7 + y * 13) & 0x7FFF;
          break;
      }
      frame[y * 640 + x] = static_cast<uint16_t>(pixel);
    }
  return frame;
}

}  // namespace testing_support
