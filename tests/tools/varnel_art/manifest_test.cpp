// The picture list and what its descriptions say.
#include "tools/varnel_art/manifest.hpp"

#include <gtest/gtest.h>

#include "tools/varnel_art/description.hpp"
#include "tools/varnel_art/picture_art.hpp"

using namespace varnel_art;

namespace {

std::string ErrorFor(const std::string& text) {
  std::vector<ManifestEntry> entries;
  std::string error;
  EXPECT_FALSE(ParseManifest(text, "pictures.txt", &entries, &error)) << text;
  return error;
}

TEST(ManifestTest, ReadsLinesSkippingCommentsAndBlanks) {
  std::vector<ManifestEntry> entries;
  std::string error;
  ASSERT_TRUE(ParseManifest(
      "# list\n\nPICS/a.gif 28x28 a red disc\r\n  PICS/b.JPG 640x1 \nPICS/c.png 1x4096 x",
      "pictures.txt", &entries, &error))
      << error;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].path, "PICS/a.gif");
  EXPECT_EQ(entries[0].width, 28);
  EXPECT_EQ(entries[0].description, "a red disc");
  EXPECT_EQ(entries[0].format, PictureFormat::Gif);
  EXPECT_EQ(entries[0].line, 3);
  EXPECT_EQ(entries[1].format, PictureFormat::Jpeg);
  EXPECT_EQ(entries[1].description, "");
  EXPECT_EQ(entries[2].height, 4096);
}

TEST(ManifestTest, ErrorsNameTheLine) {
  EXPECT_EQ(ErrorFor("PICS/a.gif 28x28 ok\nPICS/b.gif\n"),
            "pictures.txt:2: expected PATH WIDTHxHEIGHT DESCRIPTION: PICS/b.gif");
  EXPECT_EQ(ErrorFor("\n\nPICS/a.gif 28y28 x"),
            "pictures.txt:3: the size must be WIDTHxHEIGHT, 1 to 4096 each: PICS/a.gif 28y28 x");
  for (const char* size : {"0x5", "5x0", "4097x1", "x5", "5x", "-5x5", "5x5x5"})
    EXPECT_NE(ErrorFor(std::string("PICS/a.gif ") + size + " x").find("pictures.txt:1: the size"),
              std::string::npos)
        << size;
  EXPECT_NE(ErrorFor("PICS/a.bmp 5x5 x").find(":1: the extension"), std::string::npos);
  EXPECT_NE(ErrorFor("PICS/a.gif.png 5x5 x").find(":1: the extension"), std::string::npos);
  EXPECT_NE(ErrorFor("PICS.old/a.gif 5x5 x").find(":1: the extension"), std::string::npos);
  EXPECT_NE(ErrorFor("PICS/a 5x5 x").find(":1: the path has no extension"), std::string::npos);
  EXPECT_NE(ErrorFor("/PICS/a.gif 5x5 x").find(":1: the path must stay"), std::string::npos);
  EXPECT_NE(ErrorFor("../a.gif 5x5 x").find(":1: the path must stay"), std::string::npos);
  EXPECT_NE(ErrorFor("PICS\\a.gif 5x5 x").find(":1: the path must use"), std::string::npos);
  EXPECT_EQ(ErrorFor("PICS/a.gif 5x5 x\nPICS/A.GIF 6x6 y"),
            "pictures.txt:2: the picture is listed before, on line 1: PICS/A.GIF 6x6 y");
}

TEST(ManifestTest, HoverVariantsFindTheirPicture) {
  std::vector<ManifestEntry> entries;
  std::string error;
  ASSERT_TRUE(
      ParseManifest("PICS/ic.gif 28x28 a\n"
                    "PICS/ic_h.gif 28x28 brighter\n"
                    "PICS/knob.png 9x9 b\n"
                    "PICS/knob_hover.png 9x9 c\n"
                    "PICS/lit.png 9x9 highlighted variant of knob.png: lit\n"
                    "PICS/h.png 9x9 a letter h\n",
                    "m", &entries, &error));
  EXPECT_FALSE(IsHoverEntry(entries[0]));
  EXPECT_FALSE(IsHoverEntry(entries[5]));
  EXPECT_EQ(FindHoverBase(entries[1], entries), &entries[0]);
  EXPECT_EQ(FindHoverBase(entries[3], entries), &entries[2]);
  EXPECT_TRUE(IsHoverEntry(entries[4]));
  EXPECT_EQ(FindHoverBase(entries[4], entries), &entries[2]);
  // A variant shares its picture's seed and look.
  const PictureJob base = JobFor(entries[2], entries, "T"), lit = JobFor(entries[4], entries, "T");
  EXPECT_TRUE(lit.hover);
  EXPECT_EQ(lit.seed, base.seed);
  EXPECT_EQ(lit.look.text, "b");
}

TEST(DescriptionTest, FindsColoursWordsAndNumbers) {
  const Description d = ParseDescription(
      "a CD button: dark slate (40,48,64) with the word PIXELS in dark navy, the number 99, "
      "a 3-pixel bright yellow frame and dots in orange; 2-pixel white (250, 250, 240) border");
  ASSERT_EQ(d.colours.size(), 2u);
  EXPECT_EQ(d.colours[0].g, 48);
  EXPECT_EQ(d.CapitalWord("none"), "PIXELS");
  EXPECT_EQ(d.NumberAfter("number", 0), 99);
  EXPECT_EQ(d.NumberAfter("absent", 7), 7);
  int width = 0;
  const auto frame = d.ColourOf("frame", &width);
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(width, 3);
  EXPECT_GT(frame->b, 60);  // "bright yellow": lighter than yellow, not plain yellow
  const auto border = d.ColourOf("border", &width);
  ASSERT_TRUE(border.has_value());
  EXPECT_EQ(border->b, 240);  // the written colour wins over the word
  EXPECT_EQ(width, 2);
  const auto dots = d.NamedAfter("dots in");
  ASSERT_TRUE(dots.has_value());
  EXPECT_EQ(dots->r, ColourByName("orange")->r);
  EXPECT_LT(ParseDescription("").At(0, 0x102030).b, 49);
  EXPECT_FALSE(ColourByName("a table").has_value());
  EXPECT_EQ(ColourByName("yellow-green")->r, ColourByName("YELLOW-GREEN")->r);
}

std::string PainterOf(const std::string& line) {
  std::vector<ManifestEntry> entries;
  std::string error;
  EXPECT_TRUE(ParseManifest(line, "m", &entries, &error)) << error;
  return PainterName(JobFor(entries.at(0), entries, "T"));
}

TEST(PainterChoiceTest, DescriptionsPickTheirMotif) {
  EXPECT_EQ(PainterOf("P/a.gif 28x28 menu button: a floppy disk glyph on a grey square"),
            "floppy button");
  EXPECT_EQ(PainterOf("P/a.png 96x96 a floppy disk: a dark blue square"), "floppy");
  EXPECT_EQ(PainterOf("P/a.png 28x28 menu button: a white arrow mouse pointer"), "pointer button");
  EXPECT_EQ(PainterOf("P/a.png 48x64 a computer mouse seen from above"), "mouse");
  EXPECT_EQ(PainterOf("P/a.png 344x48 four greyscale panels: noise; a left-to-right ramp"), "maps");
  EXPECT_EQ(PainterOf("P/a.png 256x56 a hue-shifted colour ramp"), "ramp");
  EXPECT_EQ(PainterOf("P/a.png 96x32 a button: a gradient with the word PIXELS"), "word button");
  EXPECT_EQ(PainterOf("P/a.gif 48x28 a CD control button \"next track\""), "cd button");
  EXPECT_EQ(PainterOf("P/a.gif 80x80 a pixel-art ball, a circle of diameter 64"), "ball");
  EXPECT_EQ(PainterOf("P/a.png 64x64 copper bars"), "bars");
  EXPECT_EQ(PainterOf("P/a.png 64x64 a blue orb"), "orb");
  EXPECT_EQ(PainterOf("P/a.gif 64x64 a starfield"), "starfield");
  EXPECT_EQ(PainterOf("P/a.jpg 64x64 the harbour at dusk"), "sunset");
  EXPECT_EQ(PainterOf("P/a.png 64x64 something else"), "gradient");
}

}  // namespace
