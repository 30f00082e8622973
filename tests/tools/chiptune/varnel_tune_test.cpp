// varnel-tune as an author runs it: format from the extension or --format,
// failures on standard error with exit status 1.
#include <gtest/gtest.h>

#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"

using namespace testing_support;

namespace {

ToolResult Tune(const std::vector<std::string>& args) { return RunTool(VARNEL_TUNE_PATH, args); }

const char* const kScore =
    "title \"Cli\"\nchannels 1\ninstrument 1 \"a\" square\npattern p 8\nC-4 01\nend\norder p\n";

std::string Head(const Bytes& bytes, size_t at, size_t count) {
  if (bytes.size() < at + count) return "";
  return std::string(bytes.begin() + static_cast<long>(at),
                     bytes.begin() + static_cast<long>(at + count));
}

using VarnelTuneTest = ScratchDirTest;

TEST_F(VarnelTuneTest, FormatFollowsTheExtensionUnlessNamed) {
  WriteFile("song.tune", std::string(kScore));
  ASSERT_EQ(Tune({"song.tune", "-o", "Song.XM"}).status, 0);
  EXPECT_EQ(Head(ReadFile("Song.XM"), 0, 17), "Extended Module: ");
  ASSERT_EQ(Tune({"song.tune", "-o", "song.mod"}).status, 0);
  EXPECT_EQ(Head(ReadFile("song.mod"), 1080, 4), "M.K.");
  ASSERT_EQ(Tune({"song.tune", "-o", "song.s3m"}).status, 0);
  EXPECT_EQ(Head(ReadFile("song.s3m"), 44, 4), "SCRM");
  ToolResult named = Tune({"song.tune", "-o", "song.bin", "--format", "it"});
  ASSERT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(Head(ReadFile("song.bin"), 0, 4), "IMPM");
  EXPECT_EQ(named.out, "");
}

TEST_F(VarnelTuneTest, ScoreFaultsNameFileAndLine) {
  WriteFile("bad.tune", std::string("channels 1\ntempo 12\n"));
  ToolResult result = Tune({"bad.tune", "-o", "bad.xm"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "varnel-tune: bad.tune:2: tempo must be a whole number 32..255, not '12'\n");
  EXPECT_FALSE(FileExists("bad.xm"));
}

TEST_F(VarnelTuneTest, FormatLimitsAndUsageFaultsExitOne) {
  WriteFile("wide.tune",
            std::string("channels 5\ninstrument 1 \"a\" saw\npattern p\n.\nend\norder p\n"));
  ToolResult wide = Tune({"wide.tune", "-o", "wide.mod"});
  EXPECT_EQ(wide.status, 1);
  EXPECT_EQ(wide.err,
            "varnel-tune: wide.tune: MOD: the song has 5 channels; the format allows 4\n");

  WriteFile("song.tune", std::string(kScore));
  ToolResult unknown = Tune({"song.tune", "-o", "song.wav"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("--format"), std::string::npos) << unknown.err;
  EXPECT_EQ(Tune({"song.tune", "-o", "x", "--format", "669"}).status, 1);
  EXPECT_EQ(Tune({"missing.tune", "-o", "x.xm"}).status, 1);
  EXPECT_EQ(Tune({"song.tune"}).status, 1);
  EXPECT_EQ(Tune({}).status, 1);
}

}  // namespace
