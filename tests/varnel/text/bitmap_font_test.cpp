#include "varnel/text/bitmap_font.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "tests/varnel/text/text_fixture.hpp"

using namespace varnel;

using namespace testing_support;

namespace {

class BitmapFontTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    WriteFile("font.fnt", PatternFontFile());
    LoadBitmapFont(&font_, "font.fnt");
  }
  void TearDown() override {
    ReleaseBitmapFont(&font_);
    ScratchDirTest::TearDown();
  }
  ImageRef Image() { return {640, 480, pixels_.data()}; }
  uint16_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * 640 + x]; }
  int CountInk(uint16_t colour) const { return static_cast<int>(std::count(pixels_.begin(), pixels_.end(), colour)); }

  BitmapFont font_{};
  std::vector<uint16_t> pixels_ = std::vector<uint16_t>(640 * 480, 0x1111);
};

TEST_F(BitmapFontTest, LoadsGlyphRowsInCodeOrder) {
  EXPECT_EQ(font_.glyphWidth, 8);
  EXPECT_EQ(font_.glyphHeight, 16);
  EXPECT_EQ(font_.loaded, 1);
  EXPECT_EQ(font_.glyphs[0xA5][7], 0xA5);
  EXPECT_EQ(font_.glyphs[255][15], 255);
}

TEST_F(BitmapFontTest, GlyphBitsRunFromTheLeftmostPixel) {
  DrawBitmapText(&font_, Image(), "\x81", 0x7C00, 10, 20);  // 1000 0001
  for (int r = 0; r < 16; ++r) {
    EXPECT_EQ(At(10, 20 + r), 0x7C00);
    for (int k = 1; k < 7; ++k) EXPECT_EQ(At(10 + k, 20 + r), 0x1111);
    EXPECT_EQ(At(17, 20 + r), 0x7C00);
  }
  EXPECT_EQ(At(10, 36), 0x1111);
}

TEST_F(BitmapFontTest, GroupOfFourDrawsLikeFourSingleGlyphs) {
  std::vector<uint16_t> single(640 * 480, 0x1111);
  const uint8_t codes[4] = {0x80, 0x0F, 0xF0, 0x55};
  DrawGlyphs4(&font_, Image(), codes, 0x3E0, 100, 50);
  for (int g = 0; g < 4; ++g) DrawGlyph(&font_, {640, 480, single.data()}, codes[g], 0x3E0, 100 + 8 * g, 50);
  EXPECT_EQ(pixels_, single);
}

TEST_F(BitmapFontTest, StringsStopAtTheLastGroupOrGlyphThatFits) {
  DrawBitmapText(&font_, Image(), "\xff\xff\xff\xff\xff", 0x7FFF, 612, 0);
  EXPECT_EQ(CountInk(0x7FFF), 0);  // the group would end at 644, the fifth glyph start there
  DrawBitmapText(&font_, Image(), "\xff\xff\xff\xff\xff", 0x7FFF, 600, 0);
  EXPECT_EQ(CountInk(0x7FFF), 5 * 8 * 16);
  EXPECT_EQ(At(639, 15), 0x7FFF);
}

TEST_F(BitmapFontTest, GlyphsAreDrawnWholeOrNotAtAll) {
  DrawBitmapText(&font_, Image(), "\xff", 0x7FFF, 633, 0);
  DrawBitmapText(&font_, Image(), "\xff", 0x7FFF, 0, 465);
  DrawBitmapText(&font_, Image(), "\xff", 0x7FFF, -1, 0);
  DrawBitmapText(&font_, Image(), "\xff", 0x7FFF, 0, -1);
  EXPECT_EQ(CountInk(0x7FFF), 0);
  DrawBitmapText(&font_, Image(), "\xff", 0x7FFF, 632, 464);
  EXPECT_EQ(CountInk(0x7FFF), 128);
}

TEST_F(BitmapFontTest, BoxedCellsAreOpaque) {
  for (int r = 0; r < 16; ++r) font_.glyphs[' '][r] = 0;  // an empty glyph
  DrawBitmapText(&font_, Image(), "  ", 0x7C00, 0, 0);
  EXPECT_EQ(CountInk(0x1111), 640 * 480);
  DrawBitmapTextBoxed(&font_, Image(), "  ", 0x7C00, 0, 0);
  EXPECT_EQ(CountInk(kBoxedCellColour), 2 * 8 * 16);
  DrawBitmapTextBoxed(&font_, Image(), "\xff", 0x7C00, 0, 100);
  EXPECT_EQ(CountInk(0x7C00), 8 * 16);
}

TEST_F(BitmapFontTest, NothingIsDrawnWithoutAFont) {
  BitmapFont empty{};
  DrawBitmapText(&empty, Image(), "abcdef", 0x7FFF, 0, 0);
  DrawBitmapTextBoxed(&empty, Image(), "abc", 0x7FFF, 0, 0);
  EXPECT_EQ(CountInk(0x1111), 640 * 480);
}

TEST_F(BitmapFontTest, WrongFileSizesAreFatal) {
  BitmapFont other{};
  for (size_t size : {4095u, 4097u, 0u}) {
    WriteFile("bad.fnt", Bytes(size));
    EXPECT_EXIT(LoadBitmapFont(&other, "bad.fnt"), testing::ExitedWithCode(1), "ERROR: ERROR IN \\*.FNT FILE !");
  }
}

}  // namespace
