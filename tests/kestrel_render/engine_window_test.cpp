// The engine takes over the window the demo created on a real X server.
#include <gtest/gtest.h>

#include "kestrel/kestrel.h"
#include "platform/window/window_service.hpp"
#include "tests/platform/window/screen_test_support.hpp"

namespace {

intptr_t Procedure(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                   intptr_t lParam) {
  return platform::Window().DefWindowProc(window, message, wParam, lParam);
}

TEST(KestrelWindow, DrawsIntoTheDemosWindowUntilItCloses) {
  testing_support::TestScreen screen(640, 480);
  if (!screen.running()) GTEST_SKIP() << "no Xvfb";
  platform::SetWindowService(&platform::SdlWindowService());
  platform::SetMainWindowOpenGl(true);
  platform::WindowHandle window = platform::Window().CreateMainWindow("Marigold", Procedure);
  ASSERT_NE(window, nullptr);
  platform::Window().ShowWindow(window);

  ASSERT_EQ(klInitialize(window, 0), 1);
  ASSERT_EQ(klSetupRenderer(nullptr), 1);
  EXPECT_EQ(klGetInfo(KL_INFO_RUNNING), 1);
  EXPECT_EQ(klGetInfo(KL_INFO_WIDTH), 640);
  EXPECT_EQ(klGetInfo(KL_INFO_HEIGHT), 480);
  bool red = false;
  testing_support::PumpUntil(window, [&] {
    klStartRendering();
    klPutRect(0, 0, 1, 1, 1, 1, 0, 0, KL_BLEND_ONE, KL_BLEND_ZERO);
    klEndRendering();
    klShowRender();
    const std::vector<uint8_t> capture = screen.Capture("kestrel");
    red = !capture.empty() && screen.At(capture, 320, 240) == 0xFF0000;
    return red;
  });
  EXPECT_TRUE(red);

  platform::Window().DestroyWindow(window);
  EXPECT_EQ(klGetInfo(KL_INFO_RUNNING), 0);
  klShowRender();  // nothing to draw into: no crash
  klDone();
  platform::SetMainWindowOpenGl(false);
  platform::SetWindowService(nullptr);
}

}  // namespace
