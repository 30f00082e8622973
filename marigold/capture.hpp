// Offline capture of the demo: every frame at a fixed rate as a PNG file and
// the music beside them as a WAV file. The audio mixed so far is the only
// clock: syncs, scenes and effects follow it, so the same content always
// gives the same files.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace marigold {

constexpr int kCaptureDefaultFps = 60;
constexpr int kCaptureDefaultWidth = 1280;
constexpr int kCaptureDefaultHeight = 720;
constexpr int kCaptureMaxFps = 240;
constexpr int kCaptureMaxSide = 8192;
// Frame names have five digits.
constexpr uint64_t kCaptureMaxFrames = 100000;
// Keeps the WAV data under its 4 GiB limit.
constexpr double kCaptureMaxSeconds = 6 * 3600;
// A whole pass fails when the music stands still this long before the loop.
constexpr double kCaptureStallSeconds = 30;
constexpr const char* kCaptureAudioFile = "audio.wav";

struct CaptureOptions {
  std::string directory = ".";  // holds the demo's archive
  std::string output;           // receives the frames and the audio
  int fps = kCaptureDefaultFps;
  int width = kCaptureDefaultWidth;
  int height = kCaptureDefaultHeight;
  double seconds = 0;  // 0: one whole pass, up to the loop back
  bool help = false;
};

extern const char* const kCaptureUsage;

// Reads the command line; false with a one-line reason.
bool ParseCaptureArguments(int argc, const char* const* argv, CaptureOptions* options,
                           std::string* error);

// Copies the picture being shown as `width` × `height` R, G, B bytes, rows
// from the top; false when it cannot. `frame` is the frame being captured.
using FrameGrabber =
    std::function<bool(uint32_t frame, int width, int height, std::vector<uint8_t>* rgb)>;

// The engine's screen.
bool ReadEngineScreen(uint32_t frame, int width, int height, std::vector<uint8_t>* rgb);

// "frame-00042.png"
std::string CaptureFrameName(uint32_t frame);
// Frame n is drawn at n / fps seconds: its time in milliseconds and the
// audio frames mixed before it.
uint32_t CaptureFrameMs(uint64_t frame, int fps);
uint64_t CaptureAudioFrames(uint64_t frame, int fps);

struct CaptureResult {
  bool ok = false;
  std::string error;
  uint32_t frames = 0;       // pictures written
  uint64_t audioFrames = 0;  // stereo sample frames written
};

// Captures the demo from options.directory's archive into options.output.
// Uses the current engine table and sound library (its offline device) and
// leaves both closed; the clock is the capture's own while it runs.
CaptureResult RunCapture(const CaptureOptions& options,
                         const FrameGrabber& grab = ReadEngineScreen);

}  // namespace marigold
