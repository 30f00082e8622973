// Loading the demo over the recording engine and the fake sound library:
// sound devices, render targets, common resources, music, event list and
// the loading picture; failures end the demo with their message's status.
#include <algorithm>
#include <cstring>
#include <string>

#include "marigold/loading.hpp"
#include "tests/marigold/demo_fixture.hpp"

namespace marigold::testing {
namespace {

class LoadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseFakeDemoServices(false);
    Recorder().presentMs = 16;
    Recorder().files[kMusicFile] = "module bytes";
  }
  void TearDown() override {
    SetEngineCalls(nullptr);
    platform::SetClockService(nullptr);
  }
  static bool BassCalled(const std::string& call) {
    const auto& calls = platform::FakeBass().calls;
    return std::find(calls.begin(), calls.end(), call) != calls.end();
  }
  template <class T>
  T* Find() {
    for (TimelineEvent* event = demo.head; event; event = event->next)
      if (auto* found = dynamic_cast<T*>(event)) return found;
    return nullptr;
  }

  Demo demo;
};

TEST_F(LoadingTest, LargeTargetFollowsTheDisplaySize) {
  EXPECT_EQ(LargeTargetSide(384), 256);
  EXPECT_EQ(LargeTargetSide(385), 512);
  Recorder().width = 320;
  Recorder().height = 1080;
  CreateRenderTargets(demo);
  auto targets = CallsNamed("klCreateRenderTarget");
  ASSERT_EQ(targets.size(), 2u);
  ExpectCall(targets[0], "klCreateRenderTarget", {256, 512}, demo.largeTarget);
  ExpectCall(targets[1], "klCreateRenderTarget", {128, 128}, demo.smallTarget);
  EXPECT_EQ(demo.renderTargetsReady, 1u);
}

TEST_F(LoadingTest, SoundFallsBackToTheSilentDevice) {
  platform::FakeBass().initFailsFor = {0};
  InitSound(demo);
  EXPECT_TRUE(BassCalled("BASS_Init(0,44100,0)"));
  EXPECT_TRUE(BassCalled("BASS_Init(-2,44100,0)"));
  EXPECT_TRUE(platform::FakeBass().initialised);
}

TEST_F(LoadingTest, NoSoundDeviceEndsTheDemo) {
  platform::FakeBass().initFails = true;
  EXPECT_EXIT(InitSound(demo), ::testing::ExitedWithCode(1), "");
}

TEST_F(LoadingTest, MusicLoadsFromMemoryWithItsSyncAndScaler) {
  platform::FakeBass().initialised = true;
  LoadMusic(demo, kMusicFile);
  EXPECT_EQ(demo.music, 1u);
  EXPECT_TRUE(BassCalled("BASS_MusicLoad(<memory>,0,12,1)"));
  EXPECT_TRUE(BassCalled("BASS_ChannelSetSync(1,3,1)"));
  EXPECT_TRUE(BassCalled("BASS_MusicSetPositionScaler(1,10)"));
  EXPECT_NE(LogText().find("K2_LOADING: marigold.xm\n"), std::string::npos);
  // The sync procedure reaches this demo.
  demo.now = 777;
  platform::FakeBass().FireSync(demo.music, kSyncMind);
  EXPECT_EQ(demo.mindStart, 777u);
}

TEST_F(LoadingTest, MissingOrRefusedMusicEndsTheDemo) {
  platform::FakeBass().initialised = true;
  EXPECT_EXIT(LoadMusic(demo, "absent.xm"), ::testing::ExitedWithCode(1), "");
  Recorder().files[kMusicFile] = "";
  EXPECT_EXIT(LoadMusic(demo, kMusicFile), ::testing::ExitedWithCode(1), "");
}

TEST_F(LoadingTest, CommonResourcesAndEventExtras) {
  LoadCommonResources(demo);
  EXPECT_EQ(demo.small1, Recorder().textures["small1"].get());
  EXPECT_EQ(demo.small2, Recorder().textures["small2"].get());
  auto names = CallNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "klLoadTexture small2.jpg"), names.end());

  BuildEventList(demo);
  auto* spiral = Find<PicSpiralEvent>();
  ASSERT_NE(spiral, nullptr);
  EXPECT_EQ(spiral->logo, Recorder().textures["marigold_logo"].get());
  EXPECT_EQ(spiral->mind, SurfaceImage("Mind"));
  EXPECT_EQ(spiral->loading, SurfaceImage("Loading"));
  auto* conek = Find<ConekEvent>();
  ASSERT_NE(conek, nullptr);
  EXPECT_EQ(conek->thanx, SurfaceImage("Thanx"));
  float nearClip = 0;
  float farClip = 0;
  std::memcpy(&nearClip, conek->secondScene + KL_SCENE_NEAR, sizeof nearClip);
  std::memcpy(&farClip, spiral->scene + KL_SCENE_FAR, sizeof farClip);
  EXPECT_FLOAT_EQ(nearClip, 0.01f);
  EXPECT_FLOAT_EQ(farClip, 1000.0f);
}

TEST_F(LoadingTest, LoadingPictureFadesOutOverASecond) {
  DrawLoadingPicture(demo, 1);
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"klStartRendering", "SetRenderState",
                                                   "SetRenderState", "klPutImage",
                                                   "klEndRendering", "klShowRender"}));
  ExpectCall(CallsNamed("SetRenderState")[0], "SetRenderState", {139, 0xFFFFFFFF});
  ExpectCall(CallsNamed("klPutImage")[0], "klPutImage", {0, 0, 1, 1, 1, 0, 0, 5, 1},
             SurfaceImage("Loading"));
  Recorder().calls.clear();
  FadeOutLoadingPicture(demo);
  auto pictures = CallsNamed("klPutImage");
  ASSERT_EQ(pictures.size(), 63u);  // 16 ms a frame
  EXPECT_NEAR(pictures[1].args[4], 1 - 0.016, 1e-4);
  EXPECT_GT(pictures.back().args[4], 0);
}

TEST_F(LoadingTest, WholeLoadLeavesAPreparedDemoWithEffectsCleared) {
  platform::FakeBass().initialised = true;
  LoadDemo(demo);
  EXPECT_EQ(demo.renderTargetsReady, 1u);
  EXPECT_NE(demo.music, 0u);
  EXPECT_EQ(demo.fadeFromBlackStart, kNoFade);
  EXPECT_NE(demo.tail, nullptr);
  ExpectCall(Recorder().calls.at(0), "klSetState", {2, 1});
  EXPECT_EQ(CallsNamed("klUploadTextures").size(), 8u);  // common scene and seven more
}

}  // namespace
}  // namespace marigold::testing
