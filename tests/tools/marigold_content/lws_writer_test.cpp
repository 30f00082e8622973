#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "tools/marigold_content/content.hpp"

namespace {

using demotools::Behavior;
using demotools::Envelope;
using demotools::Key;
using demotools::Shape;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Tokens(const std::string& line) {
  std::vector<std::string> tokens;
  std::istringstream in(line);
  for (std::string t; in >> t;) tokens.push_back(t);
  return tokens;
}

TEST(LwsWriter, EnvelopeBlockListsKeysAndBehaviours) {
  Envelope e;
  e.keys.push_back(Key{1.5, 0, Shape::Tcb, {0.5, -0.25, 1, 0, 0, 0}});
  e.keys.push_back(Key{-2, 1.25, Shape::Hermite, {0, 0, 0, 0.5, 2, 0}});
  e.pre = Behavior::Oscillate;
  e.post = Behavior::OffsetRepeat;
  EXPECT_EQ(demotools::WriteEnvelope(e),
            "{ Envelope\n  2\n  Key 1.5 0 0 0.5 -0.25 1 0 0 0\n  Key -2 1.25 1 0 0 0 0.5 2 0\n"
            "  Behaviors 3 4\n}\n");
}

TEST(LwsWriter, SceneHasHeaderItemsAndSettings) {
  demotools::Scene s;
  s.lastFrame = 90;
  s.fps = 25;
  demotools::SceneObject null;
  null.nullName = "Hub";
  s.objects.push_back(null);
  demotools::SceneObject child;
  child.file = "objects/cube.lwo";
  child.parent = 0;
  child.pivot = {0, 1, 0};
  s.objects.push_back(child);
  demotools::SceneLight light;
  light.name = "Spot";
  light.kind = demotools::LightKind::Spot;
  light.intensity = 0.75;
  s.lights.push_back(light);
  s.camera.zoom = 2.5;
  s.fogType = 1;
  const auto lines = Lines(demotools::WriteLws(s));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "LWSC");
  EXPECT_EQ(lines[1], "3");
  auto has = [&](const std::string& l) { return std::find(lines.begin(), lines.end(), l) != lines.end(); };
  EXPECT_TRUE(has("FramesPerSecond 25"));
  EXPECT_TRUE(has("LastFrame 90"));
  EXPECT_TRUE(has("AddNullObject Hub"));
  EXPECT_TRUE(has("LoadObjectLayer 1 objects/cube.lwo"));
  EXPECT_TRUE(has("ParentItem 10000000"));
  EXPECT_TRUE(has("PivotPosition 0 1 0"));
  EXPECT_TRUE(has("LightName Spot"));
  EXPECT_TRUE(has("LightType 2"));
  EXPECT_TRUE(has("LightIntensity 0.75"));
  EXPECT_TRUE(has("ZoomFactor 2.5"));
  EXPECT_TRUE(has("FogType 1"));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "NumChannels 9"), 3);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "NumChannels 6"), 1);
}

TEST(LwsWriter, RejectsParentsThatNameNoOtherObject) {
  demotools::Scene s;
  demotools::SceneObject o;
  o.file = "a.lwo";
  o.parent = 0;
  s.objects.push_back(o);
  EXPECT_THROW(demotools::WriteLws(s), std::invalid_argument);
  s.objects[0].parent = 3;
  EXPECT_THROW(demotools::WriteLws(s), std::invalid_argument);
  s.objects[0].parent = -1;
  s.camera.parent = 1;
  EXPECT_THROW(demotools::WriteLws(s), std::invalid_argument);
}

TEST(LwsWriter, KeyLinesHaveTheFieldsOfRealSceneFiles) {
  const std::filesystem::path file = std::filesystem::path(SUITE_TESTDATA_DIR) / "lightwave/LWS/move_xz_bezier.lws";
  if (!std::filesystem::exists(file)) GTEST_SKIP() << "no LightWave test data";
  std::ifstream in(file);
  size_t realFields = 0;
  for (std::string line; std::getline(in, line);) {
    const auto t = Tokens(line);
    if (!t.empty() && t[0] == "Key") realFields = t.size();
  }
  ASSERT_GT(realFields, 0u);
  for (const auto& line : Lines(demotools::WriteLws(demotools::DemoScenes().at("scenes/PicSpiral.lws")))) {
    const auto t = Tokens(line);
    if (!t.empty() && t[0] == "Key") {
      ASSERT_EQ(t.size(), realFields) << line;
    }
  }
}

// The demo's scenes together use every span shape and every behaviour.
TEST(DemoScenes, UseEveryEnvelopeShapeAndBehaviour) {
  std::set<int> shapes, behaviours;
  for (const auto& [name, scene] : demotools::DemoScenes()) {
    std::vector<const demotools::Motion*> motions = {&scene.camera.motion};
    for (const auto& o : scene.objects) motions.push_back(&o.motion);
    for (const auto& l : scene.lights) motions.push_back(&l.motion);
    for (const auto* m : motions) {
      for (const Envelope& e : m->channels) {
        for (size_t i = 1; i < e.keys.size(); ++i) shapes.insert(static_cast<int>(e.keys[i].shape));
        if (e.keys.size() > 1) {
          behaviours.insert(static_cast<int>(e.pre));
          behaviours.insert(static_cast<int>(e.post));
        }
      }
    }
  }
  EXPECT_EQ(shapes, (std::set<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(behaviours, (std::set<int>{0, 1, 2, 3, 4, 5}));
}

TEST(DemoScenes, KeysAscendAndScenesHaveLightsAndLength) {
  for (const auto& [name, scene] : demotools::DemoScenes()) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(scene.lights.empty());
    EXPECT_GT(scene.lastFrame, scene.firstFrame);
    for (const auto& o : scene.objects)
      for (const Envelope& e : o.motion.channels)
        for (size_t i = 1; i < e.keys.size(); ++i) ASSERT_LT(e.keys[i - 1].time, e.keys[i].time);
  }
}

}  // namespace
