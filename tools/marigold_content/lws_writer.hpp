// LightWave scene (LWSC version 3) writer: objects from files and nulls,
// lights, one camera, keyframed motion channels as envelope blocks, and the
// scene's ambient light and fog.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace demotools {

// Span shapes as the scene file numbers them.
enum class Shape { Tcb = 0, Hermite = 1, Bezier = 2, Linear = 3, Stepped = 4, Bezier2D = 5 };
// Pre/post behaviours as the scene file numbers them.
enum class Behavior { Reset = 0, Constant = 1, Repeat = 2, Oscillate = 3, OffsetRepeat = 4, Linear = 5 };

struct Key {
  double value = 0;
  double time = 0;  // seconds
  Shape shape = Shape::Tcb;
  // TCB: tension, continuity, bias in p[0..2]; Hermite and 1D Bezier:
  // incoming and outgoing tangents in p[3], p[4]; 2D Bezier: the incoming
  // handle (time, value) in p[0], p[1] and the outgoing one in p[2], p[3].
  std::array<double, 6> p{};
};

struct Envelope {
  std::vector<Key> keys;
  Behavior pre = Behavior::Constant;
  Behavior post = Behavior::Constant;
};

Envelope Constant(double value);

// Position x, y, z; heading, pitch, bank (radians); scale x, y, z.
struct Motion {
  std::array<Envelope, 9> channels;
};

// A motion resting at `position`, unrotated, scale 1.
Motion StillMotion(double x, double y, double z);

struct SceneObject {
  std::string file;      // object path; empty for a null
  std::string nullName;  // a null's name
  Motion motion = StillMotion(0, 0, 0);
  int parent = -1;  // index of another object, or -1
  std::array<double, 3> pivot{};
};

enum class LightKind { Distant = 0, Point = 1, Spot = 2 };

struct SceneLight {
  std::string name = "Light";
  Motion motion = StillMotion(0, 0, 0);
  std::array<double, 3> color{1, 1, 1};
  double intensity = 1;
  LightKind kind = LightKind::Distant;
};

struct SceneCamera {
  std::string name = "Camera";
  Motion motion = StillMotion(0, 0, -5);
  double zoom = 3.2;
  int parent = -1;  // object index, or -1
};

struct Scene {
  int firstFrame = 0;
  int lastFrame = 600;
  double fps = 30;
  std::vector<SceneObject> objects;
  std::vector<SceneLight> lights;
  SceneCamera camera;
  std::array<double, 3> ambientColor{1, 1, 1};
  double ambientIntensity = 0.1;
  int fogType = 0;  // 0 off, 1 linear
  double fogMin = 0, fogMax = 100;
  std::array<double, 3> fogColor{0, 0, 0};
  std::array<double, 3> backdrop{0, 0, 0};
};

// The whole scene file text. Throws std::invalid_argument for a parent
// index that names no object or names the object itself.
std::string WriteLws(const Scene& scene);

// One envelope block, "{ Envelope" to "}", each line indented by two spaces.
std::string WriteEnvelope(const Envelope& envelope);

}  // namespace demotools
