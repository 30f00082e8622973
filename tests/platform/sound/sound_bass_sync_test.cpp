// The BASS-style library's positions and sync procedures: offline, where
// every frame is accounted for, on the silent real-time device, and on SDL's
// disk audio driver, where the syncs are timed against the sound written.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/sound/bass_service.hpp"
#include "tests/platform/sound/sound_sync_tune.hpp"
#include "tests/support/scratch_dir.hpp"

namespace {

using namespace platform;
using Clock = std::chrono::steady_clock;
using sync_tune::RowFrame;

constexpr uint32_t kScaler = 10;
constexpr int64_t kBlock = 32;  // offline frames per call
constexpr int64_t kTuneFrames = sync_tune::RowFrame(sync_tune::kOrders, 0);
constexpr double kGoalMs = 10.0;

uint32_t Position(int order, int row, uint32_t scaler = kScaler) {
  return static_cast<uint32_t>(order) | (static_cast<uint32_t>(row) * scaler) << 16;
}

double FramesToMs(int64_t frames) { return frames * 1000.0 / sync_tune::kRate; }

BassService& bass() { return SdlBassService(); }

// What a sync procedure saw, and when.
struct Heard {
  uint32_t data;
  uint32_t position;
  int64_t blockEnd;  // offline: the end of the block being rendered
  Clock::time_point at;
};

struct Recorder {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Heard> heard;
  int64_t blockEnd = 0;

  static void Proc(HSYNC, uint32_t channel, uint32_t data, void* user) {
    auto* self = static_cast<Recorder*>(user);
    const Heard heard{data, bass().BASS_ChannelGetPosition(channel), self->blockEnd, Clock::now()};
    std::lock_guard lock(self->mutex);
    self->heard.push_back(heard);
    self->changed.notify_all();
  }
  // Waits for `count` syncs; false when they do not come in time.
  bool WaitFor(size_t count, std::chrono::seconds limit) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, limit, [&] { return heard.size() >= count; });
  }
};

HMUSIC LoadTune(chiptune::ModuleFormat format, uint32_t flags = BASS_MUSIC_RAMP) {
  const std::vector<uint8_t> bytes = sync_tune::Write(format);
  return bass().BASS_MusicLoad(true, bytes.data(), 0, static_cast<uint32_t>(bytes.size()), flags);
}

class BassOfflineTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bass().BASS_Init(kBassOfflineDevice, sync_tune::kRate, 0, nullptr));
  }
  void TearDown() override { bass().BASS_Free(); }

  // Renders `frames` frames in small blocks; returns the samples.
  std::vector<int16_t> Render(int64_t frames, Recorder* recorder = nullptr) {
    std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
    for (int64_t done = 0; done < frames; done += kBlock) {
      const int64_t block = std::min(kBlock, frames - done);
      if (recorder) recorder->blockEnd = rendered_ + block;
      EXPECT_TRUE(bass().RenderOffline(&samples[static_cast<size_t>(done) * 2],
                                       static_cast<uint32_t>(block)));
      rendered_ += block;
    }
    return samples;
  }
  int64_t rendered_ = 0;
};

class BassOfflineFormatTest : public BassOfflineTest,
                              public testing::WithParamInterface<chiptune::ModuleFormat> {};

TEST_P(BassOfflineFormatTest, SyncsComeWithTheirValuesWhenTheirRowsStart) {
  const HMUSIC music = LoadTune(GetParam());
  ASSERT_NE(music, 0u);
  ASSERT_TRUE(bass().BASS_MusicSetPositionScaler(music, kScaler));
  Recorder recorder;
  ASSERT_NE(bass().BASS_ChannelSetSync(music, BASS_SYNC_MUSICFX, 1, Recorder::Proc, &recorder), 0u);
  ASSERT_TRUE(bass().BASS_MusicPlayEx(music, 0, -1, true));
  Render(kTuneFrames + sync_tune::kRowFrames, &recorder);

  const auto& expected = sync_tune::Syncs();
  ASSERT_EQ(recorder.heard.size(), expected.size());
  int64_t worst = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    const Heard& heard = recorder.heard[i];
    EXPECT_EQ(heard.data, expected[i].value) << i;
    EXPECT_EQ(heard.position, Position(expected[i].order, expected[i].row)) << i;
    // Delivered with the block that holds the row's first frame.
    const int64_t error = heard.blockEnd - RowFrame(expected[i].order, expected[i].row);
    worst = std::max(worst, std::abs(error));
    EXPECT_GT(error, -64 - kBlock) << i;
    EXPECT_LE(error, kBlock) << i;
  }
  EXPECT_LE(FramesToMs(worst), kGoalMs);
  std::printf("worst offline sync error: %.2f ms\n", FramesToMs(worst));
  RecordProperty("worst_sync_error_us", static_cast<int>(FramesToMs(worst) * 1000));
}

TEST_P(BassOfflineFormatTest, PositionIsTheRowHeardTimesTheScaler) {
  const HMUSIC music = LoadTune(GetParam());
  ASSERT_NE(music, 0u);
  EXPECT_EQ(bass().BASS_ChannelGetPosition(music), 0u);
  ASSERT_TRUE(bass().BASS_MusicPlayEx(music, 0, -1, true));
  Render(RowFrame(0, 3) + 100);
  EXPECT_EQ(bass().BASS_ChannelGetPosition(music), Position(0, 3, 1));  // scaler 1 by default
  ASSERT_TRUE(bass().BASS_MusicSetPositionScaler(music, kScaler));
  EXPECT_EQ(bass().BASS_ChannelGetPosition(music), Position(0, 3));
  Render(RowFrame(1, 5) - rendered_ + 100);
  EXPECT_EQ(bass().BASS_ChannelGetPosition(music), Position(1, 5));
  EXPECT_FALSE(bass().BASS_MusicSetPositionScaler(music, 0));
}

INSTANTIATE_TEST_SUITE_P(AllFormats, BassOfflineFormatTest, testing::ValuesIn(sync_tune::kFormats),
                         [](const auto& param) { return std::string(chiptune::FormatName(param.param)); });

TEST_F(BassOfflineTest, PositionsAreHandedToProceduresThatAskForThem) {
  const HMUSIC music = LoadTune(chiptune::ModuleFormat::Xm);
  Recorder recorder;
  ASSERT_NE(bass().BASS_ChannelSetSync(music, BASS_SYNC_MUSICFX, 0, Recorder::Proc, &recorder), 0u);
  ASSERT_TRUE(bass().BASS_MusicPlayEx(music, 0, -1, true));
  Render(RowFrame(1, 0));
  ASSERT_EQ(recorder.heard.size(), 3u);
  EXPECT_EQ(recorder.heard[2].data, Position(0, 9, 1));  // order and row, not scaled
}

TEST_F(BassOfflineTest, PlayFromAPositionWithResetSoundsLikeAFreshStart) {
  const HMUSIC first = LoadTune(chiptune::ModuleFormat::It);
  ASSERT_TRUE(bass().BASS_MusicSetPositionScaler(first, kScaler));
  Recorder recorder;
  bass().BASS_ChannelSetSync(first, BASS_SYNC_MUSICFX, 1, Recorder::Proc, &recorder);
  ASSERT_TRUE(bass().BASS_MusicPlayEx(first, 0, -1, true));
  Render(RowFrame(0, 11));
  recorder.heard.clear();
  ASSERT_TRUE(bass().BASS_MusicPlayEx(first, Position(1, 2), -1, true));
  EXPECT_EQ(bass().BASS_ChannelGetPosition(first), Position(1, 2)) << "reported at once";
  const std::vector<int16_t> jumped = Render(sync_tune::kRowFrames * 6);
  ASSERT_GE(recorder.heard.size(), 3u);
  EXPECT_EQ(recorder.heard[0].data, 0u);  // the sync on the row played from
  EXPECT_EQ(recorder.heard[0].position, Position(1, 2));
  EXPECT_EQ(recorder.heard[1].data, 6u);
  EXPECT_EQ(recorder.heard[2].data, 5u);
  EXPECT_EQ(bass().BASS_ChannelGetPosition(first), Position(1, 7));

  ASSERT_TRUE(bass().BASS_ChannelStop(first));
  const HMUSIC fresh = LoadTune(chiptune::ModuleFormat::It);
  ASSERT_TRUE(bass().BASS_MusicSetPositionScaler(fresh, kScaler));
  ASSERT_TRUE(bass().BASS_MusicPlayEx(fresh, Position(1, 2), -1, true));
  EXPECT_TRUE(Render(sync_tune::kRowFrames * 6) == jumped);
}

TEST_F(BassOfflineTest, StoppedMusicKeepsItsPositionAndSendsNoSyncs) {
  const HMUSIC music = LoadTune(chiptune::ModuleFormat::S3m);
  Recorder recorder;
  bass().BASS_ChannelSetSync(music, BASS_SYNC_MUSICFX, 1, Recorder::Proc, &recorder);
  ASSERT_TRUE(bass().BASS_MusicPlayEx(music, 0, -1, true));
  Render(RowFrame(0, 5));
  ASSERT_TRUE(bass().BASS_ChannelStop(music));
  const uint32_t stopped = bass().BASS_ChannelGetPosition(music);
  EXPECT_EQ(stopped, Position(0, 4, 1));
  const std::vector<int16_t> after = Render(RowFrame(1, 0));
  EXPECT_EQ(bass().BASS_ChannelGetPosition(music), stopped);
  EXPECT_EQ(recorder.heard.size(), 2u);
  EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](int16_t s) { return s == 0; }));
  ASSERT_TRUE(bass().BASS_MusicPlay(music));  // on from where it stopped
  Render(sync_tune::kRowFrames * 6);
  ASSERT_EQ(recorder.heard.size(), 3u);
  EXPECT_EQ(recorder.heard[2].data, 15u);
}

TEST_F(BassOfflineTest, AmplifyScalesTheMusic) {
  auto peakAt = [this](uint32_t amplify) {
    const HMUSIC music = LoadTune(chiptune::ModuleFormat::Xm);
    EXPECT_TRUE(bass().BASS_MusicSetAmplify(music, amplify));
    bass().BASS_MusicPlayEx(music, 0, -1, true);
    const std::vector<int16_t> samples = Render(sync_tune::kRowFrames * 2);
    bass().BASS_MusicFree(music);
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(int{s}));
    return peak;
  };
  const int normal = peakAt(kBassDefaultAmplify), loud = peakAt(100);
  EXPECT_GT(normal, 0);
  EXPECT_NEAR(loud, normal * 2, normal / 8);  // twice the amplification, +6 dB
  EXPECT_EQ(peakAt(0), 0);
}

TEST_F(BassOfflineTest, BadCallsFailCleanly) {
  const std::vector<uint8_t> bytes = sync_tune::Write(chiptune::ModuleFormat::Xm);
  EXPECT_EQ(bass().BASS_MusicLoad(true, bytes.data(), 0, 0, 0), 0u) << "memory needs a length";
  const std::string text(4000, 'x');
  EXPECT_EQ(bass().BASS_MusicLoad(true, text.data(), 0, 4000, 0), 0u);
  EXPECT_EQ(bass().BASS_ChannelGetPosition(77), kBassNoPosition);
  const HMUSIC music = LoadTune(chiptune::ModuleFormat::Xm);
  EXPECT_EQ(bass().BASS_ChannelSetSync(music, 2, 0, Recorder::Proc, nullptr), 0u);
  EXPECT_EQ(bass().BASS_ChannelSetSync(77, BASS_SYNC_MUSICFX, 1, Recorder::Proc, nullptr), 0u);
  EXPECT_FALSE(bass().BASS_MusicSetAmplify(music, 101));
  bass().BASS_MusicFree(music);
  EXPECT_EQ(bass().BASS_ChannelGetPosition(music), kBassNoPosition);
  EXPECT_FALSE(bass().BASS_Init(kBassOfflineDevice, sync_tune::kRate, 0, nullptr));
}

TEST(BassOfflineModes, RenderOfflineOnlyInOfflineMode) {
  int16_t buffer[64];
  EXPECT_FALSE(bass().RenderOffline(buffer, 32));  // not set up
}

// Real time: the silent device, and SDL's disk driver.
class BassRealTimeTest : public testing_support::ScratchDirTest {
 protected:
  void TearDown() override {
    bass().BASS_Free();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    ScratchDirTest::TearDown();
  }
};

TEST_F(BassRealTimeTest, NoSoundDeviceStillAdvancesAndSyncs) {
  ASSERT_TRUE(bass().BASS_Init(kBassNoSoundDevice, sync_tune::kRate, 0, nullptr));
  const HMUSIC music = LoadTune(chiptune::ModuleFormat::Mod);
  ASSERT_NE(music, 0u);
  bass().BASS_MusicSetPositionScaler(music, kScaler);
  Recorder recorder;
  bass().BASS_ChannelSetSync(music, BASS_SYNC_MUSICFX, 1, Recorder::Proc, &recorder);
  ASSERT_TRUE(bass().BASS_MusicPlayEx(music, 0, -1, true));
  ASSERT_TRUE(bass().BASS_Start());
  ASSERT_TRUE(recorder.WaitFor(3, std::chrono::seconds(10)));
  std::lock_guard lock(recorder.mutex);
  EXPECT_EQ(recorder.heard[1].data, 3u);
  EXPECT_EQ(recorder.heard[1].position, Position(0, 4));
  EXPECT_EQ(recorder.heard[2].position, Position(0, 9));
  // Rows 4 and 9 lie five rows apart in time.
  const double apart = std::chrono::duration<double, std::milli>(recorder.heard[2].at -
                                                                   recorder.heard[1].at).count();
  EXPECT_NEAR(apart, FramesToMs(5 * sync_tune::kRowFrames), 150.0);
}

TEST_F(BassRealTimeTest, StoppedOutputHoldsThePosition) {
  ASSERT_TRUE(bass().BASS_Init(kBassNoSoundDevice, sync_tune::kRate, 0, nullptr));
  const HMUSIC music = LoadTune(chiptune::ModuleFormat::Xm);
  Recorder recorder;
  bass().BASS_ChannelSetSync(music, BASS_SYNC_MUSICFX, 1, Recorder::Proc, &recorder);
  ASSERT_TRUE(bass().BASS_MusicPlayEx(music, 0, -1, true));
  ASSERT_TRUE(bass().BASS_Start());
  ASSERT_TRUE(recorder.WaitFor(2, std::chrono::seconds(10)));
  ASSERT_TRUE(bass().BASS_Stop());
  const uint32_t held = bass().BASS_ChannelGetPosition(music);
  std::this_thread::sleep_for(std::chrono::milliseconds(3 * sync_tune::kRowFrames * 1000 /
                                                        sync_tune::kRate));
  EXPECT_EQ(bass().BASS_ChannelGetPosition(music), held);
  ASSERT_TRUE(bass().BASS_Start());
  ASSERT_TRUE(recorder.WaitFor(3, std::chrono::seconds(10)));
}

// The disk driver writes each buffer as it is mixed. Here it writes into a
// pipe that the test reads as it fills: a row is heard when the buffer that
// holds its first frame arrives, plus the frame's place in that buffer.
TEST_F(BassRealTimeTest, SyncsFireWhenTheirRowsReachTheDiskDevice) {
  const std::string output = dir() + "/audio.pipe";
  ASSERT_EQ(mkfifo(output.c_str(), 0600), 0);
  const int pipe = open(output.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(pipe, 0);
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
  ASSERT_TRUE(bass().BASS_Init(kBassDefaultDevice, sync_tune::kRate, 0, nullptr));
  const HMUSIC music = LoadTune(chiptune::ModuleFormat::Xm);
  bass().BASS_MusicSetPositionScaler(music, kScaler);
  Recorder recorder;
  bass().BASS_ChannelSetSync(music, BASS_SYNC_MUSICFX, 1, Recorder::Proc, &recorder);
  ASSERT_TRUE(bass().BASS_MusicPlayEx(music, 0, -1, true));

  struct Arrival {
    Clock::time_point at;
    int64_t first;  // frames
    int64_t frames;
  };
  std::vector<Arrival> arrivals;
  std::vector<uint8_t> sound;
  ASSERT_TRUE(bass().BASS_Start());
  const size_t wanted = sync_tune::Syncs().size();
  const auto limit = Clock::now() + std::chrono::seconds(20);
  while (Clock::now() < limit) {
    pollfd ready{pipe, POLLIN, 0};
    if (poll(&ready, 1, 5) > 0) {
      uint8_t chunk[1 << 16];
      const ssize_t got = read(pipe, chunk, sizeof chunk);
      if (got > 0) {
        arrivals.push_back({Clock::now(), static_cast<int64_t>(sound.size() / 4), got / 4});
        sound.insert(sound.end(), chunk, chunk + got);
      }
    }
    std::lock_guard lock(recorder.mutex);
    if (recorder.heard.size() >= wanted && Clock::now() > recorder.heard.back().at +
                                                            std::chrono::milliseconds(100))
      break;
  }
  bass().BASS_Free();
  close(pipe);
  std::lock_guard lock(recorder.mutex);
  ASSERT_EQ(recorder.heard.size(), wanted);
  // SDL writes silence while the device is paused: the tune begins with the
  // first arrival that is not silent.
  const auto audible = std::find_if(sound.begin(), sound.end(), [](uint8_t b) { return b != 0; });
  ASSERT_NE(audible, sound.end());
  const int64_t firstSound = (audible - sound.begin()) / 4;
  const auto startArrival = std::find_if(arrivals.begin(), arrivals.end(), [&](const Arrival& a) {
    return a.first + a.frames > firstSound;
  });
  // A late read may take more than one buffer at once; buffers are whole.
  int64_t buffer = INT64_MAX;
  for (const Arrival& a : arrivals) buffer = std::min(buffer, a.frames);
  const int64_t start =
      startArrival->first + (firstSound - startArrival->first) / buffer * buffer;
  std::vector<double> errors;
  for (size_t i = 0; i < wanted; ++i) {
    const auto& sync = sync_tune::Syncs()[i];
    EXPECT_EQ(recorder.heard[i].data, sync.value);
    EXPECT_EQ(recorder.heard[i].position, Position(sync.order, sync.row));
    const int64_t frame = start + RowFrame(sync.order, sync.row);
    const auto arrival = std::find_if(arrivals.begin(), arrivals.end(), [&](const Arrival& a) {
      return a.first + a.frames > frame;
    });
    ASSERT_NE(arrival, arrivals.end());
    const auto heardAt = arrival->at + std::chrono::microseconds((frame - arrival->first) *
                                                                 1000000 / sync_tune::kRate);
    errors.push_back(std::chrono::duration<double, std::milli>(recorder.heard[i].at - heardAt).count());
  }
  std::vector<double> sorted = errors;
  std::sort(sorted.begin(), sorted.end(), [](double a, double b) { return std::abs(a) < std::abs(b); });
  const double median = std::abs(sorted[sorted.size() / 2]);
  std::printf("sync minus row heard (ms):");
  for (double e : errors) std::printf(" %.2f", e);
  std::printf("\n");
  RecordProperty("median_sync_error_us", static_cast<int>(median * 1000));
  // A busy machine may wake a thread late now and then; most syncs are on time.
  EXPECT_LE(median, kGoalMs);
}

}  // namespace
