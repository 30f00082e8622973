// A demo with its event list over the recording engine, the fake sound
// library (the module position is set by the test) and the fake clock.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "marigold/demo_events.hpp"
#include "platform/clock/clock_service.hpp"
#include "platform/sound/bass_service.hpp"
#include "tests/marigold/recording_engine.hpp"

namespace marigold::testing {

constexpr uint32_t kClockStart = 100000;
constexpr platform::HMUSIC kMusic = 1;

// The recording engine, a fresh fake sound library whose device opens
// (`initialised` says whether it already has), and the fake clock at kClockStart.
inline void UseFakeDemoServices(bool soundInitialised) {
  UseRecordingEngine();
  platform::SetBassService(&platform::FakeBass());
  platform::FakeBass().Reset();
  platform::FakeBass().initFails = false;
  platform::FakeBass().initFailsFor.clear();
  platform::FakeBass().initialised = soundInitialised;
  platform::SetClockService(&platform::FakeClock());
  platform::FakeClock().now = kClockStart;
}

class DemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseFakeDemoServices(true);
    demo = std::make_unique<Demo>();
    AppendDemoEvents(*demo);
    ASSERT_EQ(LoadDemoScenes(*demo), nullptr);
    demo->music = kMusic;
  }
  void TearDown() override {
    demo.reset();
    SetEngineCalls(nullptr);
    platform::SetClockService(nullptr);
  }

  // The module plays at (order, row).
  static void SetModule(uint32_t order, uint32_t row) {
    platform::FakeBass().position = order | (row * kRowScale) << 16;
  }
  static void Advance(uint32_t milliseconds) { platform::FakeClock().now += milliseconds; }
  static uint32_t Now() { return platform::FakeClock().now; }
  // Forgets the calls recorded so far.
  static void ClearCalls() {
    Recorder().calls.clear();
    platform::FakeBass().calls.clear();
  }
  // The n-th event of the list (0: the order-0 marker).
  TimelineEvent* Event(int n) const {
    TimelineEvent* event = demo->head;
    while (n-- > 0) event = event->next;
    return event;
  }
  unsigned char* Scene(int n) const { return EventAs<SceneEvent>(n).scene; }
  template <class T>
  T& EventAs(int n) const {
    return *dynamic_cast<T*>(Event(n));
  }

  std::unique_ptr<Demo> demo;
};

// Checks a recorded call's name, record and numbers (floats to 1e-4).
inline void ExpectCall(const EngineCall& call, const char* name, std::initializer_list<double> args,
                       const void* record = nullptr) {
  EXPECT_EQ(call.name, name);
  EXPECT_EQ(call.record, record) << name;
  ASSERT_EQ(call.args.size(), args.size()) << name;
  size_t i = 0;
  for (double expected : args) {
    EXPECT_NEAR(call.args[i], expected, 1e-4) << name << " argument " << i;
    ++i;
  }
}

}  // namespace marigold::testing
