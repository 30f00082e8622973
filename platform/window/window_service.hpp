// Window service: the part of the desktop's window system that the programs
// use: message boxes, the mouse cursor, and the reader's main window with its
// message loop, window procedure and timers.
//
// One driver is current for the whole process. Programs select the real one
// at start, tools the console one, tests the fake one (see drivers.hpp).
//
// The thread that creates the main window is the window thread: the window
// procedure, timers and the message loop run on it. SendMessage may come
// from any thread; it waits until the window thread has handled the message.
#pragma once

#include "platform/window/window_messages.hpp"

namespace platform {

class WindowService {
 public:
  virtual ~WindowService() = default;

  virtual const char* DriverName() const = 0;

  // Shows a modal message box with one OK button and waits until it is
  // dismissed. `owner` may be null.
  virtual void ShowMessageBox(WindowHandle owner, const char* text, const char* caption) = 0;

  // Cursor display counter with the desktop's usual semantics: the cursor is
  // shown while the counter is 0 or more. Adds 1 (show) or subtracts 1 (hide)
  // and returns the new counter.
  virtual int ShowCursor(bool show) = 0;
  // Takes the cursor away over the program's windows (the desktop's
  // SetCursor(NULL)) until ShowCursor next changes the counter. A driver
  // without windows has no cursor to hide.
  virtual void HideCursor();

  // The main window, full screen and hidden; `procedure` receives WM_CREATE
  // before this returns. One main window at a time. Null when there is no
  // window system. The defaults below are those of a driver without windows.
  virtual WindowHandle CreateMainWindow(const char* title, WindowProcedure procedure);
  // The main window as a borderless window of `width` x `height` at (x, y)
  // of the desktop instead of the whole screen; otherwise as above.
  virtual WindowHandle CreatePopupWindow(const char* title, WindowProcedure procedure, int x, int y,
                                         int width, int height);
  // The desktop's size in pixels (the first screen); false without one.
  virtual bool GetScreenSize(int& width, int& height);
  // The icon window lists and title bars show for the window: `width` x
  // `height` straight 0xAARRGGBB pixels, copied.
  virtual void SetWindowIcon(WindowHandle window, int width, int height,
                             const std::uint32_t* pixels);
  // Shows the window, raises it and gives it the keyboard.
  virtual void ShowWindow(WindowHandle window);
  // Sends WM_DESTROY, then the window is gone; later messages to it are
  // dropped and SendMessage returns 0.
  virtual bool DestroyWindow(WindowHandle window);

  // Waits for the next message of the window thread. False, with the exit
  // code in wParam, once the quit message comes.
  virtual bool GetMessage(WindowMessage& message);
  // Hands the message to the window procedure; returns its result.
  virtual intptr_t DispatchMessage(const WindowMessage& message);
  // What happens to a message the procedure does not handle: WM_CLOSE
  // destroys the window, Alt+F4 closes it, everything else is ignored.
  virtual intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                                 intptr_t lParam);
  // Calls the window procedure on the window thread and waits for it.
  virtual intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam);
  // Queues a message for the window (any thread); false when it is gone.
  virtual bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam);
  // Whether the next message GetMessage would return is a `message` already
  // queued (so that a handler may skip a stale mouse move).
  virtual bool IsNextQueued(uint32_t message);
  // Makes GetMessage return false once the messages already queued are taken.
  virtual void PostQuitMessage(int exitCode);

  // WM_TIMER with wParam `id` every `milliseconds` while the loop runs; a
  // tick that comes while the previous one waits is not queued twice.
  // Returns `id`, or 0 when it cannot run a timer.
  virtual uintptr_t SetTimer(WindowHandle window, uintptr_t id, uint32_t milliseconds);
  virtual bool KillTimer(WindowHandle window, uintptr_t id);
};

// The current driver. Never null: before any selection it is the console one.
WindowService& Window();

// Makes `service` current; the caller keeps it alive. Null restores the
// console driver.
void SetWindowService(WindowService* service);

// Raises the current driver's cursor counter until the cursor shows, however
// many hidings came before.
void ShowCursorUntilVisible();

// Main windows created from now on can take an OpenGL context (the 3D
// engine draws into them). Off by default: the reader's window needs none.
void SetMainWindowOpenGl(bool on);

// Drivers.
WindowService& SdlWindowService();      // SDL2: a real window; boxes fall back to the console
WindowService& ConsoleWindowService();  // no windows; message boxes go to standard error

// Test driver (fake_window_service.hpp): records calls and plays scripted
// messages.
class FakeWindowService;
FakeWindowService& FakeWindow();

}  // namespace platform
