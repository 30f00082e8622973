// The timeline: choosing the current event from the module's position,
// entering and leaving events, the loop at the end of a pass, shutdown.
#include <algorithm>
#include <string>

#include "tests/marigold/demo_fixture.hpp"

namespace marigold::testing {
namespace {

using TimelineTest = DemoTest;

bool BassCalled(const std::string& call) {
  const auto& calls = platform::FakeBass().calls;
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

TEST_F(TimelineTest, BuildsTheEventListInOrderWithItsScenes) {
  const uint32_t orders[] = {0, 1, 6, 8, 11, 13, 15, 20, 255};
  TimelineEvent* event = demo->head;
  for (uint32_t order : orders) {
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->position, EventPosition(order, 0));
    EXPECT_EQ(event->owner, demo.get());
    event = event->next;
  }
  EXPECT_EQ(event, nullptr);
  EXPECT_EQ(demo->tail, Event(8));
  const std::vector<std::string> scenes = {
      "scenes\\PicSpiral.lws", "scenes\\PicChains.lws", "scenes\\PicFloat.lws",
      "scenes\\Scenka_4.lws",  "scenes\\Jazzz.lws",     "scenes\\conek.lws",
      "scenes\\oblong_2k_2nd.lws"};
  EXPECT_EQ(Recorder().loaded, scenes);
  EXPECT_NE(dynamic_cast<PicSpiralEvent*>(Event(1)), nullptr);
  EXPECT_NE(dynamic_cast<ConekEvent*>(Event(6)), nullptr);
  EXPECT_NE(dynamic_cast<LoopEvent*>(Event(7)), nullptr);
}

TEST_F(TimelineTest, NamesTheSceneThatFailsToLoad) {
  Demo other;
  AppendDemoEvents(other);
  Recorder().loadFails = true;
  EXPECT_STREQ(LoadDemoScenes(other), "scenes\\PicSpiral.lws");
}

TEST_F(TimelineTest, StepDrawsNothingBeforeStartOrAfterStop) {
  SetModule(3, 0);
  demo->step();
  EXPECT_TRUE(Recorder().calls.empty());
  EXPECT_EQ(demo->current, nullptr);

  demo->start();
  demo->stop();
  ClearCalls();
  demo->step();
  EXPECT_TRUE(Recorder().calls.empty());
  EXPECT_FALSE(demo->started());
}

TEST_F(TimelineTest, StartPlaysTheMusicAndStopEndsIt) {
  demo->start();
  EXPECT_EQ(demo->startTime, kClockStart);
  const std::vector<std::string> started = {"BASS_Start()", "BASS_SetVolume(100)",
                                            "BASS_MusicSetAmplify(1,65)", "BASS_MusicPlay(1)"};
  EXPECT_EQ(platform::FakeBass().calls, started);
  demo->start();  // already running: nothing
  EXPECT_EQ(platform::FakeBass().calls.size(), started.size());
  demo->stop();
  EXPECT_TRUE(BassCalled("BASS_ChannelStop(1)"));
  EXPECT_TRUE(BassCalled("BASS_Stop()"));
  EXPECT_EQ(demo->startTime, 0u);
}

TEST_F(TimelineTest, StartTimeIsNeverZero) {
  platform::FakeClock().now = 0;
  demo->start();
  EXPECT_EQ(demo->startTime, 1u);
}

TEST_F(TimelineTest, EventWhosePositionTheModuleReachedIsCurrent) {
  demo->start();
  SetModule(5, 63);
  demo->step();
  EXPECT_EQ(demo->current, Event(1));
  SetModule(6, 0);
  demo->step();
  EXPECT_EQ(demo->current, Event(2));
  EXPECT_EQ(demo->position, EventPosition(6, 0));
  SetModule(16, 4);
  demo->step();
  EXPECT_EQ(demo->current, Event(6));
}

TEST_F(TimelineTest, LocalClockRunsFromTheEventsFirstFrame) {
  demo->start();
  SetModule(8, 0);
  Advance(40);
  demo->step();
  EXPECT_EQ(Event(3)->startTime, Now());
  EXPECT_EQ(Event(3)->flags, kEventEntered | kEventStarted);
  Advance(1000);
  ClearCalls();
  demo->step();
  // 1000 ms at 30 frames per second: frame 30.
  ExpectCall(CallsNamed("klRenderFrame").at(0), "klRenderFrame", {30}, Scene(3));
  EXPECT_EQ(CallNames().back(), "klShowRender");
}

TEST_F(TimelineTest, JumpBackSearchesFromTheHeadAndRestartsTheClock) {
  demo->start();
  SetModule(6, 0);
  demo->step();
  uint32_t firstStart = Event(2)->startTime;
  SetModule(13, 20);
  Advance(500);
  demo->step();
  EXPECT_EQ(demo->current, Event(5));
  EXPECT_EQ(Event(2)->flags, kEventEntered);  // left: clock stopped

  SetModule(6, 10);
  Advance(500);
  demo->step();
  EXPECT_EQ(demo->current, Event(2));
  EXPECT_EQ(Event(2)->startTime, firstStart + 1000);
  EXPECT_EQ(Event(5)->flags, kEventEntered);
}

TEST_F(TimelineTest, OrderZeroMarkerIsCurrentAndDrawsNothing) {
  demo->start();
  SetModule(0, 12);
  ClearCalls();
  demo->step();
  EXPECT_EQ(demo->current, Event(0));
  EXPECT_TRUE(Event(0)->flags & kEventEntered);
  EXPECT_TRUE(Recorder().calls.empty());
}

TEST_F(TimelineTest, EndSentinelIsNeverEnteredOrDrawn) {
  demo->start();
  SetModule(19, 0);
  demo->step();
  for (uint32_t order : {255u, 300u}) {
    SetModule(order, 0);
    ClearCalls();
    demo->step();
    EXPECT_TRUE(Recorder().calls.empty());
    EXPECT_NE(demo->current, Event(8));
    EXPECT_EQ(Event(8)->flags, 0u);
  }
}

TEST_F(TimelineTest, LoopAtOrderTwentyRestartsAtOrderOneAndResetsEffects) {
  demo->start();
  SetModule(1, 0);
  demo->step();
  uint32_t spiralStart = Event(1)->startTime;
  SetModule(19, 30);
  demo->step();
  demo->onSync(0, kMusic, kSyncFadeToBlack, nullptr);
  demo->onSync(0, kMusic, kSyncFadeFromBlack, nullptr);
  demo->onSync(0, kMusic, kSyncFlash, nullptr);

  SetModule(20, 0);
  Advance(3000);
  ClearCalls();
  demo->step();
  EXPECT_EQ(demo->current, Event(7));
  // Order 1, row 0 in the module's form: order low, row high.
  EXPECT_TRUE(BassCalled("BASS_ChannelStop(1)"));
  EXPECT_TRUE(BassCalled("BASS_MusicPlayEx(1,1,1,1)"));
  EXPECT_EQ(demo->fadeFromBlackStart, kNoFade);
  EXPECT_EQ(demo->fadeToBlackOn, 0u);
  EXPECT_EQ(demo->flashStart, 0u);
  EXPECT_EQ(CallNames().back(), "klShowRender");  // the overlays are drawn and shown

  SetModule(1, 0);
  Advance(20);
  demo->step();
  EXPECT_EQ(demo->current, Event(1));
  EXPECT_EQ(Event(1)->startTime, Now());
  EXPECT_NE(Event(1)->startTime, spiralStart);

  // A later pass does not enter the loop again but still restarts there.
  SetModule(20, 0);
  platform::FakeBass().calls.clear();
  demo->step();
  EXPECT_TRUE(BassCalled("BASS_MusicPlayEx(1,1,1,1)"));
}

TEST_F(TimelineTest, SyncProcedureReachesTheDemo) {
  platform::FakeBass().BASS_ChannelSetSync(kMusic, platform::BASS_SYNC_MUSICFX, 1,
                                           Timeline::syncProcedure, demo.get());
  demo->now = 4242;
  platform::FakeBass().FireSync(kMusic, kSyncFlash);
  EXPECT_EQ(demo->flashStart, 4242u);
}

TEST_F(TimelineTest, RenderThreadStepsWhileTheEngineRuns) {
  Recorder().running = 0;
  EXPECT_EQ(Timeline::renderThread(demo.get()), 0);
}

TEST_F(TimelineTest, PrepareMakesEverySceneReadyInOrder) {
  demo->prepareAll();
  auto uploads = CallsNamed("klUploadTextures");
  // Six scene events and the second scene of the closing one; not the loop's empty record.
  ASSERT_EQ(uploads.size(), 7u);
  EXPECT_EQ(uploads[5].record, Scene(6));
  EXPECT_EQ(uploads[6].record, EventAs<ConekEvent>(6).secondScene);
  const std::vector<std::string> order = {"klUploadTextures", "klEvictTextures",
                                          "klUploadSurfaces"};
  auto names = CallNames();
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3), order);
}

TEST_F(TimelineTest, DestroyingReleasesEverySceneOnceAndFreesTheMusic) {
  demo.reset();
  EXPECT_EQ(CallsNamed("klDoneScene").size(), 7u);
  EXPECT_EQ(platform::FakeBass().calls.back(), "BASS_MusicFree(1)");
}

// An event that never marks itself entered.
class BrokenEvent : public MarkerEvent {
 public:
  void enter() override {}
};

TEST_F(TimelineTest, EventThatFailsToEnterEndsTheDemoWithAMessage) {
  Demo broken;
  broken.append(new BrokenEvent);
  broken.append(new MarkerEvent);
  broken.music = kMusic;
  broken.start();
  SetModule(0, 0);
  EXPECT_EXIT(broken.step(), ::testing::ExitedWithCode(1), "");
}

TEST_F(TimelineTest, UserExitEndsWithStatusZeroAndShutsTheEngine) {
  demo->start();
  EXPECT_EXIT(
      {
        demo->exitDemo(nullptr);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(TimelineTest, FailureShowsTheMessageAndEndsWithStatusOne) {
  EXPECT_EXIT(
      {
        demo->exitDemo("Event initialization error!");
      },
      ::testing::ExitedWithCode(1), "");
}

}  // namespace
}  // namespace marigold::testing
