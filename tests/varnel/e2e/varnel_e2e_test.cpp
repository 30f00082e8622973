// The magazine end to end in a real X server: setup dialog, covers, menu,
// links, page turns, history, help, music, the closing and its files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "tests/varnel/e2e/magazine_session.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/xvfb.hpp"

using namespace testing_support;

namespace {

// Where the setup dialog's buttons are on a 640 x 480 screen (the dialog
// is centred; its layout comes from its template in dialog units).
constexpr int kSaveSetupX = 209, kSaveSetupY = 364;
constexpr int kOkX = 209, kOkY = 274;
// A spot over the panel where no link is.
constexpr int kRestX = 320, kRestY = 60;
// How long a state may take to come on a loaded machine: the menu comes
// after the opening cover, every other step after at most a transition.
constexpr int kMenuSeconds = 240;
constexpr int kStepSeconds = 60;

class VarnelEndToEnd : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    if (ImageMagickConvert().empty()) GTEST_SKIP() << "ImageMagick is needed for screenshots";
    if (!x_.running()) GTEST_SKIP() << "Xvfb is not available";
  }

  // Samples of the disk audio file above a small level.
  static int LoudSamples(const std::string& path) {
    const Bytes bytes = ReadFile(path);
    int loud = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
      const auto sample = static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8);
      loud += sample > 1000 || sample < -1000;
    }
    return loud;
  }

  XvfbServer x_{640, 480};
};

TEST_F(VarnelEndToEnd, ReadsTheIssueAndLeavesCleanly) {
  MagazineSession session(x_, dir() + "/issue");
  session.Start();
  ASSERT_TRUE(session.WaitForSetupDialog());
  session.Click(kSaveSetupX, kSaveSetupY);
  session.Click(kOkX, kOkY);
  session.MoveMouse(kRestX, kRestY);

  // The opening cover fades in, then the menu: pixel for pixel what the
  // page renderer draws.
  ASSERT_TRUE(session.WaitForScreen(session.ExpectedPage("ARTS/menu.vn2", kRestX, kRestY), kMenuSeconds))
      << "the menu did not appear; " << session.Describe();

  // The first menu entry leads to the first article (after a cross-fade).
  session.Click(100, 192);
  session.MoveMouse(kRestX, kRestY);
  EXPECT_TRUE(session.WaitForScreen(session.ExpectedPage("ARTS/intro.txt", kRestX, kRestY), kStepSeconds))
      << "the link was not followed";

  session.Press("Next");  // a page forward, with the dissolve
  EXPECT_TRUE(session.WaitForScreen(session.ExpectedPage("ARTS/intro.txt", kRestX, kRestY, 1), kStepSeconds))
      << "the page did not turn";

  session.Press("Escape");  // back to the menu
  EXPECT_TRUE(session.WaitForScreen(session.ExpectedPage("ARTS/menu.vn2", kRestX, kRestY), kStepSeconds))
      << "Esc did not go back";

  session.Press("h");
  EXPECT_TRUE(session.WaitForScreen(session.ExpectedPage("ARTS/help.txt", kRestX, kRestY), kStepSeconds))
      << "H did not open the help page";

  session.Press("x");
  EXPECT_EQ(session.WaitForExit(kStepSeconds), 0);

  const Bytes config = ReadFile(session.dir() + "/varnel.cfg");
  EXPECT_EQ(config.size(), 56u);
  for (const auto& entry : std::filesystem::directory_iterator(session.dir()))
    EXPECT_NE(entry.path().filename().string().rfind("_#q_", 0), 0u) << entry.path();
  EXPECT_GT(LoudSamples(session.dir() + "/audio.raw"), 10000) << "the music did not play";
}

TEST_F(VarnelEndToEnd, WithoutMusicTheSilentPlayerReports) {
  MagazineSession session(x_, dir() + "/issue");
  // A saved setup with "Use MSX player" off.
  Bytes settings(56, 0);
  const int32_t values[14] = {1, 0, 1, 0, 1, 0, 1, 1, 1, 203, 208, 16, 217, 219};
  std::memcpy(settings.data(), values, sizeof values);
  WriteFile(session.dir() + "/varnel.cfg", settings);
  session.Start();
  ASSERT_TRUE(session.WaitForSetupDialog());
  session.MoveMouse(kRestX, kRestY);
  session.Press("Return");
  ASSERT_TRUE(session.WaitForScreen(session.ExpectedPage("ARTS/menu.vn2", kRestX, kRestY), kMenuSeconds))
      << session.Describe();
  session.Press("x");
  EXPECT_EQ(session.WaitForExit(kStepSeconds), 0);
  const std::string out = session.Output();
  EXPECT_NE(out.find("\n DUMMY: Dummy_InitPlayer"), std::string::npos) << out;
  EXPECT_NE(out.find("\n DUMMY: Dummy_DeInitPlayer"), std::string::npos) << out;
}

TEST_F(VarnelEndToEnd, ClosingTheWindowWhileReadingStopsCleanly) {
  MagazineSession session(x_, dir() + "/issue");
  session.Start();
  ASSERT_TRUE(session.WaitForSetupDialog());
  session.MoveMouse(kRestX, kRestY);
  session.Press("Return");
  ASSERT_TRUE(session.WaitForScreen(session.ExpectedPage("ARTS/menu.vn2", kRestX, kRestY), kMenuSeconds))
      << session.Describe();
  session.Click(100, 192);  // an article opens, its cross-fade runs
  session.Press("alt+F4");
  EXPECT_EQ(session.WaitForExit(kStepSeconds), 0);
  for (const auto& entry : std::filesystem::directory_iterator(session.dir()))
    EXPECT_NE(entry.path().filename().string().rfind("_#q_", 0), 0u) << entry.path();
}

TEST_F(VarnelEndToEnd, CancelEndsBeforeAnythingIsShown) {
  MagazineSession session(x_, dir() + "/issue");
  session.Start();
  ASSERT_TRUE(session.WaitForSetupDialog());
  session.Press("Escape");
  EXPECT_EQ(session.WaitForExit(kStepSeconds), 0);
  EXPECT_FALSE(FileExists(session.dir() + "/varnel.cfg"));
}

TEST_F(VarnelEndToEnd, ADamagedArchiveShowsTheFatalMessageAndExitsOne) {
  MagazineSession session(x_, dir() + "/issue");
  Bytes archive = ReadFile(session.dir() + "/varnel.rs");
  archive[0] ^= 0xFF;  // the first entry's magic
  WriteFile(session.dir() + "/varnel.rs", archive);
  session.Start();
  // The message box, where the desktop shows one, is dismissed with Enter.
  ASSERT_TRUE(WaitUntil([&] { return !session.Running() || x_.WaitForWindow("'^ERROR$'", 0); }, kStepSeconds));
  if (session.Running() && session.WaitForWindowAndFocus("ERROR")) session.Press("Return");
  EXPECT_EQ(session.WaitForExit(kStepSeconds), 1);
  EXPECT_NE(session.Output().find("\n ERROR Resource format error ! "), std::string::npos) << session.Output();
}

}  // namespace
