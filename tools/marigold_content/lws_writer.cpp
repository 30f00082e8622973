#include "tools/marigold_content/lws_writer.hpp"

#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace demotools {

namespace {

constexpr unsigned kObjectItemBase = 0x10000000u;
constexpr int kCameraChannels = 6;

std::string Num(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

std::string Triple(const std::array<double, 3>& v) { return Num(v[0]) + " " + Num(v[1]) + " " + Num(v[2]); }

void WriteMotion(std::ostringstream& out, const char* keyword, const Motion& motion, int channels) {
  out << keyword << "\nNumChannels " << channels << "\n";
  for (int c = 0; c < channels; ++c) out << "Channel " << c << "\n" << WriteEnvelope(motion.channels[size_t(c)]);
}

std::string ParentId(int index) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", kObjectItemBase + static_cast<unsigned>(index));
  return text;
}

void CheckParent(int parent, int self, size_t count) {
  if (parent < -1 || parent >= static_cast<int>(count) || parent == self)
    throw std::invalid_argument("parent index names no other object");
}

}  // namespace

Envelope Constant(double value) {
  Envelope e;
  e.keys.push_back(Key{value, 0, Shape::Tcb, {}});
  return e;
}

Motion StillMotion(double x, double y, double z) {
  Motion m;
  const std::array<double, 9> values = {x, y, z, 0, 0, 0, 1, 1, 1};
  for (size_t i = 0; i < values.size(); ++i) m.channels[i] = Constant(values[i]);
  return m;
}

std::string WriteEnvelope(const Envelope& envelope) {
  std::ostringstream out;
  out << "{ Envelope\n  " << envelope.keys.size() << "\n";
  for (const Key& k : envelope.keys) {
    out << "  Key " << Num(k.value) << " " << Num(k.time) << " " << static_cast<int>(k.shape);
    for (double p : k.p) out << " " << Num(p);
    out << "\n";
  }
  out << "  Behaviors " << static_cast<int>(envelope.pre) << " " << static_cast<int>(envelope.post) << "\n}\n";
  return out.str();
}

std::string WriteLws(const Scene& scene) {
  std::ostringstream out;
  out << "LWSC\n3\n\n";
  out << "FirstFrame " << scene.firstFrame << "\nLastFrame " << scene.lastFrame << "\nFrameStep 1\n";
  out << "FramesPerSecond " << Num(scene.fps) << "\n\n";
  for (size_t i = 0; i < scene.objects.size(); ++i) {
    const SceneObject& o = scene.objects[i];
    CheckParent(o.parent, static_cast<int>(i), scene.objects.size());
    if (o.file.empty()) {
      out << "AddNullObject " << o.nullName << "\n";
    } else {
      out << "LoadObjectLayer 1 " << o.file << "\n";
    }
    out << "ShowObject 6 7\n";
    WriteMotion(out, "ObjectMotion", o.motion, 9);
    if (o.parent >= 0) out << "ParentItem " << ParentId(o.parent) << "\n";
    out << "PivotPosition " << Triple(o.pivot) << "\n\n";
  }
  out << "AmbientColor " << Triple(scene.ambientColor) << "\nAmbientIntensity " << Num(scene.ambientIntensity)
      << "\n\n";
  for (const SceneLight& l : scene.lights) {
    out << "AddLight\nLightName " << l.name << "\nShowLight 0 7\n";
    WriteMotion(out, "LightMotion", l.motion, 9);
    out << "LightColor " << Triple(l.color) << "\nLightIntensity " << Num(l.intensity) << "\nLightType "
        << static_cast<int>(l.kind) << "\n\n";
  }
  CheckParent(scene.camera.parent, -2, scene.objects.size());
  out << "AddCamera\nCameraName " << scene.camera.name << "\nShowCamera 1 2\n";
  WriteMotion(out, "CameraMotion", scene.camera.motion, kCameraChannels);
  if (scene.camera.parent >= 0) out << "ParentItem " << ParentId(scene.camera.parent) << "\n";
  out << "ZoomFactor " << Num(scene.camera.zoom) << "\n\n";
  out << "SolidBackdrop 1\nBackdropColor " << Triple(scene.backdrop) << "\n";
  out << "FogType " << scene.fogType << "\nFogMinDistance " << Num(scene.fogMin) << "\nFogMaxDistance "
      << Num(scene.fogMax) << "\nFogMinAmount 0\nFogMaxAmount 1\nFogColor " << Triple(scene.fogColor) << "\n";
  return out.str();
}

}  // namespace demotools
