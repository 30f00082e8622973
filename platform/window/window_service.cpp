#include "platform/window/window_service.hpp"

#include <cstdio>
#include <cstring>

namespace platform {
namespace {

// Writes the box to standard error; used wherever no desktop is at hand.
void PrintMessageBox(const char* text, const char* caption) {
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
  std::fflush(stderr);
}

class Console final : public WindowService {
 public:
  const char* DriverName() const override { return "console"; }
  void ShowMessageBox(WindowHandle, const char* text, const char* caption) override {
    PrintMessageBox(text, caption);
  }
  int ShowCursor(bool show) override { return counter_ += show ? 1 : -1; }

 private:
  int counter_ = 0;
};

WindowService* current = nullptr;

}  // namespace

WindowService& ConsoleWindowService() {
  static Console console;
  return console;
}

WindowService& Window() { return current ? *current : ConsoleWindowService(); }

void SetWindowService(WindowService* service) { current = service; }

void FakeWindowService::ShowMessageBox(WindowHandle owner, const char* text,
                                       const char* caption) {
  ++messageBoxCount;
  lastMessageBox.owner = owner;
  std::snprintf(lastMessageBox.text, sizeof lastMessageBox.text, "%s", text ? text : "");
  std::snprintf(lastMessageBox.caption, sizeof lastMessageBox.caption, "%s",
                caption ? caption : "");
  PrintMessageBox(text, caption);
}

int FakeWindowService::ShowCursor(bool show) {
  ++showCursorCalls;
  return cursorCounter += show ? 1 : -1;
}

FakeWindowService& FakeWindow() {
  static FakeWindowService fake;
  return fake;
}

}  // namespace platform
