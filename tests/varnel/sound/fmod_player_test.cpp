// The music player over the FMOD-style library, against the recording fake.
#include <cstdio>

#include "tests/varnel/sound/sound_fixture.hpp"
#include "varnel/failure/fatal_error.hpp"
#include "varnel/sound/music_backends.hpp"
#include "varnel/sound/sound_startup.hpp"

using namespace varnel;

namespace {

using Calls = std::vector<std::string>;

class FmodPlayerTest : public SoundTest {
 protected:
  void Start(bool highQuality = true, FmodOutput output = FmodOutput::DirectSound) {
    MakeModule("Msx0.xm");
    InitPlayer(&musicPlayer, "Msx0.xm", SoundConfig{highQuality, output}, kFmodPlayer);
  }
};

TEST_F(FmodPlayerTest, HighQualitySetsUpMixesAt44kHzAndNarrowsThePanning) {
  Start(true, FmodOutput::DirectSound);
  EXPECT_EQ(musicPlayer.kind, kFmodPlayer);
  EXPECT_EQ(FmodCalls(), (Calls{"FSOUND_SetOutput(2)", "FSOUND_SetDriver(0)", "FSOUND_SetMixer(4)",
                                "FSOUND_Init(44100,64,0)", "FMUSIC_LoadSong(Msx0.xm)",
                                "FMUSIC_PlaySong(1)", "FMUSIC_SetPanSeperation(1,0.15)"}));
}

TEST_F(FmodPlayerTest, OutputSettingAndLowQuality) {
  const struct {
    FmodOutput setting;
    const char* call;
  } outputs[] = {{FmodOutput::WinMm, "FSOUND_SetOutput(1)"},
                 {FmodOutput::DirectSound, "FSOUND_SetOutput(2)"},
                 {FmodOutput::A3d, "FSOUND_SetOutput(3)"}};
  for (const auto& output : outputs) {
    platform::FakeFmod().Reset();
    Start(false, output.setting);
    ASSERT_EQ(FmodCalls().size(), 7u);
    EXPECT_EQ(FmodCalls()[0], output.call);
    EXPECT_EQ(FmodCalls()[3], "FSOUND_Init(22050,32,0)");
    DeInitPlayer(&musicPlayer);
  }
}

TEST_F(FmodPlayerTest, OperationsDriveTheCurrentSong) {
  Start();
  FmodCalls().clear();
  musicPlayer.StopModule();
  musicPlayer.ResumeModule();
  musicPlayer.SetVolume(128);
  EXPECT_EQ(FmodCalls(),
            (Calls{"FMUSIC_StopSong(1)", "FMUSIC_PlaySong(1)", "FMUSIC_SetMasterVolume(1,128)"}));
  EXPECT_EQ(Slept(), 100u);

  MakeModule("Msx1.xm");
  FmodCalls().clear();
  musicPlayer.PlayModule("Msx1.xm");
  EXPECT_EQ(FmodCalls(),
            (Calls{"FMUSIC_StopSong(1)", "FMUSIC_FreeSong(1)", "FMUSIC_LoadSong(Msx1.xm)",
                   "FMUSIC_PlaySong(2)", "FMUSIC_SetPanSeperation(2,0.15)"}));
  EXPECT_EQ(Slept(), 200u);
}

TEST_F(FmodPlayerTest, DeInitFreesTheSongAndClosesOnce) {
  Start();
  FmodCalls().clear();
  DeInitPlayer(&musicPlayer);
  DeInitPlayer(&musicPlayer);
  EXPECT_EQ(FmodCalls(), (Calls{"FMUSIC_FreeSong(1)", "FSOUND_Close()"}));
  EXPECT_EQ(musicPlayer.kind, kNoPlayer);
}

TEST_F(FmodPlayerTest, SetUpFailuresAreFatalWithTheLibraryText) {
  EXPECT_EXIT(
      {
        platform::FakeFmod().initFails = true;
        Start();
      },
      testing::ExitedWithCode(1), "ERROR: Error initializing output device.\n$");
  EXPECT_EXIT(InitPlayer(&musicPlayer, "Msx1.xm", SoundConfig{}, kFmodPlayer),
              testing::ExitedWithCode(1), "ERROR: File not found\n$");
}

void ReportSongFrees() {
  int frees = 0;
  for (const std::string& call : platform::FakeFmod().calls)
    frees += call.rfind("FMUSIC_FreeSong(", 0) == 0 && call != "FMUSIC_FreeSong(null)";
  std::fprintf(stderr, "songs freed: %d\n", frees);
}

TEST_F(FmodPlayerTest, FailedPlayModuleIsFatalAndFreesTheOldSongOnlyOnce) {
  EXPECT_EXIT(
      {
        RegisterSoundShutdownSteps();
        RegisterFatalShutdownStep(ReportSongFrees);  // runs after the music's step
        Start();
        musicPlayer.PlayModule("missing.xm");
      },
      testing::ExitedWithCode(1), "songs freed: 1\nERROR: File not found\n$");
}

TEST(FmodErrorText, TextsByCodeAndUnknownOnes) {
  EXPECT_STREQ(FmodErrorText(12), "Not enough memory ");
  EXPECT_STREQ(FmodErrorText(19), "Recording not supported on this device");
  EXPECT_STREQ(FmodErrorText(20), "Unknown error");
  EXPECT_STREQ(FmodErrorText(-1), "Unknown error");
}

}  // namespace
