// Engine, display, state and device calls of the C interface.
#include <cstdlib>
#include <cstring>

#include "kestrel/api/engine_parts.hpp"
#include "kestrel/kestrel.h"
#include "kestrel/render/draw2d.hpp"
#include "kestrel/render/engine_state.hpp"
#include "kestrel/render/gl_context.hpp"
#include "kestrel/render/log.hpp"
#include "kestrel/render/renderer_dialog.hpp"

using namespace kestrel;

namespace {

constexpr uint32_t kStateBlock2d = 1;

struct KLdisplayObject {
  int unused;
};
KLdisplayObject displayObject;
KLdisplayObject backBufferObject;

int DeviceSetRenderState(KLdevice*, uint32_t state, uint32_t value) {
  if (state == KL_RS_AMBIENT) {
    Engine().ambient = {((value >> 16) & 0xFF) / 255.0f, ((value >> 8) & 0xFF) / 255.0f,
                        (value & 0xFF) / 255.0f};
  }
  return 0;
}

int DeviceApplyStateBlock(KLdevice*, uint32_t block) {
  if (block != kStateBlock2d) return -1;
  ContextScope scope;
  if (scope.ok()) Apply2dDefaults();
  return 0;
}

KLdevice device{DeviceSetRenderState, DeviceApplyStateBlock};

int32_t ReadInt(const void* record, size_t offset) {
  int32_t value;
  std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof value);
  return value;
}

}  // namespace

extern "C" {

int klInitialize(void* window, int) {
  EngineState& engine = Engine();
  if (engine.initialized) {
    Log("klInitialize: already initialised");
    return 0;
  }
  LogStream();
  if (!AttachWindow(static_cast<SDL_Window*>(window))) return 0;
  engine = EngineState{};
  engine.initialized = true;
  return 1;
}

int klSetupRendererDialog(void* info, void* config) {
  return RunRendererDialog(info, config) ? 1 : 0;
}

int klSetupRenderer(const void* config) {
  EngineState& engine = Engine();
  if (!engine.initialized) {
    Log("klSetupRenderer: klInitialize first");
    return 0;
  }
  DisplayMode mode;
  if (config && ReadInt(config, KL_CONFIG_WIDTH) > 0 && ReadInt(config, KL_CONFIG_HEIGHT) > 0) {
    mode.width = ReadInt(config, KL_CONFIG_WIDTH);
    mode.height = ReadInt(config, KL_CONFIG_HEIGHT);
    mode.fullscreen = ReadInt(config, KL_CONFIG_FULLSCREEN) != 0;
    mode.vsync = ReadInt(config, KL_CONFIG_VSYNC) != 0;
  }
  if (!OpenContext(mode)) return 0;
  engine.running = true;
  ContextScope scope;
  if (scope.ok()) {
    BindTarget();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  return 1;
}

int klGetLowLevelVar(int n, void* out) {
  if (!Engine().initialized || !out) return 0;
  switch (n) {
    case KL_VAR_DISPLAY: {
      auto* object = reinterpret_cast<KLdisplay*>(&displayObject);
      std::memcpy(out, &object, sizeof object);
      return 1;
    }
    case KL_VAR_DEVICE: {
      KLdevice* object = &device;
      std::memcpy(out, &object, sizeof object);
      return 1;
    }
    case KL_VAR_BACKBUFFER: {
      auto* object = reinterpret_cast<KLsurface*>(&backBufferObject);
      std::memcpy(out, &object, sizeof object);
      return 1;
    }
    case KL_VAR_LOG: {
      std::FILE* stream = LogStream();
      std::memcpy(out, &stream, sizeof stream);
      return 1;
    }
    case KL_VAR_STATEBLOCK: {
      const uint32_t block = kStateBlock2d;
      std::memcpy(out, &block, sizeof block);
      return 1;
    }
    default:
      Log("klGetLowLevelVar: unknown variable %d", n);
      return 0;
  }
}

int klGetInfo(int n) {
  EngineState& engine = Engine();
  switch (n) {
    case KL_INFO_RUNNING:
      return engine.running && WindowAlive() ? 1 : 0;
    case KL_INFO_WIDTH:
      return engine.running ? ScreenWidth() : 0;
    case KL_INFO_HEIGHT:
      return engine.running ? ScreenHeight() : 0;
    default:
      return 0;
  }
}

void klSetState(int state, int value) {
  switch (state) {
    case KL_STATE_CLEAR:
      Engine().clearBeforeFrame = value != 0;
      break;
    case KL_STATE_FOG:
      Engine().depthFog = value != 0;
      break;
    default:
      Log("klSetState: unknown state %d", state);
  }
}

void klDone(void) {
  EngineState& engine = Engine();
  if (!engine.initialized) return;
  {
    ContextScope scope;
    ReleaseAllScenes(scope.ok());
    ReleaseAllRenderTargets(scope.ok());
    if (scope.ok()) Release2d();
  }
  CloseContext();
  engine = EngineState{};
}

void klStartRendering(void) {
  ContextScope scope;
  if (!scope.ok()) return;
  BindTarget();
  Apply2dDefaults();
}

// Nothing to do: the frame's commands go out together when it is shown.
void klEndRendering(void) {}

void klShowRender(void) {
  ContextScope scope;
  if (!scope.ok()) return;
  if (!Engine().target) SwapScreen();
}

void* klMalloc(size_t size) { return std::malloc(size ? size : 1); }
void klFree(void* block) { std::free(block); }

}  // extern "C"
