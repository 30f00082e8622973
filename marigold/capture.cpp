#include "marigold/capture.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "kestrel/kestrel.h"
#include "kestrel/render/readback.hpp"
#include "marigold/demo_events.hpp"
#include "marigold/engine_calls.hpp"
#include "marigold/frame_writer.hpp"
#include "marigold/loading.hpp"
#include "marigold/program.hpp"
#include "marigold/wav_file.hpp"
#include "platform/clock/clock_service.hpp"
#include "platform/sound/bass_service.hpp"

namespace marigold {
namespace {

namespace fs = std::filesystem;

constexpr uint16_t kCaptureChannels = 2;
constexpr uint32_t kMillisecondsPerSecond = 1000;
constexpr size_t kRgbBytes = 3;
constexpr size_t kRgbaBytes = 4;
// The capture clock reads like a machine that has been up a while: effect
// times start at 0, which must lie long past.
constexpr uint32_t kCaptureClockStart = 10'000'000;

// What the presenting engine call hands to the capture.
struct Presented {
  const EngineCalls* engine = nullptr;  // the table the capture wraps
  const FrameGrabber* grab = nullptr;
  uint32_t frame = 0;
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // the last picture shown; black before any
  bool grabFailed = false;
};
Presented* presented = nullptr;

// The engine's present, preceded by a copy of what it is about to show.
void GrabAndShow() {
  if (presented) {
    if (!(*presented->grab)(presented->frame, presented->width, presented->height,
                            &presented->rgb))
      presented->grabFailed = true;
    presented->engine->showRender();
  }
}

CaptureResult Failure(std::string message) {
  CaptureResult result;
  result.error = std::move(message);
  return result;
}

// Everything the capture opens, closed again in reverse whatever happens.
class CaptureSession {
 public:
  explicit CaptureSession(const FrameGrabber& grab, int width, int height) {
    previousClock_ = &platform::Clock();
    clock_.now = kCaptureClockStart;
    platform::SetClockService(&clock_);
    state_.engine = &Engine();
    state_.grab = &grab;
    state_.width = width;
    state_.height = height;
    state_.rgb.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * kRgbBytes, 0);
    wrapped_ = *state_.engine;
    wrapped_.showRender = GrabAndShow;
    SetEngineCalls(&wrapped_);
    presented = &state_;
  }
  ~CaptureSession() {
    if (demo) demo->stop();
    demo.reset();  // frees the music and the scenes while the engine runs
    if (engineStarted) state_.engine->done();
    if (soundStarted) platform::BASS_Free();
    presented = nullptr;
    SetEngineCalls(state_.engine);
    platform::SetClockService(previousClock_);
  }
  CaptureSession(const CaptureSession&) = delete;
  CaptureSession& operator=(const CaptureSession&) = delete;

  void SetTime(uint32_t milliseconds) {
    clock_.now = kCaptureClockStart + milliseconds;
    // Syncs heard while mixing up to this frame take its time: each effect
    // starts in the frame where its row is first heard.
    if (demo) demo->now = clock_.now;
  }
  Presented& state() { return state_; }

  bool engineStarted = false;
  bool soundStarted = false;
  std::unique_ptr<Demo> demo;

 private:
  platform::FakeClockService clock_;
  platform::ClockService* previousClock_ = nullptr;
  Presented state_;
  EngineCalls wrapped_{};
};

// Opens the engine offscreen and the offline mixer, and loads the demo as
// the program does, without its loading picture.
std::string OpenDemo(CaptureSession& session, const CaptureOptions& options,
                     const std::string& archive) {
  const EngineCalls& engine = Engine();
  engine.initialize(nullptr, 0);
  session.engineStarted = true;
  if (!engine.alfInit(archive.c_str())) return "cannot open the demo archive \"" + archive + "\"";
  alignas(8) unsigned char config[KL_RENDERER_CONFIG_SIZE] = {};
  const int32_t width = options.width;
  const int32_t height = options.height;
  std::memcpy(config + KL_CONFIG_WIDTH, &width, sizeof width);
  std::memcpy(config + KL_CONFIG_HEIGHT, &height, sizeof height);
  if (!engine.setupRenderer(config)) return "cannot open an offscreen OpenGL display";
  if (engine.getInfo(KL_INFO_WIDTH) != width || engine.getInfo(KL_INFO_HEIGHT) != height)
    return "the offscreen display cannot be " + std::to_string(width) + "x" +
           std::to_string(height);
  if (!platform::BASS_Init(platform::kBassOfflineDevice, kSoundRate, 0, nullptr))
    return "cannot open the offline sound mixer";
  session.soundStarted = true;

  void* music = engine.alfOpen(kMusicFile, "rb");
  if (!music) return std::string("the archive holds no \"") + kMusicFile + "\"";
  engine.alfClose(music);

  session.demo = std::make_unique<Demo>();
  Demo& demo = *session.demo;
  engine.setState(KL_STATE_CLEAR, 1);
  CreateRenderTargets(demo);
  LoadCommonResources(demo);
  LoadMusic(demo, kMusicFile);
  BuildEventList(demo);
  demo.prepareAll();
  demo.resetEffects();
  return {};
}

// The position at which the demo loops back: the end of a pass.
uint32_t LoopPosition(const Demo& demo) {
  for (const TimelineEvent* event = demo.head; event; event = event->next)
    if (dynamic_cast<const LoopEvent*>(event)) return event->position;
  return kNoEventPosition;
}

// Mixes the music on to `until` audio frames into the WAV file.
bool MixUntil(uint64_t until, WavFile& wav, std::vector<int16_t>& buffer) {
  if (until <= wav.frames()) return true;
  const uint64_t frames = until - wav.frames();
  buffer.resize(static_cast<size_t>(frames) * kCaptureChannels);
  if (!platform::Bass().RenderOffline(buffer.data(), static_cast<uint32_t>(frames))) return false;
  return wav.Append(buffer.data(), frames);
}

// Frames left after `count` by an earlier, longer capture would run on in
// a video made from the folder: the names are the capture's own.
void RemoveStaleFrames(const fs::path& output, uint64_t count) {
  std::error_code error;
  for (uint64_t frame = count; frame < kCaptureMaxFrames; ++frame) {
    if (!fs::remove(output / CaptureFrameName(static_cast<uint32_t>(frame)), error)) break;
  }
}

}  // namespace

bool ReadEngineScreen(uint32_t, int width, int height, std::vector<uint8_t>* rgb) {
  const kestrel::Snapshot shot = kestrel::ReadPixels(nullptr);
  if (shot.width != width || shot.height != height || shot.rgba.empty()) return false;
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  rgb->resize(pixels * kRgbBytes);
  for (size_t i = 0; i < pixels; ++i)
    std::memcpy(&(*rgb)[i * kRgbBytes], &shot.rgba[i * kRgbaBytes], kRgbBytes);
  return true;
}

std::string CaptureFrameName(uint32_t frame) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%05u.png", frame);
  return name;
}

uint32_t CaptureFrameMs(uint64_t frame, int fps) {
  return static_cast<uint32_t>(frame * kMillisecondsPerSecond / static_cast<uint64_t>(fps));
}

uint64_t CaptureAudioFrames(uint64_t frame, int fps) {
  return frame * kSoundRate / static_cast<uint64_t>(fps);
}

CaptureResult RunCapture(const CaptureOptions& options, const FrameGrabber& grab) {
  std::error_code error;
  const std::string archive = (fs::path(options.directory) / kDemoArchive).string();
  if (!fs::is_regular_file(archive, error))
    return Failure("no demo archive \"" + archive + "\" (use -C DIR)");
  const fs::path output(options.output);
  fs::create_directories(output, error);
  const std::string audioPath = (output / kCaptureAudioFile).string();
  WavFile wav;
  if (!wav.Open(audioPath, kSoundRate, kCaptureChannels))
    return Failure("cannot write into \"" + options.output + "\"");

  CaptureSession session(grab, options.width, options.height);
  if (std::string failed = OpenDemo(session, options, archive); !failed.empty())
    return Failure(failed);
  Demo& demo = *session.demo;
  Presented& shown = session.state();

  const bool wholePass = options.seconds <= 0;
  const auto passLimit = std::min(kCaptureMaxFrames, static_cast<uint64_t>(kCaptureMaxSeconds) *
                                                        static_cast<uint64_t>(options.fps));
  const uint64_t frames =
      wholePass ? passLimit : static_cast<uint64_t>(std::llround(options.seconds * options.fps));
  const uint32_t loop = LoopPosition(demo);
  const auto stallFrames = static_cast<uint64_t>(kCaptureStallSeconds * options.fps);
  uint32_t lastPosition = kNoEventPosition;
  uint64_t positionSince = 0;
  std::vector<int16_t> samples;

  FrameWriter pictures(options.width, options.height);
  session.SetTime(0);
  demo.start();
  CaptureResult result;
  uint64_t frame = 0;
  for (; frame < frames; ++frame) {
    session.SetTime(CaptureFrameMs(frame, options.fps));
    if (!MixUntil(CaptureAudioFrames(frame, options.fps), wav, samples))
      return Failure("cannot write \"" + audioPath + "\"");
    if (wholePass) {
      const uint32_t position = ExchangeHalves(platform::BASS_ChannelGetPosition(demo.music));
      if (position >= loop) break;
      if (position != lastPosition) {
        lastPosition = position;
        positionSince = frame;
      } else if (frame - positionSince >= stallFrames) {
        return Failure("the music stopped before the demo's loop point");
      }
    }
    shown.frame = static_cast<uint32_t>(frame);
    demo.step();
    if (shown.grabFailed) return Failure("cannot read the rendered picture");
    if (!pictures.Write((output / CaptureFrameName(shown.frame)).string(), shown.rgb))
      return Failure("cannot write \"" + pictures.failedPath() + "\"");
  }
  if (!pictures.Finish()) return Failure("cannot write \"" + pictures.failedPath() + "\"");
  if (wholePass && frame == frames)
    return Failure("the demo did not loop back within " + std::to_string(frames) + " frames");
  if (!MixUntil(CaptureAudioFrames(frame, options.fps), wav, samples) || !wav.Finish())
    return Failure("cannot write \"" + audioPath + "\"");
  RemoveStaleFrames(output, frame);
  result.ok = true;
  result.frames = static_cast<uint32_t>(frame);
  result.audioFrames = wav.frames();
  return result;
}

}  // namespace marigold
