// An output without a device: a thread mixes a ModuleMixer in real time and
// throws the sound away, so that positions advance and syncs come as they
// would with sound.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/sound/audio_clock.hpp"
#include "platform/sound/module_mixer.hpp"

namespace platform {

class SilentAudioOutput {
 public:
  SilentAudioOutput() = default;
  ~SilentAudioOutput() { Close(); }
  SilentAudioOutput(const SilentAudioOutput&) = delete;
  SilentAudioOutput& operator=(const SilentAudioOutput&) = delete;

  // Paused until Start. False when already open.
  bool Open(int32_t rate, SampleFormat format, ModuleMixer* mixer, AudioClock* clock);
  void Start();
  void Pause();
  void Close();
  bool IsOpen() const { return thread_.joinable(); }

  static constexpr int kBlockFrames = 256;

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable changed_;
  bool running_ = false;
  bool closing_ = false;
  ModuleMixer* mixer_ = nullptr;
  AudioClock* clock_ = nullptr;
  int32_t rate_ = 44100;
  std::thread thread_;
};

}  // namespace platform
