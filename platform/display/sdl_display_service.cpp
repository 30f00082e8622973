// Real display driver over SDL2: the 640 x 480 image in the main window,
// scaled to fit with its aspect kept. SDL renders only on the window thread,
// so a flip from another thread copies the frame into a hand-over buffer and
// wakes the window thread, which uploads and presents it.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/display/display_service.hpp"
#include "platform/window/letterbox.hpp"
#include "platform/window/sdl_window_internal.hpp"

namespace platform {
namespace {

// A waiting flip gives up after this long, should the window thread stop.
constexpr auto kLongestVsyncWait = std::chrono::seconds(1);

// 15 bits are refused only by a renderer that takes 5-6-5 natively but not
// 5-5-5, like a screen without a 15-bit mode. Elsewhere both go through SDL's
// conversion, and 5-5-5 keeps the frames exact.
bool Takes555(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0) return true;
  bool has555 = false, has565 = false;
  for (Uint32 i = 0; i < info.num_texture_formats; ++i) {
    has555 |= info.texture_formats[i] == SDL_PIXELFORMAT_RGB555;
    has565 |= info.texture_formats[i] == SDL_PIXELFORMAT_RGB565;
  }
  return has555 || !has565;
}

class SdlDisplay final : public DisplayService {
 public:
  const char* DriverName() const override { return "sdl"; }

  bool Open() override {
    if (!SdlMainWindow()) return false;
    const bool onThread = RunOnSdlWindowThread(
        [this] {
          SetSdlWindowHooks({[this] { Redraw(); }, [this] { DestroyRenderer(); }});
        },
        true);
    if (!onThread) return false;
    std::lock_guard lock(mutex_);
    closed_ = false;
    pending_ = false;
    return true;
  }

  bool TakeWindow(WindowHandle window) override {
    return window && window == static_cast<WindowHandle>(SdlMainWindow());
  }

  bool SetMode(int32_t bitsPerPixel) override {
    if (bitsPerPixel == 15 && options_.refuse15Bit) return false;
    bool made = false;
    RunOnSdlWindowThread([&] { made = CreateTexture(bitsPerPixel); }, true);
    return made;
  }

  int32_t SurfacePitch(int32_t width) const override {
    return std::max(options_.surfacePitch & ~1, width * 2);
  }

  void Show(const uint8_t* pixels, int32_t pitch, bool waitForVsync) override {
    uint64_t sequence = 0;
    bool schedule = false;
    {
      std::lock_guard lock(mutex_);
      if (closed_) return;
      const size_t bytes = static_cast<size_t>(pitch) * kScreenHeight;
      handOver_.resize(bytes);
      std::memcpy(handOver_.data(), pixels, bytes);
      handOverPitch_ = pitch;
      handOverVsync_ = waitForVsync;
      // An earlier frame still waiting is dropped for this one.
      pending_ = true;
      sequence = ++flipped_;
      schedule = !scheduled_;
      scheduled_ = true;
    }
    if (OnSdlWindowThread()) {
      PresentPending();
      return;
    }
    if (schedule && !RunOnSdlWindowThread([this] { PresentPending(); }, false)) {
      std::lock_guard lock(mutex_);
      scheduled_ = pending_ = false;
      return;
    }
    if (!waitForVsync) return;
    std::unique_lock lock(mutex_);
    shown_.wait_for(lock, kLongestVsyncWait, [&] { return shownSequence_ >= sequence || closed_; });
  }

  void Close() override {
    {
      std::lock_guard lock(mutex_);
      closed_ = true;
      pending_ = false;
    }
    shown_.notify_all();
    RunOnSdlWindowThread([this] { DestroyRenderer(); }, false);
  }

  void SetOptions(const SdlDisplayOptions& options) { options_ = options; }

  SdlDisplayCounts Counts() {
    std::lock_guard lock(mutex_);
    return {flipped_, presented_};
  }

 private:
  // Window thread only, from here on.
  bool CreateTexture(int32_t bitsPerPixel) {
    SDL_Window* window = SdlMainWindow();
    if (!window) return false;
    if (!renderer_) {
      renderer_ = SDL_CreateRenderer(window, -1, 0);
      if (!renderer_) return false;
      vsync_ = false;
    }
    if (bitsPerPixel == 15 && !Takes555(renderer_)) return false;
    const Uint32 format = bitsPerPixel == 15 ? SDL_PIXELFORMAT_RGB555 : SDL_PIXELFORMAT_RGB565;
    SDL_Texture* texture = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING,
                                             kScreenWidth, kScreenHeight);
    if (!texture) return false;
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = texture;
    hasPicture_ = false;
    Redraw();  // a new mode starts black
    return true;
  }

  void PresentPending() {
    uint64_t sequence = 0;
    bool vsync = false;
    {
      std::lock_guard lock(mutex_);
      scheduled_ = false;
      if (!pending_) return;
      pending_ = false;
      upload_.swap(handOver_);
      uploadPitch_ = handOverPitch_;
      vsync = handOverVsync_;
      sequence = flipped_;
    }
    if (renderer_ && texture_) {
      if (vsync != vsync_) {
        SDL_RenderSetVSync(renderer_, vsync ? 1 : 0);
        vsync_ = vsync;
      }
      SDL_UpdateTexture(texture_, nullptr, upload_.data(), uploadPitch_);
      hasPicture_ = true;
      Redraw();
    }
    {
      std::lock_guard lock(mutex_);
      shownSequence_ = std::max(shownSequence_, sequence);
      ++presented_;
    }
    shown_.notify_all();
  }

  void Redraw() {
    if (!renderer_) return;
    int width = kScreenWidth, height = kScreenHeight;
    SDL_GetRendererOutputSize(renderer_, &width, &height);
    const ImageRect rect = LetterboxRect(width, height);
    const SDL_Rect target{rect.x, rect.y, rect.width, rect.height};
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (hasPicture_) SDL_RenderCopy(renderer_, texture_, nullptr, &target);
    SDL_RenderPresent(renderer_);
  }

  void DestroyRenderer() {
    {
      std::lock_guard lock(mutex_);
      closed_ = true;
      pending_ = false;
    }
    shown_.notify_all();
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    texture_ = nullptr;
    renderer_ = nullptr;
    hasPicture_ = false;
  }

  SdlDisplayOptions options_;

  std::mutex mutex_;  // guards the hand-over state and the counts
  std::condition_variable shown_;
  std::vector<uint8_t> handOver_;
  int32_t handOverPitch_ = 0;
  bool handOverVsync_ = false;
  bool pending_ = false;
  bool scheduled_ = false;
  bool closed_ = true;
  uint64_t flipped_ = 0;
  uint64_t presented_ = 0;
  uint64_t shownSequence_ = 0;

  // Window thread only.
  std::vector<uint8_t> upload_;
  int32_t uploadPitch_ = 0;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  bool hasPicture_ = false;
  bool vsync_ = false;
};

SdlDisplay& Driver() {
  static SdlDisplay* sdl = new SdlDisplay;  // outlives every thread that flips
  return *sdl;
}

}  // namespace

DisplayService& SdlDisplayService() { return Driver(); }

void SetSdlDisplayOptions(const SdlDisplayOptions& options) { Driver().SetOptions(options); }

SdlDisplayCounts SdlDisplayStatistics() { return Driver().Counts(); }

}  // namespace platform
