#include "varnel/sound/music_player.hpp"

#include "varnel/failure/fatal_error.hpp"
#include "varnel/sound/cd_audio.hpp"
#include "varnel/sound/music_backends.hpp"
#include "varnel/sound/sound_startup.hpp"

namespace varnel {

namespace {

void PlayNothing(const char*) {}
void DoNothing() {}
void SetNoVolume(int32_t) {}

platform::WindowHandle mainWindow = nullptr;

void ShutDownMusic() { DeInitPlayer(&musicPlayer); }
void StopCdAudio() { CdAudioCommand(CdCommand::Stop); }

}  // namespace

MusicPlayer musicPlayer = {kNoPlayer, PlayNothing, DoNothing, DoNothing, SetNoVolume};

void InstallNoPlayer(MusicPlayer* player) {
  player->PlayModule = PlayNothing;
  player->StopModule = DoNothing;
  player->ResumeModule = DoNothing;
  player->SetVolume = SetNoVolume;
}

void RegisterSoundShutdownSteps() {
  RegisterFatalShutdownStep(ShutDownMusic);
  RegisterFatalShutdownStep(StopCdAudio);
}

void SetMusicPlayerWindow(platform::WindowHandle window) { mainWindow = window; }

void InitPlayer(MusicPlayer* player, const char* moduleFile, const SoundConfig& config,
                uint32_t kind) {
  // The kind goes in first: a fatal error from here on shuts this kind down.
  *player = MusicPlayer{};
  player->kind = kind;
  InstallNoPlayer(player);
  switch (kind) {
    case kSilentPlayer:
      InitSilentPlayer(player);
      break;
    case kBassPlayer:
      InitBassPlayer(player, moduleFile, config.highQuality, mainWindow);
      break;
    case kFmodPlayer:
      InitFmodPlayer(player, moduleFile, config.highQuality, config.fmodOutput);
      break;
    default:
      break;
  }
}

void DeInitPlayer(MusicPlayer* player) {
  switch (player->kind) {
    case kSilentPlayer:
      DeInitSilentPlayer();
      break;
    case kBassPlayer:
      DeInitBassPlayer();
      break;
    case kFmodPlayer:
      DeInitFmodPlayer();
      break;
    default:
      break;
  }
  // Empty again: kind 0, whose operations do nothing (a null slot would
  // crash a late call from the other thread).
  *player = MusicPlayer{};
  InstallNoPlayer(player);
}

}  // namespace varnel
