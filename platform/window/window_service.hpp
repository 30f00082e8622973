// Window service: the part of the desktop's window system that the programs
// use (message boxes and the mouse cursor for now; the window, its events and
// timers join with the reader's main window).
//
// One driver is current for the whole process. Programs select the real one
// at start, tools the console one, tests the fake one (see drivers.hpp).
#pragma once

namespace platform {

// Opaque handle of a top-level window; null means "no window".
using WindowHandle = void*;

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
};

// The current driver. Never null: before any selection it is the console one.
WindowService& Window();

// Makes `service` current; the caller keeps it alive. Null restores the
// console driver.
void SetWindowService(WindowService* service);

// Drivers.
WindowService& SdlWindowService();      // SDL2's message box, falls back to the console
WindowService& ConsoleWindowService();  // message boxes go to standard error

// Test driver: records every call so tests can check what was shown, and
// also writes message boxes to standard error, where death tests read them.
class FakeWindowService final : public WindowService {
 public:
  struct MessageBoxCall {
    WindowHandle owner;
    char text[1024];
    char caption[64];
  };

  const char* DriverName() const override { return "fake"; }
  void ShowMessageBox(WindowHandle owner, const char* text, const char* caption) override;
  int ShowCursor(bool show) override;

  int messageBoxCount = 0;
  MessageBoxCall lastMessageBox{};
  int cursorCounter = 0;
  int showCursorCalls = 0;
};

FakeWindowService& FakeWindow();

}  // namespace platform
