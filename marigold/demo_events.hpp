// The demo's scenes: each draws its scene with its own extras (glow, logo,
// "Mind", "Thanx", a second scene), and the event list that orders them.
#pragma once

#include <cstdint>

#include "marigold/demo.hpp"

namespace marigold {

// A scene event of the demo: its owner is a Demo.
class DemoSceneEvent : public SceneEvent {
 protected:
  Demo& demo() { return *static_cast<Demo*>(owner); }
};

// A scene with a glow pass of the given strength, optionally a fog state
// set first and the glow a little behind the scene.
class GlowSceneEvent : public DemoSceneEvent {
 public:
  void drawFrame(uint32_t t) override;

 protected:
  float glowBase = 0.5f;
  int fogState = -1;     // klSetState(9, fogState) first unless -1
  uint32_t glowLag = 0;  // milliseconds the glow pass trails the scene
};

class PicChainsEvent : public GlowSceneEvent {
 public:
  PicChainsEvent() { glowLag = 25; }
};

class PicFloatEvent : public GlowSceneEvent {};

class Scenka4Event : public GlowSceneEvent {
 public:
  Scenka4Event() { fogState = 1; }
};

class JazzzEvent : public GlowSceneEvent {
 public:
  JazzzEvent() {
    fogState = 0;
    glowBase = 0.333f;
  }
};

// The opening scene with the "Mind" picture and the logo.
class PicSpiralEvent : public DemoSceneEvent {
 public:
  void drawFrame(uint32_t t) override;
  // Milliseconds since the sync that calls up "Mind", at local time t.
  uint32_t mindAge(uint32_t t);
  // "Mind" over the whole target, `age` ms after its sync.
  void drawMind(uint32_t age);

  const void* logo = nullptr;
  const void* loading = nullptr;
  const void* mind = nullptr;
};

// The closing scene: "Thanx" fades in, then a second scene draws over it.
class ConekEvent : public DemoSceneEvent {
 public:
  ~ConekEvent() override;
  void drawFrame(uint32_t t) override;
  void prepare() override;
  bool loadSecond(const char* file);

  alignas(8) unsigned char secondScene[KL_SCENE_SIZE] = {};
  const void* thanx = nullptr;
};

// The glow pass trails by `lag` ms but never before the event's start.
constexpr uint32_t GlowTime(uint32_t t, uint32_t lag) { return t > lag ? t - lag : 0; }

// One row of the event list: its position and scene files.
struct EventEntry {
  uint32_t order;
  uint32_t row;
  const char* scene;   // null: none
  const char* second;  // ConekEvent's second scene
};
extern const EventEntry kEventTable[];
extern const int kEventCount;

// Appends the demo's events in order, positioned, scenes not yet loaded.
void AppendDemoEvents(Demo& demo);
// Loads every event's scene files; the first that fails, or null.
const char* LoadDemoScenes(Demo& demo);

}  // namespace marigold
