// What the window thread's window procedure saw last: written by that thread
// only, read by the magazine thread without a lock.
#pragma once

#include <atomic>
#include <cstdint>

namespace varnel {

struct InputState {
  std::atomic<int32_t> currentKey{0};    // virtual-key code of the last key down; 0 after any key up
  std::atomic<int32_t> mouseX{0};        // 0..639 in the 640 x 480 image
  std::atomic<int32_t> mouseY{0};        // 0..479
  std::atomic<int32_t> mouseButtons{0};  // MK_ flags: 1 left, 2 right, 4 shift, 8 control, 16 middle
};

extern InputState inputState;

}  // namespace varnel
