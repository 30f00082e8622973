// Process-wide state of the engine behind the C interface.
#pragma once

#include "kestrel/render/image.hpp"
#include "kestrel/scene/model.hpp"

namespace kestrel {

struct EngineState {
  bool initialized = false;
  bool running = false;          // a display is open
  bool clearBeforeFrame = true;  // state 2
  bool depthFog = false;         // state 9
  Vec3 ambient;                  // current ambient light (device state 139)
  Image* target = nullptr;       // null: the screen
  const void* targetRecord = nullptr;
};

EngineState& Engine();

// Binds the current target's framebuffer and viewport (context current).
void BindTarget();
int TargetWidth();
int TargetHeight();

}  // namespace kestrel
