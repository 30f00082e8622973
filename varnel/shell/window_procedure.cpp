#include "varnel/shell/window_procedure.hpp"

#include "platform/window/window_service.hpp"
#include "varnel/shell/input_state.hpp"

namespace varnel {

InputState inputState;
PassInput passInput;
int cursorAutoHide = 0;
std::atomic<uint32_t> cursorIdleTicks{0};
uintptr_t cursorTimerId = 0;

namespace {

using namespace platform;

int32_t lastMouseX = 0;  // where the mouse was at the previous tick
int32_t lastMouseY = 0;
bool cursorHidden = false;  // hidden by the auto-hide step

// Key messages' lParam bit 30: the key was already down (an auto-repeat).
constexpr intptr_t kKeyWasDownFlag = intptr_t{1} << 30;
constexpr int32_t kButtonFlags = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

// Down to a negative counter, the only one at which the cursor is hidden
// whatever earlier calls raised it to.
void HideCursor() {
  if (cursorHidden) return;
  while (Window().ShowCursor(false) >= 0) {
  }
  cursorHidden = true;
}

// Only undoes the step's own hiding, so ticks of a moving mouse do not keep
// raising the counter.
void ShowHiddenCursor() {
  if (!cursorHidden) return;
  platform::ShowCursorUntilVisible();
  cursorHidden = false;
}

void CursorAutoHideStep() {
  const int32_t x = inputState.mouseX;
  const int32_t y = inputState.mouseY;
  if (x == lastMouseX && y == lastMouseY) {
    if (cursorIdleTicks.fetch_add(1) + 1 > kCursorIdleTicksBeforeHiding) {
      HideCursor();
      return;
    }
  } else {
    lastMouseX = x;
    lastMouseY = y;
    cursorIdleTicks = 0;
  }
  ShowHiddenCursor();
}

}  // namespace

void MakeCursorVisible() {
  platform::ShowCursorUntilVisible();
  cursorHidden = false;
}

void SampleInput() {
  // Held state first, then the latches (the reverse of the writer's order).
  const int32_t held = inputState.currentKey;
  const int32_t heldButtons = inputState.mouseButtons;
  const int32_t x = inputState.mouseX;
  const int32_t y = inputState.mouseY;
  const int32_t pressed = inputState.pressedKey.exchange(0);
  const uint64_t press = inputState.pressedButton.exchange(0);
  passInput.key = held != 0 ? held : pressed;
  if ((heldButtons & kButtonFlags) == 0 && press != 0) {
    passInput.buttons = static_cast<int32_t>(press >> 32);
    passInput.mouseX = static_cast<int32_t>((press >> 16) & 0xFFFF);
    passInput.mouseY = static_cast<int32_t>(press & 0xFFFF);
  } else {
    passInput.buttons = heldButtons;
    passInput.mouseX = x;
    passInput.mouseY = y;
  }
}

intptr_t MainWindowProcedure(WindowHandle window, uint32_t message, uintptr_t wParam,
                             intptr_t lParam) {
  switch (message) {
    case WM_CREATE:
      cursorTimerId = Window().SetTimer(window, kCursorTimerId, kCursorTimerPeriod);
      break;
    case WM_DESTROY:
      Window().PostQuitMessage(0);
      break;
    case WM_KEYDOWN:
      // The latch before the held state, so a pass that misses the one sees
      // the other. Auto-repeats are not fresh presses.
      if ((lParam & kKeyWasDownFlag) == 0) inputState.pressedKey = static_cast<int32_t>(wParam);
      inputState.currentKey = static_cast<int32_t>(wParam);
      break;
    case WM_KEYUP:
      inputState.currentKey = 0;
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
        inputState.pressedButton = PackPress(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam & 0xFFFF),
                                             static_cast<int32_t>((lParam >> 16) & 0xFFFF));
      }
      inputState.mouseX = static_cast<int32_t>(lParam & 0xFFFF);
      inputState.mouseY = static_cast<int32_t>((lParam >> 16) & 0xFFFF);
      inputState.mouseButtons = static_cast<int32_t>(wParam);
      break;
    case WM_TIMER:
      if (wParam == kCursorTimerId && cursorAutoHide) CursorAutoHideStep();
      break;
    default:
      break;
  }
  return Window().DefWindowProc(window, message, wParam, lParam);
}

}  // namespace varnel
