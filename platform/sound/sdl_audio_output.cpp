#include "platform/sound/sdl_audio_output.hpp"

#include <SDL.h>

namespace platform {
namespace {

// About 23 ms at 44.1 kHz: short enough for a 100 ms restart wait.
constexpr Uint16 kBufferFrames = 1024;

// Drivers that take a buffer the moment it is mixed and keep no queue of
// their own.
bool WritesAtOnce(const char* driver) {
  return driver && (SDL_strcmp(driver, "disk") == 0 || SDL_strcmp(driver, "dummy") == 0);
}

}  // namespace

void SdlAudioOutput::Callback(void* self, uint8_t* stream, int bytes) {
  auto* output = static_cast<SdlAudioOutput*>(self);
  if (output->clock_)
    output->clock_->OnBuffer(output->mixer_->MixedFrames(), bytes / output->mixer_->BytesPerFrame(),
                             AudioClock::Clock::now());
  output->mixer_->Render(stream, bytes);
}

bool SdlAudioOutput::Open(int32_t rate, SampleFormat format, ModuleMixer* mixer,
                          AudioClock* clock) {
  if (device_ != 0) return false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  mixer->SetFormat(rate, format);
  mixer_ = mixer;
  clock_ = clock;
  SDL_AudioSpec wanted{};
  wanted.freq = rate;
  wanted.format = format == SampleFormat::Signed16 ? AUDIO_S16SYS : AUDIO_U8;
  wanted.channels = 2;
  wanted.samples = kBufferFrames;
  wanted.callback = Callback;
  wanted.userdata = this;
  SDL_AudioSpec obtained{};
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device_ == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  // A device that queues buffers plays each one after the one before.
  if (clock_) clock_->Reset(rate, WritesAtOnce(SDL_GetCurrentAudioDriver()) ? 0 : obtained.samples);
  return true;
}

void SdlAudioOutput::Start() {
  if (device_ == 0) return;
  if (clock_) clock_->Resume();
  SDL_PauseAudioDevice(device_, 0);
}

void SdlAudioOutput::Pause() {
  if (device_ == 0) return;
  SDL_PauseAudioDevice(device_, 1);  // returns once no callback runs
  if (clock_) clock_->Pause(AudioClock::Clock::now());
}

void SdlAudioOutput::Close() {
  if (device_ == 0) return;
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace platform
