// What the window thread's window procedure saw last: written by that thread
// only, read by the magazine thread without a lock.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/window/window_messages.hpp"

namespace varnel {

// The button flags as the passes compare them: one button alone.
constexpr int32_t kLeftButton = static_cast<int32_t>(platform::MK_LBUTTON);
constexpr int32_t kRightButton = static_cast<int32_t>(platform::MK_RBUTTON);

struct InputState {
  std::atomic<int32_t> currentKey{0};    // virtual-key code of the last key down; 0 after any key up
  std::atomic<int32_t> mouseX{0};        // 0..639 in the 640 x 480 image
  std::atomic<int32_t> mouseY{0};        // 0..479
  std::atomic<int32_t> mouseButtons{0};  // MK_ flags: 1 left, 2 right, 4 shift, 8 control, 16 middle
  // Latches of presses no pass has seen yet, so that a press shorter than
  // one pass still counts once. The key of the last fresh key down (0: none);
  // the button flags and position of the last button down (see PackPress).
  std::atomic<int32_t> pressedKey{0};
  std::atomic<uint64_t> pressedButton{0};
};

extern InputState inputState;

// One pass's view of the input, taken by SampleInput at the start of the
// pass: the magazine thread's own.
struct PassInput {
  int32_t key = 0;
  int32_t buttons = 0;
  std::atomic<int32_t> mouseX{0};  // atomic for the page renderer's pointer binding
  std::atomic<int32_t> mouseY{0};
};

extern PassInput passInput;

// Button flags and position of a button down in one value, so the window
// thread stores them at once.
constexpr uint64_t PackPress(int32_t buttons, int32_t x, int32_t y) {
  return static_cast<uint64_t>(static_cast<uint32_t>(buttons) & 0xFFFF) << 32 |
         static_cast<uint64_t>(static_cast<uint32_t>(x) & 0xFFFF) << 16 |
         (static_cast<uint32_t>(y) & 0xFFFF);
}

// Fills passInput: what is held now, and a press that came and went since
// the last pass when nothing is held now. Each latched press is seen once.
void SampleInput();

}  // namespace varnel
