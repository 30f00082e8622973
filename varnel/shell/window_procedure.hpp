// The reader's window procedure (class "Varnel"): it keeps InputState up to
// date and hides an idle mouse cursor on a 250 ms timer.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/window/window_messages.hpp"

namespace varnel {

constexpr uintptr_t kCursorTimerId = 1638;
constexpr uint32_t kCursorTimerPeriod = 250;  // milliseconds
// The cursor hides at the first tick after this many still ones.
constexpr uint32_t kCursorIdleTicksBeforeHiding = 20;

// 1 while the cursor may hide ("Cursor hide" on, magazine running); the
// window thread's own.
extern int cursorAutoHide;
// Ticks the mouse has not moved. The main sequence presets it to 0xFFFFFF so
// that a still cursor hides at the next tick.
extern std::atomic<uint32_t> cursorIdleTicks;
// What SetTimer gave for the cursor timer at WM_CREATE (0: no timer).
extern uintptr_t cursorTimerId;

intptr_t MainWindowProcedure(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam);

// ShowCursor(TRUE) until the counter is 0 or more (start-up and shutdown).
void MakeCursorVisible();

}  // namespace varnel
