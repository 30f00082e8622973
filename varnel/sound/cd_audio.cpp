#include "varnel/sound/cd_audio.hpp"

#include "platform/cd/cd_service.hpp"

namespace varnel {

void CdAudioCommand(CdCommand command) {
  using namespace platform;
  switch (command) {
    case CdCommand::Stop:
      FSOUND_CD_Stop();
      break;
    case CdCommand::Eject:
      FSOUND_CD_Eject();
      break;
    case CdCommand::Play:
      // Continue a paused track; otherwise start the current one over, or
      // the first when none plays.
      if (FSOUND_CD_GetPaused()) {
        FSOUND_CD_SetPaused(false);
      } else if (FSOUND_CD_GetTrack() == 0) {
        FSOUND_CD_Play(1);
      } else {
        FSOUND_CD_Play(FSOUND_CD_GetTrack());
      }
      break;
    case CdCommand::Next:
      FSOUND_CD_Play(FSOUND_CD_GetTrack() + 1);
      break;
    case CdCommand::PauseToggle:
      FSOUND_CD_SetPaused(!FSOUND_CD_GetPaused());
      break;
    case CdCommand::Previous:
      // No bound: the drive refuses tracks the disc does not have.
      FSOUND_CD_Play(FSOUND_CD_GetTrack() - 1);
      break;
    default:
      break;
  }
}

}  // namespace varnel
