#include "varnel/text/page_renderer.hpp"

#include <gtest/gtest.h>

#include "tests/varnel/text/text_fixture.hpp"
#include "tools/common/png_writer.hpp"

using namespace varnel;

using namespace testing_support;

namespace {

using PageRendererTest = TextEngineTest;

// Whether any pixel of the surface's rectangle has `value`.
bool AnyPixel(const uint16_t* pixels, int x0, int y0, int x1, int y1, uint16_t value) {
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (pixels[y * 640 + x] == value) return true;
  return false;
}

TEST_F(PageRendererTest, OnlyRowsThatFitEntirelyAreDrawn) {
  Article& a = Parse(BitmapLines(40));
  ASSERT_TRUE(DrawArticlePage(&a));
  // 17 rows of 16 pixels fit (272 < 280); the 18th would end at 288.
  EXPECT_TRUE(AnyPixel(textSurface.pixels, 0, 105 + 16 * 16, 640, 105 + 17 * 16, 0x4210));
  EXPECT_FALSE(AnyPixel(textSurface.pixels, 0, 105 + 17 * 16, 640, 385, 0x4210));
  EXPECT_EQ(a.moreBelow, 1);
  // Outside the window the panel covers whatever was drawn.
  EXPECT_EQ(SurfacePixel(5, 5), 0x0421);
  EXPECT_EQ(SurfacePixel(639, 479), 0x0421);
}

TEST_F(PageRendererTest, SegmentExactlyAtTheWindowHeightIsNotDrawn) {
  // One row 280 high: its bottom is exactly 280 below the first row.
  Article& a = Parse("<#FTPE BITS#><#FTSZ 8, 280#>tall\r\n");
  ASSERT_TRUE(DrawArticlePage(&a));
  EXPECT_FALSE(AnyPixel(textSurface.pixels, 0, 105, 640, 385, 0x4210));
}

TEST_F(PageRendererTest, LinkOverTwoRowsLightsUpAsAWhole) {
  Article& a = Parse("<#FTPE BITS#><#SELC ART:next.txt#>first row\r\nsecond<#ENDS#> plain\r\n");
  PointAt(20, 105 + 8);  // over "first"
  ASSERT_TRUE(DrawArticlePage(&a));
  EXPECT_STREQ(linkUnderMouse, "ART:next.txt");
  // Hovered bitmap links are boxed: dark green cells on both rows.
  EXPECT_TRUE(AnyPixel(textSurface.pixels, 0, 105, 72, 121, kBoxedCellColour));
  EXPECT_TRUE(AnyPixel(textSurface.pixels, 0, 121, 48, 137, kBoxedCellColour));
  EXPECT_FALSE(AnyPixel(textSurface.pixels, 48, 121, 640, 137, kBoxedCellColour));
  PointAt(300, 300);
  ASSERT_TRUE(DrawArticlePage(&a));
  EXPECT_STREQ(linkUnderMouse, "");
  EXPECT_FALSE(AnyPixel(textSurface.pixels, 0, 105, 640, 385, kBoxedCellColour));
}

TEST_F(PageRendererTest, HitTestIsStrictOnAllFourSides) {
  Article& a = Parse("<#FTPE BITS#><#SELC L#>abcd<#ENDS#>");
  // The segment spans x 0..32, screen rows 105..121.
  for (auto [x, y, hit] : {std::tuple{1, 106, true}, {31, 120, true}, {0, 110, false},
                           {32, 110, false}, {10, 105, false}, {10, 121, false}}) {
    PointAt(x, y);
    DrawArticlePage(&a);
    EXPECT_EQ(linkUnderMouse[0] != '\0', hit) << x << "," << y;
  }
}

TEST_F(PageRendererTest, LongLinksAreCutToFitTheBuffer) {
  const std::string link(600, 'L');
  Article& a = Parse("<#FTPE BITS#><#SELC " + link + "#>x<#ENDS#>");
  PointAt(4, 110);
  DrawArticlePage(&a);
  EXPECT_EQ(std::string(linkUnderMouse), link.substr(0, 511));
  EXPECT_TRUE(AnyPixel(textSurface.pixels, 0, 105, 8, 121, kBoxedCellColour));
}

TEST_F(PageRendererTest, TwoColumnsContinueAtX320) {
  Article& a = Parse("<#TWOC#>" + BitmapLines(30));
  ASSERT_TRUE(DrawArticlePage(&a));
  // Row 17 ("line 16") heads the second column.
  EXPECT_TRUE(AnyPixel(textSurface.pixels, 320, 105, 640, 121, 0x4210));
  EXPECT_EQ(a.moreBelow, 0);
}

TEST_F(PageRendererTest, TitleInRedAndBlackBitmapTextIsDrawn) {
  Article& a = Parse("<#TITL Title#><#FTPE BITS#><#COLR 000000#>\xff");
  ASSERT_TRUE(DrawArticlePage(&a));
  EXPECT_TRUE(AnyPixel(textSurface.pixels, 64, 432, 64 + 40, 448, kTitleColour));
  EXPECT_EQ(SurfacePixel(0, 105), 0);  // the 0xFF glyph in black
  EXPECT_EQ(SurfacePixel(7, 120), 0);
  EXPECT_EQ(SurfacePixel(8, 105), 0x0421);
}

TEST_F(PageRendererTest, NoPageForARowThatDoesNotExist) {
  Article& a = Parse("short");
  a.topRow = 5;
  textSurface.pixels[200 * 640] = 0x1234;
  EXPECT_FALSE(DrawArticlePage(&a));
  EXPECT_EQ(textSurface.pixels[200 * 640], 0x1234);
}

TEST_F(PageRendererTest, KeyedBlitTestsTransparencyPerPair) {
  std::vector<uint16_t> source = {0, 5, 0, 0, 7};  // odd width: the first pixel alone
  const Picture picture{5, 1, source.data()};
  std::vector<uint16_t> image(640 * 480, 9);
  BlitKeyed(picture, {640, 480, image.data()}, 10, 200, 15, 201, 105);
  EXPECT_EQ(image[200 * 640 + 10], 9);  // a lone 0 is skipped
  EXPECT_EQ(image[200 * 640 + 11], 5);
  EXPECT_EQ(image[200 * 640 + 12], 0);  // 0 beside a colour is drawn black
  EXPECT_EQ(image[200 * 640 + 13], 0);
  EXPECT_EQ(image[200 * 640 + 14], 7);
  // Clipped at the right edge, at clipTop and left of the image.
  std::vector<uint16_t> dot = {3};
  BlitKeyed({1, 1, dot.data()}, {640, 480, image.data()}, 639, 300, 640, 301, 105);
  EXPECT_EQ(image[300 * 640 + 639], 3);
  BlitKeyed({1, 1, dot.data()}, {640, 480, image.data()}, 5, 100, 6, 101, 105);
  EXPECT_EQ(image[100 * 640 + 5], 9);
  std::vector<uint16_t> wide = {1, 2, 3, 4};
  BlitKeyed({4, 1, wide.data()}, {640, 480, image.data()}, -2, 310, 2, 311, 105);
  EXPECT_EQ(image[310 * 640 + 0], 3);
  EXPECT_EQ(image[310 * 640 + 1], 4);
}

TEST_F(PageRendererTest, HoverPictureReplacesThePictureUnderThePointer) {
  WriteFile("red.gif", OnePixelGif(255, 0, 0));
  WriteFile("blue.gif", OnePixelGif(0, 0, 255));
  Article& a = Parse("<#ICON red.gif*blue.gif*ART:x.txt#>");
  ASSERT_TRUE(DrawArticlePage(&a));
  EXPECT_EQ(SurfacePixel(0, 105), 0x7C00);
  // A 1 x 1 picture can never hold the pointer strictly inside it.
  PointAt(0, 105);
  DrawArticlePage(&a);
  EXPECT_STREQ(linkUnderMouse, "");
}

TEST_F(PageRendererTest, TallerHoverPictureIsClippedAtTheWindowBottom) {
  std::string error;
  const std::vector<uint8_t> red(4 * 4 * 3, 0), blue(4 * 300 * 3, 255);
  std::vector<uint8_t> redPixels = red;
  for (size_t i = 0; i < redPixels.size(); i += 3) redPixels[i] = 255;
  ASSERT_TRUE(tools::WritePngRgb("small.png", 4, 4, redPixels.data(), &error));
  ASSERT_TRUE(tools::WritePngRgb("tall.png", 4, 300, blue.data(), &error));
  Article& a = Parse("\r\n<#ICON small.png*tall.png*URL:example.org#>");
  PointAt(2, 123);  // inside the small picture, one row down
  ASSERT_TRUE(DrawArticlePage(&a));
  EXPECT_STREQ(linkUnderMouse, "URL:example.org");
  EXPECT_EQ(SurfacePixel(0, 121), 0x7FFF);
  EXPECT_EQ(SurfacePixel(3, 384), 0x7FFF);
  EXPECT_EQ(SurfacePixel(3, 385), 0x0421);  // the panel below the window
  PointAt(2, 300);
  DrawArticlePage(&a);
  EXPECT_EQ(SurfacePixel(0, 121), 0x7C00);
  EXPECT_EQ(SurfacePixel(0, 130), 0x0421);
}

}  // namespace
