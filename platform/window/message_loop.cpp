#include "platform/window/message_loop.hpp"

#include <algorithm>

namespace platform {
namespace {

// The desktop never runs a timer faster than this.
constexpr uint32_t kShortestTimerPeriod = 10;

}  // namespace

WindowHandle MessageLoopWindow::CreateMainWindow(const char* title, WindowProcedure procedure) {
  {
    std::lock_guard lock(mutex_);
    if (window_) return nullptr;
    windowThread_ = std::this_thread::get_id();
    loopEnded_ = quitPosted_ = false;
    posted_.clear();
    timers_.clear();
  }
  WindowHandle window = OpenNativeWindow(title);
  if (!window) return nullptr;
  {
    std::lock_guard lock(mutex_);
    window_ = window;
    procedure_ = procedure;
  }
  if (procedure && procedure(window, WM_CREATE, 0, 0) == -1) {
    DestroyWindow(window);
    return nullptr;
  }
  return window;
}

WindowHandle MessageLoopWindow::CreatePopupWindow(const char* title, WindowProcedure procedure,
                                                 int x, int y, int width, int height) {
  placement_ = {true, x, y, width, height};
  WindowHandle window = CreateMainWindow(title, procedure);
  placement_ = {};
  return window;
}

bool MessageLoopWindow::PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                    intptr_t lParam) {
  if (!window || window != MainWindow()) return false;
  PostMessage(message, wParam, lParam);
  return true;
}

bool MessageLoopWindow::IsNextQueued(uint32_t message) {
  std::lock_guard lock(mutex_);
  return !posted_.empty() && posted_.front().message == message;
}

bool MessageLoopWindow::DestroyWindow(WindowHandle window) {
  if (!OnWindowThread()) {
    bool destroyed = false;
    RunOnWindowThread([&] { destroyed = DestroyWindow(window); }, true);
    return destroyed;
  }
  {
    std::lock_guard lock(mutex_);
    if (!window || window != window_ || destroying_) return false;
    destroying_ = true;
  }
  if (procedure_) procedure_(window, WM_DESTROY, 0, 0);
  CloseNativeWindow(window);
  {
    std::lock_guard lock(mutex_);
    window_ = nullptr;
    procedure_ = nullptr;
    destroying_ = false;
    posted_.clear();
    timers_.clear();
  }
  // Messages sent to the window meanwhile are answered with 0.
  RunPendingWork();
  return true;
}

bool MessageLoopWindow::GetMessage(WindowMessage& message) {
  {
    std::lock_guard lock(mutex_);
    loopEnded_ = false;
  }
  for (;;) {
    RunPendingWork();
    {
      std::unique_lock lock(mutex_);
      if (!posted_.empty()) {
        message = posted_.front();
        posted_.pop_front();
        return true;
      }
      if (quitPosted_) {
        quitPosted_ = false;
        loopEnded_ = true;
        message = {nullptr, WM_QUIT, static_cast<uintptr_t>(exitCode_), 0};
        lock.unlock();
        // Nobody pumps from now on: finish what other threads wait for.
        RunPendingWork();
        return false;
      }
    }
    if (TakeDueTimer(message)) return true;
    WaitForNativeEvents(MillisecondsToNextTimer());
  }
}

intptr_t MessageLoopWindow::DispatchMessage(const WindowMessage& message) {
  if (!message.window || message.window != MainWindow() || !procedure_) return 0;
  return procedure_(message.window, message.message, message.wParam, message.lParam);
}

intptr_t MessageLoopWindow::DefWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam,
                                          intptr_t) {
  if (message == WM_CLOSE) {
    DestroyWindow(window);
  } else if (message == WM_SYSKEYDOWN && wParam == VK_F4) {
    SendMessage(window, WM_CLOSE, 0, 0);
  }
  return 0;
}

intptr_t MessageLoopWindow::SendMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                        intptr_t lParam) {
  intptr_t result = 0;
  auto deliver = [&] {
    if (window && window == MainWindow() && procedure_)
      result = procedure_(window, message, wParam, lParam);
  };
  if (OnWindowThread()) {
    deliver();
  } else {
    RunOnWindowThread(deliver, true);
  }
  return result;
}

void MessageLoopWindow::PostQuitMessage(int exitCode) {
  {
    std::lock_guard lock(mutex_);
    quitPosted_ = true;
    exitCode_ = exitCode;
  }
  if (!OnWindowThread()) WakeLoop();
}

void MessageLoopWindow::PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  {
    std::lock_guard lock(mutex_);
    if (!window_) return;
    posted_.push_back({window_, message, wParam, lParam});
  }
  if (!OnWindowThread()) WakeLoop();
}

uintptr_t MessageLoopWindow::SetTimer(WindowHandle window, uintptr_t id, uint32_t milliseconds) {
  std::lock_guard lock(mutex_);
  if (!window || window != window_ || id == 0) return 0;
  const std::chrono::milliseconds period(std::max(milliseconds, kShortestTimerPeriod));
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [id](const Timer& timer) { return timer.id == id; }),
                timers_.end());
  timers_.push_back({id, period, Clock::now() + period});
  return id;
}

bool MessageLoopWindow::KillTimer(WindowHandle window, uintptr_t id) {
  std::lock_guard lock(mutex_);
  if (!window || window != window_) return false;
  const auto before = timers_.size();
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [id](const Timer& timer) { return timer.id == id; }),
                timers_.end());
  return timers_.size() != before;
}

bool MessageLoopWindow::RunOnWindowThread(std::function<void()> work, bool wait) {
  if (OnWindowThread()) {
    work();
    return true;
  }
  auto item = std::make_shared<Work>();
  item->run = std::move(work);
  {
    std::lock_guard lock(mutex_);
    if (!Pumping()) return false;
    work_.push_back(item);
  }
  WakeLoop();
  if (wait) {
    std::unique_lock lock(mutex_);
    workDone_.wait(lock, [&] { return item->done; });
  }
  return true;
}

bool MessageLoopWindow::OnWindowThread() const {
  std::lock_guard lock(mutex_);
  return windowThread_ == std::this_thread::get_id();
}

WindowHandle MessageLoopWindow::MainWindow() const {
  std::lock_guard lock(mutex_);
  return window_;
}

void MessageLoopWindow::ResetMessageLoop() {
  {
    std::lock_guard lock(mutex_);
    window_ = nullptr;
    procedure_ = nullptr;
    windowThread_ = {};
    destroying_ = loopEnded_ = quitPosted_ = false;
    exitCode_ = 0;
    posted_.clear();
    timers_.clear();
  }
  RunPendingWork();
}

bool MessageLoopWindow::Pumping() const { return window_ && !loopEnded_; }

void MessageLoopWindow::RunPendingWork() {
  for (;;) {
    std::shared_ptr<Work> item;
    {
      std::lock_guard lock(mutex_);
      if (work_.empty()) return;
      item = work_.front();
      work_.pop_front();
    }
    item->run();
    {
      std::lock_guard lock(mutex_);
      item->done = true;
    }
    workDone_.notify_all();
  }
}

bool MessageLoopWindow::TakeDueTimer(WindowMessage& message) {
  if (!TimersRun()) return false;
  std::lock_guard lock(mutex_);
  const auto now = Clock::now();
  Timer* due = nullptr;
  for (Timer& timer : timers_)
    if (timer.due <= now && (!due || timer.due < due->due)) due = &timer;
  if (!due) return false;
  // A late tick is not made up: the next one is a whole period away.
  due->due = now + due->period;
  message = {window_, WM_TIMER, due->id, 0};
  return true;
}

int MessageLoopWindow::MillisecondsToNextTimer() {
  if (!TimersRun()) return -1;
  std::lock_guard lock(mutex_);
  if (timers_.empty()) return -1;
  auto next = timers_.front().due;
  for (const Timer& timer : timers_) next = std::min(next, timer.due);
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
  return static_cast<int>(std::max<int64_t>(0, wait.count()));
}

}  // namespace platform
