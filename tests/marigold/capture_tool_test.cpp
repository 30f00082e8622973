// marigold-capture as a person runs it: on the sample demo packed into its
// archive, rendered on Mesa, twice with the same files; and its failures.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::RunTool;

constexpr int kFps = 15;
constexpr int kSeconds = 16;  // past the opening order into the first scene
constexpr int kFrames = kFps * kSeconds;
constexpr uintmax_t kWavBytes = 44 + uintmax_t{kSeconds} * 44100 * 4;

class CaptureTool : public testing_support::ScratchDirTest {
 protected:
  // The sample demo packed as "demo/Marigold.alf"; false when a tool it
  // needs is missing.
  bool PackSampleDemo(std::string* why) {
    if (access(ZIP_PATH, X_OK) != 0) {
      *why = "the zip tool is not installed";
      return false;
    }
    auto made = RunTool(MARIGOLD_CONTENT_PATH, {"-o", dir() + "/content"});
    if (made.status != 0) {
      *why = "marigold-content failed: " + made.err;
      return false;
    }
    if (!fs::exists("content/marigold.xm")) {
      // Until the content tools write the module, a real one stands in.
      const std::string module = testing_support::TestDataPath("modules/dontyou.xm");
      if (module.empty() || !fs::exists(module)) {
        *why = "no module: shared test data not present";
        return false;
      }
      fs::copy_file(module, "content/marigold.xm");
    }
    fs::create_directory("demo");
    auto packed = testing_support::RunCommand("cd content && " + std::string(ZIP_PATH) +
                                              " -q -X -r ../demo/Marigold.alf .");
    if (packed != 0) {
      *why = "zip failed";
      return false;
    }
    return true;
  }
};

TEST_F(CaptureTool, TheSampleDemoTwiceGivesTheSameFiles) {
  std::string why;
  if (!PackSampleDemo(&why)) GTEST_SKIP() << why;
  const std::vector<std::string> common = {"-C", "demo", "--size", "160x90", "--fps",
                                           std::to_string(kFps), "--seconds",
                                           std::to_string(kSeconds)};
  for (const char* out : {"first", "second"}) {
    std::vector<std::string> args = common;
    args.insert(args.end(), {"-o", out});
    auto run = RunTool(CAPTURE_PATH, args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(std::to_string(kFrames) + " frames"), std::string::npos) << run.out;
  }
  int frames = 0;
  for (const auto& entry : fs::directory_iterator("first")) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("frame-", 0) == 0) ++frames;
    EXPECT_EQ(ReadFile("first/" + name), ReadFile("second/" + name)) << name;
  }
  EXPECT_EQ(frames, kFrames);
  EXPECT_EQ(fs::file_size("first/audio.wav"), kWavBytes);
  char last[32];
  std::snprintf(last, sizeof last, "first/frame-%05d.png", kFrames - 1);
  EXPECT_NE(ReadFile("first/frame-00000.png"), ReadFile(last))
      << "no scene was drawn";
}

TEST_F(CaptureTool, BadArgumentsEndWithStatusOneAndTheUsage) {
  auto run = RunTool(CAPTURE_PATH, {"-o", "out", "--fps", "0"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("bad frame rate"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("usage:"), std::string::npos) << run.err;
  EXPECT_EQ(RunTool(CAPTURE_PATH, {}).status, 1);
  EXPECT_FALSE(fs::exists("out"));
}

TEST_F(CaptureTool, MissingArchiveEndsWithStatusOne) {
  fs::create_directory("empty");
  auto run = RunTool(CAPTURE_PATH, {"-C", "empty", "-o", "out", "--seconds", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("empty/Marigold.alf"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists("out")) << "nothing is made for a capture that cannot start";
}

TEST_F(CaptureTool, UnwritableOutputEndsWithStatusOne) {
  testing_support::WriteFile("Marigold.alf", "");
  testing_support::WriteFile("taken", "in the way");
  auto run = RunTool(CAPTURE_PATH, {"-o", "taken", "--seconds", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot write into \"taken\""), std::string::npos) << run.err;
}

TEST_F(CaptureTool, HelpEndsWithStatusZero) {
  auto run = RunTool(CAPTURE_PATH, {"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("--seconds"), std::string::npos);
}

}  // namespace
