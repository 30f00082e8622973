// Measuring and drawing with the fake font driver, whose glyphs are boxes
// (advance 8: columns pen..pen+6, rows y+1..y+11 of a 16-row cell).
#include <climits>
#include <vector>

#include "tests/platform/text/text_test_page.hpp"

namespace text_test {
namespace {

class FakeText : public testing::Test {
 protected:
  // The x of every box that starts on row `y`.
  std::vector<int> BoxStarts(int y) const {
    std::vector<int> starts;
    for (int x = 0; x < kWidth; ++x) {
      if (page.Ink(x, y) && (x == 0 || !page.Ink(x - 1, y))) starts.push_back(x);
    }
    return starts;
  }

  Font font{16, 8, FW_NORMAL, false, nullptr};
  Page page{font.handle};
};

TEST_F(FakeText, DrawsOnlyGlyphPixelsInTheTextColour) {
  SetTextColor(page.dc, RGB(0xFF, 0x80, 0x08));
  page.Draw(100, 50, "A B");
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool inBox = y >= 51 && y <= 61 && ((x >= 100 && x <= 106) || (x >= 116 && x <= 122));
      ASSERT_EQ(page.At(x, y), inBox ? 0x7E01 : kPaper) << x << "," << y;
    }
  }
}

TEST_F(FakeText, PacksTheTopFiveBitsOfEachChannel) {
  const struct {
    COLORREF color;
    std::uint16_t pixel;
  } cases[] = {{RGB(255, 0, 0), 0x7C00}, {RGB(0, 255, 0), 0x03E0}, {RGB(0, 0, 255), 0x001F},
               {RGB(7, 7, 7), 0x0000},   {RGB(8, 16, 24), 0x0443}, {0xFF000000, 0x0000}};
  for (const auto& c : cases) {
    SetTextColor(page.dc, c.color);
    page.Draw(0, 0, "A");
    EXPECT_EQ(page.At(0, 1), c.pixel) << std::hex << c.color;
  }
}

TEST_F(FakeText, OpaqueModeFillsTheCellsFirst) {
  EXPECT_EQ(SetBkMode(page.dc, OPAQUE), TRANSPARENT);
  SetBkColor(page.dc, RGB(0, 0, 0));
  SetTextColor(page.dc, RGB(255, 0, 0));
  SetTextCharacterExtra(page.dc, 1);
  page.Draw(10, 10, "A ");
  const Box box = page.InkBounds();
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.right, 10 + 2 * 9 - 1);
  EXPECT_EQ(box.top, 10);
  EXPECT_EQ(box.bottom, 25);
  EXPECT_EQ(page.At(10, 10), 0);       // background
  EXPECT_EQ(page.At(10, 11), 0x7C00);  // glyph
}

TEST_F(FakeText, ClipsAtEveryEdgeWithoutWrapping) {
  page.Draw(636, 100, "AAAA");  // columns 636..639 only
  page.Draw(-3, 200, "A");      // columns 0..3
  page.Draw(300, -5, "A");      // rows 0..6
  page.Draw(300, 470, "A");     // rows 471..479
  page.Draw(INT_MAX - 4, 0, "AAAA");
  page.Draw(INT_MIN, 0, "AAAA");
  page.Draw(0, INT_MAX - 4, "A");
  page.Draw(0, -16, "A");
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool right = x >= 636 && y >= 101 && y <= 111;
      const bool left = x <= 3 && y >= 201 && y <= 211;
      const bool top = x >= 300 && x <= 306 && y <= 6;
      const bool bottom = x >= 300 && x <= 306 && y >= 471;
      ASSERT_EQ(page.Ink(x, y), right || left || top || bottom) << x << "," << y;
    }
  }
}

TEST_F(FakeText, UnderlineAndStrikeOutSpanTheWholeExtent) {
  Font lined(16, 8, FW_NORMAL, false, nullptr, OEM_CHARSET, true, true);
  SelectObject(page.dc, lined.handle);
  SetTextCharacterExtra(page.dc, 2);
  page.Draw(20, 40, "AB");
  for (int x = 0; x < 60; ++x) {
    const bool spanned = x >= 20 && x < 40;
    EXPECT_EQ(page.Ink(x, 40 + 12), spanned) << x;      // underline: the row below the boxes
    EXPECT_EQ(page.Ink(x, 40 + 12 - 6), spanned) << x;  // strike-out through them
  }
  EXPECT_FALSE(page.Ink(20, 40 + 13));
  SelectObject(page.dc, font.handle);
}

TEST_F(FakeText, RefusesBadArguments) {
  EXPECT_FALSE(TextOutA(page.dc, 0, 0, "abc", -1));
  EXPECT_FALSE(TextOutA(page.dc, 0, 0, nullptr, 3));
  EXPECT_TRUE(TextOutA(page.dc, 0, 0, nullptr, 0));
  SIZE size{};
  EXPECT_FALSE(GetTextExtentPoint32A(page.dc, "abc", 3, nullptr));
  EXPECT_TRUE(GetTextExtentPoint32A(page.dc, "", 0, &size));
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(size.cy, 16);
  int widths[257];
  EXPECT_FALSE(GetCharWidthA(page.dc, 0, 256, widths));
  EXPECT_FALSE(GetCharWidthA(page.dc, 9, 8, widths));
  EXPECT_EQ(page.InkCount(), 0);
}

TEST_F(FakeText, ExtentAddsCharExtraButCharWidthsDoNot) {
  EXPECT_EQ(ExtentOf(page.dc, "ab c"), 32);
  SetTextCharacterExtra(page.dc, 3);
  EXPECT_EQ(ExtentOf(page.dc, "ab c"), 32 + 4 * 3);
  int widths[256];
  ASSERT_TRUE(GetCharWidthA(page.dc, 0, 255, widths));
  for (int width : widths) EXPECT_EQ(width, 8);
  SetTextJustification(page.dc, 5, 1);
  EXPECT_EQ(ExtentOf(page.dc, "ab c"), 32 + 4 * 3 + 5);
  page.Draw(0, 0, "ab c");
  EXPECT_EQ(BoxStarts(5), (std::vector<int>{0, 11, 38}));
}

TEST_F(FakeText, JustificationGivesTheRemainderToTheFirstBreaks) {
  SetTextJustification(page.dc, 7, 3);  // 3, 2, 2
  EXPECT_EQ(ExtentOf(page.dc, "a b c d"), 7 * 8 + 7);
  page.Draw(0, 0, "a b c d");
  page.Draw(0, 20, "a b c d");  // not used up by the first call
  EXPECT_EQ(BoxStarts(5), (std::vector<int>{0, 19, 37, 55}));
  EXPECT_EQ(BoxStarts(25), BoxStarts(5));
  SetTextJustification(page.dc, 0, 0);
  EXPECT_EQ(ExtentOf(page.dc, "a b c d"), 56);
  SetTextJustification(page.dc, 9, 0);  // no breaks: off
  EXPECT_EQ(ExtentOf(page.dc, "a b c d"), 56);
}

TEST_F(FakeText, JustificationCountsTheBreaksOfTheString) {
  SetTextJustification(page.dc, 7, 2);  // 4, 3, and 3 for a third break
  EXPECT_EQ(ExtentOf(page.dc, "a b c d"), 56 + 4 + 3 + 3);
  EXPECT_EQ(ExtentOf(page.dc, "abcd"), 32);
  SetTextJustification(page.dc, -5, 2);  // -3, -2
  EXPECT_EQ(ExtentOf(page.dc, "a b c"), 40 - 5);
  page.Draw(0, 0, "a b c");
  EXPECT_EQ(BoxStarts(5), (std::vector<int>{0, 13, 27}));
}

TEST_F(FakeText, GlyphsAreMadeOncePerFont) {
  const std::uint64_t before = GlyphsRasterized();
  page.Draw(0, 0, "Hello");
  EXPECT_EQ(GlyphsRasterized() - before, 4u);
  page.Draw(0, 20, "Hello, hello");
  EXPECT_EQ(GlyphsRasterized() - before, 4u + 3u);  // ',', ' ' and 'h'
  int widths[256];
  GetCharWidthA(page.dc, 0, 255, widths);
  EXPECT_EQ(GlyphsRasterized() - before, 7u);
  Font other(16, 8, FW_NORMAL, false, nullptr);
  SelectObject(page.dc, other.handle);
  page.Draw(0, 40, "Hello");
  EXPECT_EQ(GlyphsRasterized() - before, 11u);
  SelectObject(page.dc, font.handle);
}

}  // namespace
}  // namespace text_test
