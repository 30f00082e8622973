// The music player over the BASS-style library. After a failed BASS_Init
// the music stays off for the whole run.
#include "platform/clock/clock_service.hpp"
#include "platform/sound/bass_service.hpp"
#include "varnel/failure/fatal_error.hpp"
#include "varnel/sound/music_backends.hpp"

namespace varnel {

namespace {

constexpr uint32_t kLowQualityLoadFlags = platform::BASS_MUSIC_LOOP;
constexpr uint32_t kHighQualityLoadFlags = platform::BASS_MUSIC_LOOP | platform::kBassMusicSmooth;
constexpr int32_t kKeepLoadFlags = -1;
constexpr uint32_t kStartWaitMs = 100;

platform::HMUSIC music = 0;
bool musicReady = false;
bool highQuality = false;
uint32_t loadFlags = 0;

platform::HMUSIC LoadMusic(const char* moduleFile) {
  return platform::BASS_MusicLoad(false, moduleFile, 0, 0, loadFlags);
}

void StartFromTheBeginning() {
  platform::BASS_MusicPlayEx(music, 0, kKeepLoadFlags, true);
  platform::BASS_SetVolume(100);
}

void BassPlayModule(const char* moduleFile) {
  if (!musicReady) return;
  platform::BASS_ChannelStop(music);
  platform::BASS_MusicFree(music);
  music = LoadMusic(moduleFile);
  if (music == 0) FatalError("Can't play the file - open/load/format error (BASS)!");
  StartFromTheBeginning();
  platform::Sleep(kStartWaitMs);
}

void BassStopModule() {
  if (musicReady) platform::BASS_ChannelStop(music);
}

void BassResumeModule() {
  if (!musicReady) return;
  StartFromTheBeginning();
  platform::Sleep(kStartWaitMs);
}

// Negative levels wrap to large ones, which the library refuses.
void BassSetVolume(int32_t level) { platform::BASS_SetVolume(static_cast<uint32_t>(level)); }

void InstallBassOperations(MusicPlayer* player) {
  player->PlayModule = BassPlayModule;
  player->StopModule = BassStopModule;
  player->ResumeModule = BassResumeModule;
  player->SetVolume = BassSetVolume;
}

}  // namespace

void InitBassPlayer(MusicPlayer* player, const char* moduleFile, bool high,
                    platform::WindowHandle window) {
  highQuality = high;
  musicReady = false;
  music = 0;
  loadFlags = highQuality ? kHighQualityLoadFlags : kLowQualityLoadFlags;
  const bool deviceOpen = highQuality
                              ? platform::BASS_Init(-1, 44100, 0, window)
                              : platform::BASS_Init(-1, 22050, platform::BASS_DEVICE_8BITS, window);
  if (!deviceOpen) {
    platform::Window().ShowMessageBox(window, "Sound Device BUSY - Press <ENTER>", "WARNING");
    InstallBassOperations(player);
    return;
  }
  music = LoadMusic(moduleFile);
  if (music == 0) FatalError("Can't play the file - load error (BASS)!");
  platform::BASS_Start();
  platform::BASS_MusicPlayEx(music, 0, kKeepLoadFlags, true);
  musicReady = true;
  platform::BASS_SetVolume(100);
  InstallBassOperations(player);
}

void DeInitBassPlayer() {
  if (!musicReady) return;
  musicReady = false;
  for (uint32_t volume = 100; volume >= 1; --volume) platform::BASS_SetVolume(volume);
  platform::BASS_Free();
  music = 0;
}

}  // namespace varnel
