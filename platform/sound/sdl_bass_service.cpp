// The BASS-style library over libopenmpt, played through SDL audio. Every
// device number means the default output device.
#include <mutex>

#include "platform/sound/bass_service.hpp"
#include "platform/sound/module_file.hpp"
#include "platform/sound/module_mixer.hpp"
#include "platform/sound/sdl_audio_output.hpp"

namespace platform {
namespace {

constexpr int32_t kSmoothTaps = 4;  // cubic
constexpr int32_t kPlainTaps = 1;   // no interpolation

class SdlBass final : public BassService {
 public:
  const char* DriverName() const override { return "sdl-openmpt"; }

  bool BASS_Init(int32_t, uint32_t freq, uint32_t flags, WindowHandle) override {
    std::lock_guard lock(mutex_);
    if (initialised_) return false;
    const SampleFormat format =
        flags & BASS_DEVICE_8BITS ? SampleFormat::Unsigned8 : SampleFormat::Signed16;
    if (!output_.Open(freq ? static_cast<int32_t>(freq) : 44100, format, &mixer_)) return false;
    mixer_.SetMasterGain(kUnityGain);
    initialised_ = true;
    return true;
  }

  bool BASS_Start() override {
    std::lock_guard lock(mutex_);
    if (initialised_) output_.Start();
    return initialised_;
  }

  bool BASS_Free() override {
    std::lock_guard lock(mutex_);
    if (!initialised_) return false;
    output_.Close();
    mixer_.RemoveAll();
    for (Music& music : musics_) music = Music{};
    initialised_ = false;
    return true;
  }

  HMUSIC BASS_MusicLoad(bool fromMemory, const void* file, uint32_t offset, uint32_t length,
                        uint32_t flags) override {
    std::lock_guard lock(mutex_);
    if (!initialised_ || !file || fromMemory) return 0;
    const ModuleLoad load = LoadModuleFile(static_cast<const char*>(file), offset, length);
    const HMUSIC handle = mixer_.Add(load.module);
    if (handle == 0) return 0;
    for (Music& music : musics_) {
      if (music.handle != 0) continue;
      music = Music{handle, flags};
      break;
    }
    ApplyFlags(handle, flags);
    return handle;
  }

  bool BASS_MusicPlayEx(HMUSIC handle, uint32_t position, int32_t flags, bool) override {
    std::lock_guard lock(mutex_);
    Music* music = Find(handle);
    if (!music) return false;
    if (flags != -1) {
      music->flags = static_cast<uint32_t>(flags);
      ApplyFlags(handle, music->flags);
    }
    // Order and row 0 restore the initial state whether `reset` is asked or
    // not: the module starts over exactly as loaded.
    return mixer_.Play(handle, static_cast<int32_t>(position & 0xFFFF),
                       static_cast<int32_t>(position >> 16));
  }

  void BASS_MusicFree(HMUSIC handle) override {
    std::lock_guard lock(mutex_);
    Music* music = Find(handle);
    if (!music) return;
    mixer_.Remove(handle);
    *music = Music{};
  }

  bool BASS_ChannelStop(uint32_t handle) override {
    std::lock_guard lock(mutex_);
    return Find(handle) && mixer_.Stop(handle);
  }

  bool BASS_SetVolume(uint32_t volume) override {
    std::lock_guard lock(mutex_);
    if (!initialised_ || volume > 100) return false;
    mixer_.SetMasterGain(GainOfLevel(static_cast<int32_t>(volume), 100));
    return true;
  }

 private:
  struct Music {
    HMUSIC handle;
    uint32_t flags;
  };

  Music* Find(HMUSIC handle) {
    if (handle == 0) return nullptr;
    for (Music& music : musics_)
      if (music.handle == handle) return &music;
    return nullptr;
  }

  void ApplyFlags(HMUSIC handle, uint32_t flags) {
    mixer_.SetLooping(handle, flags & BASS_MUSIC_LOOP);
    mixer_.SetInterpolation(handle, flags & kBassMusicSmooth ? kSmoothTaps : kPlainTaps);
  }

  std::mutex mutex_;  // the library's calls, from any thread
  bool initialised_ = false;
  Music musics_[ModuleMixer::kSlots] = {};
  ModuleMixer mixer_;
  SdlAudioOutput output_;  // declared last: closed before the mixer goes
};

}  // namespace

BassService& SdlBassService() {
  static SdlBass bass;
  return bass;
}

}  // namespace platform
