// Arbitrary bytes as a LightWave scene: parsed, then every item's motion
// and world matrix evaluated at a few frames.
#include <cstdint>
#include <string_view>

#include "kestrel/scene/lws.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto scene = kestrel::ParseScene(text, "fuzz/scene.lws");
  if (!scene) return 0;
  for (double frame : {-1000.5, -1.0, 0.0, 7.25, 60.0, 1e6}) {
    for (size_t i = 0; i < scene->objects.size(); ++i) {
      (void)kestrel::EvaluateMotion(*scene, {kestrel::ItemKind::Object, int(i)}, frame);
      (void)kestrel::WorldMatrix(*scene, {kestrel::ItemKind::Object, int(i)}, frame);
    }
    for (size_t i = 0; i < scene->lights.size(); ++i)
      (void)kestrel::WorldMatrix(*scene, {kestrel::ItemKind::Light, int(i)}, frame);
    for (size_t i = 0; i < scene->cameras.size(); ++i)
      (void)kestrel::WorldMatrix(*scene, {kestrel::ItemKind::Camera, int(i)}, frame);
  }
  return 0;
}
