// CD commands, decided from what the drive reports at the time.
#include "varnel/sound/cd_audio.hpp"

#include <gtest/gtest.h>

#include "platform/cd/cd_service.hpp"
#include "platform/drivers.hpp"

using namespace varnel;

namespace {

using Calls = std::vector<std::string>;

class CdAudioTest : public testing::Test {
 protected:
  void SetUp() override {
    platform::SelectDrivers(platform::DriverSet::Fake);
    cd().Reset();
  }
  static platform::FakeCdService& cd() { return platform::FakeCd(); }
  // The calls that change what the drive does.
  static Calls Actions() {
    Calls actions;
    for (const std::string& call : cd().calls)
      if (call.find("Get") == std::string::npos) actions.push_back(call);
    return actions;
  }
};

TEST_F(CdAudioTest, PlayStartsTrackOneThenTheCurrentTrackOverOrContinues) {
  CdAudioCommand(CdCommand::Play);
  EXPECT_EQ(Actions(), (Calls{"FSOUND_CD_Play(1)"}));

  cd().Reset();
  cd().track = 5;
  CdAudioCommand(CdCommand::Play);
  EXPECT_EQ(cd().calls, (Calls{"FSOUND_CD_GetPaused()", "FSOUND_CD_GetTrack()",
                               "FSOUND_CD_GetTrack()", "FSOUND_CD_Play(5)"}));

  cd().Reset();
  cd().track = 5;
  cd().paused = true;
  CdAudioCommand(CdCommand::Play);
  EXPECT_EQ(Actions(), (Calls{"FSOUND_CD_SetPaused(0)"}));
}

TEST_F(CdAudioTest, NextAndPreviousAreUnbounded) {
  cd().track = 1;
  CdAudioCommand(CdCommand::Previous);
  cd().track = 12;
  CdAudioCommand(CdCommand::Next);
  cd().track = 3;
  CdAudioCommand(CdCommand::Next);
  CdAudioCommand(CdCommand::Previous);
  EXPECT_EQ(Actions(), (Calls{"FSOUND_CD_Play(0)", "FSOUND_CD_Play(13)", "FSOUND_CD_Play(4)",
                              "FSOUND_CD_Play(3)"}));
}

TEST_F(CdAudioTest, PauseTogglesStopAndEject) {
  cd().track = 2;
  CdAudioCommand(CdCommand::PauseToggle);
  EXPECT_TRUE(cd().paused);
  CdAudioCommand(CdCommand::PauseToggle);
  CdAudioCommand(CdCommand::Stop);
  CdAudioCommand(CdCommand::Eject);
  EXPECT_EQ(Actions(), (Calls{"FSOUND_CD_SetPaused(1)", "FSOUND_CD_SetPaused(0)",
                              "FSOUND_CD_Stop()", "FSOUND_CD_Eject()"}));
}

TEST_F(CdAudioTest, OtherCommandsDoNothing) {
  cd().track = 4;
  for (int32_t command : {0, 7, -1, INT32_MIN}) CdAudioCommand(static_cast<CdCommand>(command));
  EXPECT_TRUE(cd().calls.empty());
}

}  // namespace
