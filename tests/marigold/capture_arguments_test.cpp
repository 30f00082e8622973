// The capture tool's command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "marigold/capture.hpp"

namespace marigold {
namespace {

struct Parsed {
  bool ok;
  CaptureOptions options;
  std::string error;
};

Parsed Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "marigold-capture");
  Parsed parsed{false, {}, {}};
  parsed.ok = ParseCaptureArguments(static_cast<int>(args.size()), args.data(), &parsed.options,
                                    &parsed.error);
  return parsed;
}

TEST(CaptureArguments, OutputAloneTakesTheDefaults) {
  Parsed parsed = Parse({"-o", "out"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.output, "out");
  EXPECT_EQ(parsed.options.directory, ".");
  EXPECT_EQ(parsed.options.fps, 60);
  EXPECT_EQ(parsed.options.width, 1280);
  EXPECT_EQ(parsed.options.height, 720);
  EXPECT_EQ(parsed.options.seconds, 0);  // a whole pass
}

TEST(CaptureArguments, EveryOptionIsRead) {
  Parsed parsed =
      Parse({"--fps", "25", "-C", "demo", "--size", "320x200", "--seconds", "2.5", "-o", "out"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.directory, "demo");
  EXPECT_EQ(parsed.options.output, "out");
  EXPECT_EQ(parsed.options.fps, 25);
  EXPECT_EQ(parsed.options.width, 320);
  EXPECT_EQ(parsed.options.height, 200);
  EXPECT_DOUBLE_EQ(parsed.options.seconds, 2.5);
}

TEST(CaptureArguments, HelpNeedsNothingElse) {
  Parsed parsed = Parse({"--help"});
  ASSERT_TRUE(parsed.ok);
  EXPECT_TRUE(parsed.options.help);
}

TEST(CaptureArguments, MissingOutputIsRefused) {
  Parsed parsed = Parse({"--fps", "30"});
  EXPECT_FALSE(parsed.ok);
  EXPECT_NE(parsed.error.find("-o"), std::string::npos) << parsed.error;
  EXPECT_FALSE(Parse({"-o", ""}).ok);
  EXPECT_FALSE(Parse({"-C", "", "-o", "out"}).ok);
}

TEST(CaptureArguments, OptionWithoutItsValueIsRefused) {
  for (const char* option : {"-o", "-C", "--fps", "--size", "--seconds"}) {
    Parsed parsed = Parse({"-o", "out", option});
    EXPECT_FALSE(parsed.ok) << option;
    EXPECT_NE(parsed.error.find(option), std::string::npos) << parsed.error;
  }
}

TEST(CaptureArguments, BadFrameRatesAreRefused) {
  for (const char* fps : {"0", "-5", "241", "30.5", "abc", "", "60fps"})
    EXPECT_FALSE(Parse({"-o", "out", "--fps", fps}).ok) << fps;
  EXPECT_TRUE(Parse({"-o", "out", "--fps", "1"}).ok);
  EXPECT_TRUE(Parse({"-o", "out", "--fps", "240"}).ok);
}

TEST(CaptureArguments, BadSizesAreRefused) {
  for (const char* size : {"640", "640x", "x480", "0x480", "640x0", "-1x5", "8193x10", "64x48x2",
                           "64 x 48", "axb"})
    EXPECT_FALSE(Parse({"-o", "out", "--size", size}).ok) << size;
  Parsed upper = Parse({"-o", "out", "--size", "64X48"});
  ASSERT_TRUE(upper.ok);
  EXPECT_EQ(upper.options.width, 64);
  EXPECT_EQ(upper.options.height, 48);
}

TEST(CaptureArguments, BadLengthsAreRefused) {
  for (const char* seconds : {"0", "-1", "nan", "inf", "2s", "", "1e9"})
    EXPECT_FALSE(Parse({"-o", "out", "--seconds", seconds}).ok) << seconds;
}

TEST(CaptureArguments, MoreFramesThanTheNamesHoldAreRefused) {
  // Five digits: 100000 frames at most.
  EXPECT_TRUE(Parse({"-o", "out", "--fps", "100", "--seconds", "1000"}).ok);
  Parsed parsed = Parse({"-o", "out", "--fps", "100", "--seconds", "1000.01"});
  EXPECT_FALSE(parsed.ok);
  EXPECT_NE(parsed.error.find("100000"), std::string::npos) << parsed.error;
}

TEST(CaptureArguments, TooShortForOneFrameIsRefused) {
  EXPECT_FALSE(Parse({"-o", "out", "--fps", "10", "--seconds", "0.01"}).ok);
  EXPECT_TRUE(Parse({"-o", "out", "--fps", "10", "--seconds", "0.1"}).ok);
}

TEST(CaptureArguments, UnknownOptionsAndStrayWordsAreRefused) {
  Parsed unknown = Parse({"-o", "out", "--frames", "3"});
  EXPECT_FALSE(unknown.ok);
  EXPECT_NE(unknown.error.find("--frames"), std::string::npos);
  Parsed stray = Parse({"-o", "out", "extra"});
  EXPECT_FALSE(stray.ok);
  EXPECT_NE(stray.error.find("extra"), std::string::npos);
}

TEST(CaptureTiming, FramesAndAudioAdvanceTogether) {
  EXPECT_EQ(CaptureFrameName(0), "frame-00000.png");
  EXPECT_EQ(CaptureFrameName(99999), "frame-99999.png");
  EXPECT_EQ(CaptureAudioFrames(60, 60), 44100u);
  EXPECT_EQ(CaptureAudioFrames(1, 60), 735u);
  EXPECT_EQ(CaptureFrameMs(1, 60), 16u);
  EXPECT_EQ(CaptureFrameMs(3, 60), 50u);
  // No drift over a long capture: frame n sits at exactly n / fps seconds.
  EXPECT_EQ(CaptureFrameMs(100000, 30), 3333333u);
  EXPECT_EQ(CaptureAudioFrames(100000, 48), 91875000u);
}

}  // namespace
}  // namespace marigold
