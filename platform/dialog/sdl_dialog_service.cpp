// Real dialog driver: a window of its own, centred on the screen, with the
// dialog's caption; the client area is painted into 5-5-5 pixels and shown
// through a texture.
#include <SDL.h>

#include "platform/dialog/dialog_painter.hpp"

namespace platform::dialog {
namespace {

// SDL's video subsystem for the length of one dialog, unless someone else
// already runs it.
class VideoScope {
 public:
  VideoScope() : owned_(!SDL_WasInit(SDL_INIT_VIDEO)) {
    ready_ = !owned_ || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    owned_ = owned_ && ready_;
  }
  ~VideoScope() {
    if (!owned_) return;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // With nothing else of SDL running, let it release the rest as well (its
    // desktop-bus connection among them).
    if (SDL_WasInit(0) == 0) SDL_Quit();
  }
  bool ready() const { return ready_; }

 private:
  bool owned_;
  bool ready_ = false;
};

class DialogWindow {
 public:
  DialogWindow(const char* caption, int width, int height) : canvas_(width, height) {
    window_ = SDL_CreateWindow(caption ? caption : "", SDL_WINDOWPOS_CENTERED,
                               SDL_WINDOWPOS_CENTERED, width, height, SDL_WINDOW_HIDDEN);
    if (!window_) return;
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) return;
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB555, SDL_TEXTUREACCESS_STREAMING,
                                 width, height);
  }
  ~DialogWindow() {
    if (texture_) SDL_DestroyTexture(texture_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (window_) SDL_DestroyWindow(window_);
  }
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  bool valid() const { return texture_ && canvas_.valid(); }
  Uint32 id() const { return SDL_GetWindowID(window_); }

  void Show() {
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    SDL_SetWindowInputFocus(window_);
  }
  void Paint(const DialogSession& session) {
    PaintDialog(session, canvas_);
    SDL_UpdateTexture(texture_, nullptr, canvas_.pixels(), canvas_.stride() * 2);
    Present();
  }
  void Present() {
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
  }

 private:
  DialogCanvas canvas_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
};

bool TranslateKey(SDL_Keycode code, DialogKey* key) {
  switch (code) {
    case SDLK_TAB:
      *key = DialogKey::Tab;
      return true;
    case SDLK_LEFT:
      *key = DialogKey::Left;
      return true;
    case SDLK_RIGHT:
      *key = DialogKey::Right;
      return true;
    case SDLK_UP:
      *key = DialogKey::Up;
      return true;
    case SDLK_DOWN:
      *key = DialogKey::Down;
      return true;
    case SDLK_SPACE:
      *key = DialogKey::Space;
      return true;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      *key = DialogKey::Enter;
      return true;
    case SDLK_ESCAPE:
      *key = DialogKey::Escape;
      return true;
    default:
      return false;
  }
}

// Only moving keys repeat; a held Space, Enter or Esc acts once.
bool Repeats(DialogKey key) {
  return key != DialogKey::Space && key != DialogKey::Enter && key != DialogKey::Escape;
}

// Hands one event of the dialog's window to the session; other windows'
// events are dropped while the dialog runs, as a modal dialog disables its owner.
void Dispatch(const SDL_Event& event, Uint32 windowId, DialogSession& session,
              DialogWindow& window) {
  switch (event.type) {
    case SDL_QUIT:
      session.Close();
      break;
    case SDL_WINDOWEVENT:
      if (event.window.windowID != windowId) break;
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        // SDL follows the close of its only window with a quit event, which
        // must not reach whoever pumps events after the dialog.
        SDL_FlushEvent(SDL_QUIT);
        session.Close();
      }
      if (event.window.event == SDL_WINDOWEVENT_EXPOSED) window.Present();
      break;
    case SDL_KEYDOWN: {
      DialogKey key;
      // Keys that came before SDL gave the window the keyboard focus carry no
      // window; a modal dialog takes them.
      const bool ours = event.key.windowID == windowId || event.key.windowID == 0;
      if (!ours || !TranslateKey(event.key.keysym.sym, &key)) break;
      if (event.key.repeat && !Repeats(key)) break;
      session.Key(key, (event.key.keysym.mod & KMOD_SHIFT) != 0);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.windowID == windowId && event.button.button == SDL_BUTTON_LEFT) {
        session.MouseDown(event.button.x, event.button.y);
      }
      break;
    case SDL_MOUSEMOTION:
      if (event.motion.windowID == windowId) session.MouseMove(event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.windowID == windowId && event.button.button == SDL_BUTTON_LEFT) {
        session.MouseUp(event.button.x, event.button.y);
      }
      break;
    default:
      break;
  }
}

class Sdl final : public DialogService {
 public:
  const char* DriverName() const override { return "sdl"; }

  bool RunModal(DialogSession& session, HWND) override {
    VideoScope video;
    if (!video.ready()) return false;
    const DialogLayout& layout = session.layout();
    DialogWindow window(session.dialogTemplate().caption, layout.width, layout.height);
    if (!window.valid()) return false;
    session.Start();
    if (session.ended()) return true;
    window.Paint(session);
    window.Show();
    session.TakeRepaint();
    const Uint32 windowId = window.id();
    SDL_Event event;
    while (!session.ended() && SDL_WaitEvent(&event)) {
      Dispatch(event, windowId, session, window);
      if (session.TakeRepaint() && !session.ended()) window.Paint(session);
    }
    return session.ended();
  }
};

}  // namespace

DialogService& SdlDialogService() {
  static Sdl sdl;
  return sdl;
}

}  // namespace platform::dialog
