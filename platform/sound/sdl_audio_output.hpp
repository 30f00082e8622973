// An SDL audio device whose callback renders a ModuleMixer. Used by the two
// sound library stand-ins; each owns one.
#pragma once

#include <cstdint>

#include "platform/sound/audio_clock.hpp"
#include "platform/sound/module_mixer.hpp"

namespace platform {

class SdlAudioOutput {
 public:
  SdlAudioOutput() = default;
  ~SdlAudioOutput() { Close(); }
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

  // Opens the default device, paused, for stereo at `rate` in `format`
  // (SDL converts when the device wants another). False when SDL has no
  // audio driver or no device. A `clock` (optional) is told of each buffer.
  bool Open(int32_t rate, SampleFormat format, ModuleMixer* mixer, AudioClock* clock = nullptr);
  void Start();
  void Pause();
  // Stops the callback (waiting for a running one) and closes the device.
  void Close();
  bool IsOpen() const { return device_ != 0; }
  // Frames the device takes per callback: mixed, but not heard yet.
  int32_t BufferFrames() const { return bufferFrames_; }

 private:
  static void Callback(void* self, uint8_t* stream, int bytes);

  uint32_t device_ = 0;
  ModuleMixer* mixer_ = nullptr;
  AudioClock* clock_ = nullptr;
  int32_t bufferFrames_ = 0;
};

}  // namespace platform
