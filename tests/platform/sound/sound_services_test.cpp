// The two sound library stand-ins on SDL's dummy audio driver (which mixes
// and throws the sound away), and without any audio device.
#include <cstdlib>
#include <filesystem>

#include "platform/sound/bass_service.hpp"
#include "platform/sound/fmod_service.hpp"
#include "tests/support/scratch_dir.hpp"

namespace {

using namespace platform;

class SoundServicesTest : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  void TearDown() override {
    bass().BASS_Free();
    fmod().FSOUND_Close();
    fmod().FSOUND_SetOutput(FSOUND_OUTPUT_DSOUND);
    unsetenv("SDL_AUDIODRIVER");
    ScratchDirTest::TearDown();
  }
  static BassService& bass() { return SdlBassService(); }
  static FmodService& fmod() { return SdlFmodService(); }

  // The shared test module copied in as "tune.xm"; false when absent.
  static bool ProvideModule() {
    const std::string source = testing_support::TestDataPath("modules/roadblas.xm");
    if (source.empty()) return false;
    std::filesystem::copy_file(source, "tune.xm");
    return true;
  }
};

TEST_F(SoundServicesTest, BassMusicLifetime) {
  if (!ProvideModule()) GTEST_SKIP() << "shared test data not present";
  EXPECT_EQ(bass().BASS_MusicLoad(false, "tune.xm", 0, 0, BASS_MUSIC_LOOP), 0u);
  EXPECT_FALSE(bass().BASS_SetVolume(50));
  ASSERT_TRUE(bass().BASS_Init(-1, 44100, 0, nullptr));
  EXPECT_FALSE(bass().BASS_Init(-1, 44100, 0, nullptr));
  EXPECT_TRUE(bass().BASS_Start());
  const HMUSIC music = bass().BASS_MusicLoad(false, "tune.xm", 0, 0, 6);
  ASSERT_NE(music, 0u);
  EXPECT_TRUE(bass().BASS_MusicPlayEx(music, 2, BASS_MUSIC_LOOP, false));  // from order 2
  EXPECT_TRUE(bass().BASS_MusicPlayEx(music, 0, -1, true));
  EXPECT_FALSE(bass().BASS_SetVolume(101));
  EXPECT_TRUE(bass().BASS_ChannelStop(music));
  bass().BASS_MusicFree(music);
  bass().BASS_MusicFree(music);  // harmless
  EXPECT_FALSE(bass().BASS_MusicPlayEx(music, 0, -1, true));
  EXPECT_FALSE(bass().BASS_ChannelStop(music));
  EXPECT_TRUE(bass().BASS_Free());
  EXPECT_FALSE(bass().BASS_Free());
}

TEST_F(SoundServicesTest, FmodReportsTheFailureOfEachCall) {
  EXPECT_EQ(fmod().FMUSIC_LoadSong("tune.xm"), nullptr);
  EXPECT_EQ(fmod().FSOUND_GetError(), FMOD_ERR_UNINITIALIZED);
  EXPECT_FALSE(fmod().FSOUND_Init(1000, 32, 0));
  EXPECT_EQ(fmod().FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
  ASSERT_TRUE(fmod().FSOUND_Init(44100, 64, 0));
  EXPECT_FALSE(fmod().FSOUND_SetOutput(FSOUND_OUTPUT_WINMM));
  EXPECT_EQ(fmod().FSOUND_GetError(), FMOD_ERR_BUSY);
  EXPECT_EQ(fmod().FMUSIC_LoadSong("missing.xm"), nullptr);
  EXPECT_EQ(fmod().FSOUND_GetError(), FMOD_ERR_FILE_NOTFOUND);
  testing_support::WriteFile("text.xm", std::string(3000, 't'));
  EXPECT_EQ(fmod().FMUSIC_LoadSong("text.xm"), nullptr);
  EXPECT_EQ(fmod().FSOUND_GetError(), FMOD_ERR_FILE_FORMAT);
}

TEST_F(SoundServicesTest, FmodSongLifetime) {
  if (!ProvideModule()) GTEST_SKIP() << "shared test data not present";
  ASSERT_TRUE(fmod().FSOUND_Init(22050, 32, 0));
  FMUSIC_MODULE* song = fmod().FMUSIC_LoadSong("tune.xm");
  ASSERT_NE(song, nullptr);
  EXPECT_TRUE(fmod().FMUSIC_PlaySong(song));
  EXPECT_TRUE(fmod().FMUSIC_SetPanSeperation(song, 0.15f));
  EXPECT_FALSE(fmod().FMUSIC_SetMasterVolume(song, 257));
  EXPECT_TRUE(fmod().FMUSIC_FreeSong(song));
  EXPECT_FALSE(fmod().FMUSIC_FreeSong(song));
  EXPECT_FALSE(fmod().FMUSIC_PlaySong(song));
  EXPECT_EQ(fmod().FSOUND_GetError(), FMOD_ERR_INVALID_PARAM);
  FMUSIC_MODULE* again = fmod().FMUSIC_LoadSong("tune.xm");
  fmod().FSOUND_Close();  // frees the song with everything else
  EXPECT_FALSE(fmod().FMUSIC_PlaySong(again));
}

TEST_F(SoundServicesTest, BothRefuseDamagedModules) {
  REQUIRE_TESTDATA(folder, "modules/broken");
  ASSERT_TRUE(bass().BASS_Init(-1, 44100, 0, nullptr));
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    EXPECT_EQ(bass().BASS_MusicLoad(false, entry.path().c_str(), 0, 0, 4), 0u) << entry.path();
  bass().BASS_Free();  // one device at a time on the dummy driver
  ASSERT_TRUE(fmod().FSOUND_Init(44100, 64, 0));
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    EXPECT_EQ(fmod().FMUSIC_LoadSong(entry.path().c_str()), nullptr) << entry.path();
    const int32_t error = fmod().FSOUND_GetError();
    EXPECT_TRUE(error == FMOD_ERR_FILE_FORMAT || error == FMOD_ERR_FILE_BAD) << entry.path();
  }
}

TEST_F(SoundServicesTest, WithoutAnAudioDeviceInitFails) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  EXPECT_FALSE(bass().BASS_Init(-1, 44100, 0, nullptr));
  EXPECT_FALSE(fmod().FSOUND_Init(44100, 64, 0));
  EXPECT_EQ(fmod().FSOUND_GetError(), FMOD_ERR_INIT);
  ASSERT_TRUE(fmod().FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND));  // needs no device
  EXPECT_TRUE(fmod().FSOUND_Init(44100, 64, 0));
}

}  // namespace
