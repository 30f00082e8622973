// Arbitrary bytes as a LightWave object (LWO2 or LWOB): parsed, then
// triangulated into meshes of all layers and of the first layer.
#include <cstdint>
#include <span>
#include <string>

#include "kestrel/scene/lwo.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  const auto object = kestrel::ParseObject(std::span<const uint8_t>(data, size), &error);
  if (!object) return 0;
  (void)kestrel::BuildMesh(*object, 0);
  (void)kestrel::BuildMesh(*object, 1);
  return 0;
}
