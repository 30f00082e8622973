// varnel-picture decodes loose files with the reader's loaders.
#include <gtest/gtest.h>

#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"

using namespace testing_support;

namespace {

ToolResult Picture(const std::vector<std::string>& args) { return RunTool(VARNEL_PICTURE_PATH, args); }

using VarnelPictureTest = ScratchDirTest;

TEST_F(VarnelPictureTest, RawToWordsAndPng) {
  WriteFile("p.raw", Bytes{0, 0, 0, 255, 255, 255, 7, 7, 7, 8, 16, 24});
  ToolResult result = Picture({"p.raw", "--raw", "2x2", "--dump", "p.r16", "-o", "p.png"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "2x2\n");
  EXPECT_EQ(ReadFile("p.r16"), (Bytes{0, 0, 0xFF, 0x7F, 0, 0, 0x43, 0x04}));
  const Bytes png = ReadFile("p.png");
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png[1], 'P');

  ToolResult back = Picture({"p.r16", "--r16", "2x2", "--dump", "again.r16"});
  ASSERT_EQ(back.status, 0) << back.err;
  EXPECT_EQ(ReadFile("again.r16"), ReadFile("p.r16"));
}

TEST_F(VarnelPictureTest, PngIsReadableByAnotherProgram) {
  const std::string convert = ImageMagickConvert();
  if (convert.empty()) GTEST_SKIP() << "ImageMagick is not installed";
  WriteFile("p.raw", Bytes{0, 0, 0, 255, 255, 255, 7, 7, 7, 8, 16, 24});
  ASSERT_EQ(Picture({"p.raw", "--raw", "2x2", "-o", "p.png"}).status, 0);
  ASSERT_EQ(RunCommand(convert + " p.png -depth 8 rgb:p.rgb"), 0);
  // Channels widen as (v << 3) | (v >> 2): 31 -> 255, 1 -> 8, 2 -> 16, 3 -> 24.
  EXPECT_EQ(ReadFile("p.rgb"), (Bytes{0, 0, 0, 255, 255, 255, 0, 0, 0, 8, 16, 24}));
}

TEST_F(VarnelPictureTest, FailuresExitOneWithTheMessage) {
  ToolResult missing = Picture({"none.gif"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Load Binary Error - file: none.gif !"), std::string::npos) << missing.err;
  WriteFile("p.raw", Bytes(5));
  ToolResult wrong = Picture({"p.raw", "--raw", "2x2"});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_NE(wrong.err.find("RAW - format error !"), std::string::npos) << wrong.err;
  EXPECT_EQ(Picture({"p.raw", "--raw", "axb"}).status, 1);
  EXPECT_EQ(Picture({}).status, 2);
}

}  // namespace
