// The FMOD-style stand-in on real modules with SDL's disk audio driver:
// load, play, the order the listener hears, master volume, stop and free;
// damaged modules refused. Also the mixer's record of heard orders.
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/sound/fmod_service.hpp"
#include "platform/sound/module_file.hpp"
#include "platform/sound/module_mixer.hpp"
#include "tests/support/scratch_dir.hpp"

namespace {

using namespace platform;
using Clock = std::chrono::steady_clock;

// Order 1 after 1.85 s, order 2 after 5.54 s.
constexpr const char* kQuickModule = "modules/xyce-dans_la_rue.xm";

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class FmodSongsTest : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    modules_ = testing_support::TestDataPath("modules");
    if (modules_.empty()) GTEST_SKIP() << "shared test data not present";
    audio_ = dir() + "/audio.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", audio_.c_str(), 1);
    ASSERT_TRUE(fmod().FSOUND_Init(44100, 32, 0));
  }
  void TearDown() override {
    fmod().FSOUND_Close();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    ScratchDirTest::TearDown();
  }
  static FmodService& fmod() { return SdlFmodService(); }

  // The peak of the newest `frames` stereo frames the device wrote.
  int RecentPeak(size_t frames) const {
    const testing_support::Bytes bytes = testing_support::ReadFile(audio_);
    const size_t take = std::min(bytes.size() / 4, frames) * 4;
    int peak = 0;
    for (size_t i = bytes.size() - take; i + 1 < bytes.size(); i += 2) {
      const auto sample = static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8);
      peak = std::max(peak, std::abs(int{sample}));
    }
    return peak;
  }

  size_t AudioBytes() const {
    std::error_code error;
    const auto size = std::filesystem::file_size(audio_, error);
    return error ? 0 : static_cast<size_t>(size);
  }
  // Waits until the device has written `frames` more frames; false after 10 s.
  bool WaitForFrames(size_t frames) const {
    const size_t target = AudioBytes() + frames * 4;
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (AudioBytes() < target) {
      if (Clock::now() > end) return false;
      SleepMs(5);
    }
    return true;
  }

  std::string modules_;
  std::string audio_;
};

// Frames written before a change is heard: the mixed-ahead buffer and the
// device's, with room to spare.
constexpr size_t kChangeFrames = 4 * 1024;

TEST_F(FmodSongsTest, EveryModuleLoadsPlaysAndIsFreed) {
  int played = 0;
  for (const auto& entry : std::filesystem::directory_iterator(modules_)) {
    if (!entry.is_regular_file()) continue;
    SCOPED_TRACE(entry.path().string());
    FMUSIC_MODULE* song = fmod().FMUSIC_LoadSong(entry.path().c_str());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(fmod().FMUSIC_GetMasterVolume(song), 256);
    EXPECT_TRUE(fmod().FMUSIC_PlaySong(song));
    EXPECT_EQ(fmod().FMUSIC_GetOrder(song), 0);
    EXPECT_TRUE(fmod().FMUSIC_StopSong(song));
    EXPECT_TRUE(fmod().FMUSIC_FreeSong(song));
    EXPECT_EQ(fmod().FMUSIC_GetOrder(song), -1);
    EXPECT_EQ(fmod().FMUSIC_GetMasterVolume(song), -1);
    EXPECT_FALSE(fmod().FMUSIC_PlaySong(song));
    ++played;
  }
  EXPECT_GE(played, 4);
}

TEST_F(FmodSongsTest, DamagedModulesAreRefused) {
  for (const auto& entry : std::filesystem::directory_iterator(modules_ + "/broken")) {
    SCOPED_TRACE(entry.path().string());
    EXPECT_EQ(fmod().FMUSIC_LoadSong(entry.path().c_str()), nullptr);
    const int32_t error = fmod().FSOUND_GetError();
    EXPECT_TRUE(error == FMOD_ERR_FILE_FORMAT || error == FMOD_ERR_FILE_BAD) << error;
  }
  EXPECT_EQ(fmod().FMUSIC_LoadSong("no-such-tune.xm"), nullptr);
  EXPECT_EQ(fmod().FSOUND_GetError(), FMOD_ERR_FILE_NOTFOUND);
  EXPECT_EQ(fmod().FMUSIC_GetOrder(nullptr), -1);
}

TEST_F(FmodSongsTest, TheOrderAdvancesAsItIsHeardAndStopsWithTheSong) {
  const std::string path = modules_ + "/../" + kQuickModule;
  FMUSIC_MODULE* song = fmod().FMUSIC_LoadSong(path.c_str());
  ASSERT_NE(song, nullptr);
  const auto start = Clock::now();
  ASSERT_TRUE(fmod().FMUSIC_PlaySong(song));
  int32_t order = 0;
  while (order < 2 && Clock::now() - start < std::chrono::seconds(30)) {
    const int32_t now = fmod().FMUSIC_GetOrder(song);
    ASSERT_GE(now, order);  // never goes back before the song loops
    order = now;
    if (order < 1) {
      EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1850 + 5000));
    }
    SleepMs(5);
  }
  EXPECT_EQ(order, 2);
  // Heard, not mixed ahead: order 2 starts 5.54 s in.
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(5540));
  EXPECT_TRUE(fmod().FMUSIC_StopSong(song));
  ASSERT_TRUE(WaitForFrames(kChangeFrames + 2048));
  EXPECT_EQ(fmod().FMUSIC_GetOrder(song), order);
  EXPECT_EQ(RecentPeak(2048), 0);
  // Playing again starts from the first order.
  EXPECT_TRUE(fmod().FMUSIC_PlaySong(song));
  EXPECT_EQ(fmod().FMUSIC_GetOrder(song), 0);
}

TEST_F(FmodSongsTest, MasterVolumeIsHeardAtOnce) {
  const std::string path = modules_ + "/../" + kQuickModule;
  FMUSIC_MODULE* song = fmod().FMUSIC_LoadSong(path.c_str());
  ASSERT_NE(song, nullptr);
  ASSERT_TRUE(fmod().FMUSIC_PlaySong(song));
  ASSERT_TRUE(WaitForFrames(44100));
  EXPECT_GT(RecentPeak(44100), 1000);
  EXPECT_TRUE(fmod().FMUSIC_SetMasterVolume(song, 0));
  EXPECT_EQ(fmod().FMUSIC_GetMasterVolume(song), 0);
  ASSERT_TRUE(WaitForFrames(kChangeFrames + 2048));
  EXPECT_EQ(RecentPeak(2048), 0);
  EXPECT_TRUE(fmod().FMUSIC_SetMasterVolume(song, 64));
  ASSERT_TRUE(WaitForFrames(kChangeFrames + 8192));
  EXPECT_GT(RecentPeak(8192), 0);
  EXPECT_FALSE(fmod().FMUSIC_SetMasterVolume(song, 257));
  EXPECT_FALSE(fmod().FMUSIC_SetMasterVolume(song, -1));
  EXPECT_EQ(fmod().FMUSIC_GetMasterVolume(song), 64);
}

TEST(ModuleMixerOrders, TheHeardOrderLagsTheMixByTheLatency) {
  const std::string path = testing_support::TestDataPath(kQuickModule);
  if (path.empty()) GTEST_SKIP() << "shared test data not present";
  ModuleMixer mixer;
  mixer.SetFormat(44100, SampleFormat::Signed16);
  const ModuleLoad load = LoadModuleFile(path.c_str());
  ASSERT_NE(load.module, nullptr);
  const uint32_t handle = mixer.Add(load.module);
  ASSERT_TRUE(mixer.Play(handle));
  EXPECT_EQ(mixer.HeardOrder(handle, 4096), 0);
  std::vector<int16_t> buffer(1024 * 2);
  int blocks = 0;
  while (mixer.HeardOrder(handle, 0) < 1 && blocks < 200) {
    mixer.Render(buffer.data(), 1024 * 4);
    ++blocks;
  }
  ASSERT_EQ(mixer.HeardOrder(handle, 0), 1);
  EXPECT_NEAR(blocks * 1024 / 44100.0, 1.85, 0.05);
  EXPECT_EQ(mixer.HeardOrder(handle, 4096), 0);  // still in the device
  for (int i = 0; i < 4; ++i) mixer.Render(buffer.data(), 1024 * 4);
  EXPECT_EQ(mixer.HeardOrder(handle, 4096), 1);
  EXPECT_EQ(mixer.HeardOrder(handle + 1, 0), -1);
}

}  // namespace
