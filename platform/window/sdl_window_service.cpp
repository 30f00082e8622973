// Real window driver over SDL2.
#include <SDL.h>

#include "platform/window/window_service.hpp"

namespace platform {
namespace {

class Sdl final : public WindowService {
 public:
  const char* DriverName() const override { return "sdl"; }

  void ShowMessageBox(WindowHandle owner, const char* text, const char* caption) override {
    SDL_Window* parent = static_cast<SDL_Window*>(owner);
    // Without a display (no X server, a terminal session) SDL cannot show a
    // box; the text must still reach the user.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, parent) != 0) {
      ConsoleWindowService().ShowMessageBox(owner, text, caption);
    }
  }

  int ShowCursor(bool show) override {
    counter_ += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(counter_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return counter_;
  }

 private:
  int counter_ = 0;
};

}  // namespace

WindowService& SdlWindowService() {
  static Sdl sdl;
  return sdl;
}

}  // namespace platform
