// The program over the fake window, sound and engine: a second copy leaves
// at once, the user's ways out end with status 0, failures with 1.
#include "marigold/program.hpp"

#include <unistd.h>

#include <string>

#include "marigold/loading.hpp"
#include "marigold/single_instance.hpp"
#include "platform/window/fake_window_service.hpp"
#include "tests/marigold/demo_fixture.hpp"

namespace marigold::testing {
namespace {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseRecordingEngine();
    platform::SetBassService(&platform::FakeBass());
    platform::FakeBass().Reset();
    platform::FakeBass().initFails = false;
    platform::FakeBass().initFailsFor.clear();
    platform::SetClockService(&platform::FakeClock());
    platform::FakeClock().now = kClockStart;
    Recorder().presentMs = 16;
    Recorder().files[kMusicFile] = "module bytes";
    platform::SetWindowService(&platform::FakeWindow());
    platform::FakeWindow().Reset();
  }
  void TearDown() override {
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

}  // namespace
}  // namespace marigold::testing
