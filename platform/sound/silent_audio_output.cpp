#include "platform/sound/silent_audio_output.hpp"

#include <vector>

namespace platform {

bool SilentAudioOutput::Open(int32_t rate, SampleFormat format, ModuleMixer* mixer,
                             AudioClock* clock) {
  if (thread_.joinable() || rate <= 0) return false;
  mixer->SetFormat(rate, format);
  clock->Reset(rate, 0);
  mixer_ = mixer;
  clock_ = clock;
  rate_ = rate;
  running_ = closing_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void SilentAudioOutput::Start() {
  std::lock_guard lock(mutex_);
  if (!thread_.joinable() || running_) return;
  clock_->Resume();
  running_ = true;
  changed_.notify_all();
}

void SilentAudioOutput::Pause() {
  std::lock_guard lock(mutex_);
  if (!running_) return;
  running_ = false;
  clock_->Pause(AudioClock::Clock::now());
  changed_.notify_all();
}

void SilentAudioOutput::Close() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

// Mixes block after block at the pace of a real device: a late wake-up is
// made up by the next blocks, unless the thread fell so far behind that the
// device would have run dry.
void SilentAudioOutput::Run() {
  constexpr auto kLongestCatchUp = std::chrono::milliseconds(100);
  std::vector<uint8_t> scratch(static_cast<size_t>(kBlockFrames) * 4);
  const auto block = std::chrono::microseconds(int64_t{kBlockFrames} * 1000000 / rate_);
  std::unique_lock lock(mutex_);
  auto due = AudioClock::Clock::now();
  bool wasRunning = false;
  while (!closing_) {
    if (!running_) {
      wasRunning = false;
      changed_.wait(lock);
      continue;
    }
    const auto now = AudioClock::Clock::now();
    if (!wasRunning || now > due + kLongestCatchUp) due = now;
    wasRunning = true;
    clock_->OnBuffer(mixer_->MixedFrames(), kBlockFrames, due);
    lock.unlock();
    mixer_->Render(scratch.data(), kBlockFrames * mixer_->BytesPerFrame());
    lock.lock();
    due += block;
    changed_.wait_until(lock, due, [this] { return closing_ || !running_; });
  }
}

}  // namespace platform
