#include "platform/sound/sdl_audio_output.hpp"

#include <SDL.h>

namespace platform {
namespace {

// About 23 ms at 44.1 kHz: short enough for a 100 ms restart wait.
constexpr Uint16 kBufferFrames = 1024;

void RenderCallback(void* mixer, Uint8* stream, int bytes) {
  static_cast<ModuleMixer*>(mixer)->Render(stream, bytes);
}

}  // namespace

bool SdlAudioOutput::Open(int32_t rate, SampleFormat format, ModuleMixer* mixer) {
  if (device_ != 0) return false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  mixer->SetFormat(rate, format);
  SDL_AudioSpec wanted{};
  wanted.freq = rate;
  wanted.format = format == SampleFormat::Signed16 ? AUDIO_S16SYS : AUDIO_U8;
  wanted.channels = 2;
  wanted.samples = kBufferFrames;
  wanted.callback = RenderCallback;
  wanted.userdata = mixer;
  SDL_AudioSpec obtained{};
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device_ == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  bufferFrames_ = obtained.samples;
  return true;
}

void SdlAudioOutput::Start() {
  if (device_ != 0) SDL_PauseAudioDevice(device_, 0);
}

void SdlAudioOutput::Pause() {
  if (device_ != 0) SDL_PauseAudioDevice(device_, 1);
}

void SdlAudioOutput::Close() {
  if (device_ == 0) return;
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace platform
