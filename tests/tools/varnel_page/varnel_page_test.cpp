// varnel-page renders an article of a real archive as the reader would.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"
#include "tools/common/archive_writer.hpp"
#include "tools/common/gif_writer.hpp"
#include "tools/common/png_writer.hpp"

using namespace testing_support;

namespace {

ToolResult Page(const std::vector<std::string>& args) { return RunTool(VARNEL_PAGE_PATH, args); }

std::vector<uint8_t> FileBytes(const std::string& path) { return ReadFile(path); }

// A minimal issue: scroll bar, panels, font and two articles.
class VarnelPageTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    std::string error;
    tools::IndexedPicture bar;
    bar.width = 282;
    bar.height = 19;
    bar.palette = {0, 0, 0, 255, 255, 0};
    for (int i = 0; i < 282 * 19; ++i) bar.indices.push_back(static_cast<uint8_t>((i % 282) < 141));
    ASSERT_TRUE(tools::WriteGif("p1.gif", bar, &error)) << error;
    std::vector<uint8_t> panel(640 * 480 * 3, 40);
    ASSERT_TRUE(tools::WritePngRgb("panel0.png", 640, 480, panel.data(), &error)) << error;
    std::fill(panel.begin(), panel.end(), 90);
    ASSERT_TRUE(tools::WritePngRgb("panel1.png", 640, 480, panel.data(), &error)) << error;
    std::vector<uint8_t> font(4096, 0xFF);
    std::string article = "<#TITL Menu#><#FTPE BITS#><#SELC ART:ARTS/next.txt#>Next article<#ENDS#>\r\n";
    for (int i = 0; i < 40; ++i) article += "Line " + std::to_string(i) + "\r\n";
    const std::string next = "<#FTNM Arial#><#JUST#>Proportional text that is justified.\r\n";
    std::vector<tools::ArchiveEntry> entries = {
        {"DATA/p1.gif", FileBytes("p1.gif")},     {"DATA/panel0.png", FileBytes("panel0.png")},
        {"DATA/panel1.png", FileBytes("panel1.png")}, {"DATA/font1.fnt", font},
        {"ARTS/menu.vn2", {article.begin(), article.end()}}, {"ARTS/next.txt", {next.begin(), next.end()}}};
    ASSERT_TRUE(tools::WriteArchive("varnel.rs", entries, tools::PackMode::Auto, &error)) << error;
  }
};

TEST_F(VarnelPageTest, DrawsThePageAndReportsTheLinkUnderThePointer) {
  ToolResult result = Page({"varnel.rs", "arts/menu.vn2", "-o", "menu.png", "--mouse", "20,112"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "ART:ARTS/next.txt\n");
  EXPECT_GT(ReadFile("menu.png").size(), 100u);
  ToolResult away = Page({"varnel.rs", "ARTS/menu.vn2", "-o", "menu2.png", "--mouse", "300,300", "--panel", "1"});
  ASSERT_EQ(away.status, 0) << away.err;
  EXPECT_EQ(away.out, "\n");
  EXPECT_NE(ReadFile("menu.png"), ReadFile("menu2.png"));
  EXPECT_TRUE(TemporaryFilesHere().empty());
}

TEST_F(VarnelPageTest, LayoutLinesDescribeEverySegment) {
  ToolResult result = Page({"varnel.rs", "ARTS/menu.vn2", "-o", "menu.png", "--layout", "--page-down", "1"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"text\":\"Next article\",\"bitmapText\":1,\"justified\":0,\"isLink\":1,"
                            "\"link\":\"ART:ARTS/next.txt\""),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("\"rowCount\":42,\"ArtLinesNum\":"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\"title\":\"Menu\",\"topRow\":17}"), std::string::npos) << result.out;
}

TEST_F(VarnelPageTest, GdiTextRendersWithRealFonts) {
  ToolResult result = Page({"varnel.rs", "ARTS/next.txt", "-o", "next.png", "--layout"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("\"justified\":1"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("\"right\":632"), std::string::npos) << result.out;
}

TEST_F(VarnelPageTest, FailuresExitOneWithTheReadersMessage) {
  ToolResult missing = Page({"varnel.rs", "ARTS/none.txt", "-o", "x.png"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("File not in resource !\n[ARTS/none.txt]"), std::string::npos) << missing.err;
  EXPECT_FALSE(FileExists("x.png"));
  EXPECT_EQ(Page({"varnel.rs"}).status, 2);
  EXPECT_TRUE(TemporaryFilesHere().empty());
}

}  // namespace
