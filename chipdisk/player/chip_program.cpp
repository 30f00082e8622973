// The program's window and message loop.
#include "chipdisk/player/chip_player.hpp"
#include "chipdisk/screen/chip_screen.hpp"
#include "platform/window/window_service.hpp"

namespace chipdisk {

intptr_t ChipWindowProcedure(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam) {
  platform::WindowService& windows = platform::Window();
  switch (message) {
    case platform::WM_CREATE:
      return 0;
    case platform::WM_DESTROY:
      windows.PostQuitMessage(0);
      break;
    case platform::WM_PAINT:
      OnPaint();
      break;
    case platform::WM_KEYDOWN:
      OnKeyDown(static_cast<int>(wParam));
      break;
    case platform::WM_MOUSEMOVE:
      OnMouseMove(lParam);
      break;
    case platform::WM_LBUTTONDOWN:
      OnLeftButtonDown(lParam);
      break;
    default:
      break;
  }
  return windows.DefWindowProc(window, message, wParam, lParam);
}

int RunChipPlayer() {
  platform::WindowService& windows = platform::Window();
  ResetPlayer();
  int desktopWidth = kScreenWidth, desktopHeight = kScreenHeight;
  windows.GetScreenSize(desktopWidth, desktopHeight);
  platform::WindowHandle window =
      windows.CreatePopupWindow(kWindowTitle, ChipWindowProcedure, desktopWidth / 2 - kScreenWidth / 2,
                                desktopHeight / 2 - kScreenHeight / 2, kScreenWidth, kScreenHeight);
  if (!window) {
    windows.ShowMessageBox(nullptr, kWindowError, kErrorCaption);
    return kExitFailure;
  }
  windows.ShowWindow(window);
  if (!Opening(window)) {
    Release();
    windows.DestroyWindow(window);
    return kExitFailure;
  }
  platform::WindowMessage message{};
  while (windows.GetMessage(message)) {
    // Each hover waits for the screen; only the newest pointer position counts.
    if (message.message == platform::WM_MOUSEMOVE && windows.IsNextQueued(platform::WM_MOUSEMOVE))
      continue;
    windows.DispatchMessage(message);
  }
  // Closed without the closing sequence (Alt+F4, the window manager).
  Release();
  return static_cast<int>(message.wParam);
}

}  // namespace chipdisk
