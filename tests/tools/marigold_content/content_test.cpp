#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "platform/jpeg/jpeg_reference.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"
#include "tools/marigold_content/content.hpp"

namespace {

// The files the demo opens by name.
const char* const kDemoFiles[] = {
    "scenes/common.lws", "scenes/PicSpiral.lws", "scenes/PicChains.lws", "scenes/PicFloat.lws",
    "scenes/Scenka_4.lws", "scenes/Jazzz.lws",   "scenes/conek.lws",     "scenes/oblong_2k_2nd.lws",
    "small1.jpg",        "small2.jpg",           "marigold.jpg",          "marigold.xm",
};

TEST(DemoContent, EverySceneObjectAndImageExists) {
  const auto objects = demotools::DemoObjects();
  const auto pictures = demotools::DemoPictures();
  for (const auto& [name, scene] : demotools::DemoScenes()) {
    for (const auto& o : scene.objects) {
      if (!o.file.empty()) {
        EXPECT_TRUE(objects.count(o.file)) << name << " loads " << o.file;
      }
    }
  }
  for (const auto& [name, object] : objects) {
    for (const auto& s : object.surfaces) {
      if (s.hasImage) {
        EXPECT_TRUE(pictures.count(s.map.image)) << name << " maps " << s.map.image;
      }
    }
  }
}

TEST(DemoContent, CommonSceneHoldsTheOverlaySurfaces) {
  const auto scene = demotools::DemoScenes().at("scenes/common.lws");
  const auto objects = demotools::DemoObjects();
  std::set<std::string> surfaces;
  for (const auto& o : scene.objects)
    for (const auto& s : objects.at(o.file).surfaces)
      if (s.hasImage) surfaces.insert(s.name);
  for (const char* name : {"Loading", "Mind", "Thanx", "small1", "small2"}) EXPECT_TRUE(surfaces.count(name)) << name;
}

// The scenes exercise every key shape and every pre/post behaviour the
// scene format has, so the engine's whole envelope code shows in the demo.
TEST(DemoContent, ScenesUseEveryEnvelopeShapeAndBehaviour) {
  std::set<demotools::Shape> shapes;
  std::set<demotools::Behavior> behaviours;
  auto note = [&](const demotools::Motion& motion) {
    for (const auto& envelope : motion.channels) {
      if (envelope.keys.size() < 2) continue;
      for (const auto& key : envelope.keys) shapes.insert(key.shape);
      behaviours.insert(envelope.pre);
      behaviours.insert(envelope.post);
    }
  };
  for (const auto& [name, scene] : demotools::DemoScenes()) {
    for (const auto& o : scene.objects) note(o.motion);
    for (const auto& l : scene.lights) note(l.motion);
    note(scene.camera.motion);
  }
  EXPECT_EQ(shapes.size(), 6u);
  EXPECT_EQ(behaviours.size(), 6u);
}

class DemoContentTool : public testing_support::ScratchDirTest {};

TEST_F(DemoContentTool, WritesEveryFileTheDemoOpens) {
  const std::string out = dir() + "/content";
  const auto run = testing_support::RunTool(MARIGOLD_CONTENT_PATH, {"-o", out});
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* name : kDemoFiles) EXPECT_TRUE(std::filesystem::exists(out + "/" + name)) << name;
  platform::RgbPicture picture;
  ASSERT_TRUE(platform::DecodeJpegFileToRgb((out + "/small1.jpg").c_str(), &picture));
  EXPECT_EQ(picture.width, 256);
  ASSERT_TRUE(platform::DecodeJpegFileToRgb((out + "/marigold.jpg").c_str(), &picture));
  EXPECT_EQ(picture.width, 640);
  EXPECT_EQ(picture.height, 480);
}

TEST_F(DemoContentTool, RejectsBadArgumentsAndUnwritableFolders) {
  EXPECT_EQ(testing_support::RunTool(MARIGOLD_CONTENT_PATH, {}).status, 2);
  EXPECT_EQ(testing_support::RunTool(MARIGOLD_CONTENT_PATH, {"--bogus"}).status, 2);
  const std::string blocker = dir() + "/file";
  testing_support::WriteFile(blocker, std::string("not a folder"));
  const auto run = testing_support::RunTool(MARIGOLD_CONTENT_PATH, {"-o", blocker + "/content"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot create"), std::string::npos) << run.err;
}

}  // namespace
