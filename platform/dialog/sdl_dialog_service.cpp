// Real dialog driver: a window of its own, centred on the screen, with the
// dialog's caption; the client area is painted into 5-5-5 pixels and shown
// through a texture.
#include <SDL.h>

#include <map>
#include <memory>
#include <string>

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

// The window's name: the caption, else the first static text, so that a
// window without caption still tells window lists what it shows.
std::string WindowTitle(const DialogSession& session) {
  const char* caption = session.dialogTemplate().caption;
  if (caption && *caption) return caption;
  for (int i = 0; i < session.count(); ++i) {
    if (session.item(i).kind == ControlKind::StaticText) return session.text(i);
  }
  return "";
}

class DialogWindow {
 public:
  explicit DialogWindow(const DialogSession& session)
      : canvas_(session.layout().windowWidth(), session.layout().windowHeight()),
        frame_(session.layout().frame),
        title_(WindowTitle(session)) {
    const int width = canvas_.width(), height = canvas_.height();
    // Placed by its procedure, else centred on the screen.
    const int x = session.placed() ? session.x() : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    const int y = session.placed() ? session.y() : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    const Uint32 flags = SDL_WINDOW_HIDDEN | (frame_ > 0 ? SDL_WINDOW_BORDERLESS : 0);
    window_ = SDL_CreateWindow(title_.c_str(), x, y, width, height, flags);
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
  // Client coordinates of a point of the window.
  int ClientX(int x) const { return x - frame_; }
  int ClientY(int y) const { return y - frame_; }

  void Show(bool takeFocus) {
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    if (takeFocus) SDL_SetWindowInputFocus(window_);
  }
  void Paint(const DialogSession& session) {
    Follow(session);
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
  // Takes over the session's position and name where they changed.
  void Follow(const DialogSession& session) {
    if (session.placed()) {
      int x = 0, y = 0;
      SDL_GetWindowPosition(window_, &x, &y);
      if (x != session.x() || y != session.y())
        SDL_SetWindowPosition(window_, session.x(), session.y());
    }
    std::string title = WindowTitle(session);
    if (title != title_) {
      title_ = std::move(title);
      SDL_SetWindowTitle(window_, title_.c_str());
    }
  }

  DialogCanvas canvas_;
  int frame_;
  std::string title_;
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
        session.MouseDown(window.ClientX(event.button.x), window.ClientY(event.button.y));
      }
      break;
    case SDL_MOUSEMOTION:
      if (event.motion.windowID == windowId)
        session.MouseMove(window.ClientX(event.motion.x), window.ClientY(event.motion.y));
      break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.windowID == windowId && event.button.button == SDL_BUTTON_LEFT) {
        session.MouseUp(window.ClientX(event.button.x), window.ClientY(event.button.y));
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
    DialogWindow window(session);
    if (!window.valid()) return false;
    session.Start();
    if (session.ended()) return true;
    window.Paint(session);
    window.Show(true);
    session.TakeRepaint();
    const Uint32 windowId = window.id();
    SDL_Event event;
    while (!session.ended() && SDL_WaitEvent(&event)) {
      Dispatch(event, windowId, session, window);
      if (session.TakeRepaint() && !session.ended()) window.Paint(session);
    }
    return session.ended();
  }

  bool OpenModeless(DialogSession& session) override {
    auto open = std::make_unique<Modeless>(session);
    if (!open->video.ready() || !open->window.valid()) return false;
    open->window.Show(false);
    open->window.Paint(session);
    modeless_[&session] = std::move(open);
    return true;
  }

  void Update(DialogSession& session) override {
    const auto found = modeless_.find(&session);
    if (found != modeless_.end()) found->second->window.Paint(session);
  }

  void Close(DialogSession& session) override { modeless_.erase(&session); }

  bool DesktopSize(int& width, int& height) override {
    VideoScope video;
    SDL_Rect desktop{};
    if (!video.ready() || SDL_GetDisplayBounds(0, &desktop) != 0) return false;
    width = desktop.w;
    height = desktop.h;
    return true;
  }

 private:
  // A modeless dialog keeps SDL's video running while it shows.
  struct Modeless {
    explicit Modeless(const DialogSession& session) : window(session) {}
    VideoScope video;
    DialogWindow window;
  };
  std::map<const DialogSession*, std::unique_ptr<Modeless>> modeless_;
};

}  // namespace

DialogService& SdlDialogService() {
  static Sdl sdl;
  return sdl;
}

}  // namespace platform::dialog
