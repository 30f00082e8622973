// The player end to end: a real window on a private X server, the disk
// audio driver, the mouse and keys from xdotool.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "chipdisk/player/chip_tunes.hpp"
#include "platform/sound/module_file.hpp"
#include "platform/sound/module_mixer.hpp"
#include "tests/chipdisk/support/chip_disk_maker.hpp"
#include "tests/chipdisk/support/chip_session.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/xvfb.hpp"

namespace {

using chipdisk_test::ChipSession;
using Bytes = std::vector<uint8_t>;

constexpr int kHoveredTune = 3;
constexpr int kClickedTune = 5;
constexpr int kFirstSeconds = 2;  // of a tune, looked for in the audio
constexpr int kStartSeconds = 120;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// What the player's sound output makes of the first seconds of a module.
Bytes RenderStart(const std::string& file) {
  platform::ModuleMixer mixer;
  mixer.SetFormat(44100, platform::SampleFormat::Signed16);
  const uint32_t handle = mixer.Add(platform::LoadModuleFile(file.c_str()).module);
  if (handle == 0) return {};
  mixer.SetLooping(handle, true);
  mixer.Play(handle);
  Bytes bytes(static_cast<size_t>(44100 * kFirstSeconds * 4));
  mixer.Render(bytes.data(), static_cast<int>(bytes.size()));
  return bytes;
}

// Polls `done` until it holds; false after `seconds`.
template <typename Condition>
bool WaitFor(Condition done, int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    SleepMs(100);
  }
  return true;
}

bool EndsSilent(const Bytes& audio) {
  const size_t quiet = std::min<size_t>(audio.size(), 4096 * 4);
  return std::all_of(audio.end() - static_cast<ptrdiff_t>(quiet), audio.end(),
                     [](uint8_t b) { return b == 0; });
}

int Occurrences(const Bytes& haystack, const Bytes& needle, size_t from) {
  int count = 0;
  auto at = haystack.begin() + static_cast<ptrdiff_t>(std::min(from, haystack.size()));
  while ((at = std::search(at, haystack.end(), needle.begin(), needle.end())) != haystack.end()) {
    ++count;
    at += static_cast<ptrdiff_t>(needle.size());
  }
  return count;
}

class ChipEndToEnd : public testing_support::ScratchDirTest {
 protected:
  // The sample disk when the build made one, else a small one of real
  // modules: the start tune has short orders.
  bool MakeDisk() {
#if defined(CHIPDISK_SAMPLE_DIR) && !defined(CHIPDISK_SMALL_DISK)
    std::filesystem::copy(CHIPDISK_SAMPLE_DIR, dir() + "/disk",
                          std::filesystem::copy_options::recursive);
    return true;
#else
    const std::string modules = testing_support::TestDataPath("modules");
    if (modules.empty()) return false;
    const std::vector<std::string> others = {"roadblas.xm", "dontyou.xm", "ode2ptk.mod",
                                             "Fight2.it", "mm2flash.s3m"};
    const std::string disk = dir() + "/disk";
    chipdisk_test::WriteDisk(disk, chipdisk_test::MakePictures(), modules + "/" + others[0]);
    for (int tune = 0; tune < chipdisk::kTuneCount; ++tune) {
      const std::string source = tune == chipdisk::kStartTune
                                     ? modules + "/xyce-dans_la_rue.xm"
                                     : modules + "/" + others[static_cast<size_t>(tune) % others.size()];
      std::filesystem::copy_file(source, disk + "/" + chipdisk::kTunes[tune].file,
                                 std::filesystem::copy_options::overwrite_existing);
    }
    return true;
#endif
  }
};

TEST_F(ChipEndToEnd, MenuHoverClickTransportAndTheClosing) {
  testing_support::XvfbServer x(1024, 768);
  if (!x.running()) GTEST_SKIP() << "Xvfb is not available";
  if (testing_support::ImageMagickConvert().empty()) GTEST_SKIP() << "ImageMagick is not installed";
  if (!MakeDisk()) GTEST_SKIP() << "shared test data not present";
  ChipSession session(x, dir() + "/disk");
  ASSERT_TRUE(session.LoadPictures());
  x.Xdotool("mousemove 0 0");  // outside the window: no line lit by the pointer
  session.Start(CHIPDISK_PATH);

  // The opening ends on the main screen.
  ASSERT_TRUE(session.WaitForPicture(session.picture(chipdisk::kMainPlain).pixels, kStartSeconds));

  // Escape before any click does nothing.
  session.Press("Escape");
  SleepMs(1000);  // time enough for a closing to begin
  EXPECT_TRUE(session.Running());
  ASSERT_TRUE(session.WaitForPicture(session.picture(chipdisk::kMainPlain).pixels, 5));

  // Down lights the line below the loaded tune's.
  const chipdisk::TuneEntry& below = chipdisk::kTunes[chipdisk::kStartTune + 1];
  session.Press("Down");
  EXPECT_TRUE(session.WaitForRect(session.picture(chipdisk::kMainHighlighted).pixels, below.x,
                                  below.y, below.width, below.height, 10));

  // Hovering lights the line as the highlighted picture has it.
  const chipdisk::TuneEntry& hovered = chipdisk::kTunes[kHoveredTune];
  int hx = 0, hy = 0;
  ASSERT_TRUE(session.FindCode(chipdisk::CodeOfTune(kHoveredTune), hx, hy));
  session.MoveMouse(hx, hy);
  EXPECT_TRUE(session.WaitForRect(session.picture(chipdisk::kMainHighlighted).pixels, hovered.x,
                                  hovered.y, hovered.width, hovered.height, 10));

  // A click on a line plays its tune: its first seconds reach the audio.
  const Bytes expected = RenderStart(session.dir() + "/" + chipdisk::kTunes[kClickedTune].file);
  ASSERT_FALSE(expected.empty());
  const size_t before = session.Audio().size();
  int cx = 0, cy = 0;
  ASSERT_TRUE(session.FindCode(chipdisk::CodeOfTune(kClickedTune), cx, cy));
  session.Click(cx, cy);
  const chipdisk::TuneEntry& clicked = chipdisk::kTunes[kClickedTune];
  EXPECT_TRUE(session.WaitForRect(session.picture(chipdisk::kMainHighlighted).pixels, clicked.x,
                                  clicked.y, clicked.width, clicked.height, 10));
  EXPECT_TRUE(WaitFor([&] { return Occurrences(session.Audio(), expected, before) == 1; }, 20));

  // Stop twice: silence; play: the tune again.
  int sx = 0, sy = 0, px = 0, py = 0;
  ASSERT_TRUE(session.FindCode(chipdisk::kCodeStop, sx, sy));
  ASSERT_TRUE(session.FindCode(chipdisk::kCodePlay, px, py));
  session.Click(sx, sy);
  session.Click(sx, sy);
  EXPECT_TRUE(WaitFor([&] { return EndsSilent(session.Audio()); }, 10));
  EXPECT_TRUE(session.Running());
  session.Click(px, py);
  EXPECT_TRUE(WaitFor([&] { return !EndsSilent(session.Audio()); }, 10));

  // After a click, Escape runs the closing and the program ends well.
  session.Press("Escape");
  EXPECT_EQ(session.WaitForExit(60), 0);
}

}  // namespace
