// The timeline: a list of events in ascending module position; every frame
// is drawn by the last event whose position the module has reached, at the
// event's own local time in milliseconds.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

#include "kestrel/kestrel.h"
#include "platform/sound/bass_service.hpp"
#include "platform/window/window_messages.hpp"

namespace marigold {

class Timeline;

// Event flags.
constexpr uint32_t kEventEntered = 1;  // set by enter()
constexpr uint32_t kEventStarted = 2;  // the local clock runs
// Position of an event not yet placed.
constexpr uint32_t kNoEventPosition = 0xFFFFFFFF;
// Module rows count in tenths: the position scaler the music is loaded with.
constexpr uint32_t kRowScale = 10;

// An event's position: compares as (order, row) pairs.
constexpr uint32_t EventPosition(uint32_t order, uint32_t row) {
  return (order << 16) + row * kRowScale;
}
// The module's position (order low, row x scaler high) with its halves
// exchanged into event form, and back.
constexpr uint32_t ExchangeHalves(uint32_t value) { return (value << 16) | (value >> 16); }

class TimelineEvent {
 public:
  TimelineEvent() = default;
  TimelineEvent(const TimelineEvent&) = delete;
  TimelineEvent& operator=(const TimelineEvent&) = delete;
  virtual ~TimelineEvent();  // destroys the successor
  virtual void enter() {}
  virtual void leave() {}
  virtual void beforeFrame(uint32_t t) = 0;
  virtual void drawFrame(uint32_t t) = 0;
  virtual void afterFrame(uint32_t t) = 0;
  virtual void prepare() = 0;

  uint32_t flags = 0;
  uint32_t position = kNoEventPosition;
  uint32_t startTime = 0;
  TimelineEvent* next = nullptr;
  Timeline* owner = nullptr;
};

// Marks a position and draws nothing.
class MarkerEvent : public TimelineEvent {
 public:
  void enter() override { flags |= kEventEntered; }
  void beforeFrame(uint32_t) override {}
  void drawFrame(uint32_t) override {}
  void afterFrame(uint32_t) override {}
  void prepare() override {}
};

// Draws a LightWave scene at the event's local time.
class SceneEvent : public TimelineEvent {
 public:
  ~SceneEvent() override;
  void enter() override { flags |= kEventEntered; }
  void leave() override { flags = kEventEntered; }  // the clock restarts at the next entry
  void beforeFrame(uint32_t t) override;
  void drawFrame(uint32_t t) override;
  void afterFrame(uint32_t t) override;
  void prepare() override;
  // Loads the scene; true when it loaded.
  virtual bool load(const char* file);
  // Renders the scene at local time t, then restores the 2D defaults.
  void drawScene(uint32_t t);

  alignas(8) unsigned char scene[KL_SCENE_SIZE] = {};
};

// Bit 0 of the scene record's first byte: the record holds a scene.
constexpr unsigned char kSceneLoaded = 1;

// At the end of a pass: starts the module again at the second event.
class LoopEvent : public SceneEvent {
 public:
  void enter() override;
  void drawFrame(uint32_t t) override;
};

class Timeline {
 public:
  Timeline() = default;
  Timeline(const Timeline&) = delete;
  Timeline& operator=(const Timeline&) = delete;
  virtual ~Timeline();  // frees the music, destroys the events

  virtual void onSync(platform::HSYNC handle, uint32_t channel, uint32_t data, void* user);
  virtual void resetEffects() {}
  virtual void beforeFrame() {}
  virtual void afterFrame() {}

  void append(TimelineEvent* event);  // takes ownership
  void prepareAll();
  void start();
  void stop();
  void restart();
  void step();
  bool started() const { return startTime != 0; }
  // Ends the demo: a message means failure (status 1) and is shown first;
  // without one the user ended it (status 0). Never returns.
  [[noreturn]] void exitDemo(const char* message);

  // The sound library's sync procedure; user is the Timeline.
  static void syncProcedure(platform::HSYNC handle, uint32_t channel, uint32_t data, void* user);
  // The render thread: steps while the engine runs.
  static int renderThread(Timeline* timeline);

  TimelineEvent* head = nullptr;
  TimelineEvent* current = nullptr;
  TimelineEvent* tail = nullptr;
  uint32_t startTime = 0;  // 0 while stopped
  platform::WindowHandle window = nullptr;
  platform::HMUSIC music = 0;
  uint32_t position = 0;  // the latest module position, in event form
  std::atomic<uint32_t> now{0};  // time of the latest frame
  std::mutex lock;
  char className[32] = {};

 private:
  std::atomic<bool> exiting_{false};
  // The thread that built the timeline: the window's thread.
  std::thread::id windowThread_ = std::this_thread::get_id();
};

}  // namespace marigold
