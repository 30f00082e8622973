// Real screen driver over SDL2: the drawing surface is an SDL surface in
// the format of the window's own surface; a present copies a rectangle
// into the window's surface and updates that rectangle on the screen.
// Presents are paced by the display's refresh rate: each one waits for the
// start of the next refresh period.
#include <SDL.h>

#include <chrono>
#include <thread>

#include "platform/screen/screen_service.hpp"
#include "platform/window/sdl_window_internal.hpp"
#include "platform/window/window_service.hpp"

namespace platform {
namespace {

// When the display does not tell its refresh rate.
constexpr int kDefaultRefreshHz = 60;
constexpr int kPaletteBits = 8;

class SdlScreen final : public ScreenService {
 public:
  const char* DriverName() const override { return "sdl"; }

  bool Open(WindowHandle window, int32_t width, int32_t height) override {
    Close();
    SDL_Window* sdlWindow = SdlMainWindow();
    if (!window || window != static_cast<WindowHandle>(sdlWindow)) return false;
    SDL_Surface* shown = SDL_GetWindowSurface(sdlWindow);
    if (shown) {
      drawing_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, shown->format->BitsPerPixel,
                                                shown->format->format);
      format_ = {shown->format->BitsPerPixel, shown->format->Rmask, shown->format->Gmask,
                 shown->format->Bmask};
    } else if (OnPaletteDesktop(sdlWindow)) {
      // SDL has no surface for palette desktops: the drawing surface is an
      // 8-bit one with no channel masks that presents show nothing of.
      drawing_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, kPaletteBits,
                                                SDL_PIXELFORMAT_INDEX8);
      format_ = {kPaletteBits, 0, 0, 0};
      palette_ = true;
    }
    if (!drawing_) {
      Close();
      return false;
    }
    SDL_FillRect(drawing_, nullptr, 0);
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(sdlWindow);
    int hz = 0;
    if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0) hz = mode.refresh_rate;
    period_ = std::chrono::nanoseconds(1'000'000'000 / (hz > 0 ? hz : kDefaultRefreshHz));
    epoch_ = Clock::now();
    window_ = window;
    // Uncovered parts of the window are drawn again by the window's owner.
    SetSdlWindowHooks({[window] { Window().PostMessage(window, WM_PAINT, 0, 0); }, nullptr});
    return true;
  }

  ScreenFormat Format() const override { return format_; }

  bool Lock(ScreenPixels& locked) override {
    if (!drawing_ || locked_) return false;
    if (SDL_LockSurface(drawing_) != 0) return false;
    locked_ = true;
    locked = {static_cast<uint8_t*>(drawing_->pixels), drawing_->pitch, drawing_->w, drawing_->h};
    return true;
  }

  bool Unlock() override {
    if (!locked_) return false;
    SDL_UnlockSurface(drawing_);
    locked_ = false;
    return true;
  }

  bool Present(int32_t x, int32_t y, int32_t sourceX, int32_t sourceY, int32_t width,
               int32_t height) override {
    if (!drawing_ || locked_ || width < 0 || height < 0 || sourceX < 0 || sourceY < 0 ||
        sourceX + width > drawing_->w || sourceY + height > drawing_->h)
      return false;
    SDL_Window* sdlWindow = SdlMainWindow();
    if (!sdlWindow || static_cast<WindowHandle>(sdlWindow) != window_) return false;
    WaitForRefresh();
    if (palette_) return true;
    SDL_Surface* shown = SDL_GetWindowSurface(sdlWindow);
    if (!shown) return false;
    SDL_Rect source{sourceX, sourceY, width, height};
    SDL_Rect target{x, y, width, height};
    if (SDL_BlitSurface(drawing_, &source, shown, &target) != 0) return false;
    return SDL_UpdateWindowSurfaceRects(sdlWindow, &target, 1) == 0;
  }

  void Close() override {
    if (window_) SetSdlWindowHooks({});
    window_ = nullptr;
    if (locked_) Unlock();
    SDL_FreeSurface(drawing_);
    drawing_ = nullptr;
    format_ = {};
    palette_ = false;
  }

 private:
  using Clock = std::chrono::steady_clock;

  // Sleeps to the start of the next refresh period.
  void WaitForRefresh() {
    const auto elapsed = Clock::now() - epoch_;
    const auto periods = elapsed / period_ + 1;
    std::this_thread::sleep_until(epoch_ + periods * period_);
  }

  // A desktop of 8 bits or fewer per pixel (SDL reports palette formats as
  // unknown or indexed).
  static bool OnPaletteDesktop(SDL_Window* window) {
    SDL_DisplayMode desktop{};
    const int display = SDL_GetWindowDisplayIndex(window);
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &desktop) != 0) return false;
    const Uint32 format = SDL_GetWindowPixelFormat(window);
    return (format == SDL_PIXELFORMAT_UNKNOWN || SDL_ISPIXELFORMAT_INDEXED(format)) &&
           SDL_BITSPERPIXEL(desktop.format) <= kPaletteBits;
  }

  SDL_Surface* drawing_ = nullptr;
  bool palette_ = false;  // nothing is shown
  bool locked_ = false;
  ScreenFormat format_{};
  WindowHandle window_ = nullptr;
  Clock::duration period_ = std::chrono::milliseconds(16);
  Clock::time_point epoch_;
};

}  // namespace

ScreenService& SdlScreenService() {
  static SdlScreen* screen = new SdlScreen;  // outlives a fatal exit's static teardown
  return *screen;
}

}  // namespace platform
