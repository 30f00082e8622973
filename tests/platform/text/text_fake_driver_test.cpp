// The fake font driver's fixed metrics, which the reader's own tests rely on.
#include "tests/platform/text/text_test_page.hpp"

namespace text_test {
namespace {

TEST(TextFakeDriver, AdvancesAreTheWidthAndTheCellTheHeight) {
  EXPECT_STREQ(TextDriverName(), "fake");
  const struct {
    int height, width, cell, ascent, advance;
  } cases[] = {{20, 6, 20, 15, 6}, {0, 0, 16, 12, 8}, {-10, -5, 10, 8, 5}};
  for (const auto& c : cases) {
    Font font(c.height, c.width, FW_BOLD, true, "Arial");
    Page page(font.handle);
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(page.dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, c.cell);
    EXPECT_EQ(metrics.tmAscent, c.ascent);
    EXPECT_EQ(metrics.tmAveCharWidth, c.advance);
    int widths[256];
    ASSERT_TRUE(GetCharWidthA(page.dc, 0, 255, widths));
    for (int width : widths) ASSERT_EQ(width, c.advance) << c.height << "x" << c.width;
    EXPECT_EQ(FaceOf(page.dc), "Arial");
  }
  Page page;
  EXPECT_EQ(FaceOf(page.dc), "Fake");
}

TEST(TextFakeDriver, GlyphsAreBoxesAndBoldOnesFillTheAdvance) {
  Font normal(16, 8, FW_NORMAL, false, nullptr), bold(16, 8, FW_BOLD, false, nullptr);
  Page page(normal.handle);
  page.Draw(10, 20, std::string(" A\0 ", 4));
  Box box = page.InkBounds();
  EXPECT_EQ(box.left, 18);
  EXPECT_EQ(box.right, 24);
  EXPECT_EQ(box.top, 21);
  EXPECT_EQ(box.bottom, 31);
  EXPECT_EQ(page.InkCount(), 7 * 11);
  Page boldPage(bold.handle);
  boldPage.Draw(10, 20, "A");
  EXPECT_EQ(boldPage.InkCount(), 8 * 11);
}

}  // namespace
}  // namespace text_test
