// The reader's own files: sizes, formats and the properties the reader
// relies on, read back with the reader's loaders.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

#include "tests/tools/varnel_art/art_test_support.hpp"
#include "varnel/media/gif_decoder.hpp"
#include "varnel/text/bitmap_font.hpp"

using namespace varnel;

using namespace art_testing;

namespace {

class ReaderFilesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = MakeTempFolder();
    PaintIssue(folder_, "");
  }
  static void TearDownTestSuite() { RemoveFolder(folder_); }
  static std::string File(const std::string& name) { return folder_ + "/" + name; }
  void SetUp() override { ASSERT_FALSE(folder_.empty()); }

  static std::string folder_;
  const RealDrivers drivers_;
};

std::string ReaderFilesTest::folder_;

// Mean luminance of a box of a loaded picture, and its share of pixels darker than `limit`.
double MeanLuminance(const Loaded& p, int x0, int y0, int x1, int y1, double limit = 256,
                     double* darkShare = nullptr) {
  double sum = 0;
  int dark = 0, count = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const double l = Luminance(p.At(x, y));
      sum += l;
      dark += l < limit;
      ++count;
    }
  if (darkShare) *darkShare = static_cast<double>(dark) / count;
  return sum / count;
}

TEST_F(ReaderFilesTest, EveryFileLoadsWithTheSizeTheReaderNeeds) {
  for (const char* panel : {"DATA/panel0.png", "DATA/panel1.png"}) {
    const Loaded loaded = LoadWith(LoadPngPicture, File(panel));
    EXPECT_EQ(loaded.width, 640) << panel;
    EXPECT_EQ(loaded.height, 480) << panel;
  }
  for (const char* cover : {"DATA/begcvr.jpg", "DATA/endcvr.jpg"}) {
    const Loaded loaded = LoadWith(LoadJpegPicture, File(cover));
    EXPECT_EQ(loaded.width, 640) << cover;
    EXPECT_EQ(loaded.height, 480) << cover;
  }
  const Loaded strip = LoadWith(LoadGifPicture, File("DATA/p1.gif"));
  EXPECT_EQ(strip.width, 282);
  EXPECT_EQ(strip.height, 19);
  int width = 0, height = 0;
  std::vector<uint8_t> palette;
  LoadIndexed(File("DATA/pmap.gif"), &width, &height, &palette);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
}

TEST_F(ReaderFilesTest, BitmapFontLoadsAndHasGlyphs) {
  std::ifstream in(File("DATA/font1.fnt"), std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 4096u);
  BitmapFont font{};
  LoadBitmapFont(&font, File("DATA/font1.fnt").c_str());
  ASSERT_EQ(font.loaded, 1);
  int inkA = 0, inkSpace = 0;
  for (int row = 0; row < 16; ++row) {
    inkA += __builtin_popcount(font.glyphs['A'][row] & 0xFF);
    inkSpace += __builtin_popcount(font.glyphs[' '][row] & 0xFF);
  }
  EXPECT_GT(inkA, 10);
  EXPECT_EQ(inkSpace, 0);
  ReleaseBitmapFont(&font);
}

TEST_F(ReaderFilesTest, DissolveMapUsesEveryStepInEvenShares) {
  int width = 0, height = 0;
  std::vector<uint8_t> palette;
  const std::vector<uint8_t> map = LoadIndexed(File("DATA/pmap.gif"), &width, &height, &palette);
  std::map<int, int> counts;
  for (const uint8_t value : map) ++counts[value];
  const double total = static_cast<double>(map.size());
  for (int step = 0; step < 16; ++step) {
    EXPECT_GT(counts[step] / total, 0.03) << "step " << step;
    EXPECT_LT(counts[step] / total, 0.10) << "step " << step;
  }
  int late = 0;
  for (const auto& [value, count] : counts)
    if (value > 15) late += count;
  EXPECT_LT(late / total, 0.01);
  // A plasma, not noise: neighbours are at most a step or two apart.
  int jumps = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 1; x < width; ++x) {
      const int a = map[static_cast<size_t>(y) * width + x - 1],
                b = map[static_cast<size_t>(y) * width + x];
      if (a < 16 && b < 16 && std::abs(a - b) > 2) ++jumps;
    }
  EXPECT_LT(jumps / total, 0.01);
  // The palette is a grey ramp up to white at 15.
  for (int i = 1; i < 16; ++i) {
    EXPECT_GT(palette[3 * i], palette[3 * (i - 1)]);
    EXPECT_EQ(palette[3 * i], palette[3 * i + 2]);
  }
  EXPECT_EQ(palette[45], 255);
}

TEST_F(ReaderFilesTest, TextWindowIsDarkForLightText) {
  for (const char* name : {"DATA/panel0.png", "DATA/panel1.png"}) {
    const Loaded panel = LoadWith(LoadPngPicture, File(name));
    double darkShare = 0;
    // Grey 808080 text has luminance 128: the window must stay well below.
    EXPECT_LT(MeanLuminance(panel, 0, 105, 640, 385, 56, &darkShare), 32) << name;
    EXPECT_GT(darkShare, 0.99) << name;
    // The red title is drawn at (64, 432) into a dark slot.
    EXPECT_LT(MeanLuminance(panel, 64, 432, 560, 448), 24) << name;
    // The frame itself is bright metal, with the title lettered in the middle
    // of the header: chrome highlights and a dark outline around them.
    EXPECT_GT(MeanLuminance(panel, 0, 0, 640, 90), 70) << name;
    double darkInTitle = 0, darkBeside = 0;
    MeanLuminance(panel, 200, 10, 440, 70, 40, &darkInTitle);
    MeanLuminance(panel, 60, 10, 120, 70, 40, &darkBeside);
    EXPECT_GT(darkInTitle, 0.05) << name;
    EXPECT_LT(darkBeside, 0.01) << name;
  }
}

TEST_F(ReaderFilesTest, PanelsAreTwoLooks) {
  const Loaded blue = LoadWith(LoadPngPicture, File("DATA/panel0.png"));
  const Loaded copper = LoadWith(LoadPngPicture, File("DATA/panel1.png"));
  const auto channelSum = [](const Loaded& p, int shift) {
    long sum = 0;
    for (int y = 0; y < 90; ++y)
      for (int x = 0; x < 640; ++x) sum += (p.At(x, y) >> shift) & 31;
    return sum;
  };
  EXPECT_GT(channelSum(blue, 0), channelSum(blue, 10));
  EXPECT_GT(channelSum(copper, 10), channelSum(copper, 0));
}

TEST_F(ReaderFilesTest, ScrollStripWindowShowsThePosition) {
  const Loaded strip = LoadWith(LoadGifPicture, File("DATA/p1.gif"));
  // The reader shows columns offset..offset+139, offset 141 at the top of an
  // article and 0 at its end. The bright part must move left to right.
  double previous = -1;
  for (const int offset : {141, 106, 70, 35, 0}) {
    double sum = 0, weight = 0;
    for (int y = 0; y < 19; ++y)
      for (int x = 0; x < 140; ++x) {
        const double l = Luminance(strip.At(offset + x, y));
        if (l > 120) sum += x * l, weight += l;
      }
    const double centre = weight > 0 ? sum / weight : 0;
    EXPECT_GT(centre, previous) << "offset " << offset;
    previous = centre;
  }
  EXPECT_GT(previous, 70);
}

TEST_F(ReaderFilesTest, CoversAreFullPictures) {
  const Loaded opening = LoadWith(LoadJpegPicture, File("DATA/begcvr.jpg"));
  const Loaded closing = LoadWith(LoadJpegPicture, File("DATA/endcvr.jpg"));
  for (const Loaded* cover : {&opening, &closing}) {
    const auto [low, high] =
        std::minmax_element(cover->pixels.begin(), cover->pixels.end(),
                            [](uint16_t a, uint16_t b) { return Luminance(a) < Luminance(b); });
    EXPECT_LT(Luminance(*low), 40);
    EXPECT_GT(Luminance(*high), 220);
  }
  EXPECT_NE(opening.pixels, closing.pixels);
}

}  // namespace
