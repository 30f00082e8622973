#include "kestrel/render/gl_context.hpp"

#include <epoxy/gl.h>

#include "kestrel/render/log.hpp"

namespace kestrel {
namespace {

constexpr int kGlMajor = 3;
constexpr int kGlMinor = 3;
constexpr int kDepthBits = 24;

struct Context {
  std::recursive_mutex lock;
  SDL_Window* window = nullptr;  // where drawing goes
  bool ownWindow = false;        // the offscreen window we made
  bool attached = false;
  Uint32 windowId = 0;           // the caller's window, to see that it still exists
  SDL_GLContext gl = nullptr;
  int depth = 0;  // nesting of ContextScope on the owning thread
};

Context& State() {
  static Context context;
  return context;
}

void SetGlAttributes() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, kGlMajor);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, kGlMinor);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, kDepthBits);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

SDL_Window* OpenOffscreenWindow(const DisplayMode& mode) {
  // No desktop: SDL's offscreen driver draws into EGL pbuffers.
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    Log("cannot start offscreen video: %s", SDL_GetError());
    return nullptr;
  }
  SetGlAttributes();
  SDL_Window* window = SDL_CreateWindow("kestrel", 0, 0, mode.width, mode.height,
                                        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!window) {
    Log("cannot open offscreen window: %s", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  return window;
}

void ShapeWindow(SDL_Window* window, const DisplayMode& mode) {
  if (mode.fullscreen) {
    SDL_DisplayMode wanted{SDL_PIXELFORMAT_UNKNOWN, mode.width, mode.height, 0, nullptr};
    SDL_DisplayMode closest;
    if (SDL_GetClosestDisplayMode(0, &wanted, &closest)) SDL_SetWindowDisplayMode(window, &closest);
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
  } else {
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowSize(window, mode.width, mode.height);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  SDL_ShowWindow(window);
}

// SDL keeps per-thread data for a thread that makes a context current and
// frees it only for threads it started itself; this frees it for the others.
struct ThreadData {
  ~ThreadData() { SDL_TLSCleanup(); }
};

void FreeThreadDataAtExit() {
  thread_local ThreadData data;
  (void)data;
}

}  // namespace

bool AttachWindow(SDL_Window* window) {
  Context& c = State();
  std::lock_guard guard(c.lock);
  if (c.attached) return false;
  c.attached = true;
  c.window = window;
  c.windowId = window ? SDL_GetWindowID(window) : 0;
  c.ownWindow = false;
  return true;
}

bool OpenContext(const DisplayMode& mode) {
  Context& c = State();
  std::lock_guard guard(c.lock);
  if (c.gl) return true;
  if (!c.window) {
    c.window = OpenOffscreenWindow(mode);
    if (!c.window) return false;
    c.ownWindow = true;
  } else {
    if (!(SDL_GetWindowFlags(c.window) & SDL_WINDOW_OPENGL)) {
      Log("the window was not created for OpenGL (platform::SetMainWindowOpenGl before it)");
      return false;
    }
    SetGlAttributes();
    ShapeWindow(c.window, mode);
  }
  // Every call makes the context current and releases it; where the driver
  // allows, releasing does not flush.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_RELEASE_BEHAVIOR, SDL_GL_CONTEXT_RELEASE_BEHAVIOR_NONE);
  c.gl = SDL_GL_CreateContext(c.window);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_RELEASE_BEHAVIOR, SDL_GL_CONTEXT_RELEASE_BEHAVIOR_FLUSH);
  if (!c.gl) c.gl = SDL_GL_CreateContext(c.window);  // a driver that always flushes
  if (!c.gl) {
    Log("cannot create an OpenGL %d.%d core context: %s", kGlMajor, kGlMinor, SDL_GetError());
    if (c.ownWindow) {
      SDL_DestroyWindow(c.window);
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      c.window = nullptr;
    }
    return false;
  }
  SDL_GL_SetSwapInterval(mode.vsync ? 1 : 0);
  Log("OpenGL %s on %s, %dx%d", reinterpret_cast<const char*>(glGetString(GL_VERSION)),
      reinterpret_cast<const char*>(glGetString(GL_RENDERER)), ScreenWidth(), ScreenHeight());
  SDL_GL_MakeCurrent(c.window, nullptr);
  return true;
}

bool ContextOpen() { return State().gl != nullptr; }

int ScreenWidth() {
  int w = 0, h = 0;
  if (State().window && WindowAlive()) SDL_GL_GetDrawableSize(State().window, &w, &h);
  return w;
}

int ScreenHeight() {
  int w = 0, h = 0;
  if (State().window && WindowAlive()) SDL_GL_GetDrawableSize(State().window, &w, &h);
  return h;
}

void SwapScreen() {
  if (State().window && WindowAlive()) SDL_GL_SwapWindow(State().window);
}

bool WindowAlive() {
  Context& c = State();
  if (!c.window || c.ownWindow) return c.gl != nullptr;
  // The window may be gone: look it up by number, never through the pointer.
  return c.windowId != 0 && SDL_GetWindowFromID(c.windowId) == c.window;
}

void CloseContext() {
  Context& c = State();
  std::lock_guard guard(c.lock);
  if (c.gl) {
    SDL_GL_MakeCurrent(WindowAlive() ? c.window : nullptr, nullptr);
    SDL_GL_DeleteContext(c.gl);
    c.gl = nullptr;
  }
  if (c.ownWindow && c.window) {
    SDL_DestroyWindow(c.window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  c.window = nullptr;
  c.windowId = 0;
  c.ownWindow = false;
  c.attached = false;
}

ContextScope::ContextScope() : lock_(State().lock) {
  Context& c = State();
  if (!c.gl || !WindowAlive()) return;
  if (c.depth == 0) {
    FreeThreadDataAtExit();
    if (SDL_GL_MakeCurrent(c.window, c.gl) != 0) {
      Log("cannot make the OpenGL context current: %s", SDL_GetError());
      return;
    }
    madeCurrent_ = true;
  }
  ++c.depth;
  ok_ = true;
}

ContextScope::~ContextScope() {
  Context& c = State();
  if (!ok_) return;
  if (--c.depth == 0 && madeCurrent_) SDL_GL_MakeCurrent(c.window, nullptr);
}

}  // namespace kestrel
