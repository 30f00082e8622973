// The BASS-style library over libopenmpt, played through SDL audio, through
// a silent real-time output, or rendered offline on request. Every device
// number at or above 0 means the default output device.
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/sound/bass_service.hpp"
#include "platform/sound/module_file.hpp"
#include "platform/sound/module_mixer.hpp"
#include "platform/sound/music_syncs.hpp"
#include "platform/sound/sdl_audio_output.hpp"
#include "platform/sound/silent_audio_output.hpp"
#include "platform/sound/sync_effects.hpp"

namespace platform {
namespace {

constexpr int32_t kSmoothTaps = 4;  // cubic
constexpr int32_t kPlainTaps = 1;   // no interpolation
constexpr int32_t kDefaultRate = 44100;
constexpr uint32_t kLargestScaler = 256;
constexpr uint32_t kWord = 0xFFFF;
constexpr double kMillibelPerDecade = 2000.0;

enum class Output { None, Device, Silent, Offline };

// The amplification as libopenmpt's pre-amp: 50 is the module as written.
int32_t AmplifyMillibel(uint32_t amplify) {
  return static_cast<int32_t>(
      std::lround(kMillibelPerDecade * std::log10(amplify / double{kBassDefaultAmplify})));
}

class SdlBass final : public BassService {
 public:
  SdlBass() : syncs_(clock_) { mixer_.SetRowListener(&syncs_); }
  ~SdlBass() override { BASS_Free(); }

  const char* DriverName() const override { return "sdl-openmpt"; }

  bool BASS_Init(int32_t device, uint32_t freq, uint32_t flags, WindowHandle) override {
    std::lock_guard lock(mutex_);
    if (output_ != Output::None || device < kBassOfflineDevice) return false;
    const int32_t rate = freq ? static_cast<int32_t>(freq) : kDefaultRate;
    const SampleFormat format =
        flags & BASS_DEVICE_8BITS ? SampleFormat::Unsigned8 : SampleFormat::Signed16;
    if (device == kBassOfflineDevice) {
      mixer_.SetFormat(rate, format);
      clock_.Reset(rate, 0);
      output_ = Output::Offline;
    } else if (device == kBassNoSoundDevice) {
      if (!silent_.Open(rate, format, &mixer_, &clock_)) return false;
      output_ = Output::Silent;
    } else {
      if (!device_.Open(rate, format, &mixer_, &clock_)) return false;
      output_ = Output::Device;
    }
    mixer_.SetMasterGain(kUnityGain);
    clock_.StartAt(mixer_.MixedFrames());  // the mixer counts on from an earlier set-up
    if (output_ != Output::Offline) {
      syncs_.ClearInterrupt();
      delivery_ = std::thread([this] { Deliver(); });
    }
    return true;
  }

  bool BASS_Start() override {
    std::lock_guard lock(mutex_);
    if (output_ == Output::Device) device_.Start();
    if (output_ == Output::Silent) silent_.Start();
    return output_ != Output::None;
  }

  bool BASS_Stop() override {
    std::lock_guard lock(mutex_);
    if (output_ == Output::Device) device_.Pause();
    if (output_ == Output::Silent) silent_.Pause();
    return output_ != Output::None;
  }

  // The delivery thread is joined outside the lock: a sync procedure may be
  // waiting for it.
  bool BASS_Free() override {
    std::thread delivery;
    {
      std::lock_guard lock(mutex_);
      if (output_ == Output::None) return false;
      device_.Close();
      silent_.Close();
      mixer_.RemoveAll();
      syncs_.RemoveAll();
      for (Music& music : musics_) music = Music{};
      output_ = Output::None;
      syncs_.Interrupt();
      delivery = std::move(delivery_);
    }
    if (delivery.joinable()) {
      if (delivery.get_id() == std::this_thread::get_id()) {
        delivery.detach();  // freed from inside a sync procedure
      } else {
        delivery.join();
      }
    }
    return true;
  }

  HMUSIC BASS_MusicLoad(bool fromMemory, const void* file, uint32_t offset, uint32_t length,
                        uint32_t flags) override {
    std::lock_guard lock(mutex_);
    if (output_ == Output::None || !file) return 0;
    std::vector<uint8_t> fileBytes;
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (fromMemory) {
      if (length == 0) return 0;  // the size of the bytes is unknown
      data = static_cast<const uint8_t*>(file) + offset;
      size = length;
    } else {
      if (ReadModuleFile(static_cast<const char*>(file), offset, length, &fileBytes) !=
          ModuleLoadStatus::Ok)
        return 0;
      data = fileBytes.data();
      size = fileBytes.size();
    }
    SyncedModule load = LoadSyncedModule(data, size);
    const HMUSIC handle = mixer_.Add(load.module);
    if (handle == 0) return 0;
    for (Music& music : musics_) {
      if (music.handle != 0) continue;
      music = Music{handle, flags, 1};
      break;
    }
    syncs_.AddMusic(handle, std::move(load.syncs));
    mixer_.SetRowWatch(handle, true);
    ApplyFlags(handle, flags);
    return handle;
  }

  bool BASS_MusicPlayEx(HMUSIC handle, uint32_t position, int32_t flags, bool reset) override {
    std::lock_guard lock(mutex_);
    Music* music = Find(handle);
    if (!music) return false;
    if (flags != -1) {
      music->flags = static_cast<uint32_t>(flags);
      ApplyFlags(handle, music->flags);
    }
    const auto row = static_cast<int32_t>((position >> 16) / music->scaler);
    return mixer_.Play(handle, static_cast<int32_t>(position & kWord), row, reset);
  }

  bool BASS_MusicPlay(HMUSIC handle) override {
    std::lock_guard lock(mutex_);
    return Find(handle) && mixer_.Resume(handle);
  }

  void BASS_MusicFree(HMUSIC handle) override {
    std::lock_guard lock(mutex_);
    Music* music = Find(handle);
    if (!music) return;
    mixer_.Remove(handle);
    syncs_.RemoveMusic(handle);
    *music = Music{};
  }

  bool BASS_ChannelStop(uint32_t handle) override {
    std::lock_guard lock(mutex_);
    return Find(handle) && mixer_.Stop(handle);
  }

  bool BASS_SetVolume(uint32_t volume) override {
    std::lock_guard lock(mutex_);
    if (output_ == Output::None || volume > 100) return false;
    mixer_.SetMasterGain(GainOfLevel(static_cast<int32_t>(volume), 100));
    return true;
  }

  bool BASS_MusicSetAmplify(HMUSIC handle, uint32_t amplify) override {
    std::lock_guard lock(mutex_);
    if (!Find(handle) || amplify > 100) return false;
    if (amplify == 0) return mixer_.SetModuleGain(handle, 0);
    mixer_.SetModuleGain(handle, kUnityGain);
    return mixer_.SetPreamp(handle, AmplifyMillibel(amplify));
  }

  bool BASS_MusicSetPositionScaler(HMUSIC handle, uint32_t scale) override {
    std::lock_guard lock(mutex_);
    Music* music = Find(handle);
    if (!music || scale == 0 || scale > kLargestScaler) return false;
    music->scaler = scale;
    return syncs_.SetScaler(handle, scale);
  }

  HSYNC BASS_ChannelSetSync(uint32_t handle, uint32_t type, uint32_t param, SYNCPROC proc,
                            void* user) override {
    std::lock_guard lock(mutex_);
    if (!Find(handle) || type != BASS_SYNC_MUSICFX) return 0;
    return syncs_.AddSync(handle, param == 1, proc, user);
  }

  // Needs only the syncs' own lock, so a sync procedure may ask at once.
  uint32_t BASS_ChannelGetPosition(uint32_t handle) override {
    uint32_t position = 0;
    return syncs_.Position(handle, &position) ? position : kBassNoPosition;
  }

  bool RenderOffline(void* out, uint32_t frames) override {
    int64_t end = 0;
    {
      std::lock_guard lock(mutex_);
      if (output_ != Output::Offline || !out) return false;
      const int64_t first = mixer_.MixedFrames();
      mixer_.Render(out, static_cast<int>(frames) * mixer_.BytesPerFrame());
      end = first + frames;
    }
    for (const MusicSyncs::Due& due : syncs_.TakeBefore(end)) {
      clock_.SetHeard(due.frame);
      due.proc(due.sync, due.music, due.data, due.user);
    }
    clock_.SetHeard(end);
    return true;
  }

 private:
  struct Music {
    HMUSIC handle;
    uint32_t flags;
    uint32_t scaler;
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

  // Runs the sync procedures as their rows are heard, holding no lock.
  void Deliver() {
    for (;;) {
      const std::vector<MusicSyncs::Due> due = syncs_.WaitDue();
      if (due.empty()) return;
      for (const MusicSyncs::Due& sync : due) sync.proc(sync.sync, sync.music, sync.data, sync.user);
    }
  }

  std::mutex mutex_;  // the library's calls, from any thread
  Output output_ = Output::None;
  Music musics_[ModuleMixer::kSlots] = {};
  AudioClock clock_;
  MusicSyncs syncs_;
  ModuleMixer mixer_;
  std::thread delivery_;
  SilentAudioOutput silent_;  // the outputs are declared last: closed before the mixer goes
  SdlAudioOutput device_;
};

}  // namespace

BassService& SdlBassService() {
  static SdlBass bass;
  return bass;
}

}  // namespace platform
