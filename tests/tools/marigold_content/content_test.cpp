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
    "small1.jpg",        "small2.jpg",           "marigold.jpg",
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
