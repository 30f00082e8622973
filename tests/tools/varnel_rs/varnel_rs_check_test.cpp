// varnel-rs check finds what a reader would stumble over.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"
#include "tools/common/archive_writer.hpp"
#include "tools/common/gif_writer.hpp"
#include "tools/common/png_writer.hpp"

using namespace testing_support;

namespace {

ToolResult Rs(const std::vector<std::string>& args) { return RunTool(VARNEL_RS_PATH, args); }

tools::IndexedPicture Plain(int width, int height) {
  tools::IndexedPicture picture;
  picture.width = width;
  picture.height = height;
  picture.palette = {0, 0, 0, 200, 100, 50};
  picture.indices.assign(static_cast<size_t>(width) * height, 1);
  return picture;
}

Bytes Gif(int width, int height) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(tools::EncodeGif(Plain(width, height), &bytes, &error)) << error;
  return bytes;
}

Bytes Png(int width, int height) {
  std::string error;
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3, 77);
  EXPECT_TRUE(tools::WritePngRgb("tmp.png", width, height, rgb.data(), &error)) << error;
  return ReadFile("tmp.png");
}

class VarnelRsCheckTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    convert_ = ImageMagickConvert();
    if (convert_.empty()) GTEST_SKIP() << "ImageMagick is needed to write the covers";
    ASSERT_EQ(RunCommand(convert_ + " -size 640x480 xc:navy cover.jpg"), 0);
    entries_ = {{"DATA/p1.gif", Gif(282, 19)},        {"DATA/panel0.png", Png(640, 480)},
                {"DATA/panel1.png", Png(640, 480)},   {"DATA/pmap.gif", Gif(640, 480)},
                {"DATA/begcvr.jpg", ReadFile("cover.jpg")}, {"DATA/endcvr.jpg", ReadFile("cover.jpg")},
                {"DATA/font1.fnt", Bytes(4096, 0x18)}, {"PICS/a.gif", Gif(20, 10)},
                {"ARTS/help.txt", Text("Help page\r\n")}};
    WriteFile("Msx1.xm", std::string("module"));
  }

  static Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

  ToolResult CheckWith(const std::string& menu) {
    std::vector<tools::ArchiveEntry> entries = entries_;
    entries.push_back({"ARTS/menu.vn2", Text(menu)});
    std::string error;
    EXPECT_TRUE(tools::WriteArchive("varnel.rs", entries, tools::PackMode::Auto, &error)) << error;
    return Rs({"check", "varnel.rs"});
  }

  std::string convert_;
  std::vector<tools::ArchiveEntry> entries_;
};

TEST_F(VarnelRsCheckTest, AGoodIssuePasses) {
  ToolResult result = CheckWith(
      "<#TITL Menu#><#SELC ART:arts\\HELP.TXT#>Help<#ENDS#>\r\n"
      "<#ICON PICS/a.gif*PICS/a.gif*PMSX:Msx1.xm#>\r\n<#SELC URL:https://example.org#>web<#ENDS#>\r\n"
      "<#SELC CD_TRAY#>tray<#ENDS#> <#SELC mailto:ed@example.org#>mail<#ENDS#>\r\n");
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_NE(result.out.find("ok: 2 articles, 1 pictures, 1 modules"), std::string::npos) << result.out;
  EXPECT_TRUE(TemporaryFilesHere().empty());
}

TEST_F(VarnelRsCheckTest, EveryProblemIsOneLineAndOneFatalHidesNoOther) {
  entries_[0] = {"DATA/p1.gif", Gif(281, 19)};
  entries_.erase(entries_.begin() + 5);  // no closing cover
  entries_.push_back({"ARTS/broken.txt", Text("fine\r\n<#ICON PICS/none.png#>\r\n<#SELC never closed\r\n")});
  entries_.push_back({"ARTS/wide.txt", Text("<#FTPE BITS#>" + std::string(90, 'w') + "\r\n")});
  ToolResult result = CheckWith(
      "line one\r\n<#SELC ART:ARTS/missing.txt#>gone<#ENDS#>\r\n<#SELC PMSX:None.xm#>x<#ENDS#>\r\n"
      "<#SELC ART:ARTS/broken.txt#>broken<#ENDS#> <#SELC typo#>t<#ENDS#>\r\n<#SELC " +
      std::string(600, 'L') + "#>long<#ENDS#>\r\n<#ICON PICS/a.gif*PICS/a.gif#>\r\n");
  EXPECT_EQ(result.status, 1);
  const std::string& out = result.out;
  for (const char* expected : {"DATA/p1.gif: is 281x19, must be 282x19\n",
                               "DATA/endcvr.jpg: missing from the archive\n",
                               "ARTS/menu.vn2:2: ART: target ARTS/missing.txt is not in the archive\n",
                               "ARTS/menu.vn2:3: module None.xm is not beside the archive\n",
                               "ARTS/menu.vn2:4: link \"typo\" is none of the reader's link forms\n",
                               "ARTS/menu.vn2:5: link longer than 511 bytes",
                               "ARTS/menu.vn2:6: ICON with one '*'",
                               "ARTS/broken.txt:2: picture PICS/none.png is not in the archive\n",
                               "ARTS/broken.txt:3: tag <#SELC has no closing #>\n",
                               "ARTS/broken.txt: Unexpected end of file !\n",
                               "ARTS/wide.txt:1: text runs to x 720, past the window's 632\n"}) {
    EXPECT_NE(out.find(expected), std::string::npos) << "missing: " << expected << "\nin:\n" << out;
  }
  EXPECT_NE(out.find("12 problems\n"), std::string::npos) << out;
  EXPECT_TRUE(TemporaryFilesHere().empty());
}

}  // namespace
