// Scene reader: keywords of every version, damaged files, and the motions
// of real LightWave scenes against values worked out from their keys.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "kestrel/archive/archive.hpp"
#include "kestrel/scene/lws.hpp"
#include "tests/support/scratch_dir.hpp"

namespace kestrel {
namespace {

constexpr double kPi = std::numbers::pi;

std::unique_ptr<Scene> Parse(const std::string& text, std::string* error = nullptr) {
  return ParseScene(text, "scenes/test.lws", error);
}

std::string Envelope1(double value) {
  return "{ Envelope\n  1\n  Key " + std::to_string(value) + " 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n";
}

TEST(SceneReader, ReadsItemsAndSettingsOfAVersion5Scene) {
  const std::string text =
      "LWSC\n5\n\nFirstFrame 5\nLastFrame 90\nFramesPerSecond 25\n"
      "AddNullObject 10000000 Pivot Null\n"
      "ObjectMotion\nNumChannels 1\nChannel 0\n{ Envelope\n  2\n"
      "  Key 0 0 3 0 0 0 0 0 0\n  Key 10 2 3 0 0 0 0 0 0\n  Behaviors 1 1\n}\n"
      "PivotPosition 1 2 3\nPivotRotation 90 0 0\n"
      "AddNullObject 10000001 Child\nParentItem 10000000\n"
      "AddNullObject 10000002 Decimal child\nParentItem 268435457\n"
      "{ Unknown block\n  { nested\n  }\n}\nSomeFutureKeyword 1 2 3\n"
      "AmbientColor 0.5 0.25 1\nAmbientIntensity 0.3\n"
      "AddLight 20000000\nLightName Key light\nLightColor 1 0.5 0\nLightIntensity 0.8\nLightType 1\n"
      "Plugin LightHandler 1 PointLight\n{ junk\nEndPlugin\n"
      "AddCamera 30000000\nCameraName Cam\nZoomFactor 2.5\nParentItem 20000000\n"
      "FogType 1\nFogMinDistance 2\nFogMaxDistance 40\nFogColor 0.1 0.2 0.3\n";
  std::string error;
  const auto scene = Parse(text, &error);
  ASSERT_TRUE(scene) << error;
  EXPECT_EQ(scene->version, 5);
  EXPECT_EQ(scene->framesPerSecond, 25);
  EXPECT_EQ(scene->firstFrame, 5);
  EXPECT_EQ(scene->lastFrame, 90);
  ASSERT_EQ(scene->objects.size(), 3u);
  EXPECT_EQ(scene->objects[0].name, "Pivot Null");
  EXPECT_TRUE(scene->objects[0].isNull);
  EXPECT_FLOAT_EQ(scene->objects[0].pivot.y, 2);
  EXPECT_NEAR(scene->objects[0].pivotRotation.x, kPi / 2, 1e-6);
  EXPECT_EQ(scene->objects[1].parent.kind, ItemKind::Object);
  EXPECT_EQ(scene->objects[1].parent.index, 0);
  EXPECT_EQ(scene->objects[2].parent.index, 1);  // decimal form of 10000001
  ASSERT_EQ(scene->lights.size(), 1u);
  EXPECT_EQ(scene->lights[0].name, "Key light");
  EXPECT_FLOAT_EQ(scene->lights[0].color.y, 0.5f);
  EXPECT_FLOAT_EQ(scene->lights[0].intensity, 0.8f);
  EXPECT_EQ(scene->lights[0].type, LightType::Point);
  ASSERT_EQ(scene->cameras.size(), 1u);
  EXPECT_EQ(scene->cameras[0].name, "Cam");
  EXPECT_FLOAT_EQ(scene->cameras[0].zoomFactor, 2.5f);
  EXPECT_EQ(scene->cameras[0].parent.kind, ItemKind::Light);
  EXPECT_FLOAT_EQ(scene->ambientColor.y, 0.25f);
  EXPECT_FLOAT_EQ(scene->ambientIntensity, 0.3f);
  EXPECT_EQ(scene->fog.type, FogType::Linear);
  EXPECT_FLOAT_EQ(scene->fog.maxDistance, 40);
  EXPECT_FLOAT_EQ(scene->fog.color.z, 0.3f);
  // Linear x from 0 at 0 s to 10 at 2 s: frame 25 (1 s) is 5.
  EXPECT_NEAR(EvaluateMotion(*scene, {ItemKind::Object, 0}, 25).position.x, 5, 1e-6);
  EXPECT_FLOAT_EQ(EvaluateMotion(*scene, {ItemKind::Object, 0}, 25).scale.x, 1);
}

TEST(SceneReader, WorldMatrixAppliesParentsAndPivots) {
  const std::string text =
      "LWSC\n3\nFramesPerSecond 30\n"
      "AddNullObject Parent\nObjectMotion\nNumChannels 4\n"
      "Channel 0\n" + Envelope1(10) + "Channel 1\n" + Envelope1(0) + "Channel 2\n" + Envelope1(0) +
      "Channel 3\n" + Envelope1(kPi / 2) +
      "AddNullObject Child\nParentItem 10000000\nPivotPosition 1 0 0\n"
      "ObjectMotion\nNumChannels 1\nChannel 0\n" + Envelope1(2);
  const auto scene = Parse(text);
  ASSERT_TRUE(scene);
  // Child point (1, 0, 0) sits on its pivot: child origin at x = 2 in the
  // parent, which is turned 90 degrees (heading: +x goes to -z) and moved
  // to x = 10.
  const Vec3 p = TransformPoint(WorldMatrix(*scene, {ItemKind::Object, 1}, 0), {1, 0, 0});
  EXPECT_NEAR(p.x, 10, 1e-5);
  EXPECT_NEAR(p.y, 0, 1e-5);
  EXPECT_NEAR(p.z, -2, 1e-5);
}

TEST(SceneReader, ParentCyclesAreCut) {
  const auto scene = Parse("LWSC\n3\nAddNullObject A\nParentItem 10000001\nAddNullObject B\nParentItem 10000000\n");
  ASSERT_TRUE(scene);
  const Mat4 m = WorldMatrix(*scene, {ItemKind::Object, 0}, 0);
  EXPECT_TRUE(std::isfinite(m.m[0]));
}

TEST(SceneReader, Version1CountsFramesAndDegrees) {
  const std::string text =
      "LWSC\n1\n\nFramesPerSecond 10\n"
      "AddNullObject Spinner\nObjectMotion (unnamed)\n  9\n  2\n"
      "  0 0 0 0 0 0 1 1 1\n  0 1 0 0 0\n"
      "  4 0 0 90 0 0 1 1 1\n  20 1 0 0 0\n"
      "EndBehavior 2\n"
      "AmbientColor 255 0 51\nAmbIntensity 0.5\n"
      "AddLight\nLightName Sun\nLightColor 255 255 0\nLgtIntensity 0.75\n";
  const auto scene = Parse(text);
  ASSERT_TRUE(scene);
  // Frame 10 of 0..20 is halfway: x 2, heading 45 degrees.
  const Transform t = EvaluateMotion(*scene, {ItemKind::Object, 0}, 10);
  EXPECT_NEAR(t.position.x, 2, 1e-6);
  EXPECT_NEAR(t.rotation.x, kPi / 4, 1e-6);
  // EndBehavior 2 repeats: frame 25 is frame 5.
  EXPECT_NEAR(EvaluateMotion(*scene, {ItemKind::Object, 0}, 25).position.x, 1, 1e-6);
  EXPECT_FLOAT_EQ(scene->ambientColor.z, 0.2f);
  EXPECT_FLOAT_EQ(scene->ambientIntensity, 0.5f);
  ASSERT_EQ(scene->lights.size(), 1u);
  EXPECT_FLOAT_EQ(scene->lights[0].color.z, 0);
  EXPECT_FLOAT_EQ(scene->lights[0].intensity, 0.75f);
}

TEST(SceneReader, LightIntensityEnvelopeGivesItsFirstValue) {
  const auto scene = Parse("LWSC\n3\nAddLight\nLightIntensity (envelope)\n{ Envelope\n  1\n"
                           "  Key 0.4 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\nLightType 2\n");
  ASSERT_TRUE(scene);
  EXPECT_FLOAT_EQ(scene->lights[0].intensity, 0.4f);
  EXPECT_EQ(scene->lights[0].type, LightType::Spot);
}

TEST(SceneReader, MissingObjectKeepsTheItem) {
  const auto scene = Parse("LWSC\n3\nLoadObjectLayer 1 Objects/nowhere.lwo\n");
  ASSERT_TRUE(scene);
  ASSERT_EQ(scene->objects.size(), 1u);
  EXPECT_EQ(scene->objects[0].name, "nowhere.lwo");
  EXPECT_FALSE(scene->objects[0].mesh);
}

struct Damaged {
  const char* text;
  const char* message;
};

class DamagedScene : public testing::TestWithParam<Damaged> {};

TEST_P(DamagedScene, FailsWithAClearMessage) {
  std::string error;
  EXPECT_FALSE(Parse(GetParam().text, &error));
  EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
  EXPECT_NE(error.find("scenes/test.lws"), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedScene,
    testing::Values(Damaged{"", "unexpected end"}, Damaged{"LWOB\n3\n", "no LWSC header"},
                    Damaged{"LWSC\n2x\n", "bad number"}, Damaged{"LWSC\n7\n", "unsupported scene version 7"},
                    Damaged{"LWSC\n0\n", "unsupported scene version 0"},
                    Damaged{"LWSC\n3\nAddNullObject N\nObjectMotion\nNumChannels 1\nChannel 0\n{ Envelope\n  2\n"
                            "  Key 1 0 0 0 0 0 0 0 0\n",
                            "unexpected end"},
                    Damaged{"LWSC\n3\nAddNullObject N\nObjectMotion\nNumChannels 1\nChannel 0\n{ Envelope\n  2\n"
                            "  Key 1 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n",
                            "promises 2 keys"},
                    Damaged{"LWSC\n3\nAddNullObject N\nObjectMotion\nNumChannels 1\nChannel 0\n{ Envelope\n  1\n"
                            "  Key nan 0 0 0 0 0 0 0 0\n  Behaviors 1 1\n}\n",
                            "bad number \"nan\""},
                    Damaged{"LWSC\n3\nAddNullObject N\nObjectMotion\nNumChannels -1\n", "bad count"},
                    Damaged{"LWSC\n1\nAddNullObject N\nObjectMotion\n  9\n  99999999999\n", "bad count"},
                    Damaged{"LWSC\n3\nFramesPerSecond 0\n", "frames per second"},
                    Damaged{"LWSC\n3\nAddNullObject N\nParentItem zz\n", "bad item number"}));

TEST(SceneReader, MissingSceneFileIsReported) {
  std::string error;
  EXPECT_FALSE(LoadScene("/nonexistent/scene.lws", &error));
  EXPECT_NE(error.find("not found"), std::string::npos);
}

}  // namespace
}  // namespace kestrel
