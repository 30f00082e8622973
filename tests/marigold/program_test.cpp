// The program over the fake window, sound and engine: a second copy leaves
// at once, the user's ways out end with status 0, failures with 1.
#include "marigold/program.hpp"

#include <unistd.h>

#include <algorithm>
#include <map>
#include <string>
#include <thread>

#include "marigold/loading.hpp"
#include "marigold/loading_dialog.hpp"
#include "marigold/single_instance.hpp"
#include "platform/dialog/dialog.hpp"
#include "platform/window/fake_window_service.hpp"
#include "tests/marigold/demo_fixture.hpp"

namespace marigold::testing {
namespace {

constexpr unsigned kHangSeconds = 60;

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseFakeDemoServices(false);
    Recorder().presentMs = 16;
    Recorder().files[kMusicFile] = "module bytes";
    platform::SetWindowService(&platform::FakeWindow());
    platform::FakeWindow().Reset();
    platform::dialog::FakeDialogs().Reset();
  }
  void TearDown() override {
    Recorder().onCall = nullptr;
    SetEngineCalls(nullptr);
    platform::SetClockService(nullptr);
  }
  void Script(uint32_t message, uintptr_t wParam = 0) {
    platform::FakeWindow().script.push_back({message, wParam, 0});
  }

  std::string lockName = "marigold-program-test-" + std::to_string(::getpid());
};

TEST_F(ProgramTest, SecondCopyLeavesAtOnce) {
  SingleInstance first;
  ASSERT_EQ(first.acquire(lockName.c_str(), nullptr), SingleInstance::Result::First);
  EXPECT_EQ(RunDemo(lockName.c_str()), 0);
  EXPECT_EQ(platform::FakeWindow().windowsOpened, 0);
  EXPECT_TRUE(Recorder().calls.empty());
}

TEST_F(ProgramTest, DecliningTheRendererEndsQuietlyWithStatusZero) {
  Recorder().rendererAccepted = 0;
  EXPECT_EXIT(RunDemo(lockName.c_str()), ::testing::ExitedWithCode(0), "");
}

TEST_F(ProgramTest, EscapeEndsTheDemoWithStatusZero) {
  Script(platform::WM_KEYDOWN, platform::VK_ESCAPE);
  EXPECT_EXIT(RunDemo(lockName.c_str()), ::testing::ExitedWithCode(0), "");
}

TEST_F(ProgramTest, CloseAndSuspendEndTheDemoWithStatusZero) {
  Script(platform::WM_CLOSE);
  EXPECT_EXIT(RunDemo(lockName.c_str()), ::testing::ExitedWithCode(0), "");
  platform::FakeWindow().script.clear();
  Script(kWmPowerBroadcast, kQuerySuspend);
  EXPECT_EXIT(RunDemo(lockName.c_str()), ::testing::ExitedWithCode(0), "");
}

TEST_F(ProgramTest, MissingMusicEndsWithItsMessageAndStatusOne) {
  Recorder().files.clear();
  EXPECT_EXIT(RunDemo(lockName.c_str()), ::testing::ExitedWithCode(1), "Can't load music!");
}

TEST_F(ProgramTest, OtherCommandsAndKeysLeaveTheDemoRunning) {
  Script(kWmCommand, kEscapeCommand);  // not from an accelerator
  Script(platform::WM_KEYDOWN, 'A');
  Script(kWmPowerBroadcast, 7);
  // The script runs out: the loop ends as if the window had gone.
  EXPECT_EQ(RunDemo(lockName.c_str()), 0);
  EXPECT_EQ(platform::FakeWindow().lastTitle, std::string(kWindowTitle));
  EXPECT_EQ(Recorder().running, 0);  // the engine was shut down
}

TEST_F(ProgramTest, LoadingDialogShowsItsStepsUntilTheRendererOpens) {
  struct Seen {
    int open;
    std::string text;
  };
  std::map<std::string, Seen> seen;
  Recorder().onCall = [&](const EngineCall& call) {
    const auto& dialogs = platform::dialog::FakeDialogs();
    seen[call.name] = {dialogs.modelessOpen,
                       dialogs.frames.empty() ? "" : dialogs.frames.back().texts[0]};
  };
  EXPECT_EQ(RunDemo(lockName.c_str()), 0);
  EXPECT_EQ(seen["klInitialize"].open, 1);
  EXPECT_EQ(seen["klInitialize"].text, kLoadingWaitText);
  EXPECT_EQ(seen["klSetupRendererDialog"].open, 1);
  EXPECT_EQ(seen["klSetupRendererDialog"].text, kLoadingEngineText);
  EXPECT_EQ(seen["klSetupRenderer"].open, 0);
  EXPECT_EQ(platform::dialog::FakeDialogs().modelessOpened, 1);
}

TEST_F(ProgramTest, WindowCarriesTheDemosIcon) {
  EXPECT_EQ(RunDemo(lockName.c_str()), 0);
  const platform::dialog::DialogIcon& icon = DemoIcon();
  ASSERT_EQ(platform::FakeWindow().iconWidth, icon.width);
  ASSERT_EQ(platform::FakeWindow().iconHeight, icon.height);
  EXPECT_TRUE(std::equal(platform::FakeWindow().iconPixels.begin(),
                         platform::FakeWindow().iconPixels.end(), icon.pixels));
}

TEST_F(ProgramTest, LoadingPictureHidesTheCursorLeavingItsCounterAlone) {
  EXPECT_EQ(RunDemo(lockName.c_str()), 0);
  EXPECT_GT(platform::FakeWindow().hideCursorCalls, 0);
  EXPECT_TRUE(platform::FakeWindow().cursorHidden);
  EXPECT_EQ(platform::FakeWindow().showCursorCalls, 0);
}

TEST_F(ProgramTest, MouseOverTheRunningDemoHidesTheCursor) {
  Recorder().running = 0;
  DemoWindowProcedure(nullptr, platform::WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(platform::FakeWindow().hideCursorCalls, 0);
  Recorder().running = 1;
  DemoWindowProcedure(nullptr, platform::WM_MOUSEMOVE, 0, 0);
  EXPECT_EQ(platform::FakeWindow().hideCursorCalls, 1);
}

TEST_F(ProgramTest, RendererThatFailsToOpenEndsWithTheExitBoxAndStatusOne) {
  Recorder().rendererOpens = 0;
  EXPECT_EXIT(RunDemo(lockName.c_str()), ::testing::ExitedWithCode(1),
              "Demo Exit Message: Initializing 3D engine failed!");
}

// Ends the demo from a render thread while this thread, the window's, waits
// for it. A hang ends by the alarm, as a failure.
void ExitOnTheRenderThread(const char* message) {
  alarm(kHangSeconds);
  Demo demo;
  demo.window = platform::FakeWindow().CreatePopupWindow(kWindowTitle, DemoWindowProcedure, 0, 0,
                                                         640, 480);
  std::thread render([&demo, message] { demo.exitDemo(message); });
  render.join();
}

TEST_F(ProgramTest, FailureOnTheRenderThreadEndsWhileTheWindowThreadWaits) {
  // The window thread pumps nothing while it waits for the render thread:
  // the exit must not wait for it.
  EXPECT_EXIT(ExitOnTheRenderThread("Render failure"), ::testing::ExitedWithCode(1),
              "Demo Exit Message: Render failure");
}

TEST_F(ProgramTest, UserExitOnTheRenderThreadEndsWithStatusZero) {
  EXPECT_EXIT(ExitOnTheRenderThread(nullptr), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace marigold::testing
