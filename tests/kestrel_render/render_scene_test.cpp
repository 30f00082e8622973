// Scenes drawn offscreen: a lit, textured cube from real LightWave files,
// the clear and fog states, motion, surfaces and textures opened by name.
#include <filesystem>
#include <string>

#include "tests/kestrel_render/render_fixture.hpp"

namespace kestrel_test {
namespace {

namespace fs = std::filesystem;

const fs::path kLightWave = fs::path(SUITE_TESTDATA_DIR) / "lightwave";

// A motion block of nine one-key channels: rest values except `changes`.
std::string Motion(const char* keyword, std::initializer_list<std::pair<int, double>> changes) {
  double values[9] = {0, 0, 0, 0, 0, 0, 1, 1, 1};
  for (auto [channel, value] : changes) values[channel] = value;
  std::string text = std::string(keyword) + "\nNumChannels 9\n";
  for (int channel = 0; channel < 9; ++channel) {
    text += "Channel " + std::to_string(channel) + "\n{ Envelope\n  1\n  Key " +
            std::to_string(values[channel]) + " 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n";
  }
  return text;
}

// The textured box seen from 4 units in front, turned to show three faces,
// lit by three lights; fog from 0 to `fogEnd`, magenta.
std::string CubeScene(double lightIntensity, double fogEnd = 100) {
  return "LWSC\n3\n\nFirstFrame 1\nLastFrame 60\nFramesPerSecond 25\n\n"
         "LoadObjectLayer 1 boxuv.lwo\n" +
         Motion("ObjectMotion", {{3, 0.6}, {4, 0.5}}) +
         "\nAmbientColor 1 1 1\nAmbientIntensity 0.1\n" +
         "AddLight\nLightName Key\n" + Motion("LightMotion", {{3, 0.3}, {4, 0.4}}) +
         "LightColor 1 1 1\nLightIntensity " + std::to_string(lightIntensity) + "\nLightType 0\n" +
         "AddLight\nLightName Fill\n" + Motion("LightMotion", {{0, -2}, {1, 1}, {2, -2}}) +
         "LightColor 1 0.9 0.8\nLightIntensity " + std::to_string(lightIntensity / 2) +
         "\nLightType 1\n" +
         "AddLight\nLightName Spot\n" + Motion("LightMotion", {{2, -5}}) +
         "LightColor 1 1 1\nLightIntensity " + std::to_string(lightIntensity / 2) +
         "\nLightType 2\nLightConeAngle 30\nLightEdgeAngle 5\n" +
         "\nAddCamera\nCameraName Camera\n" + Motion("CameraMotion", {{2, -4}}) +
         "ZoomFactor 3.2\n\nBackdropColor 0 0 0.2\nFogType 1\nFogMinDistance 0\n"
         "FogMaxDistance " + std::to_string(fogEnd) + "\nFogColor 1 0 1\n";
}

class RenderScene : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    if (!fs::exists(kLightWave / "LWO2" / "boxuv.lwo")) GTEST_SKIP() << "no LightWave test files";
    fs::copy_file(kLightWave / "LWO2" / "boxuv.lwo", "boxuv.lwo");
    fs::copy_file(kLightWave / "LWO2" / "boxuv.png", "boxuv.png");
  }

  // Loads `text` as "cube.lws"; fails the test when it does not load.
  void Load(const std::string& text) {
    testing_support::WriteFile("cube.lws", text);
    ASSERT_EQ(klLoadLWS("cube.lws", scene_), 1);
  }

  unsigned char scene_[KL_SCENE_SIZE] = {};
};

int Brightness(const Rgba& p) { return p[0] + p[1] + p[2]; }

// Red and green over the whole screen (the backdrop is pure blue).
long TotalBrightness() {
  const kestrel::Snapshot shot = kestrel::ReadPixels(nullptr);
  long sum = 0;
  for (size_t i = 0; i < shot.rgba.size(); i += 4) sum += shot.rgba[i] + shot.rgba[i + 1];
  return sum;
}

TEST_F(RenderScene, LitTexturedCubeOverTheBackdrop) {
  Load(CubeScene(1.0));
  EXPECT_FLOAT_EQ(klSceneFramesPerSecond(scene_), 25);
  ASSERT_EQ(klRenderFrame(scene_, 1), 1);
  EXPECT_TRUE(Near(Pixel(0, 0), {0, 0, 51}));
  EXPECT_FALSE(Near(PixelAt(0, 0), {0, 0, 51}, 10)) << "the cube covers the centre";
  const long lit = TotalBrightness();

  Load(CubeScene(0.0));
  ASSERT_EQ(klRenderFrame(scene_, 1), 1);
  const long unlit = TotalBrightness();
  EXPECT_GT(lit, unlit * 3 / 2) << "the lights add light";
  EXPECT_GT(unlit, 0) << "ambient light remains";
}

TEST_F(RenderScene, ClearStateDecidesWhetherTheSceneDrawsOverTheFrame) {
  Load(CubeScene(1.0));
  klStartRendering();
  Fill(1, 0, 0);
  klEndRendering();
  klSetState(KL_STATE_CLEAR, 0);
  klRenderFrame(scene_, 1);
  EXPECT_TRUE(Near(Pixel(0, 0), {255, 0, 0}));
  klSetState(KL_STATE_CLEAR, 1);
  klRenderFrame(scene_, 1);
  EXPECT_TRUE(Near(Pixel(0, 0), {0, 0, 51}));
}

TEST_F(RenderScene, DepthFogFollowsStateNine) {
  Load(CubeScene(1.0, 1.0));  // everything beyond one unit is all fog
  klSetState(KL_STATE_FOG, 0);
  klRenderFrame(scene_, 1);
  EXPECT_FALSE(Near(PixelAt(0, 0), {255, 0, 255}, 10));
  klSetState(KL_STATE_FOG, 1);
  klRenderFrame(scene_, 1);
  EXPECT_TRUE(Near(PixelAt(0, 0), {255, 0, 255}));
  klSetState(KL_STATE_FOG, 0);
}

TEST_F(RenderScene, RendersIntoARenderTarget) {
  Load(CubeScene(1.0));
  unsigned char target[KL_RENDER_TARGET_SIZE] = {};
  klSetRenderTargetSize(target, 32, 32);
  ASSERT_EQ(klCreateRenderTarget(target), 1);
  klSetRenderTarget(target);
  klRenderFrame(scene_, 1);
  klSetRenderTarget(nullptr);
  EXPECT_TRUE(Near(Pixel(0, 0, target), {0, 0, 51}));
  EXPECT_FALSE(Near(Pixel(16, 16, target), {0, 0, 51}, 10));
}

TEST_F(RenderScene, SurfaceImageAndNamedTexturesAreImages) {
  Load(CubeScene(1.0));
  ASSERT_EQ(klUploadTextures(scene_), 1);
  ASSERT_EQ(klEvictTextures(scene_), 1);
  ASSERT_EQ(klUploadSurfaces(scene_), 1);
  void* surface = klOpenSurface(scene_, "BOXSURFACE");
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(klOpenSurface(scene_, "none"), nullptr);
  const void* image = klSurfaceImage(surface);
  ASSERT_NE(image, nullptr);
  klStartRendering();
  Fill(0, 0, 0);
  klPutImage(0, 0, 1, 1, image, 1, 0, 0, KL_BLEND_ONE, KL_BLEND_ZERO);
  klEndRendering();
  EXPECT_GT(Brightness(PixelAt(0, 0)), 0);

  // A picture written here, opened under a name the scene does not know.
  kestrel::Snapshot picture{2, 2, {255, 255, 0, 255, 255, 255, 0, 255, 255, 255, 0, 255,
                                   255, 255, 0, 255}};
  ASSERT_TRUE(kestrel::WritePng("yellow.png", picture));
  KLtexture* texture = klOpenTexture(scene_, "small1");
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(klOpenTexture(scene_, "SMALL1"), texture);
  ASSERT_EQ(klLoadTexture("yellow.png", texture), 1);
  EXPECT_EQ(klLoadTexture("missing.png", texture), 0);
  klStartRendering();
  klPutImage(0, 0, 1, 1, texture, 1, 0, 0, KL_BLEND_ONE, KL_BLEND_ZERO);
  klEndRendering();
  EXPECT_TRUE(Near(PixelAt(0, 0), {255, 255, 0}));

  const fs::path jpeg = fs::path(SUITE_TESTDATA_DIR) / "jpeg" / "testorig.jpg";
  if (fs::exists(jpeg)) {
    fs::copy_file(jpeg, "photo.jpg");
    EXPECT_EQ(klLoadTexture("photo.jpg", texture), 1);
  }
  klDoneScene(scene_);
  EXPECT_EQ(klRenderFrame(scene_, 1), 0);
}

TEST_F(RenderScene, DamagedSceneLoadsNothing) {
  testing_support::WriteFile("broken.lws", std::string("LWSC\n3\nObjectMotion\nNumChannels x\n"));
  EXPECT_EQ(klLoadLWS("broken.lws", scene_), 0);
  EXPECT_EQ(klLoadLWS("absent.lws", scene_), 0);
  EXPECT_EQ(klRenderFrame(scene_, 1), 0);
  EXPECT_EQ(klOpenTexture(scene_, "x"), nullptr);
}

// The cube's horizontal centre on screen: mean x of non-backdrop pixels.
double CubeCentreX() {
  const kestrel::Snapshot shot = kestrel::ReadPixels(nullptr);
  const uint8_t* backdrop = shot.At(0, 0);
  double sum = 0;
  int count = 0;
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      const uint8_t* p = shot.At(x, y);
      if (std::abs(p[0] - backdrop[0]) + std::abs(p[1] - backdrop[1]) + std::abs(p[2] - backdrop[2]) > 12) {
        sum += x;
        ++count;
      }
    }
  }
  return count ? sum / count : -1;
}

TEST_F(RenderScene, KeyframedMotionMovesTheObjectAtFractionalFrames) {
  const fs::path scene = kLightWave / "LWS" / "move_x.lws";
  fs::copy_file(scene, "move_x.lws");
  fs::copy_file(kLightWave / "LWS" / "simple_cube.lwo", "simple_cube.lwo");
  ASSERT_EQ(klLoadLWS("move_x.lws", scene_), 1);
  // x keys: 0 at 0 s, 2.07 at 0.67 s, -2.37 at 1.33 s (30 frames per second).
  klRenderFrame(scene_, 0);
  const double atStart = CubeCentreX();
  klRenderFrame(scene_, 20);
  const double atRight = CubeCentreX();
  klRenderFrame(scene_, 39.5f);
  const double atLeft = CubeCentreX();
  ASSERT_GE(atStart, 0);
  EXPECT_GT(atRight, atStart + 2);
  EXPECT_LT(atLeft, atStart - 2);
}

}  // namespace
}  // namespace kestrel_test
