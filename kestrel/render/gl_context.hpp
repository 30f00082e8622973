// The engine's OpenGL 3.3 core context and the window it draws into: the
// caller's SDL window, or a hidden one of SDL's offscreen driver (EGL) when
// the engine runs without a window.
//
// The context follows the calling thread: every entry point that touches
// OpenGL holds a ContextScope, which makes the context current on its thread
// for the call and releases it afterwards, so consecutive calls may come from
// different threads (one at a time). It is not left current between calls:
// no other thread could take it until the holder released it, and a holder
// that went idle (a window thread after set-up) never would. A hand-over
// costs a few microseconds.
#pragma once

#include <SDL.h>

#include <mutex>

namespace kestrel {

struct DisplayMode {
  int width = 640;
  int height = 480;
  bool fullscreen = false;
  bool vsync = false;
};

// Records the caller's window (null: offscreen). False when already set.
bool AttachWindow(SDL_Window* window);
// Opens the context (and the offscreen window) at `mode`. False on failure.
bool OpenContext(const DisplayMode& mode);
bool ContextOpen();
// Drawable size of the screen in pixels.
int ScreenWidth();
int ScreenHeight();
// Swaps the screen's buffers.
void SwapScreen();
// False once the window has been closed under the engine.
bool WindowAlive();
// Destroys the context and an offscreen window; forgets the caller's window.
void CloseContext();

// Holds the engine lock and the context current on this thread.
class ContextScope {
 public:
  ContextScope();
  ~ContextScope();
  ContextScope(const ContextScope&) = delete;
  ContextScope& operator=(const ContextScope&) = delete;
  // False when there is no context: the call must not touch OpenGL.
  bool ok() const { return ok_; }

 private:
  std::unique_lock<std::recursive_mutex> lock_;
  bool ok_ = false;
  bool madeCurrent_ = false;
};

}  // namespace kestrel
