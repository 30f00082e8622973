// The offline capture over the recording engine and the real offline mixer:
// frames and sound in step, syncs in the frame where their row is heard,
// the same files every time, and clear failures.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "marigold/capture.hpp"
#include "marigold/wav_file.hpp"
#include "platform/clock/clock_service.hpp"
#include "platform/png/png_service.hpp"
#include "platform/sound/bass_service.hpp"
#include "tests/marigold/recording_engine.hpp"
#include "tests/platform/sound/sound_sync_tune.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tools/chiptune/score_parser.hpp"

namespace marigold::testing {
namespace {

namespace fs = std::filesystem;
using testing_support::Bytes;
using testing_support::ReadFile;

constexpr int kWidth = 8;
constexpr int kHeight = 4;
constexpr int kStereoBytes = 4;

// Twenty-two orders of four short rows: order 20, the loop point, starts
// at 20 × 4 × 882 = 70560 audio frames.
constexpr const char* kLongScore = R"(title "Long"
tempo 125
speed 1
channels 1
instrument 1 "Lead" square duty=30 volume=48 sustain=100 base=C-4
pattern a 4
C-4 01
.
E-4 01
.
end
order a a a a a a a a a a a a a a a a a a a a a a
)";
constexpr int64_t kLoopAudioFrame = 70560;

// What a frame drew, as the recording engine saw it.
struct FrameCalls {
  bool whiteFade = false;  // the fade to white overlay
  double whiteAlpha = -1;
  bool blackFade = false;  // the fade to black overlay
  bool blurBase = false;   // a blur's opaque base layer
  size_t count = 0;
};

bool IsOverlay(const EngineCall& call, double level) {
  return call.name == "klPutRect" && call.args.size() == 10 && call.args[5] == level &&
         call.args[6] == level && call.args[7] == level && call.args[8] == KL_BLEND_SRCALPHA &&
         call.args[9] == KL_BLEND_INVSRCALPHA;
}

class CaptureTest : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    UseRecordingEngine();
    Recorder().width = kWidth;  // the display the capture asks for
    Recorder().height = kHeight;
    platform::SetBassService(&platform::SdlBassService());
    testing_support::WriteFile("Marigold.alf", "");  // the recording engine reads `files`
    SetModule(sync_tune::Write(chiptune::ModuleFormat::Xm));
  }
  void TearDown() override {
    SetEngineCalls(nullptr);
    platform::SetBassService(nullptr);
    ScratchDirTest::TearDown();
  }

  static void SetModule(const std::vector<uint8_t>& bytes) {
    Recorder().files["marigold.xm"] = std::string(bytes.begin(), bytes.end());
  }

  CaptureOptions Options(const std::string& output, double seconds, int fps = 60) const {
    CaptureOptions options;
    options.directory = dir();
    options.output = output;
    options.fps = fps;
    options.width = kWidth;
    options.height = kHeight;
    options.seconds = seconds;
    return options;
  }

  // Captures with a grabber that paints each frame from the calls that drew
  // it, and notes what they were.
  CaptureResult Capture(const CaptureOptions& options) {
    frames.clear();
    Recorder().calls.clear();  // each run's frames see only their own calls
    return RunCapture(options, [this](uint32_t frame, int width, int height,
                                       std::vector<uint8_t>* rgb) {
      FrameCalls seen;
      uint32_t hash = 2166136261u;
      for (const EngineCall& call : Recorder().calls) {
        if (IsOverlay(call, 1)) {
          seen.whiteFade = true;
          seen.whiteAlpha = call.args[4];
        }
        seen.blackFade |= IsOverlay(call, 0);
        seen.blurBase |= call.name == "klPutImageEx" && call.args[7] == KL_BLEND_ONE &&
                         call.args[8] == KL_BLEND_ZERO;
        for (char c : call.name) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
        for (double arg : call.args)
          hash = (hash ^ static_cast<uint32_t>(static_cast<int64_t>(arg * 1000))) * 16777619u;
      }
      seen.count = Recorder().calls.size();
      Recorder().calls.clear();
      frames[frame] = seen;
      rgb->assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
      for (size_t i = 0; i < rgb->size(); ++i)
        (*rgb)[i] = static_cast<uint8_t>(hash >> (i % 4 * 8));
      return true;
    });
  }

  // The first frame (of those drawn) for which `test` holds, or -1.
  template <class Test>
  int64_t FirstFrame(Test test) const {
    for (const auto& [frame, seen] : frames)
      if (test(seen)) return frame;
    return -1;
  }

  std::map<uint32_t, FrameCalls> frames;
};

// The first frame drawn after the audio frame `sample` has been mixed.
int64_t FrameHearing(int64_t sample, int fps) {
  int64_t frame = 0;
  while (static_cast<int64_t>(CaptureAudioFrames(static_cast<uint64_t>(frame), fps)) <= sample)
    ++frame;
  return frame;
}

uint32_t Read32(const Bytes& bytes, size_t at) {
  uint32_t value = 0;
  std::memcpy(&value, &bytes[at], sizeof value);
  return value;
}
uint16_t Read16(const Bytes& bytes, size_t at) {
  uint16_t value = 0;
  std::memcpy(&value, &bytes[at], sizeof value);
  return value;
}

TEST_F(CaptureTest, WritesOneFramePerTickAndTheSoundInStep) {
  CaptureResult result = Capture(Options("out", 2));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.frames, 120u);
  EXPECT_EQ(result.audioFrames, 2u * 44100);
  for (uint32_t frame = 0; frame < 120; ++frame)
    EXPECT_TRUE(fs::is_regular_file("out/" + CaptureFrameName(frame))) << frame;
  EXPECT_FALSE(fs::exists("out/" + CaptureFrameName(120)));

  platform::PngHeader header{};
  platform::PngMessage message{};
  ASSERT_EQ(platform::LibpngService().ReadHeader("out/frame-00119.png", &header, &message),
            platform::kPngOk);
  EXPECT_EQ(header.width, static_cast<uint32_t>(kWidth));
  EXPECT_EQ(header.height, static_cast<uint32_t>(kHeight));

  const Bytes wav = ReadFile("out/audio.wav");
  ASSERT_EQ(wav.size(), kWavHeaderBytes + 2u * 44100 * kStereoBytes);
  EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
  EXPECT_EQ(Read32(wav, 4), wav.size() - 8);
  EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Read16(wav, 20), 1);  // PCM
  EXPECT_EQ(Read16(wav, 22), 2);  // stereo
  EXPECT_EQ(Read32(wav, 24), 44100u);
  EXPECT_EQ(Read32(wav, 28), 44100u * kStereoBytes);
  EXPECT_EQ(Read16(wav, 34), 16);
  EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
  EXPECT_EQ(Read32(wav, 40), 2u * 44100 * kStereoBytes);
  bool sounds = false;
  for (size_t i = kWavHeaderBytes; i < wav.size() && !sounds; ++i) sounds = wav[i] != 0;
  EXPECT_TRUE(sounds) << "the music is silent";
}

TEST_F(CaptureTest, AShorterCaptureLeavesNoFramesOfALongerOne) {
  ASSERT_TRUE(Capture(Options("out", 1)).ok);
  testing_support::WriteFile("out/notes.txt", "mine");
  ASSERT_TRUE(Capture(Options("out", 0.5)).ok);
  EXPECT_TRUE(fs::exists("out/" + CaptureFrameName(29)));
  EXPECT_FALSE(fs::exists("out/" + CaptureFrameName(30)));
  EXPECT_FALSE(fs::exists("out/" + CaptureFrameName(59)));
  EXPECT_TRUE(fs::exists("out/notes.txt"));
}

TEST_F(CaptureTest, TheSameInputGivesTheSameFiles) {
  ASSERT_TRUE(Capture(Options("first", 2.5)).ok);
  ASSERT_TRUE(Capture(Options("second", 2.5)).ok);
  size_t compared = 0;
  for (const auto& entry : fs::directory_iterator("first")) {
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(ReadFile("first/" + name), ReadFile("second/" + name)) << name;
    ++compared;
  }
  EXPECT_EQ(compared, 150u + 1);
  // Order 1 starts at 1.92 s: the frames after it show the first scene.
  EXPECT_NE(ReadFile("first/frame-00000.png"), ReadFile("first/frame-00149.png"));
}

TEST_F(CaptureTest, EffectsStartInTheFrameWhereTheirSyncIsHeard) {
  constexpr int kFps = 60;
  CaptureResult result = Capture(Options("out", 4, kFps));
  ASSERT_TRUE(result.ok) << result.error;
  // Order 1 row 7 holds syncs 6 (zoom blur) and 5 (fade to white); order
  // 2 row 0 holds sync 1 (fade to black).
  const int64_t whiteRow = sync_tune::RowFrame(1, 7);
  const int64_t blackRow = sync_tune::RowFrame(2, 0);
  EXPECT_EQ(FirstFrame([](const FrameCalls& f) { return f.whiteFade; }),
            FrameHearing(whiteRow, kFps));
  // The fade starts from clear in that frame: the sync took the frame's time.
  EXPECT_EQ(frames[static_cast<uint32_t>(FrameHearing(whiteRow, kFps))].whiteAlpha, 0.0);
  EXPECT_EQ(FirstFrame([](const FrameCalls& f) { return f.blurBase; }),
            FrameHearing(whiteRow, kFps));
  EXPECT_EQ(FirstFrame([](const FrameCalls& f) { return f.blackFade; }),
            FrameHearing(blackRow, kFps));
  // Nothing is drawn during order 0; from order 1 every frame is.
  EXPECT_EQ(frames.begin()->first, FrameHearing(sync_tune::RowFrame(1, 0) - 1, kFps));
  EXPECT_EQ(frames.rbegin()->first, result.frames - 1);
}

TEST_F(CaptureTest, AWholePassEndsWhereTheDemoLoopsBack) {
  SetModule(chiptune::WriteModule(chiptune::ParseScore(kLongScore), chiptune::ModuleFormat::Xm));
  constexpr int kFps = 48;  // frames do not fall on row boundaries
  CaptureResult result = Capture(Options("out", 0, kFps));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.frames, FrameHearing(kLoopAudioFrame, kFps));
  EXPECT_EQ(result.audioFrames, CaptureAudioFrames(result.frames, kFps));
  EXPECT_EQ(fs::file_size("out/audio.wav"), kWavHeaderBytes + result.audioFrames * kStereoBytes);
  EXPECT_FALSE(fs::exists("out/" + CaptureFrameName(result.frames)));
}

TEST_F(CaptureTest, AWholePassOfMusicThatNeverLoopsFails) {
  // The tune ends after three orders, far before order 20.
  CaptureResult result = Capture(Options("out", 0, 5));
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("stopped"), std::string::npos) << result.error;
}

TEST_F(CaptureTest, LeavesTheClockAndEngineAsItFoundThem) {
  platform::SetClockService(&platform::FakeClock());
  platform::FakeClock().now = 1234;
  ASSERT_TRUE(Capture(Options("out", 0.5)).ok);
  EXPECT_EQ(&platform::Clock(), &platform::FakeClock());
  EXPECT_EQ(platform::FakeClock().now, 1234u) << "the capture must not move the real clock";
  platform::SetClockService(nullptr);
  // The engine table is the recording one again: a call is recorded.
  Recorder().calls.clear();
  Engine().startRendering();
  EXPECT_EQ(CallNames(), std::vector<std::string>{"klStartRendering"});
}

TEST_F(CaptureTest, MissingArchiveIsAClearFailure) {
  fs::remove("Marigold.alf");
  CaptureResult result = Capture(Options("out", 1));
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("Marigold.alf"), std::string::npos) << result.error;
  EXPECT_FALSE(fs::exists("out")) << "nothing is made for a capture that cannot start";
}

TEST_F(CaptureTest, ArchiveWithoutMusicIsAClearFailure) {
  Recorder().files.clear();
  CaptureResult result = Capture(Options("out", 1));
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("marigold.xm"), std::string::npos) << result.error;
}

TEST_F(CaptureTest, ADisplayOfAnotherSizeIsAClearFailure) {
  Recorder().width = kWidth + 1;
  CaptureResult result = Capture(Options("out", 1));
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("8x4"), std::string::npos) << result.error;
}

TEST_F(CaptureTest, UnwritableOutputIsAClearFailure) {
  testing_support::WriteFile("taken", "a file, not a folder");
  CaptureResult result = Capture(Options("taken", 1));
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("taken"), std::string::npos) << result.error;
  EXPECT_EQ(ReadFile("taken").size(), 20u) << "the file in the way is left alone";
}

TEST_F(CaptureTest, AFailedGrabIsReported) {
  auto refuse = [](uint32_t, int, int, std::vector<uint8_t>*) { return false; };
  CaptureResult result = RunCapture(Options("out", 3), refuse);
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("picture"), std::string::npos) << result.error;
}

}  // namespace
}  // namespace marigold::testing
