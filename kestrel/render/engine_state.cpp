#include "kestrel/render/engine_state.hpp"

#include "kestrel/render/gl_context.hpp"

namespace kestrel {

EngineState& Engine() {
  static EngineState state;
  return state;
}

int TargetWidth() { return Engine().target ? Engine().target->width : ScreenWidth(); }
int TargetHeight() { return Engine().target ? Engine().target->height : ScreenHeight(); }

void BindTarget() {
  Image* target = Engine().target;
  glBindFramebuffer(GL_FRAMEBUFFER, target ? target->framebuffer : 0);
  glViewport(0, 0, TargetWidth(), TargetHeight());
}

}  // namespace kestrel
