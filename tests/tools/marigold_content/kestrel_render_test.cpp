// Frames of the generated scenes rendered by kestrel-view, as a person
// would look at them: every event scene draws a lit, coloured picture.
#include <gtest/gtest.h>

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
