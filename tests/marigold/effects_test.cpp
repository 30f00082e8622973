// The sync table and the screen effects drawn around every frame, checked
// by the engine calls they make at chosen times.
#include <cmath>

#include "tests/marigold/demo_fixture.hpp"

namespace marigold::testing {
namespace {

constexpr uint32_t kSyncTime = 500000;

class EffectsTest : public DemoTest {
 protected:
  void SetUp() override {
    DemoTest::SetUp();
    demo->resetEffects();
    demo->small1 = &small1Image;
    demo->small2 = &small2Image;
  }
  void Sync(uint32_t value, uint32_t at = kSyncTime) {
    demo->now = at;
    demo->onSync(0, kMusic, value, nullptr);
  }
  // One frame's effects at `at`.
  void Frame(uint32_t at) {
    demo->now = at;
    ClearCalls();
    demo->beforeFrame();
    demo->afterFrame();
  }
  const unsigned char* Large() const { return demo->largeTarget; }

  char small1Image = 1;
  char small2Image = 2;
};

TEST_F(EffectsTest, SyncValuesSetTheirEffectTimes) {
  struct Case {
    uint32_t value;
    std::atomic<uint32_t> Demo::*field;
  } cases[] = {{kSyncFadeToBlack, &Demo::fadeToBlackStart}, {kSyncFlash, &Demo::flashStart},
               {kSyncFadeFromBlack, &Demo::fadeFromBlackStart},
               {kSyncFadeToWhite, &Demo::fadeToWhiteStart}, {kSyncZoomBlur, &Demo::zoomBlurStart},
               {kSyncMind, &Demo::mindStart},              {kSyncStretchBlur, &Demo::stretchBlurStart},
               {kSyncGlowBoost, &Demo::glowBoostStart},    {kSyncFlyby, &Demo::flybyStart}};
  uint32_t at = kSyncTime;
  for (const Case& c : cases) {
    Sync(c.value, ++at);
    EXPECT_EQ((*demo.*c.field).load(), at) << "sync " << c.value;
  }
  EXPECT_EQ(demo->fadeToBlackOn, 1u);
  EXPECT_EQ(demo->fadeToWhiteOn, 1u);
  EXPECT_EQ(demo->flybyCount, 1u);
}

TEST_F(EffectsTest, OtherSyncValuesChangeNothing) {
  for (uint32_t value : {0u, 10u, 11u, 12u, 13u, 14u, 16u, 255u}) Sync(value);
  EXPECT_EQ(demo->fadeToBlackOn, 0u);
  EXPECT_EQ(demo->fadeFromBlackStart, kNoFade);
  EXPECT_EQ(demo->flybyStart, 0u);
  EXPECT_EQ(demo->flybyCount, 0u);
  Frame(kSyncTime + 10);
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"klStartRendering", "klEndRendering"}));
}

TEST_F(EffectsTest, SyncThreeEndsBothOverlaysAndSyncOneStartsBlackAgain) {
  Sync(kSyncFadeToBlack);
  Sync(kSyncFadeToWhite);
  Sync(kSyncOverlaysOff, kSyncTime + 100);
  EXPECT_EQ(demo->fadeToBlackOn, 0u);
  EXPECT_EQ(demo->fadeToWhiteOn, 0u);
  Sync(kSyncFadeToBlack, kSyncTime + 5000);
  Frame(kSyncTime + 5000);
  ExpectCall(CallsNamed("klPutRect").at(0), "klPutRect", {0, 0, 1, 1, 0, 0, 0, 0, 5, 6});
}

TEST_F(EffectsTest, FadeToBlackRisesOverTwoSecondsThenStays) {
  Sync(kSyncFadeToBlack);
  Frame(kSyncTime + 1000);
  ExpectCall(CallsNamed("klPutRect").at(0), "klPutRect",
             {0, 0, 1, 1, std::sin(1000 * 0.0007853982), 0, 0, 0, 5, 6});
  Frame(kSyncTime + 5000);
  ExpectCall(CallsNamed("klPutRect").at(0), "klPutRect", {0, 0, 1, 1, 1, 0, 0, 0, 5, 6});
}

TEST_F(EffectsTest, FadeToWhiteRisesOverNineHundredSixtyMilliseconds) {
  Sync(kSyncFadeToWhite);
  Frame(kSyncTime + 480);
  ExpectCall(CallsNamed("klPutRect").at(0), "klPutRect",
             {0, 0, 1, 1, std::sin(480 * 0.0016362462), 1, 1, 1, 5, 6});
  Frame(kSyncTime + 961);
  ExpectCall(CallsNamed("klPutRect").at(0), "klPutRect", {0, 0, 1, 1, 1, 1, 1, 1, 5, 6});
}

TEST_F(EffectsTest, FadeFromBlackFallsOverTwoAndAHalfSeconds) {
  Sync(kSyncFadeFromBlack);
  Frame(kSyncTime + 1000);
  ExpectCall(CallsNamed("klPutRect").at(0), "klPutRect", {0, 0, 1, 1, 0.6, 0, 0, 0, 5, 6});
  Frame(kSyncTime + 2500);
  EXPECT_TRUE(CallsNamed("klPutRect").empty());
}

TEST_F(EffectsTest, RestartCancelsFadeFromBlackAndTheBlackOverlay) {
  Sync(kSyncFadeFromBlack);
  Sync(kSyncFadeToBlack);
  demo->resetEffects();
  Frame(kSyncTime + 100);
  EXPECT_TRUE(CallsNamed("klPutRect").empty());
}

TEST_F(EffectsTest, FlashIsWhiteThenFadesAndItsAlphaStaysInRange) {
  Sync(kSyncFlash);
  Frame(kSyncTime + 50);
  ExpectCall(CallsNamed("klPutRect").at(0), "klPutRect", {0, 0, 1, 1, 1, 1, 1, 1, 2, 1});
  Frame(kSyncTime + 200);
  ExpectCall(CallsNamed("klPutRect").at(0), "klPutRect",
             {0, 0, 1, 1, std::cos(100 * 0.007853982), 1, 1, 1, 5, 6});
  // Past 300 ms the cosine is negative: the flash is clamped to transparent.
  Frame(kSyncTime + 450);
  ExpectCall(CallsNamed("klPutRect").at(0), "klPutRect", {0, 0, 1, 1, 0, 1, 1, 1, 5, 6});
  Frame(kSyncTime + 500);
  EXPECT_TRUE(CallsNamed("klPutRect").empty());
}

TEST_F(EffectsTest, NoFlybyBeforeTheFirstSyncFifteen) {
  // Past the start-up window of the blurs, whose times start at 0 too.
  for (uint32_t at : {1000u, 2999u, kSyncTime}) {
    Frame(at);
    EXPECT_TRUE(CallsNamed("klPutImageEx").empty()) << at;
  }
}

TEST_F(EffectsTest, FlybysAlternatePictureAndSide) {
  for (int i = 0; i < 4; ++i) Sync(kSyncFlyby, kSyncTime - 10000);
  Sync(kSyncFlyby);  // the fifth: small2 from the right
  Frame(kSyncTime);
  EXPECT_EQ(CallNames().at(1), "ApplyStateBlock");
  ExpectCall(CallsNamed("klPutImageEx").at(0), "klPutImageEx",
             {0.8, -0.8, 0.15, 0.45, 1.5, 0, 0, 2, 4, 1, 1, 1, 1, 1}, &small2Image);

  Sync(kSyncFlyby, kSyncTime + 5000);  // the sixth: small1 from the left
  Frame(kSyncTime + 5000 + 1500);
  double f = 1500;
  double u = std::cos(f * 0.0005235988) * 0.3;
  double v = u * std::sin(f * 0.012566371 + 1.5707964);
  double w = 1 - f * 0.00033333333;
  ExpectCall(CallsNamed("klPutImageEx").at(0), "klPutImageEx",
             {-(0.8 - f * 0.0004), -0.8, u - v / 2, u + v / 2, u * 5, 0, 0, 2, 4, w, w, w, 1, 1},
             &small1Image);
  Frame(kSyncTime + 5000 + 3000);
  EXPECT_TRUE(CallsNamed("klPutImageEx").empty());
}

TEST_F(EffectsTest, ZoomBlurDrawsTheSceneInSixGrowingLayers) {
  Sync(kSyncZoomBlur);
  Frame(kSyncTime + 100);
  auto targets = CallsNamed("klSetRenderTarget");
  ASSERT_EQ(targets.size(), 2u);
  EXPECT_EQ(targets[0].record, Large());
  EXPECT_EQ(targets[1].record, nullptr);
  auto layers = CallsNamed("klPutImageEx");
  ASSERT_EQ(layers.size(), 7u);
  ExpectCall(layers[0], "klPutImageEx", {0, 0, 1, 1, 1, 0, 0, 2, 1, 1, 1, 1, 1, 1}, Large());
  const double c = 300 * 0.005;
  const double spread[] = {0.05, 0.1, 0.15, 0.2, 0.25, 0.3};
  const double alpha[] = {0.5, 0.333, 0.25, 0.175, 0.125, 0.1};
  for (int i = 0; i < 6; ++i) {
    double s = 1 + spread[i] * c;
    ExpectCall(layers[i + 1], "klPutImageEx", {0, 0, s, s, alpha[i], 0, 0, 5, 6, 1, 1, 1, 1, 1},
               Large());
  }
  // Once over, the screen is the target again.
  Frame(kSyncTime + 400);
  ASSERT_EQ(CallsNamed("klSetRenderTarget").size(), 1u);
  EXPECT_EQ(CallsNamed("klSetRenderTarget")[0].record, nullptr);
  Frame(kSyncTime + 401);
  EXPECT_TRUE(CallsNamed("klSetRenderTarget").empty());
}

TEST_F(EffectsTest, StretchBlurDrawsFourWiderLayers) {
  Sync(kSyncStretchBlur);
  Frame(kSyncTime + 500);
  auto layers = CallsNamed("klPutImageEx");
  ASSERT_EQ(layers.size(), 5u);
  const double c = 500 * 0.001;
  const double spread[] = {0.075, 0.15, 0.25, 0.3};
  const double alpha[] = {0.5, 0.333, 0.25, 0.175};
  for (int i = 0; i < 4; ++i) {
    ExpectCall(layers[i + 1], "klPutImageEx",
               {0, 0, 1 + spread[i] * c, 1, alpha[i], 0, 0, 5, 6, 1, 1, 1, 1, 1}, Large());
  }
}

TEST_F(EffectsTest, ZoomBlurDuringAStretchBlurGivesWayToIt) {
  Sync(kSyncStretchBlur);
  Sync(kSyncZoomBlur, kSyncTime + 300);
  Frame(kSyncTime + 400);
  EXPECT_EQ(demo->zoomBlurOn, 0u);
  EXPECT_EQ(demo->stretchBlurOn, 1u);
  EXPECT_EQ(CallsNamed("klPutImageEx").size(), 5u);
}

// A blur heard after the frame began: the scene is on the screen, so the
// blur copies it into the large target and still shows in this frame.
TEST_F(EffectsTest, BlurHeardDuringTheFrameCopiesTheScreenAndShowsAtOnce) {
  for (uint32_t value : {kSyncZoomBlur, kSyncStretchBlur}) {
    SCOPED_TRACE(value);
    const uint32_t at = kSyncTime + 100000 * value;
    demo->now = at;
    ClearCalls();
    demo->beforeFrame();
    EXPECT_TRUE(CallsNamed("klSetRenderTarget").empty());
    demo->onSync(0, kMusic, value, nullptr);
    demo->afterFrame();
    auto names = CallNames();
    ASSERT_GE(names.size(), 3u);
    ExpectCall(Recorder().calls[0], "klCopyScreenToTarget", {}, Large());
    ExpectCall(Recorder().calls[1], "klSetRenderTarget", {});  // the blur's base
    const size_t layers = value == kSyncZoomBlur ? 6 : 4;
    auto images = CallsNamed("klPutImageEx");
    ASSERT_EQ(images.size(), layers + 1);
    EXPECT_EQ(images.back().record, Large());
    EXPECT_NEAR(images.back().args[2], value == kSyncZoomBlur ? 1 + 0.3 * 2 : 1 + 0.3 * 1, 1e-5);
    // From the next frame on the scene goes to the large target as usual.
    Frame(at + 50);
    EXPECT_TRUE(CallsNamed("klCopyScreenToTarget").empty());
    EXPECT_EQ(CallsNamed("klPutImageEx").size(), layers + 1);
    Frame(at + 2000);
    EXPECT_TRUE(CallsNamed("klPutImageEx").empty());
  }
}

TEST_F(EffectsTest, BlurSetUpAtTheFrameStartCopiesNothing) {
  Sync(kSyncStretchBlur);
  demo->now = kSyncTime + 10;
  ClearCalls();
  demo->beforeFrame();
  Sync(kSyncZoomBlur, kSyncTime + 10);  // heard during a stretch blur: it gives way
  demo->afterFrame();
  EXPECT_TRUE(CallsNamed("klCopyScreenToTarget").empty());
  EXPECT_EQ(demo->stretchBlurOn, 1u);
  EXPECT_EQ(demo->zoomBlurOn, 0u);
  EXPECT_EQ(CallsNamed("klPutImageEx").size(), 5u);
}

TEST_F(EffectsTest, OverlaysComeInTheirOrderInsideOneBracket) {
  Sync(kSyncFlash);
  Sync(kSyncFadeToBlack);
  Sync(kSyncFadeToWhite);
  Sync(kSyncFadeFromBlack);
  Frame(kSyncTime + 150);
  auto rects = CallsNamed("klPutRect");
  ASSERT_EQ(rects.size(), 4u);
  EXPECT_EQ(rects[0].args[5], 1);  // flash, white
  EXPECT_EQ(rects[1].args[5], 0);  // to black
  EXPECT_EQ(rects[2].args[5], 1);  // to white
  EXPECT_EQ(rects[3].args[5], 0);  // from black
  EXPECT_EQ(CallNames().front(), "klStartRendering");
  EXPECT_EQ(CallNames().back(), "klEndRendering");
}

}  // namespace
}  // namespace marigold::testing
