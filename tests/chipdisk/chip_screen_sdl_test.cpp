// The display on real windows of 16-, 15- and 8-bit X screens. SDL's own
// window surface (its texture framebuffer turned off) is then in the
// screen's format: the depth query and the table pixels of whole and
// darkened pictures are checked as the screen shows them, and on the palette
// screen that nothing shows.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "chipdisk/screen/chip_pixels.hpp"
#include "chipdisk/screen/chip_screen.hpp"
#include "platform/screen/screen_service.hpp"
#include "platform/window/fake_window_service.hpp"
#include "tests/platform/window/screen_test_support.hpp"

namespace {

using namespace chipdisk;
using Bytes = std::vector<uint8_t>;

constexpr size_t kPixels = static_cast<size_t>(kScreenWidth) * kScreenHeight;
constexpr const char* kCaption = "ChipScreen";

intptr_t ShowOnPaint(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                     intptr_t lParam) {
  if (message == platform::WM_PAINT && Display().ready) PresentAll();
  return platform::Window().DefWindowProc(window, message, wParam, lParam);
}

// Bands of every channel ramp alone, then mixes, then noise.
Bytes Picture() {
  Bytes bgr(kPixels * 3);
  std::mt19937 random(5);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      uint8_t* p = &bgr[(static_cast<size_t>(y) * kScreenWidth + x) * 3];
      const auto ramp = static_cast<uint8_t>(x * 255 / (kScreenWidth - 1));
      const int band = y / 24 % 5;
      for (int c = 0; c < 3; ++c) {
        if (band < 3) p[c] = c == band ? ramp : 0;
        else if (band == 3) p[c] = static_cast<uint8_t>(ramp + c * 85 + y);
        else p[c] = static_cast<uint8_t>(random());
      }
    }
  }
  return bgr;
}

struct Fields {
  uint32_t red, green, blue;
};

// The channel fields the depth table gives a blue-green-red pixel: the top
// five bits of each channel, six of green at 16 bits.
Fields TableFields(const uint8_t* bgr, int32_t depth) {
  return {uint32_t{bgr[2]} >> 3, uint32_t{bgr[1]} >> (depth == kDepth16 ? 2 : 3),
          uint32_t{bgr[0]} >> 3};
}

// An 8-bit screenshot channel back on `levels` steps, whatever rounding the
// widening used.
uint32_t Narrow(uint32_t channel, uint32_t levels) { return (channel * (levels - 1) + 127) / 255; }

// Pixels whose shown colour is not the table pixel of `shown` (24-bit
// blue-green-red); the first one is described in `first`.
size_t Mismatches(const Bytes& capture, const Bytes& shown, int32_t depth, std::string& first) {
  if (capture.size() != kPixels * 3) {
    first = "no screenshot";
    return kPixels;
  }
  const uint32_t greenLevels = depth == kDepth16 ? 64 : 32;
  size_t wrong = 0;
  for (size_t i = 0; i < kPixels; ++i) {
    const Fields want = TableFields(&shown[i * 3], depth);
    const uint8_t* rgb = &capture[i * 3];
    const Fields got{Narrow(rgb[0], 32), Narrow(rgb[1], greenLevels), Narrow(rgb[2], 32)};
    if (got.red == want.red && got.green == want.green && got.blue == want.blue) continue;
    if (wrong++ == 0) {
      char text[128];
      std::snprintf(text, sizeof text, "(%zu, %zu): shown %u/%u/%u, table %u/%u/%u",
                    i % kScreenWidth, i / kScreenWidth, got.red, got.green, got.blue, want.red,
                    want.green, want.blue);
      first = text;
    }
  }
  return wrong;
}

Bytes Darkened(const Bytes& bgr, uint8_t level) {
  Bytes out(bgr.size());
  for (size_t i = 0; i < bgr.size(); ++i) out[i] = bgr[i] > level ? bgr[i] - level : 0;
  return out;
}

// A window filling an X screen of `bits` per pixel.
class ChipScreenOnDesktop : public ::testing::Test {
 protected:
  explicit ChipScreenOnDesktop(int bits) : bits_(bits) {
    // The window surface in the X screen's own format, not SDL's 32-bit
    // texture framebuffer.
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 1);
    screen_ = std::make_unique<testing_support::TestScreen>(kScreenWidth, kScreenHeight, bits);
  }

  void SetUp() override {
    if (!screen_->running()) GTEST_SKIP() << "Xvfb refuses a " << bits_ << "-bit screen";
    platform::SetWindowService(&platform::SdlWindowService());
    platform::SetScreenService(nullptr);
    window_ = platform::Window().CreatePopupWindow(kCaption, ShowOnPaint, 0, 0, kScreenWidth,
                                                   kScreenHeight);
    ASSERT_NE(window_, nullptr);
    platform::Window().ShowWindow(window_);
    ASSERT_TRUE(testing_support::PumpUntilShownAndFocused(window_, screen_->xvfb(), kCaption));
  }

  void TearDown() override {
    ScreenRelease();
    if (window_) platform::Window().DestroyWindow(window_);
    platform::SetWindowService(&platform::FakeWindow());
  }

  // Presents the surface and waits until the screen shows `shown`.
  void ExpectShown(const Bytes& shown, const char* what) {
    ASSERT_TRUE(PresentAll());
    std::string first;
    size_t wrong = kPixels;
    testing_support::PumpUntilScreen(window_, *screen_, [&](const Bytes& capture) {
      wrong = Mismatches(capture, shown, Display().depth, first);
      return wrong == 0;
    });
    EXPECT_EQ(wrong, 0u) << what << ": first at " << first;
  }

  int bits_;
  std::unique_ptr<testing_support::TestScreen> screen_;
  platform::WindowHandle window_ = nullptr;
};

class ChipScreenDesktopTest : public ChipScreenOnDesktop, public ::testing::WithParamInterface<int> {
 protected:
  ChipScreenDesktopTest() : ChipScreenOnDesktop(GetParam()) {}
};

class ChipScreenPaletteDesktopTest : public ChipScreenOnDesktop {
 protected:
  ChipScreenPaletteDesktopTest() : ChipScreenOnDesktop(8) {}
};

TEST_P(ChipScreenDesktopTest, WholeAndDarkenedPicturesShowTheirTablePixels) {
  ASSERT_TRUE(ScreenSetUp(window_));
  ASSERT_EQ(Display().depth, GetParam() == 16 ? kDepth16 : kDepth15);
  const Bytes picture = Picture();
  ASSERT_TRUE(DrawPicture(kScreenWidth, kScreenHeight, picture.data()));
  ExpectShown(picture, "whole picture");
  Display().simd = false;
  ASSERT_TRUE(DrawDarkened(40, picture.data()));
  ExpectShown(Darkened(picture, 40), "darkened by 40, plain path");
  Display().simd = ScreenHasSimd();
  ASSERT_TRUE(DrawDarkened(255, picture.data()));
  ExpectShown(Darkened(picture, 255), "darkened by 255");
}

INSTANTIATE_TEST_SUITE_P(Depths, ChipScreenDesktopTest, ::testing::Values(16, 15),
                         [](const ::testing::TestParamInfo<int>& param) {
                           return "Bits" + std::to_string(param.param);
                         });

}  // namespace

namespace {

// On a palette desktop the display is set up and draws succeed, but the
// window never shows a picture.
TEST_F(ChipScreenPaletteDesktopTest, SetUpSucceedsAndNothingIsShown) {
  ASSERT_TRUE(ScreenSetUp(window_));
  EXPECT_EQ(Display().depth, kDepthPalette);
  const Bytes picture = Picture();
  EXPECT_TRUE(DrawPicture(kScreenWidth, kScreenHeight, picture.data()));
  EXPECT_TRUE(DrawDarkened(10, picture.data()));
  EXPECT_TRUE(DrawRect(0, 0, 100, 100, picture.data()));
  EXPECT_TRUE(PresentAll());
  EXPECT_TRUE(Present(10, 10, 10, 10, 50, 50));
  // Presents on a palette desktop send nothing to the server: nothing to wait for.
  const Bytes capture = screen_->Capture();
  ASSERT_EQ(capture.size(), kPixels * 3);
  size_t differing = 0;
  for (size_t i = 3; i < capture.size(); i += 3) {
    differing += capture[i] != capture[0] || capture[i + 1] != capture[1] || capture[i + 2] != capture[2];
  }
  EXPECT_EQ(differing, 0u) << "the window shows something";
}

}  // namespace
