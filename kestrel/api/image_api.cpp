// Render targets and 2D drawing of the C interface.
#include <cstring>
#include <map>
#include <memory>

#include "kestrel/api/engine_parts.hpp"
#include "kestrel/kestrel.h"
#include "kestrel/render/draw2d.hpp"
#include "kestrel/render/engine_state.hpp"
#include "kestrel/render/gl_context.hpp"
#include "kestrel/render/log.hpp"

using namespace kestrel;

namespace {

constexpr int kMaxTargetSide = 4096;

std::map<const void*, std::unique_ptr<Image>>& Targets() {
  static std::map<const void*, std::unique_ptr<Image>> targets;
  return targets;
}

uint16_t ReadU16(const void* record, size_t offset) {
  uint16_t value;
  std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof value);
  return value;
}

void Put(const Quad2d& quad, const void* imageAddress, bool textured) {
  ContextScope scope;
  if (!scope.ok()) return;
  Image* image = nullptr;
  if (textured) {
    image = FindImage(imageAddress);
    if (!image) {
      Log("klPutImage: %p is not an image", imageAddress);
      return;
    }
    if (image == Engine().target) {
      Log("klPutImage: a render target cannot draw into itself");
      return;
    }
  }
  BindTarget();
  DrawQuad(quad, image);
}

// Leaves the target's framebuffer bound.
void CopyScreenTo(const Image& target) {
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, target.framebuffer);
  glBlitFramebuffer(0, 0, ScreenWidth(), ScreenHeight(), 0, 0, target.width, target.height,
                    GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

// A software renderer builds its copy program on the first copy: done while
// the target is made, the first late blur of the show does not stall.
void WarmScreenCopy(const Image& target) {
  CopyScreenTo(target);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace

namespace kestrel {

void ReleaseAllRenderTargets(bool withContext) {
  for (auto& [record, image] : Targets()) {
    if (withContext) ReleaseImage(*image);
    UnregisterImage(record);
  }
  Targets().clear();
  Engine().target = nullptr;
  Engine().targetRecord = nullptr;
}

}  // namespace kestrel

extern "C" {

int klCreateRenderTarget(void* record) {
  if (!record) return 0;
  const int width = ReadU16(record, KL_RENDER_TARGET_WIDTH);
  const int height = ReadU16(record, KL_RENDER_TARGET_HEIGHT);
  if (width < 1 || height < 1 || width > kMaxTargetSide || height > kMaxTargetSide) {
    Log("klCreateRenderTarget: size %dx%d out of range", width, height);
    return 0;
  }
  ContextScope scope;
  if (!scope.ok()) {
    Log("klCreateRenderTarget: no display (klSetupRenderer first)");
    return 0;
  }
  auto& slot = Targets()[record];
  if (!slot) slot = std::make_unique<Image>();
  slot->name = "render target";
  if (!MakeRenderTarget(*slot, width, height)) {
    UnregisterImage(record);
    Targets().erase(record);
    return 0;
  }
  WarmScreenCopy(*slot);
  RegisterImage(record, slot.get());
  return 1;
}

int klSetRenderTarget(void* record) {
  EngineState& engine = Engine();
  if (!record) {
    engine.target = nullptr;
    engine.targetRecord = nullptr;
    return 1;
  }
  auto it = Targets().find(record);
  if (it == Targets().end()) {
    Log("klSetRenderTarget: %p is not a render target", record);
    engine.target = nullptr;
    engine.targetRecord = nullptr;
    return 0;
  }
  engine.target = it->second.get();
  engine.targetRecord = record;
  return 1;
}

int klCopyScreenToTarget(void* record) {
  auto it = record ? Targets().find(record) : Targets().end();
  if (it == Targets().end()) {
    Log("klCopyScreenToTarget: %p is not a render target", record);
    return 0;
  }
  ContextScope scope;
  if (!scope.ok()) return 0;
  CopyScreenTo(*it->second);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  return 1;
}

void klPutImage(float x, float y, float sx, float sy, const void* image, float alpha, int, int,
                int src, int dst) {
  Quad2d quad{x, y, sx, sy, 1, 1, 1, alpha, 1, 1, src, dst};
  Put(quad, image, true);
}

void klPutImageEx(float x, float y, float sx, float sy, const void* image, float alpha, int, int,
                  int src, int dst, float r, float g, float b, float su, float sv) {
  Quad2d quad{x, y, sx, sy, r, g, b, alpha, su, sv, src, dst};
  Put(quad, image, true);
}

void klPutRect(float x, float y, float sx, float sy, float alpha, float r, float g, float b,
               int src, int dst) {
  Quad2d quad{x, y, sx, sy, r, g, b, alpha, 1, 1, src, dst};
  Put(quad, nullptr, false);
}

}  // extern "C"
