// The in-memory scene the renderer draws: items of a LightWave scene with
// their motions, and the meshes and surfaces of their objects.
//
// Axes are LightWave's: left-handed, x right, y up, z forward (into the
// screen for an unrotated camera). Angles are radians. Times inside
// envelopes are seconds; frames are converted with the scene's fps.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {

struct Vec2 {
  float x = 0, y = 0;
};
struct Vec3 {
  float x = 0, y = 0, z = 0;
};
struct Vec4 {
  float x = 0, y = 0, z = 0, w = 0;
};

// Column-major 4x4 matrix (OpenGL order): m[column * 4 + row].
struct Mat4 {
  std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};
Mat4 Multiply(const Mat4& a, const Mat4& b);
Vec3 TransformPoint(const Mat4& matrix, Vec3 point);

// ---- Envelopes ------------------------------------------------------------

// Shape of the span that ends at a key (the first key's shape is unused).
enum class SpanShape : uint8_t { Tcb = 0, Hermite = 1, Bezier = 2, Linear = 3, Stepped = 4, Bezier2D = 5 };
// What an envelope does before its first and after its last key.
enum class Behavior : uint8_t { Reset = 0, Constant = 1, Repeat = 2, Oscillate = 3, OffsetRepeat = 4, Linear = 5 };

struct Key {
  double value = 0;
  double time = 0;  // seconds
  SpanShape shape = SpanShape::Tcb;
  double tension = 0, continuity = 0, bias = 0;
  // Hermite and 1D Bezier: [0] incoming, [1] outgoing tangent.
  // 2D Bezier: [0] incoming time offset, [1] incoming value offset,
  //            [2] outgoing time offset, [3] outgoing value offset.
  std::array<double, 4> param{};
};

struct Envelope {
  std::vector<Key> keys;  // ascending time
  Behavior pre = Behavior::Constant;
  Behavior post = Behavior::Constant;
};

// Value at `time` seconds; 0 without keys.
double EvaluateEnvelope(const Envelope& envelope, double time);

// ---- Motion ---------------------------------------------------------------

enum Channel : int {
  kPositionX = 0, kPositionY, kPositionZ,
  kHeading, kPitch, kBank,
  kScaleX, kScaleY, kScaleZ,
  kChannelCount
};

// An item's keyframed channels. A channel absent from the file holds one
// key with its rest value (0, or 1 for scale).
struct Motion {
  std::array<Envelope, kChannelCount> channels;
};
Motion RestMotion();

// An item's own transform at one moment, unparented.
struct Transform {
  Vec3 position;
  Vec3 rotation;  // heading, pitch, bank (radians)
  Vec3 scale{1, 1, 1};
};
Transform EvaluateMotionAt(const Motion& motion, double seconds);

// Rotation matrix of heading (about y), pitch (about x), bank (about z),
// applied bank first: R = Ry(h) * Rx(p) * Rz(b).
Mat4 RotationMatrix(Vec3 headingPitchBank);
// T(position) * R(rotation) * S(scale).
Mat4 LocalMatrix(const Transform& transform);

// ---- Surfaces and meshes --------------------------------------------------

enum class Projection : uint8_t { Planar = 0, Cylindrical = 1, Spherical = 2, Cubic = 3, FrontProjection = 4, Uv = 5 };

struct ImageMap {
  std::string imageName;  // as written in the object file
  std::string imagePath;  // resolved data path; empty when not found
  Projection projection = Projection::Uv;
  int axis = 1;           // 0 x, 1 y, 2 z (planar, cylindrical, spherical)
  Vec3 center;
  Vec3 size{1, 1, 1};
  Vec3 rotation;          // heading, pitch, bank of the projection (radians)
  std::string uvMap;      // UV projection: the vertex map's name
  float wrapWidth = 1, wrapHeight = 1;  // cylindrical / spherical repeats
  bool repeat = true;     // repeat outside 0..1 (else clamp to edge)
  bool negative = false;  // invert the picture
  float opacity = 1;
};

struct Surface {
  std::string name;
  Vec3 color{0.78f, 0.78f, 0.78f};
  float diffuse = 1;
  float luminosity = 0;
  float specular = 0;
  float glossiness = 0.4f;
  float transparency = 0;
  float smoothingAngle = 0;  // radians; 0 = flat shading
  bool doubleSided = false;
  bool additive = false;
  bool hasImage = false;
  ImageMap image;            // the colour image map, when hasImage
};

// Triangles of one surface: indices into the mesh's vertex arrays, in the
// polygons' corner order (clockwise seen from the front, LightWave's rule).
struct SurfaceBatch {
  int surface = 0;  // index into Mesh::surfaces
  std::vector<uint32_t> indices;
};

// Render-ready geometry of one object layer (or all layers merged).
// Vertex arrays are parallel; uvs and colors are either empty or full.
struct Mesh {
  std::vector<Vec3> positions;
  std::vector<Vec3> normals;  // smoothed within each surface's angle
  std::vector<Vec2> uvs;      // image map's projection or UV map; (0,0) = picture's top-left
  std::vector<Vec4> colors;   // vertex colours (RGBA)
  std::vector<SurfaceBatch> batches;
  std::vector<Surface> surfaces;
  Vec3 pivot;                 // layer pivot (LWO2 LAYR)
  size_t TriangleCount() const;
};

// ---- Scene items ----------------------------------------------------------

enum class ItemKind : uint8_t { Object = 1, Light = 2, Camera = 3 };

struct ItemRef {
  ItemKind kind = ItemKind::Object;
  int index = -1;  // into Scene::objects / lights / cameras; -1 = none
  bool Valid() const { return index >= 0; }
};

struct ItemBase {
  std::string name;   // object file base name, null name, light or camera name
  Motion motion = RestMotion();
  ItemRef parent;     // invalid: no parent
  Vec3 pivot;         // PivotPosition
  Vec3 pivotRotation; // PivotRotation (radians)
};

struct ObjectItem : ItemBase {
  std::string sourcePath;            // resolved object path; empty for nulls
  int layer = 0;                     // LoadObjectLayer's layer; 0 = all
  bool isNull = false;
  std::shared_ptr<const Mesh> mesh;  // null for null objects
};

enum class LightType : uint8_t { Distant = 0, Point = 1, Spot = 2, Linear = 3, Area = 4 };

struct Light : ItemBase {
  Vec3 color{1, 1, 1};
  float intensity = 1;
  LightType type = LightType::Distant;
  float coneAngle = 0.5236f;  // spot: half angle (radians)
  float edgeAngle = 0.0873f;  // spot: soft edge (radians)
};

struct Camera : ItemBase {
  float zoomFactor = 3.2f;  // focal length over half the frame height
};
// Vertical field of view (radians) for a camera's zoom factor.
float VerticalFieldOfView(const Camera& camera);

enum class FogType : uint8_t { Off = 0, Linear = 1, NonLinear1 = 2, NonLinear2 = 3 };

struct Fog {
  FogType type = FogType::Off;
  float minDistance = 0, maxDistance = 1;
  float minAmount = 0, maxAmount = 1;
  Vec3 color;
};

struct Scene {
  int version = 0;  // LWSC version of the file
  double framesPerSecond = 30;
  double firstFrame = 1, lastFrame = 60;
  Vec3 ambientColor{1, 1, 1};
  float ambientIntensity = 0.05f;
  Vec3 backdropColor;
  Fog fog;
  std::vector<ObjectItem> objects;  // file order
  std::vector<Light> lights;        // file order
  std::vector<Camera> cameras;      // file order; rendering uses the first
  std::string path;                 // the scene file as opened

  const ItemBase* Item(ItemRef ref) const;
};

// An item's own channels at `frame` (fractional), unparented.
Transform EvaluateMotion(const Scene& scene, ItemRef item, double frame);
// An item's world matrix at `frame`: parents first, then
// T(position) * R(rotation) * S(scale) * R(pivotRotation)^-1 * T(-pivot).
// Parent cycles are cut. Identity for an invalid item.
Mat4 WorldMatrix(const Scene& scene, ItemRef item, double frame);

}  // namespace kestrel
