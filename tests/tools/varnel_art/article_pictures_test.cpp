// Article pictures from a manifest: formats, sizes, transparency and hover
// variants, read back with the reader's loaders.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/tools/varnel_art/art_test_support.hpp"

using namespace varnel;

using namespace art_testing;

namespace {

constexpr const char* kManifest =
    "# pictures for the tests\n"
    "\n"
    "PICS/ball.gif 80x80 a pixel-art ball lit from the upper left; background pure black "
    "(transparent)\n"
    "PICS/ball_h.gif 80x80 highlighted variant of ball.gif: lit from the upper right, the outline "
    "orange\n"
    "PICS/mouse.png 48x64 a computer mouse seen from above; background pure black (transparent)\n"
    "PICS/disk.png 96x96 a floppy disk: a dark blue (30,50,130) square; background pure black "
    "(transparent)\n"
    "PICS/ic_a.png 28x28 menu button: three sheets of paper on a dark green (24,72,40) square\n"
    "PICS/ic_a_h.png 28x28 highlighted variant of ic_a.png: a brighter green (48,140,72) square, "
    "2-pixel yellow (255,224,96) border\n"
    "PICS/ic_b.gif 28x28 menu button: a tiny tracker pattern on a dark blue (0,16,64) square\n"
    "PICS/ic_c.jpg 28x28 menu button: a tiny tracker pattern on a black (0,0,0) square\n"
    "PICS/ic_d.jpg 28x28 menu button: a bold white question mark on a green (40,150,70) circle\n"
    "PICS/photo.jpg 64x48 a harbour at dusk\n"
    "PICS/hall.jpg 296x96 a party hall with lanterns\r\n"
    "PICS/maps.png 344x48 four greyscale panels with 16 grey levels; the gaps pure black "
    "(transparent)\n";

class ArticlePicturesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = MakeTempFolder();
    PaintIssue(folder_, kManifest);
  }
  static void TearDownTestSuite() { RemoveFolder(folder_); }
  void SetUp() override { ASSERT_FALSE(folder_.empty()); }
  static Loaded Load(const std::string& name) { return LoadAny(folder_ + "/PICS/" + name); }

  static std::string folder_;
  const RealDrivers drivers_;
};

std::string ArticlePicturesTest::folder_;

int Zeros(const Loaded& p) {
  return static_cast<int>(std::count(p.pixels.begin(), p.pixels.end(), 0));
}

TEST_F(ArticlePicturesTest, EachPictureHasItsListedSize) {
  const struct {
    const char* name;
    int width, height;
  } expected[] = {{"ball.gif", 80, 80},   {"mouse.png", 48, 64}, {"disk.png", 96, 96},
                  {"ic_a_h.png", 28, 28}, {"ic_b.gif", 28, 28},  {"ic_c.jpg", 28, 28},
                  {"photo.jpg", 64, 48},  {"hall.jpg", 296, 96}, {"maps.png", 344, 48}};
  for (const auto& picture : expected) {
    const Loaded loaded = Load(picture.name);
    EXPECT_EQ(loaded.width, picture.width) << picture.name;
    EXPECT_EQ(loaded.height, picture.height) << picture.name;
  }
}

TEST_F(ArticlePicturesTest, ShapesStandOnTransparentBlack) {
  for (const char* name : {"ball.gif", "ball_h.gif", "mouse.png", "disk.png"}) {
    const Loaded p = Load(name);
    EXPECT_EQ(p.At(0, 0), 0) << name;
    EXPECT_EQ(p.At(p.width - 1, 0), 0) << name;
    // The middle of the shape is solid all over.
    for (int y = p.height / 2 - 4; y < p.height / 2 + 4; ++y)
      for (int x = p.width / 2 - 4; x < p.width / 2 + 4; ++x)
        ASSERT_NE(p.At(x, y), 0) << name << " " << x << "," << y;
  }
  // Only the gaps between the four panels are transparent.
  const Loaded maps = Load("maps.png");
  EXPECT_EQ(Zeros(maps), 3 * 8 * 48);
}

TEST_F(ArticlePicturesTest, FilledPicturesHaveNoHoles) {
  // Dark described colours and JPEG noise must never come out as pure black.
  for (const char* name : {"ic_a.png", "ic_b.gif", "ic_c.jpg", "ic_d.jpg", "photo.jpg", "hall.jpg"})
    EXPECT_EQ(Zeros(Load(name)), 0) << name;
}

TEST_F(ArticlePicturesTest, DescribedColoursAreKept) {
  EXPECT_EQ(Load("ic_a.png").At(0, 0), PackRgb555(24, 72, 40));
  EXPECT_EQ(Load("ic_b.gif").At(0, 0), PackRgb555(0, 16, 64));
  const Loaded disk = Load("disk.png");
  EXPECT_EQ(disk.At(10, 60), PackRgb555(30, 50, 130));
}

TEST_F(ArticlePicturesTest, HoverVariantsAreHighlighted) {
  const Loaded normal = Load("ic_a.png"), hover = Load("ic_a_h.png");
  EXPECT_EQ(hover.At(0, 0), PackRgb555(255, 224, 96));   // the border
  EXPECT_EQ(hover.At(1, 13), PackRgb555(255, 224, 96));  // two pixels wide
  EXPECT_EQ(hover.At(2, 2), PackRgb555(48, 140, 72));    // the square
  double before = 0, after = 0;
  for (size_t i = 0; i < normal.pixels.size(); ++i)
    before += Luminance(normal.pixels[i]), after += Luminance(hover.pixels[i]);
  EXPECT_GT(after, before);
  // The ball's variant is lit from the other side: a mirror image, bar the rim.
  const Loaded ball = Load("ball.gif"), lit = Load("ball_h.gif");
  int mirrored = 0, solid = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 80; ++x) {
      solid += ball.At(x, y) != 0;
      mirrored += ball.At(x, y) != 0 && ball.At(x, y) == lit.At(79 - x, y);
    }
  EXPECT_GT(mirrored, solid * 8 / 10);
  EXPECT_NE(ball.pixels, lit.pixels);
}

}  // namespace
