#include "platform/window/window_service.hpp"

#include <cstdio>

namespace platform {
namespace {

class Console final : public WindowService {
 public:
  const char* DriverName() const override { return "console"; }
  // Writes the box to standard error; used wherever no desktop is at hand.
  void ShowMessageBox(WindowHandle, const char* text, const char* caption) override {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
  }
  int ShowCursor(bool show) override { return counter_ += show ? 1 : -1; }

 private:
  int counter_ = 0;
};

WindowService* current = nullptr;

}  // namespace

// A driver without windows: nothing to create, the loop ends at once.
WindowHandle WindowService::CreateMainWindow(const char*, WindowProcedure) { return nullptr; }
WindowHandle WindowService::CreatePopupWindow(const char*, WindowProcedure, int, int, int, int) {
  return nullptr;
}
bool WindowService::GetScreenSize(int&, int&) { return false; }
void WindowService::HideCursor() {}
void WindowService::SetWindowIcon(WindowHandle, int, int, const std::uint32_t*) {}
bool WindowService::PostMessage(WindowHandle, uint32_t, uintptr_t, intptr_t) { return false; }
bool WindowService::IsNextQueued(uint32_t) { return false; }
void WindowService::ShowWindow(WindowHandle) {}
bool WindowService::DestroyWindow(WindowHandle) { return false; }
bool WindowService::GetMessage(WindowMessage& message) {
  message = {nullptr, WM_QUIT, 0, 0};
  return false;
}
intptr_t WindowService::DispatchMessage(const WindowMessage&) { return 0; }
intptr_t WindowService::DefWindowProc(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }
intptr_t WindowService::SendMessage(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }
void WindowService::PostQuitMessage(int) {}
uintptr_t WindowService::SetTimer(WindowHandle, uintptr_t, uint32_t) { return 0; }
bool WindowService::KillTimer(WindowHandle, uintptr_t) { return false; }

WindowService& ConsoleWindowService() {
  static Console console;
  return console;
}

WindowService& Window() { return current ? *current : ConsoleWindowService(); }

void SetWindowService(WindowService* service) { current = service; }

void ShowCursorUntilVisible() {
  WindowService& window = Window();
  while (window.ShowCursor(true) < 0) {
  }
}

}  // namespace platform
