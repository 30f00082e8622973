#include "platform/sound/audio_clock.hpp"

#include <algorithm>

namespace platform {

void AudioClock::Reset(int32_t rate, int64_t latencyFrames) {
  std::lock_guard lock(mutex_);
  rate_ = rate > 0 ? rate : 44100;
  latency_ = std::max<int64_t>(latencyFrames, 0);
  haveBuffer_ = paused_ = false;
  first_ = frames_ = floor_ = 0;
}

int32_t AudioClock::rate() const {
  std::lock_guard lock(mutex_);
  return rate_;
}

void AudioClock::OnBuffer(int64_t first, int64_t frames, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  floor_ = HeardLocked(now);
  haveBuffer_ = true;
  paused_ = false;
  first_ = first;
  frames_ = frames;
  at_ = now;
}

void AudioClock::Pause(Clock::time_point now) {
  std::lock_guard lock(mutex_);
  floor_ = HeardLocked(now);
  paused_ = true;
}

void AudioClock::Resume() {
  std::lock_guard lock(mutex_);
  paused_ = false;
  haveBuffer_ = false;  // runs on from the next buffer
}

void AudioClock::StartAt(int64_t frame) {
  std::lock_guard lock(mutex_);
  haveBuffer_ = false;
  floor_ = frame - latency_;
}

void AudioClock::SetHeard(int64_t frame) {
  std::lock_guard lock(mutex_);
  haveBuffer_ = false;
  floor_ = std::max(floor_, frame);
}

int64_t AudioClock::HeardLocked(Clock::time_point now) const {
  if (!haveBuffer_ || paused_) return floor_;
  const int64_t elapsed =
      std::chrono::duration_cast<std::chrono::microseconds>(now - at_).count() * rate_ / 1000000;
  const int64_t heard = first_ - latency_ + std::clamp<int64_t>(elapsed, 0, frames_);
  floor_ = std::max(floor_, heard);
  return floor_;
}

int64_t AudioClock::HeardFrame(Clock::time_point now) const {
  std::lock_guard lock(mutex_);
  return HeardLocked(now);
}

AudioClock::Clock::duration AudioClock::Until(int64_t frame, Clock::time_point now) const {
  std::lock_guard lock(mutex_);
  const int64_t missing = frame - HeardLocked(now);
  if (missing <= 0) return Clock::duration::zero();
  return std::chrono::microseconds(missing * 1000000 / rate_ + 1);
}

}  // namespace platform
