// Real LightWave scenes and objects made by other tools: every one loads,
// and motions match values worked out from the files' own keys.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "kestrel/scene/lwo.hpp"
#include "kestrel/scene/lws.hpp"
#include "tests/support/scratch_dir.hpp"

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FilesIn(const std::string& folder, const std::string& extension) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == extension) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

std::unique_ptr<Scene> LoadTestScene(const std::string& name) {
  const std::string path = testing_support::TestDataPath("lightwave/LWS/" + name);
  if (path.empty()) return nullptr;
  std::string error;
  auto scene = LoadScene(path, &error);
  EXPECT_TRUE(scene) << error;
  return scene;
}

double X(const Scene& scene, double frame) { return EvaluateMotion(scene, {ItemKind::Object, 0}, frame).position.x; }
double Y(const Scene& scene, double frame) { return EvaluateMotion(scene, {ItemKind::Object, 0}, frame).position.y; }
double Z(const Scene& scene, double frame) { return EvaluateMotion(scene, {ItemKind::Object, 0}, frame).position.z; }

#define REQUIRE_SCENE(var, name)                                  \
  REQUIRE_TESTDATA(var##_path, "lightwave/LWS/" name);            \
  const auto var = LoadTestScene(name);                           \
  ASSERT_TRUE(var)

TEST(LightWaveFiles, EverySceneLoadsWithItsObjectAndCamera) {
  REQUIRE_TESTDATA(folder, "lightwave/LWS");
  for (const auto& file : FilesIn(folder, ".lws")) {
    std::string error;
    const auto scene = LoadScene(file, &error);
    ASSERT_TRUE(scene) << file << ": " << error;
    ASSERT_EQ(scene->objects.size(), 1u) << file;
    EXPECT_EQ(scene->objects[0].name, "simple_cube.lwo") << file;
    ASSERT_TRUE(scene->objects[0].mesh) << file;
    EXPECT_EQ(scene->objects[0].mesh->TriangleCount(), 12u) << file;
    ASSERT_EQ(scene->lights.size(), 1u) << file;
    EXPECT_EQ(scene->lights[0].name, "Light") << file;
    ASSERT_EQ(scene->cameras.size(), 1u) << file;
    EXPECT_FLOAT_EQ(scene->cameras[0].zoomFactor, 3.2f) << file;
    EXPECT_EQ(scene->framesPerSecond, 30) << file;
    // The light is turned 45 degrees heading and 35 pitch in every version.
    const Transform light = EvaluateMotion(*scene, {ItemKind::Light, 0}, 0);
    EXPECT_NEAR(light.rotation.x, 45 * M_PI / 180, 1e-6) << file;
    EXPECT_NEAR(light.rotation.y, 35 * M_PI / 180, 1e-6) << file;
  }
}

TEST(LightWaveFiles, LinearSpansInterpolateStraight) {
  REQUIRE_SCENE(scene, "move_xz_linear.lws");
  // x keys: 0 at 0 s, 1.924918 at 2/3 s, -0.523003 at 2 s.
  EXPECT_NEAR(X(*scene, 10), 1.924918483918713 / 2, 1e-6);
  EXPECT_NEAR(X(*scene, 40), 1.924918483918713 + (-0.52300345897674561 - 1.924918483918713) * 0.5, 1e-6);
  EXPECT_NEAR(X(*scene, -5), 0, 1e-9);                     // constant before
  EXPECT_NEAR(X(*scene, 75), -0.52300345897674561, 1e-9);  // constant after
}

TEST(LightWaveFiles, SteppedSpansHoldTheEarlierKey) {
  REQUIRE_SCENE(scene, "move_xz_stepped.lws");
  EXPECT_NEAR(X(*scene, 19), 0, 1e-9);
  EXPECT_NEAR(X(*scene, 20), 1.924918483918713, 1e-6);
  EXPECT_NEAR(X(*scene, 59), 1.924918483918713, 1e-6);
  EXPECT_NEAR(Z(*scene, 45), -2.6561167240142822, 1e-6);
}

TEST(LightWaveFiles, SplinesPassThroughTheirKeys) {
  for (const char* name : {"move_xz_spline.lws", "move_xz_hermite.lws", "move_xz_bezier.lws"}) {
    REQUIRE_TESTDATA(path, std::string("lightwave/LWS/") + name);
    const auto scene = LoadTestScene(name);
    ASSERT_TRUE(scene);
    EXPECT_NEAR(X(*scene, 20), name[8] == 's' ? 2.0153336524963379 : 1.924918483918713, 1e-6) << name;
    EXPECT_NEAR(Z(*scene, 40), -2.6561167240142822, 1e-6) << name;
    // Between keys a spline leaves the straight line between them.
    const double straight = X(*scene, 20) * 0.5;
    EXPECT_GT(std::fabs(X(*scene, 10) - straight), 0.05) << name;
  }
}

TEST(LightWaveFiles, HermiteSpanUsesTheFileTangents) {
  REQUIRE_SCENE(scene, "move_xz_hermite.lws");
  // First span of x: values 0 -> 1.924918, outgoing tangent 2.014494 (no
  // previous key), incoming -0.174334 scaled by (2/3) / 2; at t = 1/2:
  const double v1 = 1.924918483918713, out = 2.0144942798797212;
  const double in = -0.17433448632558185 * ((2.0 / 3) / 2.0);
  const double h2 = 0.5, h3 = 0.125, h4 = -0.125;
  EXPECT_NEAR(X(*scene, 10), h2 * v1 + h3 * out + h4 * in, 1e-6);
}

TEST(LightWaveFiles, TcbSpanFollowsKochanekBartels) {
  REQUIRE_SCENE(scene, "move_x_post_constant.lws");
  // Keys 0 @0, 2.138186 @2/3, -1.638183 @1.3 s; zero tension, continuity
  // and bias. Span 1 at its middle (frame 10): outgoing of key 0 is the
  // step (no previous key); incoming of key 1 averages its two steps scaled
  // by span length over both spans.
  const double v0 = 0, v1 = 2.1381859973436792, v2 = -1.6381832361221313;
  const double t1 = 2.0 / 3, t2 = 1.3;
  const double out = v1 - v0;
  const double in = (t1 / t2) * ((v2 - v1) + (v1 - v0));
  EXPECT_NEAR(X(*scene, 10), 0.5 * v0 + 0.5 * v1 + 0.125 * out - 0.125 * in, 1e-6);
}

TEST(LightWaveFiles, PostBehaviours) {
  const double first = 0, last = -1.6381832361221313;
  const double loop = 39;  // 1.3 s of keys at 30 fps
  {
    REQUIRE_SCENE(scene, "move_x_post_reset.lws");
    EXPECT_EQ(X(*scene, 45), 0);
    EXPECT_NEAR(X(*scene, 39), last, 1e-6);
  }
  {
    REQUIRE_SCENE(scene, "move_x_post_repeat.lws");
    EXPECT_NEAR(X(*scene, 50), X(*scene, 50 - loop), 1e-6);
    EXPECT_NEAR(X(*scene, 100), X(*scene, 100 - 2 * loop), 1e-6);
  }
  {
    REQUIRE_SCENE(scene, "move_x_post_offset_repeat.lws");
    EXPECT_NEAR(X(*scene, 50), X(*scene, 50 - loop) + (last - first), 1e-6);
    EXPECT_NEAR(X(*scene, 100), X(*scene, 100 - 2 * loop) + 2 * (last - first), 1e-6);
  }
  {
    REQUIRE_SCENE(scene, "move_x_post_linear.lws");
    // Incoming tangent of the last TCB key without a successor is the last
    // step; per second it is that step over the last span.
    const double slope = (last - 2.1381859973436792) / (1.3 - 2.0 / 3);
    EXPECT_NEAR(X(*scene, 50), last + slope * (50.0 / 30 - 1.3), 1e-5);
  }
}

TEST(LightWaveFiles, PreOffsetRepeatAndPostOscillate) {
  REQUIRE_SCENE(scene, "move_y_pre_ofrep_post_osc.lws");
  // y keys 0 @0, 0 @1 s, 0.989099 @1.7 s (51 frames).
  const double rise = 0.98909872770309448;
  EXPECT_NEAR(Y(*scene, -10), Y(*scene, 41) - rise, 1e-6);
  EXPECT_NEAR(Y(*scene, -60), Y(*scene, 42) - 2 * rise, 1e-6);
  EXPECT_NEAR(Y(*scene, 60), Y(*scene, 42), 1e-6);   // mirrored back
  EXPECT_NEAR(Y(*scene, 110), Y(*scene, 8), 1e-6);   // and forward again
  EXPECT_NEAR(Y(*scene, 51), rise, 1e-6);
}

TEST(LightWaveFiles, OldFormatsMatchTheirVersion5Twin) {
  REQUIRE_SCENE(modern, "move_x.lws");
  for (const char* name : {"move_x_oldformat_56.lws", "move_x_oldformat_6.lws"}) {
    const auto old = LoadTestScene(name);
    ASSERT_TRUE(old);
    for (double frame : {-10.0, 0.0, 7.5, 20.0, 33.0, 40.0, 80.0}) {
      const Transform a = EvaluateMotion(*modern, {ItemKind::Object, 0}, frame);
      const Transform b = EvaluateMotion(*old, {ItemKind::Object, 0}, frame);
      EXPECT_NEAR(a.position.x, b.position.x, 2e-5) << name << " frame " << frame;
      EXPECT_NEAR(a.scale.z, b.scale.z, 1e-6) << name;
    }
    EXPECT_NEAR(old->ambientIntensity, 0.05, 1e-6);
    EXPECT_NEAR(old->fog.color.x, modern->fog.color.x, 1e-3) << name;
  }
}

TEST(LightWaveFiles, EveryObjectLoadsIntoAValidMesh) {
  REQUIRE_TESTDATA(root, "lightwave");
  std::vector<std::string> files = FilesIn(root + "/LWO2", ".lwo");
  for (const auto& f : FilesIn(root + "/LWOB", ".lwo")) files.push_back(f);
  files.push_back(root + "/LWS/simple_cube.lwo");
  for (const auto& file : files) {
    std::string error;
    const auto object = LoadObjectFile(file, &error);
    ASSERT_TRUE(object) << file << ": " << error;
    const Mesh mesh = BuildMesh(*object, 0);
    EXPECT_GT(mesh.TriangleCount(), 0u) << file;
    ASSERT_EQ(mesh.normals.size(), mesh.positions.size()) << file;
    for (const auto& batch : mesh.batches) {
      ASSERT_LT(size_t(batch.surface), mesh.surfaces.size());
      EXPECT_EQ(batch.indices.size() % 3, 0u);
      for (uint32_t i : batch.indices) ASSERT_LT(i, mesh.positions.size()) << file;
    }
    for (const auto& n : mesh.normals) EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1, 1e-4) << file;
  }
}

}  // namespace
}  // namespace kestrel
