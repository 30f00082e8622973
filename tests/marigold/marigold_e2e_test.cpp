// The demo end to end on a private X server with Mesa and the disk audio
// driver, in a copy of the sample demo folder (its "Marigold.alf" alone):
// the loading dialog, the renderer dialog, a rendered scene, a second copy
// that leaves at once, and Escape or a termination signal ending with
// status 0.
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/desktop_program.hpp"
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
  // Starts the demo in the program's folder, as a person would.
  static void Start(testing_support::DesktopProgram& demo) {
    ASSERT_TRUE(demo.Start(MARIGOLD_PATH)) << demo.Report();
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

  testing_support::DesktopProgram demo(x, dir());
  ASSERT_NO_FATAL_FAILURE(Start(demo));
  ASSERT_NO_FATAL_FAILURE(StartUp(x));
  EXPECT_TRUE(testing_support::WaitUntil(
      [&] { return ScreenColours(x, dir() + "/screen.png") > kSceneColours; }, kSceneSeconds));

  // Its own folder keeps the first copy's output and sound file apart.
  ASSERT_TRUE(std::filesystem::create_directory(dir() + "/second"));
  testing_support::DesktopProgram second(x, dir() + "/second");
  ASSERT_NO_FATAL_FAILURE(Start(second));
  EXPECT_EQ(second.WaitForExit(kExitSeconds), 0) << second.Report();

  ASSERT_TRUE(x.WaitForWindow("'Marigold'"));
  x.Xdotool("search --name '^Marigold$' windowfocus");
  x.Xdotool("key Escape");
  EXPECT_EQ(demo.WaitForExit(kExitSeconds), 0) << demo.Report();
}

TEST_F(MarigoldEndToEnd, TerminationSignalEndsTheRunningDemoWithStatusZero) {
  testing_support::XvfbServer x(640, 480);
  if (!x.running()) GTEST_SKIP() << "Xvfb is not available";
  ASSERT_TRUE(CopySample());

  testing_support::DesktopProgram demo(x, dir());
  ASSERT_NO_FATAL_FAILURE(Start(demo));
  ASSERT_NO_FATAL_FAILURE(StartUp(x));
  ASSERT_TRUE(x.WaitForWindow("'^Marigold$'"));
  demo.Signal(SIGTERM);
  EXPECT_EQ(demo.WaitForExit(kExitSeconds), 0) << demo.Report();
}

}  // namespace
