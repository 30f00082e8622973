#include "marigold/timeline.hpp"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "marigold/engine_calls.hpp"
#include "platform/clock/clock_service.hpp"
#include "platform/window/window_service.hpp"

namespace marigold {
namespace {

constexpr uint32_t kPlayVolume = 100;
constexpr uint32_t kPlayAmplify = 65;
constexpr int32_t kRestartFlags = platform::BASS_MUSIC_RAMP;
constexpr const char* kExitCaption = "Demo Exit Message";
constexpr const char* kEventError = "Event initialization error!";
constexpr int kFailureStatus = 1;
constexpr int kUserExitStatus = 0;

uint32_t TimeGetTime() { return platform::GetTickCount(); }

}  // namespace

TimelineEvent::~TimelineEvent() { delete next; }

SceneEvent::~SceneEvent() {
  if (scene[KL_SCENE_CALLER_FLAGS] & kSceneLoaded) Engine().doneScene(scene);
}

bool SceneEvent::load(const char* file) {
  if (!Engine().loadLWS(file, scene)) return false;
  scene[KL_SCENE_CALLER_FLAGS] |= kSceneLoaded;
  return true;
}

void SceneEvent::beforeFrame(uint32_t) { owner->beforeFrame(); }

void SceneEvent::drawScene(uint32_t t) {
  Engine().renderFrame(scene, static_cast<float>(t) * klSceneFramesPerSecond(scene) * 0.001f);
  Engine().applyStateBlock();
}

void SceneEvent::drawFrame(uint32_t t) { drawScene(t); }

void SceneEvent::afterFrame(uint32_t) {
  owner->afterFrame();
  Engine().showRender();
}

void SceneEvent::prepare() {
  if (!(scene[KL_SCENE_CALLER_FLAGS] & kSceneLoaded)) return;  // the loop's empty record
  Engine().uploadTextures(scene);
  Engine().evictTextures(scene);
  Engine().uploadSurfaces(scene);
}

void LoopEvent::enter() {
  owner->restart();
  flags |= kEventEntered;
}

void LoopEvent::drawFrame(uint32_t) { owner->restart(); }

Timeline::~Timeline() {
  if (music) platform::BASS_MusicFree(music);
  delete head;
}

void Timeline::onSync(platform::HSYNC, uint32_t, uint32_t, void*) {}

void Timeline::append(TimelineEvent* event) {
  if (tail) {
    tail->next = event;
  } else {
    head = event;
  }
  tail = event;
  event->owner = this;
}

void Timeline::prepareAll() {
  for (TimelineEvent* event = head; event; event = event->next) event->prepare();
}

void Timeline::start() {
  if (started() || !head) return;
  platform::BASS_Start();
  platform::BASS_SetVolume(kPlayVolume);
  platform::BASS_MusicSetAmplify(music, kPlayAmplify);
  platform::BASS_MusicPlay(music);
  uint32_t time = TimeGetTime();
  startTime = time ? time : 1;
  resetEffects();
}

void Timeline::stop() {
  if (!started()) return;
  platform::BASS_ChannelStop(music);
  platform::BASS_Stop();
  startTime = 0;
}

void Timeline::restart() {
  current = head;
  platform::BASS_ChannelStop(music);
  uint32_t from = head && head->next ? ExchangeHalves(head->next->position) : 0;
  platform::BASS_MusicPlayEx(music, from, kRestartFlags, true);
  resetEffects();
}

void Timeline::step() {
  if (!music || !started()) return;
  if (!current) current = head;
  if (!current) return;
  position = ExchangeHalves(platform::BASS_ChannelGetPosition(music));
  now = TimeGetTime();

  TimelineEvent* p = current;
  if (p->position > position) p = head;  // the module went back
  while (p->next && p->next->position <= position) p = p->next;
  if (!p->next) return;  // the last event is never drawn

  if (!(p->flags & kEventStarted)) {
    p->startTime = now;
    p->flags |= kEventStarted;
  }
  if (p != current && (current->flags & kEventEntered)) current->leave();
  current = p;
  if (!(p->flags & kEventEntered)) p->enter();
  now = TimeGetTime();

  if (!(p->flags & kEventEntered)) exitDemo(kEventError);
  {
    std::lock_guard<std::mutex> frame(lock);
    uint32_t t = now - p->startTime;
    p->beforeFrame(t);
    p->drawFrame(t);
    p->afterFrame(t);
  }
  current = p;
}

void Timeline::syncProcedure(platform::HSYNC handle, uint32_t channel, uint32_t data, void* user) {
  auto* timeline = static_cast<Timeline*>(user);
  timeline->onSync(handle, channel, data, user);
}

int Timeline::renderThread(Timeline* timeline) {
  while (Engine().getInfo(KL_INFO_RUNNING)) timeline->step();
  return 0;
}

void Timeline::exitDemo(const char* message) {
  if (exiting_.exchange(true)) {
    // Another thread is ending the process already.
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
  }
  // Kept to the end: a frame in progress completes, the next one waits.
  lock.lock();
  stop();
  if (Engine().getInfo(KL_INFO_RUNNING)) Engine().done();
  if (message) platform::Window().ShowMessageBox(window, message, kExitCaption);
  // Only the window's thread destroys it. Another thread would wait for that
  // one, which may be ending the demo itself or not pumping: the window goes
  // with the process instead.
  if (window && std::this_thread::get_id() == windowThread_)
    platform::Window().DestroyWindow(window);
  std::fflush(nullptr);
  // No static destructors: the render thread may still wait on the lock.
  std::_Exit(message ? kFailureStatus : kUserExitStatus);
}

}  // namespace marigold
