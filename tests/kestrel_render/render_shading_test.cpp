// Specular highlights of every glossiness, and engine calls that come from
// more than one thread.
#include <fstream>
#include <string>
#include <thread>

#include "tests/kestrel/scene/lw_builder.hpp"
#include "tests/kestrel_render/render_fixture.hpp"

namespace kestrel_test {
namespace {

using lw_builder::Bytes;

// A square wall two units in front of the camera, filling the view; a
// distant light from behind the camera puts the highlight in its middle.
constexpr const char* kWallScene =
    "LWSC\n3\n\nFirstFrame 0\nLastFrame 10\nFramesPerSecond 25\n\n"
    "LoadObjectLayer 1 wall.lwo\n"
    "AmbientColor 1 1 1\nAmbientIntensity 0\n"
    "AddLight\nLightName Sun\nLightColor 1 1 1\nLightIntensity 1\nLightType 0\n"
    "AddCamera\nCameraName Camera\nCameraMotion\nNumChannels 3\n"
    "Channel 0\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 1\n{ Envelope\n  1\n  Key 0 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "Channel 2\n{ Envelope\n  1\n  Key -2 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
    "ZoomFactor 1\nBackdropColor 0 0 0\n";

// The wall's object: dull grey, specular at `specular`, LightWave's GLOS
// value `glossiness` (16, 64, 256, 1024 are its four steps).
void WriteWall(float specular, uint16_t glossiness) {
  Bytes body, value;
  lw_builder::U4(value, 0x60606000);
  body = lw_builder::SubChunk("COLR", value);
  value.clear();
  lw_builder::F4(value, 0.5f);
  const Bytes diffuse = lw_builder::SubChunk("VDIF", value);
  body.insert(body.end(), diffuse.begin(), diffuse.end());
  value.clear();
  lw_builder::F4(value, specular);
  const Bytes shine = lw_builder::SubChunk("VSPC", value);
  body.insert(body.end(), shine.begin(), shine.end());
  value.clear();
  lw_builder::U2(value, glossiness);
  const Bytes gloss = lw_builder::SubChunk("GLOS", value);
  body.insert(body.end(), gloss.begin(), gloss.end());
  const Bytes object = lw_builder::Lwob(
      "Wall", {{-4, -4, 0}, {-4, 4, 0}, {4, 4, 0}, {4, -4, 0}}, {{0, 1, 2, 3}}, body);
  std::ofstream("wall.lwo", std::ios::binary)
      .write(reinterpret_cast<const char*>(object.data()), std::streamsize(object.size()));
}

class Shading : public RenderTest {
 protected:
  // The wall drawn with these surface settings, read back.
  kestrel::Snapshot Wall(float specular, uint16_t glossiness) {
    WriteWall(specular, glossiness);
    testing_support::WriteFile("wall.lws", std::string(kWallScene));
    unsigned char scene[KL_SCENE_SIZE] = {};
    if (klLoadLWS("wall.lws", scene) != 1) return {};
    klUploadSurfaces(scene);
    klRenderFrame(scene, 0);
    kestrel::Snapshot shot = kestrel::ReadPixels(nullptr);
    klDoneScene(scene);
    return shot;
  }
};

// Largest channel difference between two shots of the same size.
int LargestDifference(const kestrel::Snapshot& a, const kestrel::Snapshot& b) {
  int largest = 0;
  for (size_t i = 0; i < a.rgba.size(); ++i) {
    if (i % 4 == 3) continue;
    largest = std::max(largest, std::abs(int(a.rgba[i]) - int(b.rgba[i])));
  }
  return largest;
}

int Centre(const kestrel::Snapshot& shot) { return shot.At(shot.width / 2, shot.height / 2)[0]; }

TEST_F(Shading, GlossinessStepsShineLikeTheExponentsBesideThem) {
  const kestrel::Snapshot dull = Wall(0, 64);
  ASSERT_FALSE(dull.rgba.empty()) << "the wall scene does not load";
  // Each step beside an exponent one higher, which takes the general path.
  for (uint16_t step : {16, 64, 256, 1024}) {
    const kestrel::Snapshot shiny = Wall(1, step);
    const kestrel::Snapshot beside = Wall(1, uint16_t(step + 1));
    ASSERT_EQ(shiny.rgba.size(), beside.rgba.size());
    EXPECT_GT(Centre(shiny), Centre(dull) + 40) << "a highlight in the middle at " << step;
    // x^e - x^(e+1) peaks below 0.37 / (e + 1); two levels for rounding.
    const int bound = int(255 * 0.37 / (step + 1)) + 2;
    EXPECT_LE(LargestDifference(shiny, beside), bound) << "exponent " << step;
  }
  // The steps differ from one another: the highlight narrows.
  EXPECT_GT(LargestDifference(Wall(1, 16), Wall(1, 64)), 20);
}

TEST_F(Shading, ASurfaceWithoutSpecularShowsNoHighlight) {
  const kestrel::Snapshot dull = Wall(0, 64);
  ASSERT_FALSE(dull.rgba.empty()) << "the wall scene does not load";
  EXPECT_LE(LargestDifference(dull, Wall(0.0001f, 64)), 1);
  EXPECT_LE(Centre(dull), 140) << "diffuse light only";
}

TEST_F(Shading, CallsFromAnotherThreadDrawIntoTheSameFrame) {
  const kestrel::Snapshot shiny = Wall(1, 64);
  ASSERT_FALSE(shiny.rgba.empty()) << "the wall scene does not load";
  unsigned char scene[KL_SCENE_SIZE] = {};
  ASSERT_EQ(klLoadLWS("wall.lws", scene), 1);
  // A frame begun on one thread, finished on another, read on a third.
  std::thread([&] { klRenderFrame(scene, 0); }).join();
  std::thread([] {
    klStartRendering();
    klPutRect(-0.5f, 0.5f, 0.25f, 0.25f, 1, 1, 0, 0, KL_BLEND_ONE, KL_BLEND_ZERO);
    klEndRendering();
  }).join();
  const kestrel::Snapshot shot = kestrel::ReadPixels(nullptr);
  ASSERT_EQ(shot.rgba.size(), shiny.rgba.size());
  EXPECT_EQ(Centre(shot), Centre(shiny));
  EXPECT_TRUE(Near(PixelAt(-0.75f, 0.75f), {255, 0, 0}));
  klDoneScene(scene);
}

}  // namespace
}  // namespace kestrel_test
