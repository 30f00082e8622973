#include "platform/sound/sdl_audio_output.hpp"

#include <SDL.h>

namespace platform {
namespace {

// About 23 ms at 44.1 kHz: short enough for a 100 ms restart wait.
constexpr Uint16 kBufferFrames = 1024;

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
  bufferFrames_ = obtained.samples;
  // SDL hands a buffer on while the next is mixed: each is heard one buffer
  // after its callback (measured on the disk driver).
  if (clock_) clock_->Reset(rate, obtained.samples);
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
