#include "varnel/failure/fatal_error.hpp"

#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace varnel {

namespace {

constexpr int kMaxSteps = 16;
FatalShutdownStep steps[kMaxSteps];
int stepCount = 0;
platform::WindowHandle messageBoxOwner = nullptr;
FatalEscapeHandler escapeHandler = nullptr;
FILE* traceStream = stdout;

// Set by the first thread that enters FatalError.
std::atomic<bool> failing{false};
thread_local bool failingHere = false;

}  // namespace

void RegisterFatalShutdownStep(FatalShutdownStep step) {
  for (int i = 0; i < stepCount; ++i)
    if (steps[i] == step) return;
  if (stepCount < kMaxSteps) steps[stepCount++] = step;
}

void SetFatalMessageBoxOwner(platform::WindowHandle owner) { messageBoxOwner = owner; }

void SetFatalEscapeHandler(FatalEscapeHandler handler) { escapeHandler = handler; }

void SetFatalTraceStream(FILE* stream) { traceStream = stream; }

void FatalError(const char* message) {
  if (traceStream) {
    std::fprintf(traceStream, "\n ERROR %s ", message);
    std::fflush(traceStream);
  }

  if (escapeHandler) escapeHandler(message);

  if (failingHere) {
    // A shutdown step failed in turn: the process is already on its way out.
    _exit(1);
  }
  if (failing.exchange(true)) {
    // The other thread is already failing and will end the process.
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  }
  failingHere = true;

  for (int i = 0; i < stepCount; ++i) steps[i]();

  platform::WindowService& window = platform::Window();
  platform::ShowCursorUntilVisible();
  window.ShowMessageBox(messageBoxOwner, message, "ERROR");
  std::exit(1);
}

void FatalErrorFormat(const char* format, ...) {
  char message[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);
  FatalError(message);
}

void* AllocZeroed(int32_t size) {
  if (size < 0) FatalError("Allocator Error !");
  void* block = std::calloc(1, static_cast<size_t>(size) + 8);
  if (!block) FatalError("Allocator Error !");
  return block;
}

}  // namespace varnel
