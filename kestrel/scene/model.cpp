// Matrices, motion evaluation and item transforms of the scene model.
#include <cmath>

#include "kestrel/scene/model.hpp"

namespace kestrel {
namespace {

// Deepest parent chain followed; longer chains are cycles or damage.
constexpr int kMaxParentDepth = 64;

Mat4 Translation(Vec3 v) {
  Mat4 r;
  r.m[12] = v.x;
  r.m[13] = v.y;
  r.m[14] = v.z;
  return r;
}

Mat4 Scaling(Vec3 v) {
  Mat4 r;
  r.m[0] = v.x;
  r.m[5] = v.y;
  r.m[10] = v.z;
  return r;
}

Mat4 Transposed(const Mat4& a) {
  Mat4 r;
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row) r.m[c * 4 + row] = a.m[row * 4 + c];
  return r;
}

Mat4 ItemLocal(const ItemBase& item, double seconds) {
  const Transform t = EvaluateMotionAt(item.motion, seconds);
  Mat4 m = LocalMatrix(t);
  // A pure rotation's inverse is its transpose.
  m = Multiply(m, Transposed(RotationMatrix(item.pivotRotation)));
  return Multiply(m, Translation({-item.pivot.x, -item.pivot.y, -item.pivot.z}));
}

}  // namespace

Mat4 Multiply(const Mat4& a, const Mat4& b) {
  Mat4 r;
  for (int c = 0; c < 4; ++c) {
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[c * 4 + k];
      r.m[c * 4 + row] = sum;
    }
  }
  return r;
}

Vec3 TransformPoint(const Mat4& a, Vec3 p) {
  return {a.m[0] * p.x + a.m[4] * p.y + a.m[8] * p.z + a.m[12],
          a.m[1] * p.x + a.m[5] * p.y + a.m[9] * p.z + a.m[13],
          a.m[2] * p.x + a.m[6] * p.y + a.m[10] * p.z + a.m[14]};
}

Motion RestMotion() {
  Motion motion;
  for (int c = 0; c < kChannelCount; ++c) {
    Key key;
    key.value = c >= kScaleX ? 1.0 : 0.0;
    motion.channels[c].keys.push_back(key);
  }
  return motion;
}

Transform EvaluateMotionAt(const Motion& motion, double seconds) {
  double v[kChannelCount];
  for (int c = 0; c < kChannelCount; ++c) v[c] = EvaluateEnvelope(motion.channels[c], seconds);
  Transform t;
  t.position = {float(v[kPositionX]), float(v[kPositionY]), float(v[kPositionZ])};
  t.rotation = {float(v[kHeading]), float(v[kPitch]), float(v[kBank])};
  t.scale = {float(v[kScaleX]), float(v[kScaleY]), float(v[kScaleZ])};
  return t;
}

Mat4 RotationMatrix(Vec3 hpb) {
  const float ch = std::cos(hpb.x), sh = std::sin(hpb.x);
  const float cp = std::cos(hpb.y), sp = std::sin(hpb.y);
  const float cb = std::cos(hpb.z), sb = std::sin(hpb.z);
  Mat4 heading, pitch, bank;
  heading.m = {ch, 0, -sh, 0, 0, 1, 0, 0, sh, 0, ch, 0, 0, 0, 0, 1};
  pitch.m = {1, 0, 0, 0, 0, cp, sp, 0, 0, -sp, cp, 0, 0, 0, 0, 1};
  bank.m = {cb, sb, 0, 0, -sb, cb, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  return Multiply(heading, Multiply(pitch, bank));
}

Mat4 LocalMatrix(const Transform& t) {
  return Multiply(Translation(t.position), Multiply(RotationMatrix(t.rotation), Scaling(t.scale)));
}

size_t Mesh::TriangleCount() const {
  size_t count = 0;
  for (const auto& batch : batches) count += batch.indices.size() / 3;
  return count;
}

float VerticalFieldOfView(const Camera& camera) {
  const float zoom = camera.zoomFactor > 0 ? camera.zoomFactor : 3.2f;
  return 2.0f * std::atan(1.0f / zoom);
}

const ItemBase* Scene::Item(ItemRef ref) const {
  if (ref.index < 0) return nullptr;
  const auto index = static_cast<size_t>(ref.index);
  switch (ref.kind) {
    case ItemKind::Object:
      return index < objects.size() ? &objects[index] : nullptr;
    case ItemKind::Light:
      return index < lights.size() ? &lights[index] : nullptr;
    case ItemKind::Camera:
      return index < cameras.size() ? &cameras[index] : nullptr;
  }
  return nullptr;
}

Transform EvaluateMotion(const Scene& scene, ItemRef ref, double frame) {
  const ItemBase* item = scene.Item(ref);
  if (!item) return {};
  const double fps = scene.framesPerSecond > 0 ? scene.framesPerSecond : 30;
  return EvaluateMotionAt(item->motion, frame / fps);
}

Mat4 WorldMatrix(const Scene& scene, ItemRef ref, double frame) {
  const double fps = scene.framesPerSecond > 0 ? scene.framesPerSecond : 30;
  const double seconds = frame / fps;
  Mat4 world;
  const ItemBase* item = scene.Item(ref);
  for (int depth = 0; item && depth < kMaxParentDepth; ++depth) {
    world = Multiply(ItemLocal(*item, seconds), world);
    item = scene.Item(item->parent);
  }
  return world;
}

}  // namespace kestrel
