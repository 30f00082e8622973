// What each scene draws at chosen local times: scene, glow pass, logo,
// "Mind", "Thanx" and the closing second scene.
#include "tests/marigold/demo_fixture.hpp"

namespace marigold::testing {
namespace {

constexpr uint32_t kEventStart = 200000;

class SceneEventsTest : public DemoTest {
 protected:
  void SetUp() override {
    DemoTest::SetUp();
    demo->resetEffects();
    demo->renderTargetsReady = 1;
    for (int i = 1; i < 7; ++i) Event(i)->startTime = kEventStart;
    spiral().logo = &logo;
    spiral().mind = &mind;
    conek().thanx = &thanx;
  }
  PicSpiralEvent& spiral() const { return EventAs<PicSpiralEvent>(1); }
  ConekEvent& conek() const { return EventAs<ConekEvent>(6); }
  void Draw(int n, uint32_t t) {
    demo->now = kEventStart + t;
    ClearCalls();
    Event(n)->drawFrame(t);
  }
  // The glow pass's calls, checked from `first` on.
  void ExpectGlow(size_t first, int n, double frame, double alpha) {
    const auto& calls = Recorder().calls;
    ASSERT_GE(calls.size(), first + 7);
    ExpectCall(calls[first], "klSetRenderTarget", {}, demo->smallTarget);
    ExpectCall(calls[first + 1], "klRenderFrame", {frame}, Scene(n));
    EXPECT_EQ(calls[first + 2].name, "ApplyStateBlock");
    ExpectCall(calls[first + 3], "klSetRenderTarget", {});
    EXPECT_EQ(calls[first + 4].name, "klStartRendering");
    ExpectCall(calls[first + 5], "klPutImage", {-0.005, 0.005, 1.001, 1.001, alpha, 0, 0, 5, 6},
               demo->smallTarget);
    EXPECT_EQ(calls[first + 6].name, "klEndRendering");
  }

  char logo = 1;
  char mind = 2;
  char thanx = 3;
};

TEST_F(SceneEventsTest, PicFloatDrawsItsSceneWithAGlow) {
  Draw(3, 1000);
  ExpectCall(Recorder().calls.at(0), "klRenderFrame", {30}, Scene(3));
  EXPECT_EQ(Recorder().calls.at(1).name, "ApplyStateBlock");
  ExpectGlow(2, 3, 30, 0.5);
  EXPECT_EQ(Recorder().calls.size(), 9u);
}

TEST_F(SceneEventsTest, GlowBoostBrightensForThreeHundredMilliseconds) {
  demo->now = kEventStart + 850;
  demo->onSync(0, kMusic, kSyncGlowBoost, nullptr);
  Draw(3, 1000);
  ExpectGlow(2, 3, 30, 0.5 + 150 * 0.0033333334 * 0.5);
  Draw(3, 1150);
  ExpectGlow(2, 3, 34.5, 0.5);
}

TEST_F(SceneEventsTest, NoGlowBeforeTheRenderTargetsExist) {
  demo->renderTargetsReady = 0;
  Draw(3, 1000);
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"klRenderFrame", "ApplyStateBlock"}));
}

TEST_F(SceneEventsTest, FogStatesAndGlowStrengths) {
  Draw(4, 100);
  ExpectCall(Recorder().calls.at(0), "klSetState", {9, 1});
  ExpectGlow(3, 4, 3, 0.5);
  Draw(5, 100);
  ExpectCall(Recorder().calls.at(0), "klSetState", {9, 0});
  ExpectGlow(3, 5, 3, 0.333);
}

TEST_F(SceneEventsTest, PicChainsGlowTrailsButNeverBeforeTheStart) {
  Draw(2, 10);
  ExpectCall(Recorder().calls.at(0), "klRenderFrame", {0.3}, Scene(2));
  ExpectGlow(2, 2, 0, 0.5);  // not a wrapped, huge frame
  Draw(2, 1025);
  ExpectGlow(2, 2, 30, 0.5);
}

TEST_F(SceneEventsTest, SpiralShowsMindForThreeAndAHalfSeconds) {
  demo->now = kEventStart + 4000;
  demo->onSync(0, kMusic, kSyncMind, nullptr);
  demo->fadeToBlackOn = 1;
  Draw(1, 4250);
  EXPECT_EQ(demo->fadeToBlackOn, 0u);  // the first second switches the black overlay off
  auto names = CallNames();
  EXPECT_EQ(names, (std::vector<std::string>{"klSetState", "klStartRendering", "klPutImageEx",
                                             "klEndRendering"}));
  ExpectCall(CallsNamed("klPutImageEx").at(0), "klPutImageEx",
             {0, 0, 1, 1, 0.5, 0, 0, 5, 1, 1, 1, 1, 1, 1}, &mind);

  demo->fadeToBlackOn = 1;
  Draw(1, 6000);
  EXPECT_EQ(demo->fadeToBlackOn, 1u);
  ExpectCall(CallsNamed("klPutImageEx").at(0), "klPutImageEx",
             {0, 0, 1, 1, 1, 0, 0, 5, 1, 1, 1, 1, 1, 1}, &mind);

  Draw(1, 7500);  // over: the scene again
  EXPECT_TRUE(CallsNamed("klPutImageEx").empty());
  ExpectGlow(3, 1, 225, 0.3);
}

// Syncs heard while the scene is being drawn, delivered at a chosen call.
class LateSyncTest : public SceneEventsTest {
 protected:
  // Delivers `value` when the call `name` for `record` is made.
  void SyncAt(const char* name, const void* record, uint32_t value) {
    Recorder().onCall = [this, name = std::string(name), record, value,
                         heard = false](const EngineCall& call) mutable {
      if (heard || call.name != name || call.record != record) return;
      heard = true;
      demo->onSync(0, kMusic, value, nullptr);
    };
  }
  void TearDown() override {
    Recorder().onCall = nullptr;
    SceneEventsTest::TearDown();
  }
};

TEST_F(LateSyncTest, GlowBoostHeardDuringTheGlowSceneBrightensThisFrame) {
  SyncAt("klRenderFrame", Scene(3), kSyncGlowBoost);
  Draw(3, 1000);
  ExpectGlow(2, 3, 30, 0.5 + 300 * 0.0033333334 * 0.5);
}

TEST_F(LateSyncTest, MindHeardDuringTheSceneCoversThisFrame) {
  SyncAt("klRenderFrame", Scene(1), kSyncMind);
  demo->fadeToBlackOn = 1;
  Draw(1, 9000);
  EXPECT_EQ(demo->fadeToBlackOn, 0u);
  ExpectGlow(3, 1, 270, 0.3);
  auto calls = Recorder().calls;
  ASSERT_EQ(calls.size(), 13u);
  EXPECT_EQ(calls[10].name, "klStartRendering");
  // Black at first: the picture fades in over what the scene drew.
  ExpectCall(calls[11], "klPutImageEx", {0, 0, 1, 1, 0, 0, 0, 5, 1, 1, 1, 1, 1, 1}, &mind);
  EXPECT_EQ(calls[12].name, "klEndRendering");
}

TEST_F(LateSyncTest, MindHeardDuringABlurFrameGoesWhereTheBlurReads) {
  demo->now = kEventStart + 8990;
  demo->onSync(0, kMusic, kSyncStretchBlur, nullptr);
  demo->beforeFrame();
  ASSERT_TRUE(demo->blurring());
  SyncAt("klRenderFrame", Scene(1), kSyncMind);
  Draw(1, 9000);
  auto targets = CallsNamed("klSetRenderTarget");
  ASSERT_EQ(targets.size(), 3u);  // the glow's two, then the large target again
  EXPECT_EQ(targets[2].record, demo->largeTarget);
  EXPECT_EQ(CallsNamed("klPutImageEx").at(0).record, &mind);
}

TEST_F(SceneEventsTest, SpiralLogoFadesInHoldsAndFadesOut) {
  struct Case {
    uint32_t t;
    double alpha;  // -1: no logo
  } cases[] = {{15000, -1}, {17500, 0.5}, {20000, -1}, {25000, 1},
               {32000, -1}, {35000, 0.4}, {37000, -1}};
  for (const Case& c : cases) {
    Draw(1, c.t);
    auto images = CallsNamed("klPutImageEx");
    if (c.alpha < 0) {
      EXPECT_TRUE(images.empty()) << c.t;
      continue;
    }
    ASSERT_EQ(images.size(), 1u) << c.t;
    ExpectCall(images[0], "klPutImageEx", {0, 0, 1, 1, c.alpha, 0, 0, 5, 2, 1, 1, 1, 1, 1},
               &logo);
    EXPECT_EQ(CallNames().back(), "klEndRendering");
  }
}

TEST_F(SceneEventsTest, ConekFadesInThanksThenDrawsTheSecondScene) {
  Draw(6, 33000);
  ExpectCall(Recorder().calls.at(0), "klSetState", {9, 1});
  ExpectCall(CallsNamed("klPutImage").at(0), "klPutImage", {0, 0, 1, 1, 0.125, 0, 0, 5, 6},
             &thanx);
  EXPECT_EQ(CallsNamed("klPutImage").size(), 2u);  // and the glow, 25 ms behind
  ExpectCall(CallsNamed("klRenderFrame").at(1), "klRenderFrame", {(33000 - 25) * 0.03},
             Scene(6));

  Draw(6, 45000);
  ExpectCall(CallsNamed("klPutImage").at(0), "klPutImage", {0, 0, 1, 1, 1, 0, 0, 5, 6}, &thanx);
  EXPECT_EQ(CallsNamed("klPutImage").size(), 1u);  // no glow
  auto states = CallsNamed("klSetState");
  ASSERT_EQ(states.size(), 3u);
  ExpectCall(states[1], "klSetState", {2, 0});
  ExpectCall(states[2], "klSetState", {2, 1});
  ExpectCall(CallsNamed("klRenderFrame").at(1), "klRenderFrame", {300}, conek().secondScene);
}

TEST_F(SceneEventsTest, ConekGlowNeverRendersAWrappedFrame) {
  Draw(6, 5);
  ExpectCall(CallsNamed("klRenderFrame").at(1), "klRenderFrame", {0}, Scene(6));
}

}  // namespace
}  // namespace marigold::testing
