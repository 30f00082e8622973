// marigold-capture as a person runs it: on the sample demo packed into its
// archive, rendered on Mesa, twice with the same files; and its failures.
#include <gtest/gtest.h>

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
  // A copy of the sample demo's archive as "demo/Marigold.alf"; false when
  // the build has not made it.
  bool PackSampleDemo(std::string* why) {
    const std::string archive = std::string(MARIGOLD_SAMPLE_DIR) + "/Marigold.alf";
    if (!fs::exists(archive)) {
      *why = "build the marigold-sample target first";
      return false;
    }
    fs::create_directory("demo");
    fs::copy_file(archive, "demo/Marigold.alf");
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

TEST_F(CaptureTool, DamagedArchiveEndsWithStatusOne) {
  fs::create_directory("demo");
  testing_support::WriteFile("demo/Marigold.alf", "PK\x03\x04 but nothing after");
  auto run = RunTool(CAPTURE_PATH, {"-C", "demo", "-o", "out", "--seconds", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot open the demo archive"), std::string::npos) << run.err;
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
