// The building blocks: colour reduction, 15-bit dithering, block lettering,
// shape borders and lettering through the text layer.
#include <gtest/gtest.h>

#include <set>

#include "tests/tools/varnel_art/art_test_support.hpp"
#include "tools/varnel_art/art_files.hpp"
#include "tools/varnel_art/paint_kit.hpp"
#include "tools/varnel_art/pixel_font.hpp"
#include "tools/varnel_art/random.hpp"
#include "tools/varnel_art/text_art.hpp"

using namespace varnel;

using namespace varnel_art;

namespace {

uint16_t Key(const uint8_t* rgb) { return PackRgb555(rgb[0], rgb[1], rgb[2]); }

TEST(QuantizeTest, FewColoursStayExactAndBlackMeansTransparent) {
  Canvas canvas(16, 4, Rgb(0x204080));
  for (int x = 0; x < 16; ++x) canvas.Put(x, 1, {static_cast<float>(x * 16), 200, 8});
  canvas.Clear(3, 3);
  canvas.Put(5, 3, Rgb(0x000000));  // drawn black is lifted, never the key
  const tools::IndexedPicture picture = Quantize(canvas);
  ASSERT_LE(picture.palette.size(), 768u);
  EXPECT_EQ(picture.palette[0] | picture.palette[1] | picture.palette[2], 0);
  const std::vector<uint8_t> rgb = ToRgb8(canvas, Dither::None);
  for (int i = 0; i < 64; ++i) {
    const uint8_t index = picture.indices[static_cast<size_t>(i)];
    if (i == 3 * 16 + 3) {
      EXPECT_EQ(index, 0);
      continue;
    }
    ASSERT_NE(index, 0) << i;
    EXPECT_EQ(Key(&picture.palette[3u * index]), Key(&rgb[3u * static_cast<size_t>(i)])) << i;
  }
}

TEST(QuantizeTest, ManyColoursFitThePaletteWithoutBlack) {
  Canvas canvas(128, 128, Color{}, false);
  Random random(7);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x)
      if (random.Below(8))
        canvas.Put(x, y, {random.Range(0, 255), random.Range(0, 255), random.Range(0, 255)});
  const tools::IndexedPicture picture = Quantize(canvas);
  ASSERT_LE(picture.palette.size(), 768u);
  for (size_t entry = 1; entry < picture.palette.size() / 3; ++entry)
    EXPECT_NE(Key(&picture.palette[3 * entry]), 0) << entry;
  for (size_t i = 0; i < picture.indices.size(); ++i)
    ASSERT_EQ(picture.indices[i] == 0, canvas.solid[i] == 0) << i;
  std::string error;
  std::vector<uint8_t> gif;
  EXPECT_TRUE(tools::EncodeGif(picture, &gif, &error)) << error;
}

TEST(DitherTest, TruncationKeepsTheMeanOfAFlatColour) {
  // The reader keeps the top five bits; dithered, 100 must still average 100.
  Canvas canvas(16, 16, {100, 37, 250});
  const std::vector<uint8_t> rgb = ToRgb8(canvas, Dither::For555);
  double sums[3] = {};
  std::set<int> levels;
  for (size_t i = 0; i < rgb.size(); ++i) {
    sums[i % 3] += (rgb[i] >> 3) * 8;
    if (i % 3 == 0) levels.insert(rgb[i] >> 3);
  }
  EXPECT_NEAR(sums[0] / 256, 100, 1.5);
  EXPECT_NEAR(sums[1] / 256, 37, 1.5);
  EXPECT_EQ(levels.size(), 2u);  // two neighbouring levels, mixed
  const std::vector<uint8_t> flat = ToRgb8(canvas, Dither::None);
  EXPECT_EQ(flat[0], 100);
  EXPECT_EQ(flat[3], 100);
}

TEST(DitherTest, DrawnNearBlackStaysVisible) {
  Canvas canvas(2, 1, {3, 2, 1});
  canvas.Clear(1, 0);
  const std::vector<uint8_t> rgb = ToRgb8(canvas, Dither::For555);
  EXPECT_EQ(PackRgb555(rgb[0], rgb[1], rgb[2]), 0x0421);
  EXPECT_EQ(PackRgb555(rgb[3], rgb[4], rgb[5]), 0);
}

TEST(BlockFontTest, LettersHaveGlyphsAndTheMeasuredWidth) {
  const BlockLettering style{BlockFont::Font5x7, 3, 4, 2};
  for (const char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789<#>?")) {
    Canvas canvas(40, 40, Color{}, false);
    DrawBlockText(&canvas, style, std::string(1, c), 0, 0, Rgb(0xFFFFFF));
    int minX = 99, maxX = -1, maxY = -1;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        if (canvas.Solid(x, y))
          minX = std::min(minX, x), maxX = std::max(maxX, x), maxY = std::max(maxY, y);
    ASSERT_GE(maxX, 0) << c;
    EXPECT_LT(maxX, BlockTextWidth(style, "W")) << c;
    EXPECT_LT(maxY, BlockTextHeight(style)) << c;
  }
  EXPECT_EQ(BlockTextWidth(style, "AB"), 2 * (4 * 4 + 3) + 2);
  EXPECT_EQ(BlockTextHeight(BlockLettering{BlockFont::Font3x5, 2, 2, 2}), 10);
  Canvas blank(8, 8, Color{}, false);
  DrawBlockText(&blank, style, "~", 0, 0, Rgb(0xFFFFFF));
  EXPECT_EQ(std::count(blank.solid.begin(), blank.solid.end(), 1), 0);
}

TEST(PaintKitTest, BorderFollowsHolesAndEdges) {
  Canvas canvas(12, 12, Rgb(0x808080));
  canvas.Clear(6, 6);
  ShapeBorder(&canvas, 2, Rgb(0xFF0000));
  const auto red = [&](int x, int y) { return canvas.At(x, y).r == 255 && canvas.At(x, y).g == 0; };
  EXPECT_TRUE(red(0, 5));
  EXPECT_TRUE(red(1, 5));
  EXPECT_FALSE(red(2, 3));
  EXPECT_TRUE(red(5, 5));
  EXPECT_TRUE(red(7, 7));
  EXPECT_FALSE(red(9, 6));
  EXPECT_FALSE(canvas.Solid(6, 6));
  Canvas dot(5, 5, Color{}, false);
  dot.Put(2, 2, Rgb(0xFFFFFF));
  OutlineOutside(&dot, Rgb(0x101010));
  EXPECT_EQ(std::count(dot.solid.begin(), dot.solid.end(), 1), 5);
}

TEST(TextArtTest, LetteringLandsInsideItsMeasuredBox) {
  const art_testing::RealDrivers drivers;
  std::string error;
  const FontRequest font{"Arial", 40, true, false, 2};
  TextSize size;
  ASSERT_TRUE(MeasureText(font, "SALT", &size, &error)) << error;
  EXPECT_GT(size.width, 60);
  EXPECT_GE(size.height, 36);
  Mask letters;
  ASSERT_TRUE(RenderText(font, "SALT", 200, 80, 20, 10, &letters, &error)) << error;
  Box ink;
  ASSERT_TRUE(InkBounds(letters, &ink));
  EXPECT_GE(ink.x0, 20);
  EXPECT_LE(ink.x1, 20 + size.width + 2);
  EXPECT_GE(ink.y0, 10);
  EXPECT_LE(ink.y1, 10 + size.height);
  // Drawn twice as large and averaged: the edges have partial coverage.
  bool partial = false;
  for (const float v : letters.values) partial = partial || (v > 0.1f && v < 0.9f);
  EXPECT_TRUE(partial);
}

}  // namespace
