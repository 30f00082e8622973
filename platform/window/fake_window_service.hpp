// Test window driver: records message boxes and cursor calls (message boxes
// also go to standard error, where death tests read them), and plays a
// script of messages through the real message machinery. Timers are
// recorded but never fire; script WM_TIMER instead.
#pragma once

#include <deque>
#include <vector>

#include "platform/window/message_loop.hpp"

namespace platform {

class FakeWindowService final : public MessageLoopWindow {
 public:
  struct MessageBoxCall {
    WindowHandle owner;
    char text[1024];
    char caption[64];
  };
  struct ScriptedMessage {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
  };

  const char* DriverName() const override { return "fake"; }
  void ShowMessageBox(WindowHandle owner, const char* text, const char* caption) override;
  int ShowCursor(bool show) override;
  void HideCursor() override;
  void SetWindowIcon(WindowHandle window, int width, int height,
                     const std::uint32_t* pixels) override;
  void ShowWindow(WindowHandle window) override;
  bool GetScreenSize(int& width, int& height) override;
  uintptr_t SetTimer(WindowHandle window, uintptr_t id, uint32_t milliseconds) override;

  // Back to the state of a fresh process (no window, empty script, zeros).
  void Reset();

  // GetMessage hands these out in order once the queue is empty; when the
  // script runs out the loop ends as if PostQuitMessage(0) had been called.
  std::deque<ScriptedMessage> script;

  int messageBoxCount = 0;
  MessageBoxCall lastMessageBox{};
  int cursorCounter = 0;
  int showCursorCalls = 0;
  int hideCursorCalls = 0;
  bool cursorHidden = false;  // by HideCursor, until ShowCursor
  int windowsOpened = 0;
  int windowsClosed = 0;
  bool windowShown = false;
  int iconWidth = 0, iconHeight = 0;  // of the last icon given to the main window
  std::vector<std::uint32_t> iconPixels;
  const char* lastTitle = nullptr;
  WindowPlacement lastPlacement;  // of the window opened last
  int screenWidth = 1024;         // what GetScreenSize reports
  int screenHeight = 768;
  uintptr_t lastTimerId = 0;
  uint32_t lastTimerPeriod = 0;

 protected:
  WindowHandle OpenNativeWindow(const char* title) override;
  void CloseNativeWindow(WindowHandle window) override;
  void WaitForNativeEvents(int timeoutMs) override;
  void WakeLoop() override {}
  bool TimersRun() const override { return false; }

 private:
  char window_ = 0;  // its address is the window handle
};

}  // namespace platform
