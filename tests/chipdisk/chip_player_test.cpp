// The player on the fake drivers: the opening, the menu's rules for mouse
// and keys, the closing and the start-up failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "chipdisk/player/chip_player.hpp"
#include "chipdisk/player/chip_tunes.hpp"
#include "chipdisk/screen/chip_screen.hpp"
#include "platform/clock/clock_service.hpp"
#include "platform/drivers.hpp"
#include "platform/screen/screen_service.hpp"
#include "platform/window/fake_window_service.hpp"
#include "tests/chipdisk/support/chip_disk_maker.hpp"
#include "tests/support/scratch_dir.hpp"

namespace {

using namespace chipdisk;
using chipdisk_test::kButtons;
using platform::FakeFmod;
using platform::FakeScreen;
using platform::FakeWindow;

intptr_t At(int x, int y) { return platform::MakeMouseLParam(x, y); }
intptr_t AtTune(int tune) { return At(kTunes[tune].x + 5, kTunes[tune].y + 2); }
intptr_t AtButton(uint8_t code) {
  for (const auto& b : kButtons)
    if (b.code == code) return At(b.x + 2, b.y + 2);
  return 0;
}

class ChipPlayerTest : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    platform::SelectDrivers(platform::DriverSet::Fake);
    FakeWindow().Reset();
    FakeScreen().Reset();
    FakeFmod().Reset();
    FakeFmod().initFails = false;
    FakeFmod().orderMilliseconds = 1000;
    FakeFmod().orderCount = 1000;
    platform::FakeClock().now = 0;
    pictures_ = chipdisk_test::MakePictures();
    chipdisk_test::WriteDisk(".", pictures_);
  }
  void TearDown() override {
    ResetPlayer();
    FakeWindow().Reset();
    FakeScreen().Reset();
    FakeFmod().Reset();
    ScratchDirTest::TearDown();
  }

  platform::WindowHandle OpenWindow() {
    return FakeWindow().CreatePopupWindow(kWindowTitle, ChipWindowProcedure, 0, 0, 640, 480);
  }
  // The opening on a fresh player; the calls so far are forgotten.
  void Open() {
    ResetPlayer();
    ASSERT_TRUE(Opening(OpenWindow()));
    FakeFmod().calls.clear();
    FakeScreen().presents.clear();
  }

  // Whether the window shows the slot's picture at (x, y).
  bool Shows(int slot, int x, int y) const {
    const uint8_t* want = chipdisk_test::PixelAt(pictures_.rgb[static_cast<size_t>(slot)], x, y);
    const uint8_t* got = &FakeScreen().window[static_cast<size_t>((y * 640 + x) * 4)];
    return got[0] == want[0] && got[1] == want[1] && got[2] == want[2];
  }
  bool LineShows(int tune, int slot) const {
    return Shows(slot, kTunes[tune].x + 1, kTunes[tune].y + 1);
  }
  int Count(const std::string& prefix) const {
    const auto& calls = FakeFmod().calls;
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const std::string& c) {
      return c.rfind(prefix, 0) == 0;
    }));
  }

  chipdisk_test::DiskPictures pictures_;
};

TEST_F(ChipPlayerTest, OpeningFadesTheTitleWithTheStartTuneThenShowsTheMainScreen) {
  ResetPlayer();
  FakeFmod().calls.clear();
  OnPaint();  // before the opening: nothing to show
  EXPECT_TRUE(FakeScreen().presents.empty());
  ASSERT_TRUE(Opening(OpenWindow()));
  EXPECT_EQ(FakeFmod().calls[0], "FSOUND_Init(44100,32,0)");
  EXPECT_EQ(FakeFmod().calls[1], "FMUSIC_LoadSong(data//Windofn.xm)");
  EXPECT_EQ(FakeFmod().calls[2], "FMUSIC_PlaySong(1)");
  // Order 1 after 1 s, then 256 x 23 ms of fade, then order 2 was long reached.
  EXPECT_GE(platform::FakeClock().now, 1000u + 5888u);
  EXPECT_LT(platform::FakeClock().now, 1000u + 5888u + 100u);
  EXPECT_GT(FakeScreen().presents.size(), 5888u / 16u);
  EXPECT_TRUE(Player().ready);
  EXPECT_EQ(Player().current, kStartTune);
  for (int y = 0; y < 480; y += 13)
    for (int x = 0; x < 640; x += 11) ASSERT_TRUE(Shows(kMainPlain, x, y)) << x << "," << y;
  FakeScreen().presents.clear();
  OnPaint();
  EXPECT_EQ(FakeScreen().presents.size(), 1u);
}

TEST_F(ChipPlayerTest, NextOnTheLastTuneAndPreviousOnTheFirstDoNothing) {
  Open();
  for (int tune = kStartTune + 1; tune <= kLastTune; ++tune) {
    OnLeftButtonDown(AtButton(kCodeNext));
    EXPECT_EQ(Player().current, tune);
    EXPECT_TRUE(LineShows(tune, kMainHighlighted));
    EXPECT_TRUE(LineShows(tune - 1, kMainPlain));
  }
  EXPECT_EQ(FakeFmod().calls.back(), "FMUSIC_PlaySong(" + std::to_string(kLastTune - kStartTune + 1) + ")");
  FakeFmod().calls.clear();
  FakeScreen().presents.clear();
  OnLeftButtonDown(AtButton(kCodeNext));
  EXPECT_EQ(Player().current, kLastTune);
  EXPECT_TRUE(FakeFmod().calls.empty());
  EXPECT_TRUE(FakeScreen().presents.empty());

  OnLeftButtonDown(AtTune(0));
  EXPECT_EQ(Player().current, 0);
  FakeFmod().calls.clear();
  FakeScreen().presents.clear();
  OnLeftButtonDown(AtButton(kCodePrevious));
  EXPECT_EQ(Player().current, 0);
  EXPECT_TRUE(FakeFmod().calls.empty());
  EXPECT_TRUE(FakeScreen().presents.empty());
  OnLeftButtonDown(AtButton(kCodeNext));
  EXPECT_EQ(Player().current, 1);
}

TEST_F(ChipPlayerTest, ARepeatedStopIsIgnoredUntilPlay) {
  Open();
  OnLeftButtonDown(AtButton(kCodeStop));
  OnLeftButtonDown(AtButton(kCodeStop));
  EXPECT_EQ(Count("FMUSIC_StopSong"), 1);
  // A tune change plays the new tune; stop stays ignored until play.
  OnLeftButtonDown(AtButton(kCodeNext));
  EXPECT_EQ(Player().current, kStartTune + 1);
  EXPECT_EQ(FakeFmod().calls.back(), "FMUSIC_PlaySong(2)");
  FakeFmod().calls.clear();
  OnLeftButtonDown(AtButton(kCodeStop));
  EXPECT_TRUE(FakeFmod().calls.empty());
  OnLeftButtonDown(AtButton(kCodePlay));
  OnLeftButtonDown(AtButton(kCodePlay));
  EXPECT_EQ(Count("FMUSIC_PlaySong"), 1);
  OnLeftButtonDown(AtButton(kCodeStop));
  EXPECT_EQ(Count("FMUSIC_StopSong"), 1);
}

TEST_F(ChipPlayerTest, ClickingTheLoadedTuneStartsItOverAndOtherLinesSwitch) {
  Open();
  OnLeftButtonDown(AtTune(kStartTune));
  EXPECT_EQ(FakeFmod().calls,
            (std::vector<std::string>{"FMUSIC_StopSong(1)", "FMUSIC_FreeSong(1)",
                                      "FMUSIC_LoadSong(data//Windofn.xm)", "FMUSIC_PlaySong(2)"}));
  FakeFmod().calls.clear();
  OnLeftButtonDown(AtTune(2));
  EXPECT_EQ(FakeFmod().calls[2], "FMUSIC_LoadSong(data//chiptu.s3m)");
  EXPECT_EQ(Player().current, 2);
  EXPECT_TRUE(LineShows(2, kMainHighlighted));
  EXPECT_TRUE(LineShows(kStartTune, kMainPlain));
  // Background and meaningless codes change nothing.
  FakeFmod().calls.clear();
  OnLeftButtonDown(At(5, 5));
  OnLeftButtonDown(At(30, 30));
  OnLeftButtonDown(At(-3, 100));
  OnLeftButtonDown(At(639, 479));
  EXPECT_TRUE(FakeFmod().calls.empty());
}

TEST_F(ChipPlayerTest, HoverLightsALineAndTheBackgroundRestoresIt) {
  Open();
  OnMouseMove(AtTune(3));
  EXPECT_TRUE(LineShows(3, kMainHighlighted));
  EXPECT_TRUE(LineShows(kStartTune, kMainHighlighted));  // the loaded tune stays lit
  OnMouseMove(AtTune(5));
  EXPECT_TRUE(LineShows(5, kMainHighlighted));
  EXPECT_TRUE(LineShows(3, kMainPlain));
  OnMouseMove(At(5, 5));
  EXPECT_TRUE(LineShows(5, kMainPlain));
  EXPECT_TRUE(LineShows(kStartTune, kMainHighlighted));
  // Over the loaded tune's line and off it again: the line stays lit.
  OnMouseMove(AtTune(kStartTune));
  OnMouseMove(At(5, 5));
  EXPECT_TRUE(LineShows(kStartTune, kMainHighlighted));
  // Buttons and meaningless codes draw nothing.
  FakeScreen().presents.clear();
  OnMouseMove(AtButton(kCodeStop));
  OnMouseMove(At(30, 30));
  EXPECT_TRUE(FakeScreen().presents.empty());
  EXPECT_EQ(Player().hoverCode, 100);
}

TEST_F(ChipPlayerTest, KeysMoveTheHighlightAndActLikeClicks) {
  Open();
  OnKeyDown(platform::VK_DOWN);  // from the loaded tune
  EXPECT_TRUE(LineShows(kStartTune + 1, kMainHighlighted));
  OnKeyDown(platform::VK_UP);
  OnKeyDown(platform::VK_UP);
  EXPECT_EQ(Player().highlighted, kStartTune - 1);
  EXPECT_TRUE(LineShows(kStartTune + 1, kMainPlain));
  EXPECT_TRUE(FakeFmod().calls.empty());
  OnKeyDown(platform::VK_RETURN);
  EXPECT_EQ(Player().current, kStartTune - 1);
  EXPECT_EQ(FakeFmod().calls.back(), "FMUSIC_PlaySong(2)");
  OnKeyDown(platform::VK_SPACE);
  OnKeyDown(platform::VK_SPACE);
  EXPECT_EQ(Count("FMUSIC_StopSong"), 2);  // the change's and the key's
  EXPECT_EQ(Count("FMUSIC_PlaySong"), 2);
  OnKeyDown(platform::VK_RIGHT);
  EXPECT_EQ(Player().current, kStartTune);
  OnKeyDown(platform::VK_LEFT);
  OnKeyDown(platform::VK_LEFT);
  EXPECT_EQ(Player().current, kStartTune - 2);
  for (int i = 0; i < 30; ++i) OnKeyDown(platform::VK_UP);
  EXPECT_EQ(Player().highlighted, 0);
  for (int i = 0; i < 30; ++i) OnKeyDown(platform::VK_DOWN);
  EXPECT_EQ(Player().highlighted, kLastTune);
}

TEST_F(ChipPlayerTest, EscapeBeforeAClickIsIgnoredAfterOneItCloses) {
  Open();
  OnKeyDown(platform::VK_ESCAPE);
  EXPECT_FALSE(Player().closed);
  EXPECT_TRUE(FakeFmod().calls.empty());
  OnLeftButtonDown(At(5, 5));  // the background arms it too
  const uint32_t before = platform::FakeClock().now;
  OnKeyDown(platform::VK_ESCAPE);
  EXPECT_TRUE(Player().closed);
  // Two orders of waiting and two fades of about 2.8 s.
  EXPECT_GE(platform::FakeClock().now - before, 2 * 2794u - 100u);
  std::vector<int> volumes;
  for (const std::string& call : FakeFmod().calls)
    if (call.rfind("FMUSIC_SetMasterVolume(1,", 0) == 0)
      volumes.push_back(std::stoi(call.substr(25)));
  ASSERT_FALSE(volumes.empty());
  EXPECT_EQ(volumes.front(), 254);
  for (size_t i = 1; i < volumes.size(); ++i) EXPECT_EQ(volumes[i], volumes[i - 1] - 2);
  EXPECT_GT(volumes.back(), 0);
  const auto& calls = FakeFmod().calls;
  EXPECT_EQ(calls[calls.size() - 2], "FMUSIC_FreeSong(1)");
  EXPECT_EQ(calls.back(), "FSOUND_Close()");
  // Nothing is handled after the closing.
  FakeFmod().calls.clear();
  OnLeftButtonDown(AtTune(1));
  OnMouseMove(AtTune(1));
  EXPECT_TRUE(FakeFmod().calls.empty());
}

TEST_F(ChipPlayerTest, ClosingGoesOnWithinTwoSecondsWhenTheSongCannotAdvance) {
  for (int cause = 0; cause < 3; ++cause) {
    SCOPED_TRACE(cause);
    Open();
    if (cause == 0) OnLeftButtonDown(AtButton(kCodeStop));
    if (cause == 1) {  // the next tune is missing: no song at all
      std::filesystem::remove(kTunes[kStartTune + 1].file);
      OnLeftButtonDown(AtButton(kCodeNext));
      EXPECT_EQ(Player().current, kStartTune + 1);
      EXPECT_EQ(Player().song, nullptr);
      EXPECT_STREQ(FakeWindow().lastMessageBox.text, kMusicError);
      EXPECT_STREQ(FakeWindow().lastMessageBox.caption, kErrorCaption);
    }
    if (cause == 2) {  // the song wraps to its first order
      FakeFmod().orderCount = 3;
      OnLeftButtonDown(At(5, 5));
      platform::FakeClock().now += 1000 * 2;  // now in its last order
    }
    const uint32_t before = platform::FakeClock().now;
    OnKeyDown(platform::VK_ESCAPE);
    EXPECT_TRUE(Player().closed);
    // Waiting at most 2 s plus the two fades.
    EXPECT_LE(platform::FakeClock().now - before, 2000u + 2 * 2794u + 100u);
    ResetPlayer();
    FakeWindow().Reset();
    FakeFmod().orderCount = 1000;
    if (cause == 1) chipdisk_test::WriteDisk(".", pictures_);
  }
}

TEST_F(ChipPlayerTest, TheProgramEndsWithStatusZeroAfterEscape) {
  FakeWindow().script = {{platform::WM_MOUSEMOVE, 0, AtTune(3)},
                         {platform::WM_KEYDOWN, platform::VK_ESCAPE, 0},
                         {platform::WM_LBUTTONDOWN, 0, At(5, 5)},
                         {platform::WM_KEYDOWN, platform::VK_ESCAPE, 0}};
  EXPECT_EQ(RunChipPlayer(), 0);
  EXPECT_TRUE(Player().closed);
  EXPECT_STREQ(FakeWindow().lastTitle, kWindowTitle);
  EXPECT_TRUE(FakeWindow().lastPlacement.popup);
  EXPECT_EQ(FakeWindow().lastPlacement.x, 1024 / 2 - 320);
  EXPECT_EQ(FakeWindow().lastPlacement.y, 768 / 2 - 240);
  EXPECT_EQ(FakeWindow().lastPlacement.width, 640);
  EXPECT_EQ(FakeWindow().windowsClosed, 1);
  EXPECT_EQ(FakeWindow().messageBoxCount, 0);
}

TEST_F(ChipPlayerTest, AMissingDataFileEndsTheProcessWithStatusOne) {
  std::filesystem::remove("data/chip.dat");
  EXPECT_EXIT(std::exit(RunChipPlayer()), testing::ExitedWithCode(kExitFailure),
              "Error: .*data//chip.dat");
}

TEST_F(ChipPlayerTest, StartUpFailuresShowTheReasonAndExitWithOne) {
  std::filesystem::remove("data/chip.dat");
  EXPECT_EQ(RunChipPlayer(), kExitFailure);
  EXPECT_STREQ(FakeWindow().lastMessageBox.caption, kErrorCaption);
  EXPECT_NE(std::string(FakeWindow().lastMessageBox.text).find("chip.dat"), std::string::npos);
  EXPECT_EQ(FakeWindow().windowsClosed, 1);

  chipdisk_test::WriteDisk(".", pictures_);
  FakeFmod().initFails = true;
  EXPECT_EQ(RunChipPlayer(), kExitFailure);
  EXPECT_STREQ(FakeWindow().lastMessageBox.text, kMixerError);
  FakeFmod().initFails = false;

  std::filesystem::remove(kTunes[kStartTune].file);
  EXPECT_EQ(RunChipPlayer(), kExitFailure);
  EXPECT_STREQ(FakeWindow().lastMessageBox.text, kMusicError);
  chipdisk_test::WriteDisk(".", pictures_);

  FakeScreen().openFails = true;
  EXPECT_EQ(RunChipPlayer(), kExitFailure);
  EXPECT_STREQ(FakeWindow().lastMessageBox.text, kDisplayError);
  FakeScreen().openFails = false;

  // A failed presentation ends the start-up without a message.
  const int boxes = FakeWindow().messageBoxCount;
  FakeScreen().presentFails = true;
  EXPECT_EQ(RunChipPlayer(), kExitFailure);
  EXPECT_EQ(FakeWindow().messageBoxCount, boxes);
  EXPECT_EQ(FakeFmod().calls.back(), "FSOUND_Close()");
}

}  // namespace
