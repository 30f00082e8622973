// The display over the fake screen: every desktop depth, whole, rectangle
// and darkened drawing, presents, and the failures.
#include <gtest/gtest.h>

#include <vector>

#include "chipdisk/screen/chip_pixels.hpp"
#include "chipdisk/screen/chip_screen.hpp"
#include "platform/drivers.hpp"
#include "platform/screen/screen_service.hpp"
#include "platform/window/fake_window_service.hpp"

namespace {

using namespace chipdisk;
using Bytes = std::vector<uint8_t>;

struct Format {
  platform::ScreenFormat format;
  int32_t depth;
};

const Format kFormats[] = {
    {{16, 0x7C00, 0x03E0, 0x001F}, kDepth15},
    {{16, 0xF800, 0x07E0, 0x001F}, kDepth16},
    {{24, 0xFF0000, 0xFF00, 0xFF}, kDepth24},
    {{32, 0xFF0000, 0xFF00, 0xFF}, kDepth32},
    {{8, 0, 0, 0}, kDepthPalette},
};

Bytes Picture(uint8_t seed) {
  Bytes bgr(static_cast<size_t>(kScreenWidth) * kScreenHeight * 3);
  for (size_t i = 0; i < bgr.size(); ++i) bgr[i] = static_cast<uint8_t>(i * 7 + seed + i / 1920);
  return bgr;
}

// What the surface should hold: every source pixel through the depth table.
Bytes Expected(const Bytes& bgr, int32_t depth, int32_t bytesPerPixel) {
  Bytes out(static_cast<size_t>(kScreenWidth) * kScreenHeight * static_cast<size_t>(bytesPerPixel), 0);
  ConvertPixels(depth, bgr.data(), out.data(), static_cast<size_t>(kScreenWidth) * kScreenHeight);
  return out;
}

class ChipScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SelectDrivers(platform::DriverSet::Fake);
    platform::FakeWindow().Reset();
    platform::FakeScreen().Reset();
    window_ = platform::FakeWindow().CreateMainWindow("test", nullptr);
  }
  void TearDown() override {
    ScreenRelease();
    platform::FakeWindow().Reset();
    platform::FakeScreen().Reset();
  }
  bool SetUpWith(const platform::ScreenFormat& format) {
    platform::FakeScreen().format = format;
    return ScreenSetUp(window_);
  }
  platform::WindowHandle window_ = nullptr;
};

TEST_F(ChipScreenTest, EveryDepthDrawsThePictureThroughItsTable) {
  const Bytes picture = Picture(5);
  for (const Format& f : kFormats) {
    SCOPED_TRACE(f.depth);
    ASSERT_TRUE(SetUpWith(f.format));
    EXPECT_EQ(Display().depth, f.depth);
    EXPECT_EQ(ScreenPixelFormat(), f.depth);
    ASSERT_TRUE(DrawPicture(kScreenWidth, kScreenHeight, picture.data()));
    EXPECT_EQ(platform::FakeScreen().surface,
              Expected(picture, f.depth, platform::FakeScreen().BytesPerPixel()));
    ScreenRelease();
  }
}

TEST_F(ChipScreenTest, DarkenedPictureMatchesDarkenThenConvertOnBothPaths) {
  const Bytes picture = Picture(9);
  for (const Format& f : kFormats) {
    for (bool simd : {false, true}) {
      for (int level : {0, 1, 77, 255}) {
        SCOPED_TRACE(testing::Message() << f.depth << " simd " << simd << " level " << level);
        ASSERT_TRUE(SetUpWith(f.format));
        Display().simd = simd;
        ASSERT_TRUE(DrawDarkened(static_cast<uint8_t>(level), picture.data()));
        Bytes darkened(picture.size());
        for (size_t i = 0; i < picture.size(); ++i)
          darkened[i] = picture[i] > level ? static_cast<uint8_t>(picture[i] - level) : 0;
        EXPECT_EQ(platform::FakeScreen().surface,
                  Expected(darkened, f.depth, platform::FakeScreen().BytesPerPixel()));
        ScreenRelease();
      }
    }
  }
}

TEST_F(ChipScreenTest, RectangleTouchesOnlyItsPlaceAndIsClipped) {
  ASSERT_TRUE(SetUpWith(kFormats[3].format));
  const Bytes picture = Picture(3);
  ASSERT_TRUE(DrawRect(120, 84, 360, 11, picture.data()));
  const Bytes& surface = platform::FakeScreen().surface;
  const Bytes whole = Expected(picture, kDepth32, 4);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; x += 7) {
      const size_t at = static_cast<size_t>((y * kScreenWidth + x) * 4);
      const bool inside = x >= 120 && x < 480 && y >= 84 && y < 95;
      ASSERT_EQ(surface[at + 1], inside ? whole[at + 1] : 0) << x << "," << y;
    }
  }
  // Rectangles reaching past the edges are cut at them.
  EXPECT_TRUE(DrawRect(600, 470, 100, 50, picture.data()));
  EXPECT_TRUE(DrawRect(-20, -20, 40, 40, picture.data()));
  EXPECT_EQ(surface[(479 * 640 + 639) * 4], whole[(479 * 640 + 639) * 4]);
  EXPECT_EQ(surface[0], whole[0]);
}

TEST_F(ChipScreenTest, PresentShowsTheRectangleAndPalettesDrawNothing) {
  ASSERT_TRUE(SetUpWith(kFormats[4].format));
  const Bytes picture = Picture(1);
  EXPECT_TRUE(DrawPicture(kScreenWidth, kScreenHeight, picture.data()));
  EXPECT_EQ(platform::FakeScreen().surface, Bytes(platform::FakeScreen().surface.size(), 0));
  ScreenRelease();

  ASSERT_TRUE(SetUpWith(kFormats[1].format));
  DrawPicture(kScreenWidth, kScreenHeight, picture.data());
  ASSERT_TRUE(Present(10, 20, 10, 20, 30, 40));
  ASSERT_EQ(platform::FakeScreen().presents.size(), 1u);
  const auto& call = platform::FakeScreen().presents[0];
  EXPECT_EQ(call.x + call.y + call.width + call.height, 10 + 20 + 30 + 40);
  const Bytes& shown = platform::FakeScreen().window;
  EXPECT_EQ(shown[(20 * 640 + 10) * 2], platform::FakeScreen().surface[(20 * 640 + 10) * 2]);
  EXPECT_EQ(shown[(19 * 640 + 10) * 2], 0);
  EXPECT_FALSE(Present(600, 0, 600, 0, 41, 10));  // leaves the surface
}

TEST_F(ChipScreenTest, FailuresAreReportedAndChangeNothing) {
  platform::FakeScreen().openFails = true;
  EXPECT_FALSE(ScreenSetUp(window_));
  platform::FakeScreen().openFails = false;
  ASSERT_TRUE(SetUpWith(kFormats[3].format));
  // Centred on the fake 1024 x 768 desktop.
  EXPECT_EQ(Display().originX, 1024 / 2 - 320);
  EXPECT_EQ(Display().originY, 768 / 2 - 240);
  const Bytes picture = Picture(2);
  platform::FakeScreen().lockFails = true;
  EXPECT_FALSE(DrawPicture(kScreenWidth, kScreenHeight, picture.data()));
  EXPECT_FALSE(DrawDarkened(0, picture.data()));
  EXPECT_FALSE(DrawRect(0, 0, 10, 10, picture.data()));
  EXPECT_EQ(platform::FakeScreen().surface, Bytes(platform::FakeScreen().surface.size(), 0));
  platform::FakeScreen().presentFails = true;
  EXPECT_FALSE(PresentAll());
  ScreenRelease();
  EXPECT_FALSE(DrawPicture(kScreenWidth, kScreenHeight, picture.data()));
  EXPECT_FALSE(PresentAll());
}

}  // namespace
