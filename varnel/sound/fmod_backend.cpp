// The music player over the FMOD-style library. Every failure to set up or
// to load a song is fatal with the library's error text.
#include "platform/clock/clock_service.hpp"
#include "platform/sound/fmod_service.hpp"
#include "varnel/failure/fatal_error.hpp"
#include "varnel/sound/music_backends.hpp"

namespace varnel {

namespace {

constexpr float kPanSeparation = 0.15f;
constexpr uint32_t kStartWaitMs = 100;

platform::FMUSIC_MODULE* song = nullptr;

int32_t OutputType(FmodOutput output) {
  switch (output) {
    case FmodOutput::WinMm:
      return platform::FSOUND_OUTPUT_WINMM;
    case FmodOutput::DirectSound:
      return platform::FSOUND_OUTPUT_DSOUND;
    case FmodOutput::A3d:
      break;
  }
  return platform::FSOUND_OUTPUT_A3D;
}

[[noreturn]] void FailWithLibraryError() { FatalError(FmodErrorText(platform::FSOUND_GetError())); }

void LoadAndStart(const char* moduleFile) {
  song = platform::FMUSIC_LoadSong(moduleFile);
  if (!song) FailWithLibraryError();
  platform::FMUSIC_PlaySong(song);
  platform::FMUSIC_SetPanSeperation(song, kPanSeparation);
}

void FmodPlayModule(const char* moduleFile) {
  platform::FMUSIC_StopSong(song);
  platform::FMUSIC_FreeSong(song);
  // Forgotten at once: if the next load fails, the shutdown must not free
  // this song a second time.
  song = nullptr;
  LoadAndStart(moduleFile);
  platform::Sleep(kStartWaitMs);
}

void FmodStopModule() { platform::FMUSIC_StopSong(song); }

void FmodResumeModule() {
  platform::FMUSIC_PlaySong(song);
  platform::Sleep(kStartWaitMs);
}

void FmodSetVolume(int32_t level) { platform::FMUSIC_SetMasterVolume(song, level); }

}  // namespace

void InitFmodPlayer(MusicPlayer* player, const char* moduleFile, bool highQuality,
                    FmodOutput output) {
  song = nullptr;
  platform::FSOUND_SetOutput(OutputType(output));
  platform::FSOUND_SetDriver(0);
  platform::FSOUND_SetMixer(4);
  const bool ready =
      highQuality ? platform::FSOUND_Init(44100, 64, 0) : platform::FSOUND_Init(22050, 32, 0);
  if (!ready) FailWithLibraryError();
  LoadAndStart(moduleFile);
  player->PlayModule = FmodPlayModule;
  player->StopModule = FmodStopModule;
  player->ResumeModule = FmodResumeModule;
  player->SetVolume = FmodSetVolume;
}

void DeInitFmodPlayer() {
  if (song) platform::FMUSIC_FreeSong(song);
  song = nullptr;
  platform::FSOUND_Close();
}

const char* FmodErrorText(int32_t code) {
  static const char* const kTexts[] = {
      "No errors",
      "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
      "This command failed because FSOUND_Init was not called",
      "Error initializing output device.",
      "The output device is already in use and cannot be reused.",
      "Playing the sound failed.",
      "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
      "Error setting cooperative level for hardware.",
      "Error creating hardware sound buffer.",
      "File not found",
      "Unknown file format",
      "Error loading file",
      "Not enough memory ",
      "The version number of this file format is not supported",
      "Incorrect mixer selected",
      "An invalid parameter was passed to this function",
      "Tried to use an EAX command on a non EAX enabled channel or output.",
      "Tried to use an advanced EAX2 command on a non EAX2 enabled channel or output.",
      "Failed to allocate a new channel",
      "Recording not supported on this device",
  };
  constexpr int32_t kCount = sizeof kTexts / sizeof kTexts[0];
  return code >= 0 && code < kCount ? kTexts[code] : "Unknown error";
}

}  // namespace varnel
