// Surfaces without diffuse and specular light: the lights leave them alone,
// whatever their strength, and ambient and luminous light remain.
#include <string>
#include <vector>

#include "tests/kestrel/scene/lw_builder.hpp"
#include "tests/kestrel_render/render_fixture.hpp"

namespace kestrel_test {
namespace {

using namespace lw_builder;

Bytes SubFloat(const char* id, float value) {
  Bytes b;
  F4(b, value);
  return SubChunk(id, b);
}

constexpr uint16_t kDoubleSided = 1 << 8;

// Two quads side by side facing the camera, both orange and half luminous:
// "Unlit" (left) without diffuse or specular light, "Lit" (right) with both.
Bytes TwoQuads() {
  Bytes srfs, pnts, pols;
  S0(srfs, "Unlit");
  S0(srfs, "Lit");
  const float xs[2][2] = {{-1.0f, -0.1f}, {0.1f, 1.0f}};
  for (const auto& x : xs) {
    for (float y : {-0.5f, 0.5f}) {
      for (float xi : {x[0], x[1]}) {
        F4(pnts, xi);
        F4(pnts, y);
        F4(pnts, 0);
      }
    }
  }
  for (uint16_t q = 0; q < 2; ++q) {
    const uint16_t base = uint16_t(q * 4);
    U2(pols, 4);
    for (uint16_t corner : {0, 2, 3, 1}) U2(pols, uint16_t(base + corner));
    U2(pols, uint16_t(q + 1));
  }
  std::vector<Bytes> chunks = {Chunk("SRFS", srfs), Chunk("PNTS", pnts), Chunk("POLS", pols)};
  for (const char* name : {"Unlit", "Lit"}) {
    const bool lit = std::string(name) == "Lit";
    Bytes body;
    S0(body, name);
    Bytes colour = {204, 102, 51, 0};
    Bytes flags;
    U2(flags, kDoubleSided);
    for (const Bytes& sub : {SubChunk("COLR", colour), SubChunk("FLAG", flags),
                             SubFloat("VLUM", 0.5f), SubFloat("VDIF", lit ? 1.0f : 0.0f),
                             SubFloat("VSPC", lit ? 0.5f : 0.0f)})
      body.insert(body.end(), sub.begin(), sub.end());
    chunks.push_back(Chunk("SURF", body));
  }
  return Form("LWOB", chunks);
}

std::string Still(const char* keyword, double z) {
  std::string text = std::string(keyword) + "\nNumChannels 9\n";
  const double values[9] = {0, 0, z, 0, 0, 0, 1, 1, 1};
  for (int channel = 0; channel < 9; ++channel) {
    text += "Channel " + std::to_string(channel) + "\n{ Envelope\n  1\n  Key " +
            std::to_string(values[channel]) + " 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n";
  }
  return text;
}

// The quads 3 units in front of the camera, ambient 0.2, a point light
// between them of `intensity`.
std::string QuadScene(double intensity) {
  return "LWSC\n3\n\nFirstFrame 0\nLastFrame 1\nFramesPerSecond 25\n\n"
         "LoadObjectLayer 1 quads.lwo\n" + Still("ObjectMotion", 0) +
         "\nAmbientColor 1 1 1\nAmbientIntensity 0.2\n"
         "AddLight\nLightName Lamp\n" + Still("LightMotion", -1) +
         "LightColor 1 1 1\nLightIntensity " + std::to_string(intensity) + "\nLightType 1\n" +
         "AddCamera\nCameraName Camera\n" + Still("CameraMotion", -3) +
         "ZoomFactor 3.2\nBackdropColor 0 0 0\n";
}

class RenderUnlit : public RenderTest {
 protected:
  void Render(double intensity) {
    const Bytes object = TwoQuads();
    testing_support::WriteFile("quads.lwo", std::string(object.begin(), object.end()));
    testing_support::WriteFile("quads.lws", QuadScene(intensity));
    ASSERT_EQ(klLoadLWS("quads.lws", scene_), 1);
    ASSERT_EQ(klRenderFrame(scene_, 0), 1);
  }
  void TearDown() override {
    klDoneScene(scene_);
    RenderTest::TearDown();
  }
  unsigned char scene_[KL_SCENE_SIZE] = {};
};

TEST_F(RenderUnlit, LightsLeaveASurfaceWithoutDiffuseAndSpecularAlone) {
  // Colour x (ambient 0.2 + luminosity 0.5): (204, 102, 51) x 0.7.
  const Rgba expected = {143, 71, 36, 255};
  Render(0);
  const Rgba dark = PixelAt(-0.5f, 0);
  const Rgba litDark = PixelAt(0.5f, 0);
  Render(4);
  EXPECT_TRUE(Near(dark, expected));
  EXPECT_TRUE(Near(PixelAt(-0.5f, 0), expected));
  EXPECT_TRUE(Near(litDark, expected)) << "without light the lit quad is as bright";
  const Rgba lit = PixelAt(0.5f, 0);
  EXPECT_GT(lit[0] + lit[1] + lit[2], litDark[0] + litDark[1] + litDark[2] + 60)
      << "the light reaches the surface that takes it";
}

}  // namespace
}  // namespace kestrel_test
