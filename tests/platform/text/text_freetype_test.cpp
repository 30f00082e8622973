// The real font driver with the installed fonts, found through fontconfig.
#include <vector>

#include "tests/platform/text/text_test_page.hpp"

namespace text_test {
namespace {

// Runs with the FreeType driver, whatever the test main chose.
class TextFreeType : public testing::Test {
 protected:
  void SetUp() override { SetTextService(&FreeTypeTextService()); }
  void TearDown() override { SetTextService(&FakeTextService()); }
};

// The reader's default font: no face, 16 x 8, bold, OEM.
Font DefaultFont() { return Font(16, 8, FW_BOLD, false, nullptr); }

std::vector<int> CharWidths(HDC dc) {
  std::vector<int> widths(256);
  EXPECT_TRUE(GetCharWidthA(dc, 0, 255, widths.data()));
  return widths;
}

TEST_F(TextFreeType, DefaultFontHas8By16Cells) {
  Font font = DefaultFont();
  Page page;
  const HGDIOBJ stockFont = SelectObject(page.dc, font.handle);
  for (HGDIOBJ selected : {static_cast<HGDIOBJ>(font.handle), stockFont}) {
    SelectObject(page.dc, selected);  // the reader's font, then a new context's
    TEXTMETRICA metrics{};
    ASSERT_TRUE(GetTextMetricsA(page.dc, &metrics));
    EXPECT_EQ(metrics.tmHeight, 16);
    EXPECT_EQ(CharWidths(page.dc), std::vector<int>(256, 8));
    EXPECT_EQ(FaceOf(page.dc), "Liberation Mono");
  }
}

TEST_F(TextFreeType, AdvancesAreTheFaceDesignAtTheAskedScale) {
  // Liberation Sans keeps the advances of the face it stands in for (units of
  // a 2048-unit em), rounded to whole pixels at an em of 32 pixels.
  Font font(-32, 0, FW_NORMAL, false, "Arial");
  Page page(font.handle);
  const std::vector<int> widths = CharWidths(page.dc);
  const std::pair<char, int> design[] = {{' ', 569},  {'a', 1139}, {'i', 455},
                                         {'m', 1706}, {'W', 1933}, {'0', 1139}};
  for (const auto& [code, units] : design) {
    EXPECT_NEAR(widths[static_cast<unsigned char>(code)], units * 32 / 2048.0, 0.5) << code;
  }
  // A width scales the face so that its frequency-weighted average of the
  // lowercase letters and the space comes out at that width.
  const char letters[] = "abcdefghijklmnopqrstuvwxyz ";
  const int weights[] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3, 6,  35, 20, 56,
                         56, 17, 4,  49, 56,  71, 31, 10, 18, 3, 18, 2,  166};
  for (const char* face : {"Arial", "Times New Roman", "Verdana"}) {
    for (int width : {5, 8, 12}) {
      Font scaled(16, width, FW_NORMAL, false, face);
      Page scaledPage(scaled.handle);
      const std::vector<int> scaledWidths = CharWidths(scaledPage.dc);
      double average = 0;
      for (int i = 0; letters[i]; ++i) {
        average += weights[i] * scaledWidths[static_cast<unsigned char>(letters[i])];
      }
      EXPECT_NEAR(average / 1000, width, 0.75) << face << " " << width;
    }
  }
}

TEST_F(TextFreeType, ExtentIsTheSumOfTheCharWidthsPlusExtras) {
  Font font(18, 0, FW_NORMAL, false, "Times New Roman");
  Page page(font.handle);
  const std::string text = "The quick brown fox, jumping";
  const std::vector<int> widths = CharWidths(page.dc);
  int sum = 0;
  for (unsigned char c : text) sum += widths[c];
  EXPECT_EQ(ExtentOf(page.dc, text), sum);
  SetTextCharacterExtra(page.dc, 2);
  EXPECT_EQ(ExtentOf(page.dc, text), sum + 2 * static_cast<int>(text.size()));
  SetTextCharacterExtra(page.dc, 0);
  SetTextJustification(page.dc, 11, 4);
  EXPECT_EQ(ExtentOf(page.dc, text), sum + 11);
}

TEST_F(TextFreeType, JustifiedTextIsTheLettersMovedByTheirShares) {
  Font font = DefaultFont();
  Page justified(font.handle), composed(font.handle);
  SetTextJustification(justified.dc, 7, 3);  // breaks get 3, 2, 2
  justified.Draw(30, 40, "a b c d");
  const int lefts[] = {0, 19, 37, 55};
  for (int i = 0; i < 4; ++i) composed.Draw(30 + lefts[i], 40, std::string(1, "abcd"[i]));
  EXPECT_TRUE(justified.SameAs(composed));
  EXPECT_GT(composed.InkCount(), 40);
}

TEST_F(TextFreeType, DrawsCrispGlyphsInTheTextColourAndClips) {
  Font font(20, 0, FW_NORMAL, true, "Arial");
  Page page(font.handle);
  SetTextColor(page.dc, RGB(0, 0, 255));
  page.Draw(5, 5, "Crisp text, no grey");
  const Box box = page.InkBounds();
  EXPECT_GE(box.left, 5);
  EXPECT_GE(box.top, 5);
  EXPECT_LT(box.bottom, 5 + 20);
  for (int x : {-5000, -3, 630, 100000}) {
    for (int y : {-10, 470, 479}) page.Draw(x, y, std::string(100, 'W'));
  }
  for (int i = 0; i < kWidth * kHeight; ++i) {
    ASSERT_TRUE(page.memory[i] == kPaper || page.memory[i] == 0x001F) << i;
  }
}

TEST_F(TextFreeType, OemBytesMapThroughCodePage437) {
  Font oem = DefaultFont();
  Page page(oem.handle);
  page.Draw(0, 0, "\xB3");  // box drawing: a vertical line the height of the cell
  EXPECT_EQ(page.InkBounds().left, page.InkBounds().right);
  EXPECT_EQ(page.InkBounds().top, 0);
  EXPECT_EQ(page.InkBounds().bottom, 15);
  page.Fill(kPaper);
  page.Draw(0, 0, "\xC4\xC4\xC4");  // horizontal lines join across the cells
  const Box joined = page.InkBounds();
  EXPECT_EQ(joined.right - joined.left, 23);
  EXPECT_EQ(page.InkCount(), 24 * (joined.bottom - joined.top + 1));

  // OEM 0x82 is the ANSI set's 0xE9, e acute.
  Font oemSans(24, 0, FW_NORMAL, false, "Arial", OEM_CHARSET);
  Font ansiSans(24, 0, FW_NORMAL, false, "Arial", ANSI_CHARSET);
  Page fromOem(oemSans.handle), fromAnsi(ansiSans.handle), plainE(ansiSans.handle);
  fromOem.Draw(0, 0, "\x82");
  fromAnsi.Draw(0, 0, "\xE9");
  plainE.Draw(0, 0, "e");
  EXPECT_TRUE(fromOem.SameAs(fromAnsi));
  EXPECT_FALSE(fromOem.SameAs(plainE));

  // The control bytes and 0x7F have graphics of their own, all different.
  std::vector<std::vector<std::uint16_t>> images;
  for (int code = 1; code <= 32; ++code) {
    page.Fill(kPaper);
    page.Draw(0, 0, std::string(1, static_cast<char>(code == 32 ? 0x7F : code)));
    images.emplace_back(page.memory, page.memory + kWidth * 16);
    EXPECT_GT(page.InkCount(), 0) << code;
    for (std::size_t i = 0; i + 1 < images.size(); ++i) EXPECT_NE(images[i], images.back()) << code;
  }
}

// Draws "l" upright, bold and italic at an em of 32 pixels; the bold one inks more, the italic one
// leans right by at least 3 columns over its height.
void ExpectBoldAndItalicLetters(const char* face) {
  Font normal(-32, 0, FW_NORMAL, false, face), bold(-32, 0, FW_BOLD, false, face),
      italic(-32, 0, FW_NORMAL, true, face);
  Page normalPage(normal.handle), boldPage(bold.handle), italicPage(italic.handle);
  for (Page* page : {&normalPage, &boldPage, &italicPage}) page->Draw(0, 0, "l");
  EXPECT_GT(boldPage.InkCount(), normalPage.InkCount() * 5 / 4) << face;
  const auto leftmost = [](const Page& page, int y) {
    int x = 0;
    while (x < kWidth && !page.Ink(x, y)) ++x;
    return x;
  };
  const Box upright = normalPage.InkBounds(), slanted = italicPage.InkBounds();
  EXPECT_EQ(leftmost(normalPage, upright.top), leftmost(normalPage, upright.bottom)) << face;
  EXPECT_GE(leftmost(italicPage, slanted.top) - leftmost(italicPage, slanted.bottom), 3) << face;
}

TEST_F(TextFreeType, BoldAndItalicChangeTheGlyphs) { ExpectBoldAndItalicLetters("Arial"); }

TEST_F(TextFreeType, BoldAndItalicAreMadeForFacesWithoutThem) {
  const char* regularOnly = "DejaVu Math TeX Gyre";  // in fonts-dejavu-extra
  Font probe(32, 0, FW_NORMAL, false, regularOnly);
  if (FaceOf(Page(probe.handle).dc) != regularOnly) GTEST_SKIP() << regularOnly << " not installed";
  ExpectBoldAndItalicLetters(regularOnly);
}

TEST_F(TextFreeType, UnderlineRunsBelowTheBaselineInsideTheCell) {
  Font font(16, 0, FW_NORMAL, false, "Arial", OEM_CHARSET, true);
  Page page(font.handle);
  TEXTMETRICA metrics{};
  GetTextMetricsA(page.dc, &metrics);
  page.Draw(10, 50, "un der");
  const int extent = ExtentOf(page.dc, "un der");
  int underlineRow = -1;
  for (int y = 50 + metrics.tmAscent; y < 50 + metrics.tmHeight; ++y) {
    bool full = true;
    for (int x = 10; x < 10 + extent; ++x) full = full && page.Ink(x, y);
    if (full) underlineRow = y;
  }
  EXPECT_GE(underlineRow, 50 + metrics.tmAscent);
  EXPECT_FALSE(page.Ink(10 + extent, underlineRow));
  EXPECT_FALSE(page.Ink(9, underlineRow));
}

TEST_F(TextFreeType, FaceNamesResolveToMetricCompatibleFaces) {
  const auto resolve = [](const char* face) {
    Font font(16, 0, FW_NORMAL, false, face);
    Page page(font.handle);
    return FaceOf(page.dc);
  };
  EXPECT_EQ(resolve("Arial"), "Liberation Sans");
  EXPECT_EQ(resolve("Times New Roman"), "Liberation Serif");
  EXPECT_EQ(resolve("Courier New"), "Liberation Mono");
  EXPECT_EQ(resolve("Verdana"), "DejaVu Sans");
  EXPECT_EQ(resolve("Tahoma"), "DejaVu Sans");
  EXPECT_EQ(resolve("No Such Face At All"), resolve("sans-serif"));
  EXPECT_EQ(resolve("Comic Sans MS"), resolve("sans-serif"));
}

TEST_F(TextFreeType, APageOfTextRasterisesEachGlyphOnce) {
  Font font(16, 0, FW_NORMAL, false, "Arial");
  Page page(font.handle);
  const std::string line = "Glyphs are cached per font and byte: drawn once, reused.";
  const std::uint64_t before = GlyphsRasterized();
  for (int row = 0; row < 30; ++row) page.Draw(0, row * 16, line);
  const std::uint64_t firstPage = GlyphsRasterized() - before;
  int distinct = 0;
  for (int code = 0; code < 256; ++code)
    distinct += line.find(static_cast<char>(code)) != line.npos;
  EXPECT_EQ(firstPage, static_cast<std::uint64_t>(distinct));
  for (int row = 0; row < 30; ++row) page.Draw(0, row * 16, line);
  EXPECT_EQ(GlyphsRasterized() - before, firstPage);
}

}  // namespace
}  // namespace text_test
