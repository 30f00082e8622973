// The reader's failure and allocation conventions.
//
// Nothing in the reader returns an error up a call chain: a condition is
// handled on the spot or it is fatal. FatalError reports the message, runs the
// shutdown steps that higher modules registered (music, CD, display, leftover
// temporary files), shows the message in a box captioned "ERROR" and ends the
// process with exit status 1.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/window/window_service.hpp"

namespace varnel {

[[noreturn]] void FatalError(const char* message);

// Formats the message with printf rules (bounded to 1024 bytes) and fails.
[[noreturn]] __attribute__((format(printf, 1, 2))) void FatalErrorFormat(const char* format,
                                                                         ...);

// Returns `size` + 8 zero bytes; never null. The 8 trailing zero bytes let
// readers run a little past the end of a buffer. Release with free().
// A negative size or an exhausted heap is fatal: "Allocator Error !".
void* AllocZeroed(int32_t size);

// Typed convenience for `count` elements of T, same contract.
template <typename T>
T* AllocZeroedArray(int32_t count) {
  const int64_t bytes = static_cast<int64_t>(count) * static_cast<int64_t>(sizeof(T));
  if (count < 0 || bytes > INT32_MAX) FatalError("Allocator Error !");
  return static_cast<T*>(AllocZeroed(static_cast<int32_t>(bytes)));
}

// A step that FatalError runs before it shows the box. Each step must be
// harmless when its module was never started or is already shut down.
using FatalShutdownStep = void (*)();

// Steps run in the order they were registered; registering the same step
// twice keeps one. Up to 16 steps.
void RegisterFatalShutdownStep(FatalShutdownStep step);

// The owner of the message box (the main window once it exists).
void SetFatalMessageBoxOwner(platform::WindowHandle owner);

// Where the trace line "\n ERROR <message> " goes: standard output by
// default; null for none (tools whose standard output carries data).
void SetFatalTraceStream(FILE* stream);

// For fuzz targets only: when set, FatalError prints its trace line and calls
// this instead of shutting down; the handler must not return (it throws).
using FatalEscapeHandler = void (*)(const char* message);
void SetFatalEscapeHandler(FatalEscapeHandler handler);

}  // namespace varnel
