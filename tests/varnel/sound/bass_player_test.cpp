// The music player over the BASS-style library, against the recording fake.
#include "tests/varnel/sound/sound_fixture.hpp"
#include "varnel/sound/sound_startup.hpp"

using namespace varnel;

namespace {

using Calls = std::vector<std::string>;

class BassPlayerTest : public SoundTest {
 protected:
  void Start(bool highQuality = true) {
    MakeModule("Msx0.xm");
    InitPlayer(&musicPlayer, "Msx0.xm", SoundConfig{highQuality, FmodOutput::WinMm}, kBassPlayer);
  }
};

TEST_F(BassPlayerTest, HighQualityOpens44kHz16BitAndLoopsSmoothly) {
  Start(true);
  EXPECT_EQ(musicPlayer.kind, kBassPlayer);
  EXPECT_EQ(BassCalls(),
            (Calls{"BASS_Init(-1,44100,0)", "BASS_MusicLoad(Msx0.xm,0,0,6)", "BASS_Start()",
                   "BASS_MusicPlayEx(1,0,-1,1)", "BASS_SetVolume(100)"}));
  EXPECT_EQ(platform::FakeWindow().messageBoxCount, 0);
}

TEST_F(BassPlayerTest, LowQualityOpens22kHz8BitAndOnlyLoops) {
  Start(false);
  ASSERT_GE(BassCalls().size(), 2u);
  EXPECT_EQ(BassCalls()[0], "BASS_Init(-1,22050,1)");
  EXPECT_EQ(BassCalls()[1], "BASS_MusicLoad(Msx0.xm,0,0,4)");
}

TEST_F(BassPlayerTest, BusyDeviceWarnsOnceThenTheMusicStaysOff) {
  platform::FakeBass().initFails = true;
  const auto mainWindow = reinterpret_cast<platform::WindowHandle>(0x1234);
  SetMusicPlayerWindow(mainWindow);
  Start();
  SetMusicPlayerWindow(nullptr);
  EXPECT_EQ(platform::FakeWindow().messageBoxCount, 1);
  EXPECT_EQ(platform::FakeWindow().lastMessageBox.owner, mainWindow);
  EXPECT_STREQ(platform::FakeWindow().lastMessageBox.caption, "WARNING");
  EXPECT_STREQ(platform::FakeWindow().lastMessageBox.text, "Sound Device BUSY - Press <ENTER>");
  EXPECT_EQ(BassCalls(), (Calls{"BASS_Init(-1,44100,0)"}));
  EXPECT_EQ(musicPlayer.kind, kBassPlayer);

  BassCalls().clear();
  MakeModule("Msx1.xm");
  musicPlayer.PlayModule("Msx1.xm");
  musicPlayer.StopModule();
  musicPlayer.ResumeModule();
  musicPlayer.SetVolume(40);  // not guarded: the library refuses it
  DeInitPlayer(&musicPlayer);
  EXPECT_EQ(BassCalls(), (Calls{"BASS_SetVolume(40)"}));  // in particular no BASS_Free
  EXPECT_EQ(Slept(), 0u);
  EXPECT_EQ(platform::FakeWindow().messageBoxCount, 1);
}

TEST_F(BassPlayerTest, StopThenResumeStartsOverFromPositionZeroAtFullVolume) {
  Start();
  musicPlayer.SetVolume(30);
  BassCalls().clear();
  musicPlayer.StopModule();
  EXPECT_EQ(BassCalls(), (Calls{"BASS_ChannelStop(1)"}));
  musicPlayer.ResumeModule();
  EXPECT_EQ(BassCalls(),
            (Calls{"BASS_ChannelStop(1)", "BASS_MusicPlayEx(1,0,-1,1)", "BASS_SetVolume(100)"}));
  EXPECT_EQ(Slept(), 100u);
}

TEST_F(BassPlayerTest, PlayModuleReplacesTheMusicAndWaits) {
  Start();
  MakeModule("Msx2.xm");
  BassCalls().clear();
  musicPlayer.PlayModule("Msx2.xm");
  EXPECT_EQ(BassCalls(),
            (Calls{"BASS_ChannelStop(1)", "BASS_MusicFree(1)", "BASS_MusicLoad(Msx2.xm,0,0,6)",
                   "BASS_MusicPlayEx(2,0,-1,1)", "BASS_SetVolume(100)"}));
  EXPECT_EQ(Slept(), 100u);
}

TEST_F(BassPlayerTest, DeInitFadesOutThenFreesOnce) {
  Start();
  BassCalls().clear();
  DeInitPlayer(&musicPlayer);
  ASSERT_EQ(BassCalls().size(), 101u);
  for (int i = 0; i < 100; ++i)
    ASSERT_EQ(BassCalls()[i], "BASS_SetVolume(" + std::to_string(100 - i) + ")");
  EXPECT_EQ(BassCalls()[100], "BASS_Free()");
  EXPECT_EQ(musicPlayer.kind, kNoPlayer);
  EXPECT_EQ(Slept(), 0u);

  BassCalls().clear();
  DeInitPlayer(&musicPlayer);
  EXPECT_TRUE(BassCalls().empty());
}

TEST_F(BassPlayerTest, MissingModulesAreFatal) {
  EXPECT_EXIT(InitPlayer(&musicPlayer, "Msx0.xm", SoundConfig{}, kBassPlayer),
              testing::ExitedWithCode(1), "ERROR: Can't play the file - load error \\(BASS\\)!\n$");
  EXPECT_EXIT(
      {
        Start();
        musicPlayer.PlayModule("missing.xm");
      },
      testing::ExitedWithCode(1),
      "ERROR: Can't play the file - open/load/format error \\(BASS\\)!\n$");
}

}  // namespace
