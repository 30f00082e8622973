#include "platform/window/fake_window_service.hpp"

#include <cstdio>

namespace platform {

void FakeWindowService::ShowMessageBox(WindowHandle owner, const char* text, const char* caption) {
  ++messageBoxCount;
  lastMessageBox.owner = owner;
  std::snprintf(lastMessageBox.text, sizeof lastMessageBox.text, "%s", text ? text : "");
  std::snprintf(lastMessageBox.caption, sizeof lastMessageBox.caption, "%s",
                caption ? caption : "");
  ConsoleWindowService().ShowMessageBox(owner, text, caption);
}

void FakeWindowService::SetWindowIcon(WindowHandle window, int width, int height,
                                      const std::uint32_t* pixels) {
  if (!window || window != MainWindow() || !pixels || width <= 0 || height <= 0) return;
  iconWidth = width;
  iconHeight = height;
  iconPixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
}

void FakeWindowService::HideCursor() {
  ++hideCursorCalls;
  cursorHidden = true;
}

int FakeWindowService::ShowCursor(bool show) {
  ++showCursorCalls;
  cursorHidden = false;
  return cursorCounter += show ? 1 : -1;
}

void FakeWindowService::ShowWindow(WindowHandle window) {
  if (window && window == MainWindow()) windowShown = true;
}

bool FakeWindowService::GetScreenSize(int& width, int& height) {
  width = screenWidth;
  height = screenHeight;
  return true;
}

uintptr_t FakeWindowService::SetTimer(WindowHandle window, uintptr_t id, uint32_t milliseconds) {
  const uintptr_t result = MessageLoopWindow::SetTimer(window, id, milliseconds);
  if (result) {
    lastTimerId = id;
    lastTimerPeriod = milliseconds;
  }
  return result;
}

void FakeWindowService::Reset() {
  ResetMessageLoop();
  script.clear();
  messageBoxCount = 0;
  lastMessageBox = {};
  cursorCounter = showCursorCalls = hideCursorCalls = 0;
  cursorHidden = false;
  windowsOpened = windowsClosed = 0;
  windowShown = false;
  iconWidth = iconHeight = 0;
  iconPixels.clear();
  lastTitle = nullptr;
  lastPlacement = {};
  screenWidth = 1024;
  screenHeight = 768;
  lastTimerId = 0;
  lastTimerPeriod = 0;
}

WindowHandle FakeWindowService::OpenNativeWindow(const char* title) {
  ++windowsOpened;
  lastTitle = title;
  lastPlacement = placement();
  windowShown = false;
  return &window_;
}

void FakeWindowService::CloseNativeWindow(WindowHandle) {
  ++windowsClosed;
  windowShown = false;
}

void FakeWindowService::WaitForNativeEvents(int) {
  if (script.empty()) {
    PostQuitMessage(0);
    return;
  }
  const ScriptedMessage next = script.front();
  script.pop_front();
  PostMessage(next.message, next.wParam, next.lParam);
}

FakeWindowService& FakeWindow() {
  static FakeWindowService fake;
  return fake;
}

}  // namespace platform
