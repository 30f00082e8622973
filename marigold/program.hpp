// The demo program: one copy at a time, its window, loading, the render
// thread and the message loop until the user ends it.
#pragma once

#include <cstdint>

#include "platform/window/window_messages.hpp"

namespace marigold {

constexpr uint32_t kEscapeCommand = 40001;  // the accelerator of Escape
constexpr uint32_t kWmCommand = 0x0111;
constexpr uint32_t kWmPowerBroadcast = 0x0218;
constexpr uintptr_t kQuerySuspend = 0;  // WM_POWERBROADCAST: the system asks to suspend
constexpr uint16_t kFromAccelerator = 1;
constexpr const char* kDemoArchive = "Marigold.alf";
constexpr const char* kWindowTitle = "Marigold";

// The demo window's procedure.
intptr_t DemoWindowProcedure(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam);

// Runs the demo holding the instance lock `lockName`; returns the exit
// status (a second copy returns 0 at once). Ends through the demo's exit
// path when the user ends it or loading fails.
int RunDemo(const char* lockName);

}  // namespace marigold
