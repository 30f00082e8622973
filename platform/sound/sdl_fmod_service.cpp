// The FMOD-style library over libopenmpt, played through SDL audio.
#include <cmath>
#include <iterator>
#include <mutex>

#include "platform/sound/fmod_service.hpp"
#include "platform/sound/module_file.hpp"
#include "platform/sound/module_mixer.hpp"
#include "platform/sound/sdl_audio_output.hpp"

namespace platform {
namespace {

int32_t ErrorOfLoad(ModuleLoadStatus status) {
  switch (status) {
    case ModuleLoadStatus::Ok:
      return FMOD_ERR_NONE;
    case ModuleLoadStatus::NotFound:
      return FMOD_ERR_FILE_NOTFOUND;
    case ModuleLoadStatus::UnknownFormat:
      return FMOD_ERR_FILE_FORMAT;
    case ModuleLoadStatus::Damaged:
      return FMOD_ERR_FILE_BAD;
    case ModuleLoadStatus::NoMemory:
      return FMOD_ERR_MEMORY;
  }
  return FMOD_ERR_FILE_BAD;
}

class SdlFmod final : public FmodService {
 public:
  const char* DriverName() const override { return "sdl-openmpt"; }

  bool FSOUND_SetOutput(int32_t outputType) override { return SetUp(&outputType_, outputType); }
  bool FSOUND_SetDriver(int32_t driver) override { return SetUp(&driver_, driver); }
  bool FSOUND_SetMixer(int32_t mixer) override { return SetUp(&mixerType_, mixer); }

  bool FSOUND_Init(int32_t mixRate, int32_t, uint32_t) override {
    std::lock_guard lock(mutex_);
    if (initialised_) return Fail(FMOD_ERR_BUSY);
    if (mixRate < 4000 || mixRate > 65535) return Fail(FMOD_ERR_INVALID_PARAM);
    mixer_.SetFormat(mixRate, SampleFormat::Signed16);
    if (outputType_ != FSOUND_OUTPUT_NOSOUND) {
      if (!output_.Open(mixRate, SampleFormat::Signed16, &mixer_)) return Fail(FMOD_ERR_INIT);
      output_.Start();
    }
    initialised_ = true;
    error_ = FMOD_ERR_NONE;
    return true;
  }

  int32_t FSOUND_GetError() override {
    std::lock_guard lock(mutex_);
    return error_;
  }

  void FSOUND_Close() override {
    std::lock_guard lock(mutex_);
    output_.Close();
    mixer_.RemoveAll();
    for (FMUSIC_MODULE& song : songs_) song.id = 0;
    initialised_ = false;
  }

  FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) override {
    std::lock_guard lock(mutex_);
    if (!initialised_) return FailSong(FMOD_ERR_UNINITIALIZED);
    FMUSIC_MODULE* song = FreeSlot();
    if (!song) return FailSong(FMOD_ERR_MEMORY);
    const ModuleLoad load = LoadModuleFile(name);
    if (!load.module) return FailSong(ErrorOfLoad(load.status));
    song->id = mixer_.Add(load.module);
    if (song->id == 0) return FailSong(FMOD_ERR_MEMORY);
    volume_[song - songs_] = kFullVolume;
    mixer_.SetLooping(song->id, true);
    return song;
  }

  bool FMUSIC_PlaySong(FMUSIC_MODULE* song) override {
    std::lock_guard lock(mutex_);
    return Live(song) && mixer_.Play(song->id);
  }

  bool FMUSIC_StopSong(FMUSIC_MODULE* song) override {
    std::lock_guard lock(mutex_);
    return Live(song) && mixer_.Stop(song->id);
  }

  bool FMUSIC_FreeSong(FMUSIC_MODULE* song) override {
    std::lock_guard lock(mutex_);
    if (!Live(song)) return false;
    mixer_.Remove(song->id);
    song->id = 0;
    return true;
  }

  bool FMUSIC_SetPanSeperation(FMUSIC_MODULE* song, float separation) override {
    std::lock_guard lock(mutex_);
    if (!Live(song)) return false;
    const float clamped = std::fmin(std::fmax(separation, 0.0f), 1.0f);
    return mixer_.SetStereoSeparation(song->id, static_cast<int32_t>(std::lround(clamped * 100)));
  }

  bool FMUSIC_SetMasterVolume(FMUSIC_MODULE* song, int32_t volume) override {
    std::lock_guard lock(mutex_);
    if (!Live(song)) return false;
    if (volume < 0 || volume > kFullVolume) return Fail(FMOD_ERR_INVALID_PARAM);
    if (!mixer_.SetModuleGain(song->id, GainOfLevel(volume, kFullVolume))) return false;
    volume_[song - songs_] = volume;
    return true;
  }

  int32_t FMUSIC_GetMasterVolume(FMUSIC_MODULE* song) override {
    std::lock_guard lock(mutex_);
    return Live(song) ? volume_[song - songs_] : -1;
  }

  int32_t FMUSIC_GetOrder(FMUSIC_MODULE* song) override {
    std::lock_guard lock(mutex_);
    if (!Live(song)) return -1;
    return mixer_.HeardOrder(song->id, output_.IsOpen() ? output_.BufferFrames() : 0);
  }

 private:
  bool SetUp(int32_t* setting, int32_t value) {
    std::lock_guard lock(mutex_);
    if (initialised_) return Fail(FMOD_ERR_BUSY);
    *setting = value;
    return true;
  }

  bool Fail(int32_t error) {
    error_ = error;
    return false;
  }

  FMUSIC_MODULE* FailSong(int32_t error) {
    error_ = error;
    return nullptr;
  }

  FMUSIC_MODULE* FreeSlot() {
    for (FMUSIC_MODULE& song : songs_)
      if (song.id == 0) return &song;
    return nullptr;
  }

  // Songs are this driver's own slots; anything else is refused.
  bool Live(const FMUSIC_MODULE* song) {
    if (song >= std::begin(songs_) && song < std::end(songs_) && song->id != 0) return true;
    return Fail(FMOD_ERR_INVALID_PARAM);
  }

  std::mutex mutex_;  // the library's calls, from any thread
  bool initialised_ = false;
  int32_t error_ = FMOD_ERR_NONE;
  int32_t outputType_ = FSOUND_OUTPUT_DSOUND;
  int32_t driver_ = 0;
  int32_t mixerType_ = 0;
  static constexpr int32_t kFullVolume = 256;
  FMUSIC_MODULE songs_[ModuleMixer::kSlots] = {};
  int32_t volume_[ModuleMixer::kSlots] = {};
  ModuleMixer mixer_;
  SdlAudioOutput output_;  // declared last: closed before the mixer goes
};

}  // namespace

FmodService& SdlFmodService() {
  static SdlFmod fmod;
  return fmod;
}

}  // namespace platform
