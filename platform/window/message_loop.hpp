// The message machinery shared by the window drivers: the main window's
// procedure, the posted-message queue, the quit message, timers, messages
// sent from other threads and work run on the window thread. A driver adds
// the native window and turns its events into posted messages.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/window/window_service.hpp"

namespace platform {

class MessageLoopWindow : public WindowService {
 public:
  WindowHandle CreateMainWindow(const char* title, WindowProcedure procedure) override;
  WindowHandle CreatePopupWindow(const char* title, WindowProcedure procedure, int x, int y,
                                 int width, int height) override;
  bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                   intptr_t lParam) override;
  bool IsNextQueued(uint32_t message) override;
  bool DestroyWindow(WindowHandle window) override;
  bool GetMessage(WindowMessage& message) override;
  intptr_t DispatchMessage(const WindowMessage& message) override;
  intptr_t DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                         intptr_t lParam) override;
  intptr_t SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                       intptr_t lParam) override;
  void PostQuitMessage(int exitCode) override;
  uintptr_t SetTimer(WindowHandle window, uintptr_t id, uint32_t milliseconds) override;
  bool KillTimer(WindowHandle window, uintptr_t id) override;

  // Runs `work` on the window thread: at once when called there, else at the
  // loop's next turn (waiting for it when `wait`). Returns false, without
  // running it, when no window thread is pumping (before the main window
  // exists, after it is gone or after the quit message).
  bool RunOnWindowThread(std::function<void()> work, bool wait);
  bool OnWindowThread() const;
  WindowHandle MainWindow() const;

  // Queues a message for the main window (from any thread).
  void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);

 protected:
  // Where the window being opened goes: the whole screen unless `popup`.
  struct WindowPlacement {
    bool popup = false;
    int x = 0, y = 0, width = 0, height = 0;
  };
  const WindowPlacement& placement() const { return placement_; }

  // The native side. Open and Close run on the window thread.
  virtual WindowHandle OpenNativeWindow(const char* title) = 0;
  virtual void CloseNativeWindow(WindowHandle window) = 0;
  // Waits up to `timeoutMs` (-1: no limit) for native events or WakeLoop,
  // posting what the events mean.
  virtual void WaitForNativeEvents(int timeoutMs) = 0;
  // Ends a WaitForNativeEvents in progress; any thread.
  virtual void WakeLoop() = 0;
  virtual bool TimersRun() const { return true; }

  // Back to no window, no messages and no timers (tests).
  void ResetMessageLoop();

 private:
  using Clock = std::chrono::steady_clock;
  struct Timer {
    uintptr_t id;
    std::chrono::milliseconds period;
    Clock::time_point due;
  };
  struct Work {
    std::function<void()> run;
    bool done = false;
  };

  bool Pumping() const;  // with mutex_ held
  void RunPendingWork();
  bool TakeDueTimer(WindowMessage& message);
  int MillisecondsToNextTimer();

  mutable std::mutex mutex_;
  std::condition_variable workDone_;
  WindowPlacement placement_;
  WindowHandle window_ = nullptr;
  WindowProcedure procedure_ = nullptr;
  std::thread::id windowThread_;
  bool destroying_ = false;
  bool loopEnded_ = false;
  bool quitPosted_ = false;
  int exitCode_ = 0;
  std::deque<WindowMessage> posted_;
  std::deque<std::shared_ptr<Work>> work_;
  std::vector<Timer> timers_;
};

}  // namespace platform
