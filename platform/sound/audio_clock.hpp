// Which output frame is being heard: outputs report each buffer they are
// about to mix, and the clock runs on from there in real time, less the
// device's own buffering. Offline rendering sets the frame outright.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>

namespace platform {

class AudioClock {
 public:
  using Clock = std::chrono::steady_clock;

  // Starts over at frame 0: `latencyFrames` is how long a frame waits in
  // the device after its buffer is mixed.
  void Reset(int32_t rate, int64_t latencyFrames);
  int32_t rate() const;
  // The output asks for `frames` frames, the first of them `first`.
  void OnBuffer(int64_t first, int64_t frames, Clock::time_point now);
  // While paused the frame heard stands still.
  void Pause(Clock::time_point now);
  void Resume();
  // Nothing is heard before `frame`, the next the output mixes, has gone
  // through the device.
  void StartAt(int64_t frame);
  // Offline: the frame heard is set by the renderer, not by time.
  void SetHeard(int64_t frame);

  // Never goes back, never passes what was mixed.
  int64_t HeardFrame(Clock::time_point now) const;
  // How long until `frame` is heard if output runs on; zero once it is.
  Clock::duration Until(int64_t frame, Clock::time_point now) const;

 private:
  int64_t HeardLocked(Clock::time_point now) const;

  mutable std::mutex mutex_;  // a leaf lock: nothing is called under it
  int32_t rate_ = 44100;
  int64_t latency_ = 0;
  bool haveBuffer_ = false;
  bool paused_ = false;
  int64_t first_ = 0;
  int64_t frames_ = 0;
  Clock::time_point at_;
  mutable int64_t floor_ = 0;
};

}  // namespace platform
