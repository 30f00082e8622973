// Frames of the generated scenes rendered by kestrel-view, as a person
// would look at them: every event scene draws a lit, coloured picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "kestrel/render/picture_file.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"
#include "tools/marigold_content/content.hpp"

namespace {

class ContentRendered : public testing_support::ScratchDirTest {};

TEST_F(ContentRendered, EverySceneDrawsAColourfulFrame) {
  std::vector<std::string> written;
  std::string error;
  ASSERT_TRUE(demotools::WriteDemoContent(".", &written, &error)) << error;
  // A moment well inside each scene's motion, and how many distinct colours
  // at least (the closing words are drawn over another scene, on black).
  struct Shot {
    const char* scene;
    const char* frame;
    size_t colours;
  };
  const Shot shots[] = {
      {"scenes/PicSpiral.lws", "300", 150}, {"scenes/PicChains.lws", "200", 150}, {"scenes/PicFloat.lws", "240", 150},
      {"scenes/Scenka_4.lws", "150", 150},  {"scenes/Jazzz.lws", "200", 150},     {"scenes/conek.lws", "450", 150},
      {"scenes/oblong_2k_2nd.lws", "90", 20},
  };
  for (const auto& [scene, frame, minimumColours] : shots) {
    SCOPED_TRACE(scene);
    const auto run = testing_support::RunTool(KESTREL_VIEW_PATH, {scene, "--frame", frame, "-o", "shot.png"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto picture = kestrel::LoadPicture("shot.png");
    ASSERT_TRUE(picture.has_value());
    ASSERT_EQ(picture->width, 640);
    ASSERT_EQ(picture->height, 480);
    std::set<uint32_t> colours;
    size_t lit = 0;
    for (size_t i = 0; i + 3 < picture->rgba.size(); i += 4) {
      const uint8_t* p = &picture->rgba[i];
      colours.insert(uint32_t(p[0] >> 3) << 10 | uint32_t(p[1] >> 3) << 5 | uint32_t(p[2] >> 3));
      lit += p[0] + p[1] + p[2] > 120;
    }
    EXPECT_GT(colours.size(), minimumColours);
    EXPECT_GT(lit, size_t(640 * 480 / 50));  // more than 2% of the frame clearly lit
    EXPECT_LT(lit, size_t(640 * 480));       // and not washed out
  }
}

}  // namespace

namespace {

// The viewer's motion dump of the tunnel scene: the camera rushes along z
// on linear keys from -6 at 0 s to 30 at 10 s, so it is at 12 at 5 s.
TEST_F(ContentRendered, ViewerReportsTheCameraOnItsLinearKeys) {
  std::vector<std::string> written;
  std::string error;
  ASSERT_TRUE(demotools::WriteDemoContent(".", &written, &error)) << error;
  const auto run =
      testing_support::RunTool(KESTREL_VIEW_PATH, {"scenes/Scenka_4.lws", "--envelope", "--frames", "0,150"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string line = run.out.substr(run.out.find("{\"item\": \"Camera\", \"frame\": 150"));
  const std::string key = "\"position\": [";
  const size_t open = line.find(key) + key.size();
  const std::string numbers = line.substr(open, line.find(']', open) - open);  // "x, y, z"
  EXPECT_EQ(numbers.substr(numbers.rfind(", ") + 2), "12");
  // Objects first, in file order: 48 rings and 12 pillars, then two lights and the camera, each twice.
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2 * (48 + 12 + 2 + 1));
}

}  // namespace
