// The demo's scenes: one per scene event, the second ending scene and the
// common scene holding the overlay pictures.
#include <algorithm>
#include <cmath>

#include "tools/marigold_content/content.hpp"

namespace demotools {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kFps = 30;
enum Channel { kX = 0, kY, kZ, kHeading, kPitch, kBank, kScaleX, kScaleY, kScaleZ };

Key Tcb(double v, double t, double tension = 0, double continuity = 0, double bias = 0) {
  return Key{v, t, Shape::Tcb, {tension, continuity, bias, 0, 0, 0}};
}
Key Lin(double v, double t) { return Key{v, t, Shape::Linear, {}}; }
Key Step(double v, double t) { return Key{v, t, Shape::Stepped, {}}; }
Key Herm(double v, double t, double in, double out) { return Key{v, t, Shape::Hermite, {0, 0, 0, in, out, 0}}; }
Key Bez(double v, double t, double in, double out) { return Key{v, t, Shape::Bezier, {0, 0, 0, in, out, 0}}; }
// 2D Bezier with flat handles a third of the way to the neighbours: ease in and out.
Key Ease(double v, double t, double before, double after) {
  return Key{v, t, Shape::Bezier2D, {-before / 3, 0, after / 3, 0, 0, 0}};
}

Envelope Env(std::vector<Key> keys, Behavior pre = Behavior::Constant, Behavior post = Behavior::Constant) {
  Envelope e;
  e.keys = std::move(keys);
  e.pre = pre;
  e.post = post;
  return e;
}

// A steady turn of `perSecond` radians, forever.
Envelope Spin(double start, double perSecond) {
  return Env({Lin(start, 0), Lin(start + perSecond, 1)}, Behavior::Linear, Behavior::Linear);
}

struct Look {
  double heading, pitch;
};

// Heading and pitch that aim an item at `target`; heading kept within half
// a turn of `previous` so keyed turns go the short way.
Look LookAt(const std::array<double, 3>& from, const std::array<double, 3>& target, double previous) {
  const double dx = target[0] - from[0], dy = target[1] - from[1], dz = target[2] - from[2];
  double h = std::atan2(dx, dz);
  while (h - previous > kPi) h -= 2 * kPi;
  while (h - previous < -kPi) h += 2 * kPi;
  return {h, std::atan2(-dy, std::sqrt(dx * dx + dz * dz))};
}

struct PathPoint {
  double time;
  std::array<double, 3> position;
  std::array<double, 3> target;
};

// Camera channels through `path`, every key made by `make(value, time, i)`.
template <typename MakeKey>
Motion CameraPath(const std::vector<PathPoint>& path, MakeKey make, Behavior post = Behavior::Constant) {
  Motion m = StillMotion(0, 0, 0);
  for (int c = 0; c < 5; ++c) m.channels[size_t(c)] = Env({}, Behavior::Constant, post);
  double heading = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    const PathPoint& p = path[i];
    const Look look = LookAt(p.position, p.target, heading);
    heading = look.heading;
    const double values[5] = {p.position[0], p.position[1], p.position[2], look.heading, look.pitch};
    for (int c = 0; c < 5; ++c) m.channels[size_t(c)].keys.push_back(make(values[c], p.time, i));
  }
  return m;
}

SceneObject Object(const std::string& file, Motion motion, int parent = -1) {
  SceneObject o;
  o.file = file;
  o.motion = std::move(motion);
  o.parent = parent;
  return o;
}

SceneObject Null(const std::string& name, Motion motion, int parent = -1) {
  SceneObject o;
  o.nullName = name;
  o.motion = std::move(motion);
  o.parent = parent;
  return o;
}

SceneLight Light(const std::string& name, LightKind kind, std::array<double, 3> color, double intensity,
                 Motion motion) {
  SceneLight l;
  l.name = name;
  l.kind = kind;
  l.color = color;
  l.intensity = intensity;
  l.motion = std::move(motion);
  return l;
}

Motion Aimed(double x, double y, double z, double heading, double pitch) {
  Motion m = StillMotion(x, y, z);
  m.channels[kHeading] = Constant(heading);
  m.channels[kPitch] = Constant(pitch);
  return m;
}

int Add(Scene* s, SceneObject o) {
  s->objects.push_back(std::move(o));
  return static_cast<int>(s->objects.size() - 1);
}

Scene Base(double seconds) {
  Scene s;
  s.fps = kFps;
  s.firstFrame = 0;
  s.lastFrame = static_cast<int>(seconds * kFps);
  return s;
}

// A spiral of spinning cubes around the logo sphere, a camera diving in.
Scene PicSpiral() {
  Scene s = Base(40);
  s.backdrop = {0.02, 0.0, 0.06};
  s.ambientColor = {0.6, 0.5, 1.0};
  s.ambientIntensity = 0.35;
  Motion hubMotion = StillMotion(0, 0, 0);
  hubMotion.channels[kHeading] = Spin(0, 0.6);
  Motion sky = StillMotion(0, 0, 0);
  sky.channels[kHeading] = Spin(0, 0.03);
  Add(&s, Object("objects/sky_violet.lwo", sky));
  const int hub = Add(&s, Null("SpiralHub", hubMotion));
  Motion sphere = StillMotion(0, 0, 0);
  sphere.channels[kHeading] = Spin(0, -0.4);
  sphere.channels[kScaleX] = sphere.channels[kScaleY] = sphere.channels[kScaleZ] =
      Env({Tcb(0.95, 0), Tcb(1.08, 0.25, -0.5), Tcb(0.95, 0.5)}, Behavior::Repeat, Behavior::Repeat);
  Add(&s, Object("objects/logo_sphere.lwo", sphere));
  constexpr int kCubes = 40;
  for (int i = 0; i < kCubes; ++i) {
    const double a = i * 0.55, r = 2.6 + i * 0.11, y = -4 + i * 0.2;
    Motion cube = StillMotion(r * std::cos(a), y, r * std::sin(a));
    cube.channels[kPitch] = Env({Lin(0, 0), Lin(kPi / 2, 1.5)}, Behavior::OffsetRepeat, Behavior::OffsetRepeat);
    cube.channels[kBank] = Spin(i * 0.3, 0.9);
    // Each cube pops in, one after another.
    const double t0 = i * 0.12;
    const Envelope pop = Env({Tcb(0, t0), Tcb(1.4, t0 + 0.3, 0, 0, 0), Tcb(1, t0 + 0.6, 0.5)}, Behavior::Reset,
                             Behavior::Constant);
    cube.channels[kScaleX] = cube.channels[kScaleY] = cube.channels[kScaleZ] = pop;
    Add(&s, Object("objects/spiral_cube.lwo", cube, hub));
  }
  Motion halo = StillMotion(0, 0, 0);
  halo.channels[kPitch] = Env({Tcb(0.3, 0), Tcb(-0.3, 3)}, Behavior::Oscillate, Behavior::Oscillate);
  halo.channels[kHeading] = Spin(0, 1.2);
  Add(&s, Object("objects/spiral_ring.lwo", halo));
  const std::array<double, 3> centre{0, 0, 0};
  s.camera.motion = CameraPath(
      {{0, {0, 9, -26}, centre}, {6, {14, 5, -14}, centre}, {12, {12, -2, 8}, centre}, {18, {-6, 2, 12}, centre},
       {24, {-10, 6, -4}, centre}, {30, {-2, 3, -9}, centre}, {36, {5, -1, -6}, centre}, {40, {0, 1, -12}, centre}},
      [](double v, double t, size_t) { return Tcb(v, t, 0.2, 0, 0); });
  s.camera.zoom = 2.4;
  s.lights.push_back(Light("Sun", LightKind::Distant, {1, 0.85, 0.6}, 1.0, Aimed(0, 0, 0, 0.6, 0.5)));
  Motion orbit = StillMotion(0, 0, 0);
  orbit.channels[kX] = Env({Tcb(6, 0), Tcb(0, 1), Tcb(-6, 2), Tcb(0, 3), Tcb(6, 4)}, Behavior::Repeat, Behavior::Repeat);
  orbit.channels[kZ] = Env({Tcb(0, 0), Tcb(6, 1), Tcb(0, 2), Tcb(-6, 3), Tcb(0, 4)}, Behavior::Repeat, Behavior::Repeat);
  s.lights.push_back(Light("Magenta", LightKind::Point, {1, 0.2, 0.8}, 1.2, orbit));
  s.lights.push_back(Light("Cyan", LightKind::Point, {0.2, 0.8, 1}, 0.9, StillMotion(0, -6, 0)));
  return s;
}

// A hanging chain of metal links swinging, each link parented to the last.
Scene PicChains() {
  Scene s = Base(20);
  s.backdrop = {0.08, 0.01, 0.02};
  s.ambientColor = {1, 0.6, 0.5};
  s.ambientIntensity = 0.12;
  Motion sky = StillMotion(0, 0, 0);
  sky.channels[kBank] = Spin(0, 0.02);
  Add(&s, Object("objects/sky_ember.lwo", sky));
  constexpr int kChains = 3;
  constexpr int kLinks = 10;
  for (int c = 0; c < kChains; ++c) {
    Motion anchor = StillMotion((c - 1) * 4.5, 7, (c % 2) * 2.0);
    anchor.channels[kHeading] = Env({Herm(-0.4, 0, 0, 0.8), Herm(0.4, 2 + c * 0.3, 0, 0)}, Behavior::Oscillate,
                                    Behavior::Oscillate);
    const int top = Add(&s, Null("ChainTop" + std::to_string(c + 1), anchor));
    int parent = top;
    for (int i = 0; i < kLinks; ++i) {
      Motion link = StillMotion(0, i == 0 ? 0 : -1.25, 0);
      link.channels[kHeading] = Constant(i % 2 == 0 ? 0 : kPi / 2);
      // Each link swings a little against its parent, lagging down the chain.
      link.channels[kPitch] = Env({Herm(-0.12, 0.15 * i, 0.05, 0.3), Herm(0.12, 1.2 + 0.15 * i, 0.3, 0.05)},
                                  Behavior::Oscillate, Behavior::Oscillate);
      SceneObject o = Object("objects/chain_link.lwo", link, parent);
      o.pivot = {0, 0.8, 0};
      parent = Add(&s, o);
    }
  }
  Motion bubble = StillMotion(0, -7, 0);
  bubble.channels[kY] = Env({Bez(-7, 0, 0, 4), Bez(-4, 3, 0, 0)}, Behavior::Oscillate, Behavior::Oscillate);
  bubble.channels[kHeading] = Spin(0, 0.7);
  Add(&s, Object("objects/bubble.lwo", bubble));
  s.camera.motion = CameraPath(
      {{0, {-14, 0, -18}, {0, 0, 0}}, {5, {-4, -5, -14}, {0, 1, 0}}, {10, {9, 2, -13}, {0, -1, 0}},
       {15, {5, 6, -9}, {0, -2, 0}}, {20, {-8, 1, -16}, {0, 0, 0}}},
      [](double v, double t, size_t) { return Ease(v, t, 5, 5); });
  s.camera.zoom = 2.8;
  s.lights.push_back(Light("Key", LightKind::Distant, {1, 0.9, 0.8}, 1.1, Aimed(0, 0, 0, -0.5, 0.6)));
  s.lights.push_back(Light("Rim", LightKind::Point, {1, 0.3, 0.1}, 1.5, StillMotion(0, 4, 6)));
  s.lights.push_back(Light("Fill", LightKind::Point, {0.3, 0.4, 1}, 0.8, StillMotion(-8, -4, -8)));
  return s;
}

// A flight low over coloured hills through drifting sparks and bubbles.
Scene PicFloat() {
  Scene s = Base(26);
  s.backdrop = {0.1, 0.03, 0.15};
  s.ambientColor = {1, 1, 1};
  s.ambientIntensity = 0.2;
  s.fogType = 1;
  s.fogMin = 10;
  s.fogMax = 45;
  s.fogColor = {0.1, 0.03, 0.15};
  Add(&s, Object("objects/terrain.lwo", StillMotion(0, -4, 0)));
  Motion sparks = StillMotion(0, 3, 0);
  sparks.channels[kHeading] = Spin(0, 0.25);
  sparks.channels[kPitch] = Spin(0, 0.1);
  Add(&s, Object("objects/sparks.lwo", sparks));
  for (int i = 0; i < 6; ++i) {
    const double a = i * kPi / 3;
    Motion b = StillMotion(8 * std::cos(a), 2, 8 * std::sin(a));
    b.channels[kY] = Env({Tcb(1 + i % 3, 0), Tcb(3.5 + i % 2, 1.5 + i * 0.2), Tcb(1 + i % 3, 3 + i * 0.4)},
                         Behavior::Repeat, Behavior::Repeat);
    b.channels[kHeading] = Spin(i, 1.0);
    Add(&s, Object("objects/bubble.lwo", b));
  }
  s.camera.motion = CameraPath(
      {{0, {-24, 6, -24}, {0, 0, 0}}, {6, {-6, 3, -16}, {8, 1, 0}}, {12, {12, 4, -6}, {0, 2, 8}},
       {18, {10, 9, 14}, {-4, 0, 0}}, {26, {-16, 5, 10}, {0, 2, 0}}},
      [](double v, double t, size_t i) {
        // Smooth 1D Bezier spans with gentle slopes at the ends.
        return Bez(v, t, i == 0 ? 0 : 0.2, 0.2);
      });
  s.camera.zoom = 2.2;
  s.lights.push_back(Light("Dusk", LightKind::Distant, {1, 0.7, 0.5}, 1.1, Aimed(0, 0, 0, 0.9, 0.4)));
  s.lights.push_back(Light("Glow", LightKind::Point, {0.9, 0.4, 1}, 1.2, StillMotion(0, 6, 0)));
  return s;
}

// A fogged tunnel of rings, the camera rushing through past pillars.
Scene Scenka4() {
  Scene s = Base(20);
  s.backdrop = {0.0, 0.02, 0.08};
  s.ambientIntensity = 0.1;
  s.fogType = 1;
  s.fogMin = 4;
  s.fogMax = 38;
  s.fogColor = {0.0, 0.02, 0.08};
  constexpr int kRings = 48;
  constexpr double kSpacing = 3;
  for (int i = 0; i < kRings; ++i) {
    Motion ring = StillMotion(0, 0, i * kSpacing);
    ring.channels[kBank] = Spin(i * 0.2, (i % 2 == 0 ? 1 : -1) * 0.8);
    ring.channels[kX] = Env({Tcb(0, 0), Tcb(0.6 * std::sin(i * 0.5), 2), Tcb(0, 4)}, Behavior::Repeat,
                            Behavior::Repeat);
    Add(&s, Object("objects/tunnel_ring.lwo", ring));
  }
  for (int i = 0; i < 12; ++i) {
    const double side = i % 2 == 0 ? 1.9 : -1.9;
    Motion pillar = StillMotion(side, 0, i * 12 + 4);
    pillar.channels[kBank] = Constant(side > 0 ? 0.3 : -0.3);
    // The pillars jump along the tunnel in hard steps.
    pillar.channels[kY] = Env({Step(-1.5, 0), Step(1.5, 0.5), Step(0, 1)}, Behavior::Repeat, Behavior::Repeat);
    Add(&s, Object("objects/pillar.lwo", pillar));
  }
  Motion cam = StillMotion(0, 0, -6);
  cam.channels[kZ] = Env({Lin(-6, 0), Lin(30, 10)}, Behavior::Constant, Behavior::Repeat);
  cam.channels[kBank] = Env({Tcb(-0.3, 0), Tcb(0.3, 2.5)}, Behavior::Oscillate, Behavior::Oscillate);
  cam.channels[kX] = Env({Tcb(-0.8, 0), Tcb(0.8, 1.7)}, Behavior::Oscillate, Behavior::Oscillate);
  s.camera.motion = cam;
  s.camera.zoom = 1.6;
  Motion headlamp = StillMotion(0, 0, 0);
  headlamp.channels[kZ] = cam.channels[kZ];
  s.lights.push_back(Light("Headlamp", LightKind::Point, {0.6, 0.9, 1}, 1.6, headlamp));
  s.lights.push_back(Light("Cold", LightKind::Distant, {0.4, 0.5, 1}, 0.6, Aimed(0, 0, 0, 0.2, 0.8)));
  return s;
}

// A disco floor: equaliser bars in hard steps around a mirror ball.
Scene Jazzz() {
  Scene s = Base(20);
  s.backdrop = {0.05, 0.0, 0.05};
  s.ambientColor = {1, 0.8, 1};
  s.ambientIntensity = 0.15;
  Add(&s, Object("objects/floor.lwo", StillMotion(0, 0, 0)));
  Motion ball = StillMotion(0, 5, 0);
  ball.channels[kHeading] = Spin(0, 0.8);
  ball.channels[kY] = Env({Tcb(4.5, 0, -0.5), Tcb(5.5, 0.48, -0.5)}, Behavior::Oscillate, Behavior::Oscillate);
  Add(&s, Object("objects/disco_ball.lwo", ball));
  constexpr int kBars = 7;
  for (int x = 0; x < kBars; ++x) {
    for (int z = 0; z < kBars; ++z) {
      Motion bar = StillMotion((x - 3) * 1.6, 0, (z - 3) * 1.6);
      std::vector<Key> keys;
      uint32_t seed = uint32_t(x * 31 + z * 17 + 5);
      for (int k = 0; k < 8; ++k) {
        seed = seed * 1103515245U + 12345U;
        const double level = 0.3 + double((seed >> 16) % 100) / 100.0 * (3.5 - 0.6 * std::hypot(x - 3, z - 3));
        keys.push_back(Step(std::max(level, 0.2), k * 0.24));
      }
      keys.push_back(Step(keys.front().value, 8 * 0.24));
      bar.channels[kScaleY] = Env(keys, Behavior::Repeat, Behavior::Repeat);
      if ((x + z) % 2 == 0) continue;
      Add(&s, Object("objects/eq_bar.lwo", bar));
    }
  }
  s.camera.motion = CameraPath({{0, {0, 6, -14}, {0, 2, 0}},
                                {5, {12, 8, -4}, {0, 2, 0}},
                                {10, {0, 10, 13}, {0, 2, 0}},
                                {15, {-12, 5, -3}, {0, 2, 0}},
                                {20, {0, 6, -14}, {0, 2, 0}}},
                               [](double v, double t, size_t) { return Tcb(v, t); }, Behavior::Repeat);
  s.camera.zoom = 2.0;
  Motion spot = StillMotion(0, 12, 0);
  spot.channels[kPitch] = Constant(kPi / 2);
  spot.channels[kHeading] = Spin(0, 1.5);
  s.lights.push_back(Light("Spot", LightKind::Spot, {1, 0.3, 0.9}, 1.5, spot));
  s.lights.push_back(Light("Warm", LightKind::Point, {1, 0.8, 0.3}, 1.2, StillMotion(6, 4, -6)));
  s.lights.push_back(Light("Cool", LightKind::Point, {0.3, 0.6, 1}, 1.2, StillMotion(-6, 4, 6)));
  return s;
}

// The finale: a ringed planet with moons, the title easing in.
Scene Conek() {
  Scene s = Base(40);
  s.backdrop = {0, 0, 0.02};
  s.ambientIntensity = 0.08;
  s.fogType = 1;
  s.fogMin = 30;
  s.fogMax = 90;
  s.fogColor = {0, 0, 0.02};
  Motion planet = StillMotion(0, 0, 0);
  planet.channels[kHeading] = Spin(0, 0.15);
  planet.channels[kBank] = Constant(0.35);
  planet.channels[kPitch] = Constant(-0.45);
  const int body = Add(&s, Object("objects/planet.lwo", planet));
  for (int i = 0; i < 3; ++i) {
    Motion hub = StillMotion(0, 0, 0);
    hub.channels[kHeading] = Spin(i * 2.1, 0.5 - i * 0.12);
    const int h = Add(&s, Null("MoonOrbit" + std::to_string(i + 1), hub, body));
    Motion moon = StillMotion(8 + i * 2.5, 0, 0);
    moon.channels[kScaleX] = moon.channels[kScaleY] = moon.channels[kScaleZ] = Constant(0.5 + 0.2 * i);
    Add(&s, Object("objects/bubble.lwo", moon, h));
  }
  Motion title = StillMotion(0, 7, -40);
  title.channels[kZ] = Env({Ease(-40, 4, 0, 6), Ease(-6, 10, 6, 10)}, Behavior::Constant, Behavior::Constant);
  title.channels[kPitch] = Env({Ease(-1.2, 4, 0, 6), Ease(0, 10, 6, 10)});
  title.channels[kY] = Env({Herm(7, 10, 0, 0), Herm(6.4, 12, 0, 0)}, Behavior::Constant, Behavior::Oscillate);
  Add(&s, Object("objects/title_marigold.lwo", title));
  Motion sparks = StillMotion(0, 0, 0);
  sparks.channels[kHeading] = Spin(0, -0.08);
  sparks.channels[kScaleX] = sparks.channels[kScaleY] = sparks.channels[kScaleZ] = Constant(3);
  Add(&s, Object("objects/sparks.lwo", sparks));
  s.camera.motion = CameraPath(
      {{0, {0, 4, -12}, {0, 0, 0}}, {10, {-6, 7, -22}, {0, 3, 0}}, {22, {14, 4, -20}, {0, 2, 0}},
       {32, {6, 10, -28}, {0, 4, 0}}, {40, {0, 12, -34}, {0, 5, 0}}},
      [](double v, double t, size_t) { return Herm(v, t, 0, 0); });
  s.camera.zoom = 2.6;
  s.lights.push_back(Light("Star", LightKind::Distant, {1, 0.95, 0.85}, 1.3, Aimed(0, 0, 0, 1.1, 0.2)));
  s.lights.push_back(Light("Bounce", LightKind::Point, {0.3, 0.3, 1}, 0.6, StillMotion(-20, -5, -10)));
  return s;
}

// Drawn over the finale without clearing: the closing words rising.
Scene OblongSecond() {
  Scene s = Base(20);
  s.ambientIntensity = 0.3;
  Motion words = StillMotion(0, -8, 0);
  words.channels[kY] = Env({Ease(-8, 0, 0, 3), Ease(-2.5, 3, 3, 0)});
  words.channels[kHeading] = Env({Tcb(-kPi, 0), Tcb(0, 3, 0.5)}, Behavior::Reset, Behavior::Constant);
  Add(&s, Object("objects/title_end.lwo", words));
  // Close up and wide, so the words stay in front of the scene they are
  // drawn over without a fresh depth buffer.
  s.camera.motion = StillMotion(0, 0, -6);
  s.camera.zoom = 1.6;
  s.lights.push_back(Light("Front", LightKind::Distant, {1, 1, 1}, 0.6, Aimed(0, 0, 0, 0.3, 0.3)));
  Motion glint = StillMotion(0, -2, -3);
  glint.channels[kX] = Env({Tcb(-6, 0), Tcb(6, 2.5)}, Behavior::Oscillate, Behavior::Oscillate);
  s.lights.push_back(Light("Glint", LightKind::Point, {1, 0.4, 0.9}, 0.9, glint));
  return s;
}

Scene Common() {
  Scene s = Base(1);
  Add(&s, Object("objects/common_cards.lwo", StillMotion(0, 0, 0)));
  s.lights.push_back(Light("Light", LightKind::Distant, {1, 1, 1}, 1, StillMotion(0, 0, 0)));
  return s;
}

}  // namespace

std::map<std::string, Scene> DemoScenes() {
  return {
      {"scenes/common.lws", Common()},    {"scenes/PicSpiral.lws", PicSpiral()},
      {"scenes/PicChains.lws", PicChains()}, {"scenes/PicFloat.lws", PicFloat()},
      {"scenes/Scenka_4.lws", Scenka4()}, {"scenes/Jazzz.lws", Jazzz()},
      {"scenes/conek.lws", Conek()},      {"scenes/oblong_2k_2nd.lws", OblongSecond()},
  };
}

}  // namespace demotools
