// The sample issue the build makes: it passes the authors' lint, and every
// page of every article renders as the reader would show it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"
#include "varnel/media/picture.hpp"

using namespace varnel;

using namespace testing_support;

namespace {

const std::string kArchive = std::string(VARNEL_SAMPLE_DIR) + "/varnel.rs";

struct Page {
  std::vector<uint16_t> pixels;
  int topRow = -1;
  uint16_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * 640 + x]; }
};

std::vector<uint16_t> LoadPng(const std::string& path) {
  Picture picture{};
  LoadPngPicture(path.c_str(), &picture);
  std::vector<uint16_t> pixels(picture.pixels, picture.pixels + picture.width * picture.height);
  std::free(picture.pixels);
  return pixels;
}

class SampleIssueTest : public ScratchDirTest {
 protected:
  Page Render(const std::string& article, int pageDown) {
    const std::string png = "page.png";
    const ToolResult result = RunTool(VARNEL_PAGE_PATH, {kArchive, article, "-o", png, "--page-down",
                                                         std::to_string(pageDown), "--layout", "--mouse", "320,60"});
    EXPECT_EQ(result.status, 0) << article << " page " << pageDown << ": " << result.err;
    Page page;
    if (result.status != 0) return page;
    const size_t at = result.out.rfind("\"topRow\":");
    page.topRow = std::atoi(result.out.c_str() + at + 9);
    page.pixels = LoadPng(png);
    return page;
  }

  std::vector<std::string> Articles() {
    std::vector<std::string> names;
    std::istringstream list(RunTool(VARNEL_RS_PATH, {"list", kArchive}).out);
    std::string name, rest;
    while (list >> name && std::getline(list, rest))
      if (name.rfind("ARTS/", 0) == 0) names.push_back(name);
    return names;
  }
};

TEST_F(SampleIssueTest, PassesTheLint) {
  const ToolResult result = RunTool(VARNEL_RS_PATH, {"check", kArchive});
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  for (const char* module : {"Msx0.xm", "Msx1.xm", "Msx2.xm"})
    EXPECT_TRUE(FileExists(std::string(VARNEL_SAMPLE_DIR) + "/" + module)) << module;
}

TEST_F(SampleIssueTest, EveryPageRendersWithItsTitleTextAndScrollBar) {
  ASSERT_EQ(RunTool(VARNEL_RS_PATH, {"extract", kArchive, "DATA/panel0.png", "-o", "panel.png"}).status, 0);
  const std::vector<uint16_t> panel = LoadPng("panel.png");
  const std::vector<std::string> articles = Articles();
  ASSERT_GE(articles.size(), 10u);
  int pages = 0;
  for (const std::string& article : articles) {
    std::vector<Page> seen;
    for (int down = 0; down < 60; ++down) {
      Page page = Render(article, down);
      ASSERT_FALSE(page.pixels.empty()) << article;
      if (!seen.empty() && page.topRow == seen.back().topRow) break;
      ++pages;
      int title = 0, text = 0, outside = 0;
      for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
          const bool titleSlot = y >= 432 && y < 448 && x >= 64 && x < 560;
          const bool scrollBar = y >= 396 && y < 415 && x >= 97 && x < 237;
          const bool window = y >= 105 && y < 385;
          const bool differs = page.At(x, y) != panel[static_cast<size_t>(y) * 640 + x];
          if (titleSlot && page.At(x, y) == 0x7C00) ++title;
          if (window && differs) ++text;
          if (!window && !titleSlot && !scrollBar && differs) ++outside;
        }
      }
      EXPECT_GT(title, 20) << article << " page " << down << ": no title";
      EXPECT_GT(text, 500) << article << " page " << down << ": no text in the window";
      EXPECT_EQ(outside, 0) << article << " page " << down << ": drawing outside the window";
      seen.push_back(std::move(page));
    }
    if (seen.size() > 1) {
      bool moved = false;
      for (int y = 396; y < 415 && !moved; ++y)
        for (int x = 97; x < 237 && !moved; ++x) moved = seen.front().At(x, y) != seen.back().At(x, y);
      EXPECT_TRUE(moved) << article << ": the scroll bar did not move";
    }
  }
  EXPECT_GE(pages, 30);
}

// Pages set in the bitmap font look exactly as they did when they were
// checked by eye; scripts/update-goldens.sh writes them anew.
TEST_F(SampleIssueTest, BitmapFontPagesMatchTheirGoldenPictures) {
  const struct {
    const char* article;
    int pageDown;
    const char* golden;
  } kGoldens[] = {{"ARTS/help.txt", 1, "help-01.png"}, {"ARTS/making.txt", 1, "making-01.png"},
                  {"ARTS/menu.vn2", 0, "menu-00.png"}};
  for (const auto& golden : kGoldens) {
    const Page page = Render(golden.article, golden.pageDown);
    const std::vector<uint16_t> expected = LoadPng(std::string(GOLDEN_DIR) + "/" + golden.golden);
    ASSERT_EQ(page.pixels.size(), expected.size()) << golden.golden;
    size_t differing = 0;
    for (size_t i = 0; i < expected.size(); ++i) differing += page.pixels[i] != expected[i];
    EXPECT_EQ(differing, 0u) << golden.golden << " differs in " << differing << " pixels";
  }
}

}  // namespace
