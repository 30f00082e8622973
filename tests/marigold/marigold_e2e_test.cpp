// The demo end to end on a private X server with Mesa and the disk audio
// driver, in a copy of the sample demo folder (its "Marigold.alf" alone):
// the loading dialog, the renderer dialog, a rendered scene, a second copy
// that leaves at once, and Escape or a termination signal ending with
// status 0.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"
#include "tests/support/xvfb.hpp"

namespace {

// Distinct colours on the screen above which a textured, lit scene shows
// (the loading picture and the empty screen have far fewer).
constexpr int kSceneColours = 20000;
constexpr double kSceneSeconds = 90;
constexpr double kExitSeconds = 30;
// The loading dialog's window is named after its text; it stays under the
// renderer dialog until the renderer opens.
constexpr const char* kLoadingDialogName = "'^Initializing 3D engine[.]{3}$'";

class DemoProcess {
 public:
  DemoProcess(const testing_support::XvfbServer& x, const std::string& dir) {
    pid_ = fork();
    if (pid_ != 0) return;
    if (chdir(dir.c_str()) != 0) _exit(127);
    setenv("DISPLAY", x.display().c_str(), 1);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir + "/audio.raw").c_str(), 1);
    execl(MARIGOLD_PATH, "marigold", static_cast<char*>(nullptr));
    _exit(127);
  }
  ~DemoProcess() {
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  // The exit status once it has ended within `seconds`, else -1.
  void Signal(int signal) const {
    if (pid_ > 0 && status_ < 0) kill(pid_, signal);
  }
  int WaitForExit(double seconds) {
    testing_support::WaitUntil(
        [&] {
          int raw = 0;
          if (status_ < 0 && waitpid(pid_, &raw, WNOHANG) == pid_)
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128;
          return status_ >= 0;
        },
        seconds);
    return status_;
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

int ScreenColours(const testing_support::XvfbServer& x, const std::string& png) {
  if (!x.Screenshot(png)) return 0;
  auto result = testing_support::RunTool(testing_support::ImageMagickConvert(),
                                         {png, "-format", "%k", "info:"});
  return result.status == 0 ? std::atoi(result.out.c_str()) : 0;
}

bool WindowGone(const testing_support::XvfbServer& x, const std::string& quotedName) {
  return x.Xdotool("search --onlyvisible --name " + quotedName + " >/dev/null 2>&1") != 0;
}

class MarigoldEndToEnd : public testing_support::ScratchDirTest {
 protected:
  // A copy of the archive alone, so that everything comes from it and the
  // demo's log and sound file stay out of the build folder.
  bool CopySample() {
    const std::string archive = std::string(MARIGOLD_SAMPLE_DIR) + "/Marigold.alf";
    if (!testing_support::FileExists(archive)) {
      ADD_FAILURE() << "build the marigold-sample target";
      return false;
    }
    return std::filesystem::copy_file(archive, dir() + "/Marigold.alf");
  }
  // Start-up up to the running demo: the loading dialog with its second
  // text, the renderer dialog accepted with Enter, the loading dialog gone.
  void StartUp(const testing_support::XvfbServer& x) {
    ASSERT_TRUE(x.WaitForWindow(kLoadingDialogName));
    ASSERT_TRUE(testing_support::WaitUntil([&] { return x.WindowFocused("'Renderer'"); }));
    x.Xdotool("key Return");
    EXPECT_TRUE(testing_support::WaitUntil([&] { return WindowGone(x, kLoadingDialogName); }));
  }
};

TEST_F(MarigoldEndToEnd, RendersScenesAllowsOneCopyAndEndsOnEscape) {
  testing_support::XvfbServer x(1024, 768);
  if (!x.running()) GTEST_SKIP() << "Xvfb is not available";
  ASSERT_TRUE(CopySample());

  DemoProcess demo(x, dir());
  ASSERT_NO_FATAL_FAILURE(StartUp(x));
  EXPECT_TRUE(testing_support::WaitUntil(
      [&] { return ScreenColours(x, dir() + "/screen.png") > kSceneColours; }, kSceneSeconds));

  DemoProcess second(x, dir());
  EXPECT_EQ(second.WaitForExit(kExitSeconds), 0);

  ASSERT_TRUE(x.WaitForWindow("'Marigold'"));
  x.Xdotool("search --name '^Marigold$' windowfocus");
  x.Xdotool("key Escape");
  EXPECT_EQ(demo.WaitForExit(kExitSeconds), 0);
}

TEST_F(MarigoldEndToEnd, TerminationSignalEndsTheRunningDemoWithStatusZero) {
  testing_support::XvfbServer x(640, 480);
  if (!x.running()) GTEST_SKIP() << "Xvfb is not available";
  ASSERT_TRUE(CopySample());

  DemoProcess demo(x, dir());
  ASSERT_NO_FATAL_FAILURE(StartUp(x));
  ASSERT_TRUE(x.WaitForWindow("'^Marigold$'"));
  demo.Signal(SIGTERM);
  EXPECT_EQ(demo.WaitForExit(kExitSeconds), 0);
}

}  // namespace
