// Real window driver over SDL2: one full-screen window on the thread that
// creates it, its events turned into the desktop's window messages.
#include <SDL.h>

#include <atomic>

#include "platform/window/letterbox.hpp"
#include "platform/window/message_loop.hpp"
#include "platform/window/sdl_window_internal.hpp"

namespace platform {
namespace {

std::atomic<bool> openGlWindows{false};

constexpr intptr_t kKeyAltDown = intptr_t{1} << 29;
constexpr intptr_t kKeyWasDown = intptr_t{1} << 30;
constexpr intptr_t kKeyReleased = intptr_t{1} << 31;

class Sdl final : public MessageLoopWindow {
 public:
  const char* DriverName() const override { return "sdl"; }

  void ShowMessageBox(WindowHandle owner, const char* text, const char* caption) override {
    // Only a live window can own the box.
    SDL_Window* parent = owner && owner == window_.load() ? window_.load() : nullptr;
    // Without a display (no X server, a terminal session) SDL cannot show a
    // box; the text must still reach the user.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, parent) != 0) {
      ConsoleWindowService().ShowMessageBox(owner, text, caption);
    }
  }

  int ShowCursor(bool show) override {
    const int counter = counter_ += show ? 1 : -1;
    RunOnWindowThread(
        [counter] {
          if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(counter >= 0 ? SDL_ENABLE : SDL_DISABLE);
        },
        false);
    return counter;
  }

  void HideCursor() override {
    RunOnWindowThread(
        [] {
          if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(SDL_DISABLE);
        },
        false);
  }

  void SetWindowIcon(WindowHandle window, int width, int height,
                     const std::uint32_t* pixels) override {
    if (!window || window != window_.load() || !pixels || width <= 0 || height <= 0) return;
    RunOnWindowThread(
        [this, window, width, height, pixels] {
          SDL_Window* sdlWindow = window_.load();
          if (window != sdlWindow) return;
          constexpr int kIconBits = 32;
          SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
              const_cast<std::uint32_t*>(pixels), width, height, kIconBits,
              width * static_cast<int>(sizeof *pixels), SDL_PIXELFORMAT_ARGB8888);
          if (!icon) return;
          SDL_SetWindowIcon(sdlWindow, icon);  // SDL copies the pixels
          SDL_FreeSurface(icon);
        },
        true);
  }

  void ShowWindow(WindowHandle window) override {
    SDL_Window* sdlWindow = window_.load();
    if (!window || window != sdlWindow) return;
    SDL_ShowWindow(sdlWindow);
    SDL_RaiseWindow(sdlWindow);
    SDL_SetWindowInputFocus(sdlWindow);
  }

  bool GetScreenSize(int& width, int& height) override {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    SDL_Rect desktop{};
    const bool known = SDL_GetDisplayBounds(0, &desktop) == 0;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (!known) return false;
    width = desktop.w;
    height = desktop.h;
    return true;
  }

  SDL_Window* MainSdlWindow() const { return window_.load(); }
  void SetHooks(SdlWindowHooks hooks) { hooks_ = std::move(hooks); }

 protected:
  WindowHandle OpenNativeWindow(const char* title) override {
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // A 640 x 480 image needs no 3D driver: SDL's own renderer scales it,
    // and the process stays small (an OpenGL driver brings tens of MiB).
    // The environment (SDL_RENDER_DRIVER, SDL_FRAMEBUFFER_ACCELERATION)
    // still chooses otherwise.
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_DEFAULT);
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    if (wakeEvent_ == 0) wakeEvent_ = SDL_RegisterEvents(1);
    SDL_Rect desktop{0, 0, kScreenWidth, kScreenHeight};
    SDL_GetDisplayBounds(0, &desktop);
    popup_ = placement().popup;
    Uint32 flags = SDL_WINDOW_HIDDEN |
                   (popup_ ? SDL_WINDOW_BORDERLESS : SDL_WINDOW_FULLSCREEN_DESKTOP);
    if (openGlWindows) flags |= SDL_WINDOW_OPENGL;
    SDL_Window* window =
        popup_ ? SDL_CreateWindow(title, placement().x, placement().y, placement().width,
                                  placement().height, flags)
               : SDL_CreateWindow(title, desktop.x, desktop.y, desktop.w, desktop.h, flags);
    if (!window) {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      return nullptr;
    }
    windowId_ = SDL_GetWindowID(window);
    buttons_ = 0;
    modifiers_ = SDL_GetModState();
    window_ = window;
    return window;
  }

  void CloseNativeWindow(WindowHandle) override {
    if (hooks_.destroying) hooks_.destroying();
    SDL_Window* window = window_.exchange(nullptr);
    windowId_ = 0;
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  void WaitForNativeEvents(int timeoutMs) override {
    SDL_Event event;
    const int got = timeoutMs < 0 ? SDL_WaitEvent(&event) : SDL_WaitEventTimeout(&event, timeoutMs);
    if (!got) return;
    exposed_ = false;
    do {
      Translate(event);
    } while (SDL_PollEvent(&event));
    if (exposed_ && hooks_.exposed) hooks_.exposed();
  }

  void WakeLoop() override {
    SDL_Event event{};
    event.type = wakeEvent_;
    if (event.type != 0 && event.type != static_cast<Uint32>(-1)) SDL_PushEvent(&event);
  }

 private:
  bool Ours(Uint32 windowId) const { return windowId == windowId_ || windowId == 0; }

  void Translate(const SDL_Event& event) {
    switch (event.type) {
      case SDL_QUIT:
        PostMessage(WM_CLOSE, 0, 0);
        break;
      case SDL_WINDOWEVENT:
        if (event.window.windowID == windowId_) TranslateWindowEvent(event.window.event);
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (Ours(event.key.windowID)) TranslateKey(event.key);
        break;
      case SDL_MOUSEMOTION:
        if (event.motion.windowID == windowId_) {
          buttons_ = ButtonFlags(event.motion.state);
          PostMessage(WM_MOUSEMOVE, MouseFlags(), MouseLParam(event.motion.x, event.motion.y));
        }
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (event.button.windowID == windowId_) TranslateButton(event.button);
        break;
      default:
        break;
    }
  }

  void TranslateWindowEvent(Uint8 windowEvent) {
    switch (windowEvent) {
      case SDL_WINDOWEVENT_CLOSE:
        PostMessage(WM_CLOSE, 0, 0);
        break;
      case SDL_WINDOWEVENT_SHOWN:
      case SDL_WINDOWEVENT_EXPOSED:
      case SDL_WINDOWEVENT_SIZE_CHANGED:
      case SDL_WINDOWEVENT_RESTORED:
        exposed_ = true;
        break;
      default:
        break;
    }
  }

  void TranslateKey(const SDL_KeyboardEvent& key) {
    // The modifiers as of this event, for the mouse messages queued after it.
    modifiers_ = key.keysym.mod;
    const int virtualKey = VirtualKeyFromSdl(key.keysym.sym);
    if (virtualKey == 0) return;
    const bool down = key.type == SDL_KEYDOWN;
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    // A popup window keeps its size: Alt+Enter switches only the full-screen one.
    if (alt && virtualKey == VK_RETURN && !popup_) {
      if (down && !key.repeat) ToggleFullScreen();
      return;
    }
    intptr_t lParam = 1;  // repeat count
    if (alt) lParam |= kKeyAltDown;
    if (key.repeat || !down) lParam |= kKeyWasDown;
    if (!down) lParam |= kKeyReleased;
    // Keys pressed with Alt are system keys, which the reader ignores.
    const uint32_t message =
        alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    PostMessage(message, static_cast<uintptr_t>(virtualKey), lParam);
  }

  void TranslateButton(const SDL_MouseButtonEvent& button) {
    const bool down = button.type == SDL_MOUSEBUTTONDOWN;
    uintptr_t flag = 0;
    uint32_t message = 0;
    switch (button.button) {
      case SDL_BUTTON_LEFT:
        flag = MK_LBUTTON;
        message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        break;
      case SDL_BUTTON_RIGHT:
        flag = MK_RBUTTON;
        message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        break;
      case SDL_BUTTON_MIDDLE:
        flag = MK_MBUTTON;
        message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        break;
      default:
        return;
    }
    buttons_ = down ? (buttons_ | flag) : (buttons_ & ~flag);
    PostMessage(message, MouseFlags(), MouseLParam(button.x, button.y));
  }

  static uintptr_t ButtonFlags(Uint32 state) {
    uintptr_t flags = 0;
    if (state & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
    if (state & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
    if (state & SDL_BUTTON_MMASK) flags |= MK_MBUTTON;
    return flags;
  }

  uintptr_t MouseFlags() const {
    uintptr_t flags = buttons_;
    if (modifiers_ & KMOD_SHIFT) flags |= MK_SHIFT;
    if (modifiers_ & KMOD_CTRL) flags |= MK_CONTROL;
    return flags;
  }

  // Window coordinates to image pixels through the letterbox.
  intptr_t MouseLParam(int x, int y) const {
    int width = kScreenWidth, height = kScreenHeight;
    SDL_GetWindowSize(window_.load(), &width, &height);
    int imageX = 0, imageY = 0;
    OutputToImage(LetterboxRect(width, height), x, y, imageX, imageY);
    return MakeMouseLParam(imageX, imageY);
  }

  // Alt+Enter: between the whole desktop and a 640 x 480 window.
  void ToggleFullScreen() {
    SDL_Window* window = window_.load();
    const Uint32 flags = SDL_GetWindowFlags(window);
    if ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP) {
      SDL_SetWindowFullscreen(window, 0);
      SDL_SetWindowSize(window, kScreenWidth, kScreenHeight);
      SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    } else {
      // Cover the desktop first: without a window manager nobody else will.
      SDL_Rect desktop{0, 0, kScreenWidth, kScreenHeight};
      SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &desktop);
      SDL_SetWindowPosition(window, desktop.x, desktop.y);
      SDL_SetWindowSize(window, desktop.w, desktop.h);
      SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    exposed_ = true;
  }

  std::atomic<SDL_Window*> window_{nullptr};
  std::atomic<int> counter_{0};
  Uint32 windowId_ = 0;
  std::atomic<Uint32> wakeEvent_{0};  // SDL's number for our wake-up event
  uintptr_t buttons_ = 0;
  Uint16 modifiers_ = 0;
  bool exposed_ = false;
  bool popup_ = false;
  SdlWindowHooks hooks_;
};

Sdl& Driver() {
  static Sdl* sdl = new Sdl;  // outlives the window thread when another thread exits
  return *sdl;
}

}  // namespace

WindowService& SdlWindowService() { return Driver(); }

void SetMainWindowOpenGl(bool on) { openGlWindows = on; }

SDL_Window* SdlMainWindow() { return Driver().MainSdlWindow(); }

bool RunOnSdlWindowThread(std::function<void()> work, bool wait) {
  return Driver().RunOnWindowThread(std::move(work), wait);
}

bool OnSdlWindowThread() { return Driver().OnWindowThread(); }

void SetSdlWindowHooks(SdlWindowHooks hooks) { Driver().SetHooks(std::move(hooks)); }

}  // namespace platform
