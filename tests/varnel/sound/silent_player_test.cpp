// The silent player, the empty record and the fatal shutdown steps.
#include <unistd.h>

#include <cstdio>

#include "tests/varnel/sound/sound_fixture.hpp"
#include "varnel/failure/fatal_error.hpp"
#include "varnel/sound/sound_startup.hpp"

using namespace varnel;

namespace {

using SilentPlayerTest = SoundTest;

void RunEveryOperation(MusicPlayer* player) {
  player->PlayModule("Msx1.xm");
  player->StopModule();
  player->ResumeModule();
  player->SetVolume(42);
}

bool IsEmpty(const MusicPlayer& player) {
  return player.kind == kNoPlayer && player.PlayModule && player.StopModule &&
         player.ResumeModule && player.SetVolume;
}

TEST_F(SilentPlayerTest, EveryOperationOnlyWritesItsDummyLine) {
  testing::internal::CaptureStdout();
  InitPlayer(&musicPlayer, "Msx0.xm", SoundConfig{}, kSilentPlayer);
  EXPECT_EQ(musicPlayer.kind, kSilentPlayer);
  RunEveryOperation(&musicPlayer);
  DeInitPlayer(&musicPlayer);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\n DUMMY: Dummy_InitPlayer"
            "\n DUMMY: Dummy_PlayModule( Msx1.xm )"
            "\n DUMMY: Dummy_StopModule()"
            "\n DUMMY: Dummy_ResumeModule()"
            "\n DUMMY: Dummy_SetVolume( 42 )"
            "\n DUMMY: Dummy_DeInitPlayer");
  // No library is touched and nothing waits, though no module file exists.
  EXPECT_TRUE(BassCalls().empty());
  EXPECT_TRUE(FmodCalls().empty());
  EXPECT_EQ(Slept(), 0u);
  EXPECT_TRUE(IsEmpty(musicPlayer));
}

TEST_F(SilentPlayerTest, NoPlayerAndUnknownKindsAreHarmlessNoOps) {
  for (uint32_t kind : {0u, 4u, 0xFFFFFFFFu}) {
    testing::internal::CaptureStdout();
    MusicPlayer player;
    InitPlayer(&player, "Msx0.xm", SoundConfig{}, kind);
    EXPECT_EQ(player.kind, kind);
    RunEveryOperation(&player);
    DeInitPlayer(&player);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << kind;
    EXPECT_TRUE(IsEmpty(player)) << kind;
  }
  EXPECT_TRUE(BassCalls().empty());
  EXPECT_TRUE(FmodCalls().empty());
  EXPECT_EQ(Slept(), 0u);
}

TEST_F(SilentPlayerTest, DeInitPlayerEmptiesTheRecordAndIsSafeAgain) {
  MusicPlayer player{};  // never started: null slots
  DeInitPlayer(&player);
  EXPECT_TRUE(IsEmpty(player));

  testing::internal::CaptureStdout();
  InitPlayer(&player, "Msx0.xm", SoundConfig{}, kSilentPlayer);
  DeInitPlayer(&player);
  DeInitPlayer(&player);
  RunEveryOperation(&player);  // a late call through the emptied record
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\n DUMMY: Dummy_InitPlayer\n DUMMY: Dummy_DeInitPlayer");
  EXPECT_TRUE(IsEmpty(player));
}

// Writes the CD calls where the death test reads them.
class TracingCd final : public platform::CdService {
 public:
  const char* DriverName() const override { return "tracing"; }
  bool FSOUND_CD_Play(int) override { return Trace("play"); }
  bool FSOUND_CD_Stop() override { return Trace("cd stop"); }
  bool FSOUND_CD_Eject() override { return Trace("eject"); }
  int FSOUND_CD_GetTrack() override { return 0; }
  bool FSOUND_CD_GetPaused() override { return false; }
  bool FSOUND_CD_SetPaused(bool) override { return Trace("pause"); }

 private:
  static bool Trace(const char* what) {
    std::fprintf(stderr, "\n%s\n", what);
    return true;
  }
};

void ReleaseDisplayStandIn() { std::fputs("display released\n", stderr); }

TEST_F(SilentPlayerTest, FatalErrorStopsMusicThenCdThenDisplay) {
  EXPECT_EXIT(
      {
        static TracingCd cd;
        platform::SetCdService(&cd);
        RegisterSoundShutdownSteps();
        RegisterFatalShutdownStep(ReleaseDisplayStandIn);
        InitPlayer(&musicPlayer, "Msx0.xm", SoundConfig{}, kSilentPlayer);
        dup2(2, 1);  // the trace lines join the boxes on standard error
        FatalError("Allocator Error !");
      },
      testing::ExitedWithCode(1),
      "ERROR Allocator Error ! \n DUMMY: Dummy_DeInitPlayer\ncd stop\ndisplay released\n"
      "ERROR: Allocator Error !\n$");
}

}  // namespace
