// The SDL display driver on a private X server, checked by screenshots:
// exact pixels at 640 x 480, the letterbox, whole-multiple scaling, Alt+Enter,
// and flips from another thread with and without waiting for vsync.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/display/display_service.hpp"
#include "platform/display/fake_display_service.hpp"
#include "platform/window/fake_window_service.hpp"
#include "tests/platform/window/screen_test_support.hpp"

namespace {

using namespace platform;
using testing_support::PumpUntil;
using testing_support::Rgb555ToScreen;
using testing_support::Rgb565ToScreen;

intptr_t Procedure(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == WM_DESTROY) Window().PostQuitMessage(0);
  return Window().DefWindowProc(window, message, wParam, lParam);
}

class SdlDisplayTest : public testing::Test {
 protected:
  explicit SdlDisplayTest(int width = 640, int height = 480)
      : screen_(width, height), width_(width), height_(height) {}

  void SetUp() override {
    if (!screen_.running()) GTEST_SKIP() << "Xvfb is not available";
    SetWindowService(&SdlWindowService());
    SetDisplayService(&SdlDisplayService());
    window_ = Window().CreateMainWindow("Varnel", Procedure);
    ASSERT_NE(window_, nullptr);
    Window().ShowWindow(window_);
    ASSERT_TRUE(testing_support::PumpUntilShownAndFocused(window_, screen_.xvfb()));
  }
  void TearDown() override {
    if (primary_) primary_->Release();
    if (device_) device_->Release();
    if (window_) Window().DestroyWindow(window_);
    SetSdlDisplayOptions({});
    SetDisplayService(&FakeDisplay());
    SetWindowService(&FakeWindow());
  }

  // The display as the reader sets it up; the depth it got.
  int32_t Open() {
    device_ = DirectDrawCreate();
    if (!device_ || !device_->SetCooperativeLevel(window_, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN))
      return 0;
    int32_t bits = 15;
    if (!device_->SetDisplayMode(640, 480, 15)) {
      bits = 16;
      if (!device_->SetDisplayMode(640, 480, 16)) return 0;
    }
    SurfaceDescription description{DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                                   DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, 0, 0,
                                   1};
    primary_ = device_->CreateSurface(description);
    back_ = primary_ ? primary_->GetAttachedSurface(DDSCAPS_BACKBUFFER) : nullptr;
    return back_ ? bits : 0;
  }

  // Draws `frame` (16-bit words as the mode has them) into the back buffer.
  void Draw(const std::vector<uint16_t>& frame) {
    LockedSurface locked{};
    ASSERT_TRUE(back_->Lock(locked));
    for (int y = 0; y < 480; ++y)
      std::memcpy(locked.surface + y * locked.pitch, &frame[y * 640], 1280);
    back_->Unlock();
  }

  // Checks the screen against `frame` placed at (x, y), `scale` times.
  void ExpectScreen(const std::vector<uint16_t>& frame, bool as565, int left, int top, int scale) {
    SCOPED_TRACE(testing::Message() << "image at " << left << "," << top << " x" << scale);
    const auto expectedAt = [&](int x, int y) {
      const int ix = (x - left) / scale, iy = (y - top) / scale;
      const bool inside = x >= left && y >= top && ix < 640 && iy < 480;
      const uint16_t pixel = inside ? frame[iy * 640 + ix] : 0;
      return as565 ? Rgb565ToScreen(pixel) : Rgb555ToScreen(pixel);
    };
    const auto matches = [&](const std::vector<uint8_t>& capture) {
      for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
          if (screen_.At(capture, x, y) != expectedAt(x, y)) return false;
      return true;
    };
    // Pumps until the server shows the frame: the window thread presents it.
    const std::vector<uint8_t> shot = testing_support::PumpUntilScreen(window_, screen_, matches);
    ASSERT_FALSE(shot.empty());
    int wrong = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const uint32_t expected = expectedAt(x, y);
        if (screen_.At(shot, x, y) != expected && ++wrong <= 5)
          ADD_FAILURE() << "at " << x << "," << y << " 0x" << std::hex << screen_.At(shot, x, y)
                        << " instead of 0x" << expected;
      }
    EXPECT_EQ(wrong, 0);
    if (wrong) screen_.xvfb().Screenshot(::testing::TempDir() + "display-sdl-failed.png");
  }

  testing_support::TestScreen screen_;
  int width_, height_;
  WindowHandle window_ = nullptr;
  DisplayDevice* device_ = nullptr;
  DisplaySurface* primary_ = nullptr;
  DisplaySurface* back_ = nullptr;
  const std::vector<uint16_t> frame_ = testing_support::TestFrame();
};

TEST_F(SdlDisplayTest, AFlippedFrameIsOnTheScreenPixelForPixel) {
  ASSERT_EQ(Open(), 15);
  DisplayMode mode{};
  ASSERT_TRUE(device_->GetDisplayMode(mode));
  EXPECT_EQ(mode.redMask, 0x7C00u);
  Draw(frame_);
  ASSERT_TRUE(primary_->Flip(false));
  ExpectScreen(frame_, false, 0, 0, 1);
}

TEST_F(SdlDisplayTest, Refusing15BitsGivesA565ModeShownWithItsSixGreenBits) {
  SetSdlDisplayOptions({true, 1400});
  ASSERT_EQ(Open(), 16);
  DisplayMode mode{};
  ASSERT_TRUE(device_->GetDisplayMode(mode));
  EXPECT_EQ(mode.redMask, 0xF800u);
  LockedSurface locked{};
  ASSERT_TRUE(back_->Lock(locked));
  EXPECT_EQ(locked.pitch, 1400);
  back_->Unlock();
  std::vector<uint16_t> frame(640 * 480);
  for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
  Draw(frame);
  ASSERT_TRUE(primary_->Flip(true));
  ExpectScreen(frame, true, 0, 0, 1);
}

class SdlDisplayWideTest : public SdlDisplayTest {
 protected:
  SdlDisplayWideTest() : SdlDisplayTest(800, 600) {}
};

TEST_F(SdlDisplayWideTest, TheImageIsCentredOnBlackBars) {
  ASSERT_EQ(Open(), 15);
  Draw(frame_);
  primary_->Flip(false);
  ExpectScreen(frame_, false, 80, 60, 1);
}

class SdlDisplayLargeTest : public SdlDisplayTest {
 protected:
  SdlDisplayLargeTest() : SdlDisplayTest(1280, 960) {}
};

TEST_F(SdlDisplayLargeTest, WholeMultiplesFillTheScreenAndAltEnterGivesAWindow) {
  ASSERT_EQ(Open(), 15);
  Draw(frame_);
  primary_->Flip(false);
  ExpectScreen(frame_, false, 0, 0, 2);

  ASSERT_EQ(screen_.xvfb().Xdotool("key alt+Return"), 0);
  ExpectScreen(frame_, false, 320, 240, 1);
  ASSERT_EQ(screen_.xvfb().Xdotool("key alt+Return"), 0);
  ExpectScreen(frame_, false, 0, 0, 2);
}

TEST_F(SdlDisplayTest, AVsyncFlipFromAnotherThreadReturnsOnceTheFrameIsShown) {
  ASSERT_EQ(Open(), 15);
  Draw(frame_);
  std::atomic<bool> shownOnReturn{false};
  const uint64_t flippedBefore = SdlDisplayStatistics().flipped;
  std::thread magazine([&] {
    primary_->Flip(true);
    const SdlDisplayCounts counts = SdlDisplayStatistics();
    shownOnReturn = counts.presented >= counts.flipped;
  });
  // The window thread is busy until the flip has been handed over.
  testing_support::WaitUntil([&] { return SdlDisplayStatistics().flipped > flippedBefore; });
  PumpUntil(window_, [&] { return shownOnReturn.load(); });
  magazine.join();
  EXPECT_TRUE(shownOnReturn);
}

TEST_F(SdlDisplayTest, FlipsWithoutVsyncNeverWaitAndTheNewestFrameWins) {
  ASSERT_EQ(Open(), 15);
  const SdlDisplayCounts before = SdlDisplayStatistics();
  std::vector<uint16_t> frame(640 * 480);
  // The window thread does not pump meanwhile: every flip must return.
  std::thread magazine([&] {
    for (uint16_t colour = 0; colour < 50; ++colour) {
      std::fill(frame.begin(), frame.end(), static_cast<uint16_t>(colour * 0x0421));
      Draw(frame);
      primary_->Flip(false);
    }
  });
  magazine.join();
  PumpUntil(window_, [&] { return SdlDisplayStatistics().presented > before.presented; });
  const SdlDisplayCounts after = SdlDisplayStatistics();
  EXPECT_EQ(after.flipped - before.flipped, 50u);
  EXPECT_EQ(after.presented - before.presented, 1u);
  ExpectScreen(frame, false, 0, 0, 1);
}

TEST_F(SdlDisplayTest, FlipsAfterTheWindowIsGoneAreHarmless) {
  ASSERT_EQ(Open(), 15);
  ASSERT_TRUE(Window().DestroyWindow(window_));
  window_ = nullptr;
  Draw(frame_);
  std::thread magazine([&] { EXPECT_TRUE(primary_->Flip(true)); });
  magazine.join();
  EXPECT_TRUE(primary_->Flip(false));
}

TEST(SdlDisplayWithoutWindow, DirectDrawCreateFails) {
  SetDisplayService(&SdlDisplayService());
  EXPECT_EQ(DirectDrawCreate(), nullptr);
  SetDisplayService(&FakeDisplay());
}

}  // namespace
