// The generated content read back by the engine's own loaders.
#include <gtest/gtest.h>

#include <cmath>

#include "kestrel/scene/lws.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tools/marigold_content/content.hpp"

namespace {

class ContentInEngine : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    std::vector<std::string> written;
    std::string error;
    ASSERT_TRUE(demotools::WriteDemoContent(".", &written, &error)) << error;
  }
};

double Channel(const kestrel::Transform& t, int channel) {
  const float values[9] = {t.position.x, t.position.y, t.position.z, t.rotation.x, t.rotation.y,
                           t.rotation.z, t.scale.x,    t.scale.y,    t.scale.z};
  return values[channel];
}

// Every key of every channel is met exactly at its own frame, whatever its
// span shape; linear spans pass through their midpoints and stepped spans
// hold the earlier value.
void ExpectMotionMatches(const kestrel::Scene& scene, kestrel::ItemRef item, const demotools::Motion& motion,
                         int channels) {
  for (int c = 0; c < channels; ++c) {
    const auto& keys = motion.channels[size_t(c)].keys;
    for (size_t k = 0; k < keys.size(); ++k) {
      // A hair inside the keyed range: a stepped span must not see the key's
      // time rounded to just before it, nor a repeating envelope wrap at
      // the last key. A stepped last key holds only for its very instant.
      const bool last = k + 1 == keys.size();
      if (last && k > 0 && keys[k].shape == demotools::Shape::Stepped) continue;
      const double frame = keys[k].time * scene.framesPerSecond + (last ? -1e-6 : 1e-6);
      ASSERT_NEAR(Channel(kestrel::EvaluateMotion(scene, item, frame), c), keys[k].value, 1e-4)
          << "channel " << c << " key " << k;
      if (k == 0) continue;
      const double middle = (keys[k - 1].time + keys[k].time) / 2 * scene.framesPerSecond;
      const double got = Channel(kestrel::EvaluateMotion(scene, item, middle), c);
      if (keys[k].shape == demotools::Shape::Linear) {
        ASSERT_NEAR(got, (keys[k - 1].value + keys[k].value) / 2, 1e-4) << "channel " << c << " span " << k;
      } else if (keys[k].shape == demotools::Shape::Stepped) {
        ASSERT_NEAR(got, keys[k - 1].value, 1e-4) << "channel " << c << " span " << k;
      }
    }
  }
}

TEST_F(ContentInEngine, EverySceneLoadsWithItsItemsSurfacesAndMotion) {
  const auto objects = demotools::DemoObjects();
  for (const auto& [path, written] : demotools::DemoScenes()) {
    SCOPED_TRACE(path);
    std::string error;
    const auto scene = kestrel::LoadScene(path, &error);
    ASSERT_NE(scene, nullptr) << error;
    EXPECT_EQ(scene->version, 3);
    EXPECT_DOUBLE_EQ(scene->framesPerSecond, written.fps);
    ASSERT_EQ(scene->objects.size(), written.objects.size());
    ASSERT_EQ(scene->lights.size(), written.lights.size());
    ASSERT_EQ(scene->cameras.size(), 1u);
    EXPECT_FLOAT_EQ(scene->cameras[0].zoomFactor, float(written.camera.zoom));
    EXPECT_EQ(scene->fog.type, static_cast<kestrel::FogType>(written.fogType));
    for (size_t i = 0; i < written.objects.size(); ++i) {
      const auto& mine = written.objects[i];
      const auto& theirs = scene->objects[i];
      SCOPED_TRACE(i);
      const kestrel::ItemRef ref{kestrel::ItemKind::Object, int(i)};
      EXPECT_EQ(theirs.parent.Valid() ? theirs.parent.index : -1, mine.parent);
      if (mine.file.empty()) {
        EXPECT_TRUE(theirs.isNull);
        EXPECT_EQ(theirs.name, mine.nullName);
      } else {
        ASSERT_NE(theirs.mesh, nullptr);
        const auto& surfaces = objects.at(mine.file).surfaces;
        ASSERT_EQ(theirs.mesh->surfaces.size(), surfaces.size());
        for (size_t s = 0; s < surfaces.size(); ++s) {
          EXPECT_EQ(theirs.mesh->surfaces[s].name, surfaces[s].name);
          EXPECT_EQ(theirs.mesh->surfaces[s].hasImage, surfaces[s].hasImage);
          if (surfaces[s].hasImage) {
            EXPECT_FALSE(theirs.mesh->surfaces[s].image.imagePath.empty());
          }
        }
      }
      ExpectMotionMatches(*scene, ref, mine.motion, 9);
    }
    for (size_t i = 0; i < written.lights.size(); ++i) {
      EXPECT_EQ(scene->lights[i].name, written.lights[i].name);
      EXPECT_EQ(scene->lights[i].type, static_cast<kestrel::LightType>(written.lights[i].kind));
      EXPECT_FLOAT_EQ(scene->lights[i].intensity, float(written.lights[i].intensity));
      ExpectMotionMatches(*scene, {kestrel::ItemKind::Light, int(i)}, written.lights[i].motion, 9);
    }
    ExpectMotionMatches(*scene, {kestrel::ItemKind::Camera, 0}, written.camera.motion, 6);
  }
}

TEST_F(ContentInEngine, CommonSceneOffersTheOverlayPictures) {
  const auto scene = kestrel::LoadScene("scenes/common.lws");
  ASSERT_NE(scene, nullptr);
  ASSERT_EQ(scene->objects.size(), 1u);
  ASSERT_NE(scene->objects[0].mesh, nullptr);
  std::vector<std::string> names;
  for (const auto& s : scene->objects[0].mesh->surfaces) {
    names.push_back(s.name);
    EXPECT_TRUE(s.hasImage);
    EXPECT_FALSE(s.image.imagePath.empty()) << s.name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Loading", "Mind", "Thanx", "small1", "small2"}));
}

}  // namespace
