// What the other SDL drivers of the platform need from the SDL window
// driver. Platform code only.
#pragma once

#include <SDL.h>

#include <functional>

namespace platform {

// The main window while it exists, else null. Any thread.
SDL_Window* SdlMainWindow();

// Runs `work` on the window thread, which owns SDL's video and events (see
// MessageLoopWindow::RunOnWindowThread: false when nobody pumps).
bool RunOnSdlWindowThread(std::function<void()> work, bool wait);
bool OnSdlWindowThread();

// Called on the window thread: `exposed` when the window needs its picture
// again (shown, uncovered, resized, switched between full screen and a
// window), `destroying` just before the SDL window goes away.
struct SdlWindowHooks {
  std::function<void()> exposed;
  std::function<void()> destroying;
};
void SetSdlWindowHooks(SdlWindowHooks hooks);

// The virtual-key code of an SDL key; 0 for keys the reader's desktop does
// not report.
int VirtualKeyFromSdl(SDL_Keycode key);

}  // namespace platform
