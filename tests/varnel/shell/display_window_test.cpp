// The reader's display on a real SDL window under a private X server: what
// PresentFrame shows is the frame, pixel for pixel, in every mode and path,
// and presenting from the magazine thread works beside the message loop.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/display/display_service.hpp"
#include "platform/display/fake_display_service.hpp"
#include "platform/window/fake_window_service.hpp"
#include "tests/platform/window/screen_test_support.hpp"
#include "varnel/shell/display.hpp"
#include "varnel/shell/settings.hpp"
#include "varnel/shell/window_procedure.hpp"

using namespace varnel;

namespace {

using namespace platform;
using testing_support::PumpUntil;

uint16_t Formula565(uint16_t p) {
  return static_cast<uint16_t>((p & 0x001F) | ((p << 1) & 0xFFE0));
}

class DisplayWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!screen_.running()) GTEST_SKIP() << "Xvfb is not available";
    saved_ = settings;
    settings = {};
    SetWindowService(&SdlWindowService());
    SetDisplayService(&SdlDisplayService());
    window_ = Window().CreateMainWindow("Varnel", MainWindowProcedure);
    ASSERT_NE(window_, nullptr);
    Window().ShowWindow(window_);
  }
  void TearDown() override {
    if (!screen_.running()) return;
    ReleaseDisplay();
    displayInitialised = 0;
    Window().DestroyWindow(window_);
    SetSdlDisplayOptions({});
    SetDisplayService(&FakeDisplay());
    SetWindowService(&FakeWindow());
    settings = saved_;
  }

  void Create() {
    std::lock_guard lock(displayLock);
    displayInitialised = 1;
    CreateDisplay(window_);
  }
  void ExpectScreenShows(const std::vector<uint16_t>& frame) {
    const auto expectedAt = [&](int x, int y) {
      const uint16_t pixel = frame[y * 640 + x];
      return displayIs565 ? testing_support::Rgb565ToScreen(Formula565(pixel))
                          : testing_support::Rgb555ToScreen(pixel);
    };
    const auto matches = [&](const std::vector<uint8_t>& capture) {
      for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
          if (screen_.At(capture, x, y) != expectedAt(x, y)) return false;
      return true;
    };
    // Pumps until the server shows the frame (or the wait gives up).
    const std::vector<uint8_t> shot = testing_support::PumpUntilScreen(window_, screen_, matches);
    ASSERT_FALSE(shot.empty());
    int wrong = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) {
        const uint32_t expected = expectedAt(x, y);
        if (screen_.At(shot, x, y) != expected && ++wrong <= 3)
          ADD_FAILURE() << "at " << x << "," << y << ": 0x" << std::hex << screen_.At(shot, x, y)
                        << " instead of 0x" << expected;
      }
    EXPECT_EQ(wrong, 0);
  }

  testing_support::TestScreen screen_;
  WindowHandle window_ = nullptr;
  Settings saved_{};
  const std::vector<uint16_t> frame_ = testing_support::TestFrame();
};

TEST_F(DisplayWindowTest, FramesReachTheScreenExactlyInEveryModeAndPath) {
  struct Setup {
    bool only565;
    int32_t useMmx, useBltFast;
  };
  for (const Setup& setup :
       {Setup{false, 0, 0}, Setup{false, 0, 1}, Setup{true, 0, 0}, Setup{true, 1, 1}}) {
    SCOPED_TRACE(testing::Message() << "565 " << setup.only565 << " simd " << setup.useMmx
                                    << " staged " << setup.useBltFast);
    ReleaseDisplay();
    SetSdlDisplayOptions({setup.only565, 1280});
    settings.useMmx = setup.useMmx;
    settings.useBltFast = setup.useBltFast;
    Create();
    ASSERT_EQ(displayIs565, setup.only565 ? 1 : 0);
    PresentFrame(frame_.data());
    ExpectScreenShows(frame_);
  }
}

TEST_F(DisplayWindowTest, TheMagazineThreadPresentsWhileTheWindowThreadPumps) {
  settings.waitForVsync = 1;
  Create();
  std::atomic<bool> presented{false}, checked{false};
  std::thread magazine([&] {
    PresentFrame(frame_.data());
    presented = true;
    while (!checked) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Window().SendMessage(window_, WM_CLOSE, 0, 0);
  });
  ASSERT_TRUE(PumpUntil(window_, [&] { return presented.load(); }));
  ExpectScreenShows(frame_);
  checked = true;
  WindowMessage message{};
  while (Window().GetMessage(message)) Window().DispatchMessage(message);
  magazine.join();
  EXPECT_FALSE(Window().DestroyWindow(window_));  // WM_CLOSE took it down
  PresentFrame(frame_.data());                    // harmless once the window is gone
}

}  // namespace
