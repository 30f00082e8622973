// 2D calls, blend factors and render targets, read back from offscreen frames.
#include <cstring>

#include "tests/kestrel_render/render_fixture.hpp"

extern "C" int kestrel_header_c_check(void);

namespace kestrel_test {
namespace {

TEST(KestrelHeader, RecordAccessorsWriteTheDocumentedOffsets) {
  EXPECT_EQ(kestrel_header_c_check(), 1);
  unsigned char scene[KL_SCENE_SIZE] = {};
  klSetSceneClip(scene, 0.01f, 1000.0f);
  float nearDistance, farDistance;
  std::memcpy(&nearDistance, scene + 652, 4);
  std::memcpy(&farDistance, scene + 656, 4);
  EXPECT_FLOAT_EQ(nearDistance, 0.01f);
  EXPECT_FLOAT_EQ(farDistance, 1000.0f);
  const float fps = 25;
  std::memcpy(scene + 752, &fps, 4);
  EXPECT_FLOAT_EQ(klSceneFramesPerSecond(scene), 25);
}

class Render2d : public RenderTest {
 protected:
  // Red top half, green bottom half, a blue band on the right, into the
  // current target.
  static void DrawBands() {
    klStartRendering();
    klPutRect(0, 0.5f, 1, 0.5f, 1, 1, 0, 0, KL_BLEND_ONE, KL_BLEND_ZERO);
    klPutRect(0, -0.5f, 1, 0.5f, 1, 0, 1, 0, KL_BLEND_ONE, KL_BLEND_ZERO);
    klPutRect(0.75f, 0, 0.25f, 1, 1, 0, 0, 1, KL_BLEND_ONE, KL_BLEND_ZERO);
    klEndRendering();
  }
  // Draws `image` over a black current target and expects the bands.
  void ExpectBandsShownFrom(const void* image) {
    klStartRendering();
    Fill(0, 0, 0);
    klPutImage(0, 0, 1, 1, image, 1, 0, 0, KL_BLEND_ONE, KL_BLEND_ZERO);
    klEndRendering();
    EXPECT_TRUE(Near(PixelAt(-0.5f, 0.5f), {255, 0, 0}, 8));
    EXPECT_TRUE(Near(PixelAt(-0.5f, -0.5f), {0, 255, 0}, 8));
    EXPECT_TRUE(Near(PixelAt(0.9f, 0), {0, 0, 255}, 8));
  }
};

TEST_F(Render2d, ReportsTheDisplayAndRunsUntilDone) {
  EXPECT_EQ(klGetInfo(KL_INFO_RUNNING), 1);
  EXPECT_EQ(klGetInfo(KL_INFO_WIDTH), kWidth);
  EXPECT_EQ(klGetInfo(KL_INFO_HEIGHT), kHeight);
  klDone();
  EXPECT_EQ(klGetInfo(KL_INFO_RUNNING), 0);
}

TEST_F(Render2d, RectangleAtCentreAndHalfExtentCoversItsQuadrant) {
  klStartRendering();
  Fill(0, 0, 0);
  klPutRect(0.5f, 0.5f, 0.5f, 0.5f, 1, 1, 0, 0, KL_BLEND_ONE, KL_BLEND_ZERO);
  klEndRendering();
  EXPECT_TRUE(Near(PixelAt(0.75f, 0.75f), {255, 0, 0}));   // top right
  EXPECT_TRUE(Near(PixelAt(-0.75f, 0.75f), {0, 0, 0}));    // top left
  EXPECT_TRUE(Near(PixelAt(0.75f, -0.75f), {0, 0, 0}));    // bottom right
}

struct BlendCase {
  int src, dst;
  float alpha;
  Rgba want;  // white source drawn over grey (128) with colour (1, 0.5, 0)
};

class BlendFactors : public RenderTest, public testing::WithParamInterface<BlendCase> {};

TEST_P(BlendFactors, CombineSourceAndTargetLikeDirect3D) {
  const BlendCase c = GetParam();
  klStartRendering();
  Fill(0.5f, 0.5f, 0.5f);
  klPutRect(0, 0, 1, 1, c.alpha, 1, 0.5f, 0, c.src, c.dst);
  klEndRendering();
  EXPECT_TRUE(Near(Pixel(kWidth / 2, kHeight / 2), c.want));
}

// Source (255, 128, 0) with alpha a, target (128, 128, 128).
INSTANTIATE_TEST_SUITE_P(
    Kestrel, BlendFactors,
    testing::Values(BlendCase{KL_BLEND_ONE, KL_BLEND_ZERO, 1, {255, 128, 0}},
                    BlendCase{KL_BLEND_ZERO, KL_BLEND_ONE, 1, {128, 128, 128}},
                    BlendCase{KL_BLEND_SRCALPHA, KL_BLEND_ZERO, 0.5f, {128, 64, 0}},
                    BlendCase{KL_BLEND_SRCALPHA, KL_BLEND_INVSRCALPHA, 0.25f, {160, 128, 96}},
                    BlendCase{KL_BLEND_SRCALPHA, KL_BLEND_ONE, 0.5f, {255, 192, 128}},
                    // screen-like add: source + target x (1 - source)
                    BlendCase{KL_BLEND_ONE, KL_BLEND_INVSRCCOLOR, 1, {255, 192, 128}},
                    // alpha outside 0..1 is clamped
                    BlendCase{KL_BLEND_SRCALPHA, KL_BLEND_INVSRCALPHA, 4, {255, 128, 0}},
                    BlendCase{KL_BLEND_SRCALPHA, KL_BLEND_INVSRCALPHA, -1, {128, 128, 128}}));

TEST_F(Render2d, UnknownBlendFactorDrawsNothing) {
  klStartRendering();
  Fill(0, 0, 1);
  klPutRect(0, 0, 1, 1, 1, 1, 0, 0, 0, 99);
  klEndRendering();
  EXPECT_TRUE(Near(PixelAt(0, 0), {0, 0, 255}));
}

TEST_F(Render2d, RenderTargetIsAnUprightImageOnceDrawn) {
  unsigned char target[KL_RENDER_TARGET_SIZE] = {};
  klSetRenderTargetSize(target, 32, 32);
  ASSERT_EQ(klCreateRenderTarget(target), 1);
  ASSERT_EQ(klSetRenderTarget(target), 1);
  DrawBands();
  klSetRenderTarget(nullptr);
  ExpectBandsShownFrom(target);
  // The target kept its own picture.
  EXPECT_TRUE(Near(Pixel(4, 4, target), {255, 0, 0}));
}

TEST_F(Render2d, ScreenCopiesIntoATargetScaledAndUpright) {
  DrawBands();
  unsigned char target[KL_RENDER_TARGET_SIZE] = {};
  klSetRenderTargetSize(target, 32, 32);
  ASSERT_EQ(klCreateRenderTarget(target), 1);
  EXPECT_TRUE(Near(Pixel(4, 4, target), {0, 0, 0}));  // a new target starts black
  ASSERT_EQ(klCopyScreenToTarget(target), 1);
  EXPECT_TRUE(Near(Pixel(4, 4, target), {255, 0, 0}, 8));
  EXPECT_TRUE(Near(Pixel(4, 28, target), {0, 255, 0}, 8));
  EXPECT_TRUE(Near(Pixel(30, 16, target), {0, 0, 255}, 8));
  // The screen is still the target, and the copy draws back as it was.
  ExpectBandsShownFrom(target);
  unsigned char stranger[KL_RENDER_TARGET_SIZE] = {};
  EXPECT_EQ(klCopyScreenToTarget(stranger), 0);
  EXPECT_EQ(klCopyScreenToTarget(nullptr), 0);
}

TEST_F(Render2d, LargerScalesZoomAboutTheCentre) {
  unsigned char target[KL_RENDER_TARGET_SIZE] = {};
  klSetRenderTargetSize(target, 64, 64);
  ASSERT_EQ(klCreateRenderTarget(target), 1);
  klSetRenderTarget(target);
  klStartRendering();
  klPutRect(0, 0, 1, 1, 1, 0, 0, 0, KL_BLEND_ONE, KL_BLEND_ZERO);
  klPutRect(0, 0, 0.25f, 0.25f, 1, 1, 1, 1, KL_BLEND_ONE, KL_BLEND_ZERO);
  klEndRendering();
  klSetRenderTarget(nullptr);
  klStartRendering();
  klPutImage(0, 0, 1, 1, target, 1, 0, 0, KL_BLEND_ONE, KL_BLEND_ZERO);
  EXPECT_TRUE(Near(PixelAt(0.4f, 0.4f), {0, 0, 0}, 8));
  klPutImage(0, 0, 2, 2, target, 1, 0, 0, KL_BLEND_ONE, KL_BLEND_ZERO);
  klEndRendering();
  EXPECT_TRUE(Near(PixelAt(0.4f, 0.4f), {255, 255, 255}, 8));
  EXPECT_TRUE(Near(PixelAt(0.7f, 0.7f), {0, 0, 0}, 8));
}

TEST_F(Render2d, ImageExTintsAndFadesTheImage) {
  unsigned char target[KL_RENDER_TARGET_SIZE] = {};
  klSetRenderTargetSize(target, 16, 16);
  ASSERT_EQ(klCreateRenderTarget(target), 1);
  klSetRenderTarget(target);
  klStartRendering();
  klPutRect(0, 0, 1, 1, 1, 1, 1, 1, KL_BLEND_ONE, KL_BLEND_ZERO);
  klSetRenderTarget(nullptr);
  Fill(0, 0, 0);
  klPutImageEx(0, 0, 1, 1, target, 0.5f, 0, 0, KL_BLEND_SRCALPHA, KL_BLEND_INVSRCALPHA, 1, 0.5f,
               0, 1, 1);
  klEndRendering();
  EXPECT_TRUE(Near(PixelAt(0, 0), {128, 64, 0}));
}

TEST_F(Render2d, UnknownImagesAndTargetsAreRefused) {
  unsigned char stranger[KL_RENDER_TARGET_SIZE] = {};
  EXPECT_EQ(klSetRenderTarget(stranger), 0);
  klStartRendering();
  Fill(0, 1, 0);
  klPutImage(0, 0, 1, 1, stranger, 1, 0, 0, KL_BLEND_ONE, KL_BLEND_ZERO);
  klEndRendering();
  EXPECT_TRUE(Near(PixelAt(0, 0), {0, 255, 0}));
  unsigned char tooLarge[KL_RENDER_TARGET_SIZE] = {};
  klSetRenderTargetSize(tooLarge, 0, 10);
  EXPECT_EQ(klCreateRenderTarget(tooLarge), 0);
}

TEST_F(Render2d, TargetCannotDrawItselfIntoItself) {
  unsigned char target[KL_RENDER_TARGET_SIZE] = {};
  klSetRenderTargetSize(target, 16, 16);
  ASSERT_EQ(klCreateRenderTarget(target), 1);
  klSetRenderTarget(target);
  klStartRendering();
  klPutRect(0, 0, 1, 1, 1, 0, 0, 1, KL_BLEND_ONE, KL_BLEND_ZERO);
  klPutImage(0, 0, 1, 1, target, 1, 0, 0, KL_BLEND_ONE, KL_BLEND_ONE);
  klEndRendering();
  EXPECT_TRUE(Near(Pixel(8, 8, target), {0, 0, 255}));
}

TEST_F(Render2d, DeviceObjectTakesTheDemosCalls) {
  KLdevice* device = nullptr;
  uint32_t block = 0;
  FILE* log = nullptr;
  ASSERT_EQ(klGetLowLevelVar(KL_VAR_DEVICE, &device), 1);
  ASSERT_EQ(klGetLowLevelVar(KL_VAR_STATEBLOCK, &block), 1);
  ASSERT_EQ(klGetLowLevelVar(KL_VAR_LOG, &log), 1);
  ASSERT_NE(device, nullptr);
  ASSERT_NE(log, nullptr);
  EXPECT_EQ(device->SetRenderState(device, KL_RS_AMBIENT, 0xFFFFFFFF), 0);
  EXPECT_EQ(device->SetRenderState(device, KL_RS_DITHERENABLE, 1), 0);
  EXPECT_EQ(device->ApplyStateBlock(device, block), 0);
  EXPECT_EQ(device->ApplyStateBlock(device, block + 1), -1);
  EXPECT_GT(std::fprintf(log, "K2_LOADING: %s\n", "test"), 0);
  void* unknown = nullptr;
  EXPECT_EQ(klGetLowLevelVar(5, &unknown), 0);
}

}  // namespace
}  // namespace kestrel_test
