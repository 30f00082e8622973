// The capture tool's command line.
#include <charconv>
#include <cmath>
#include <string_view>

#include "marigold/capture.hpp"

namespace marigold {
namespace {

bool ParseInt(std::string_view text, int lowest, int highest, int* out) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  if (value < lowest || value > highest) return false;
  *out = value;
  return true;
}

bool ParseSize(std::string_view text, int* width, int* height) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return false;
  return ParseInt(text.substr(0, x), 1, kCaptureMaxSide, width) &&
         ParseInt(text.substr(x + 1), 1, kCaptureMaxSide, height);
}

bool ParseSeconds(std::string_view text, double* out) {
  double value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  if (!std::isfinite(value) || value <= 0 || value > kCaptureMaxSeconds) return false;
  *out = value;
  return true;
}

}  // namespace

const char* const kCaptureUsage =
    "usage: marigold-capture [-C DIR] -o OUTDIR [--fps N] [--size WxH] [--seconds S]\n"
    "  -C DIR       the folder holding Marigold.alf (default: the current one)\n"
    "  -o OUTDIR    where frame-00000.png, ... and audio.wav go (made if missing)\n"
    "  --fps N      frames per second, 1 to 240 (default 60)\n"
    "  --size WxH   picture size (default 1280x720)\n"
    "  --seconds S  length (default: one whole pass of the demo)\n";

bool ParseCaptureArguments(int argc, const char* const* argv, CaptureOptions* options,
                           std::string* error) {
  bool haveOutput = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const char* value = nullptr;
    auto takeValue = [&](const char* what) {
      if (i + 1 >= argc) {
        *error = std::string(arg) + " needs " + what;
        return false;
      }
      value = argv[++i];
      return true;
    };
    if (arg == "-h" || arg == "--help") {
      options->help = true;
    } else if (arg == "-C") {
      if (!takeValue("a folder")) return false;
      if (!*value) {
        *error = "-C needs a folder";
        return false;
      }
      options->directory = value;
    } else if (arg == "-o") {
      if (!takeValue("an output folder")) return false;
      if (!*value) {
        *error = "-o needs an output folder";
        return false;
      }
      options->output = value;
      haveOutput = true;
    } else if (arg == "--fps") {
      if (!takeValue("a number of frames per second")) return false;
      if (!ParseInt(value, 1, kCaptureMaxFps, &options->fps)) {
        *error = std::string("bad frame rate \"") + value + "\" (1 to 240)";
        return false;
      }
    } else if (arg == "--size") {
      if (!takeValue("WxH")) return false;
      if (!ParseSize(value, &options->width, &options->height)) {
        *error = std::string("bad size \"") + value + "\" (expected WxH, 1 to 8192 each)";
        return false;
      }
    } else if (arg == "--seconds") {
      if (!takeValue("a length in seconds")) return false;
      if (!ParseSeconds(value, &options->seconds)) {
        *error = std::string("bad length \"") + value + "\" (seconds above 0, at most 6 hours)";
        return false;
      }
    } else if (!arg.empty() && arg.front() == '-') {
      *error = "unknown option " + std::string(arg);
      return false;
    } else {
      *error = "unexpected argument \"" + std::string(arg) + "\"";
      return false;
    }
  }
  if (options->help) return true;
  if (!haveOutput) {
    *error = "no output folder given (-o OUTDIR)";
    return false;
  }
  if (options->seconds <= 0) return true;
  const long long frames = std::llround(options->seconds * options->fps);
  if (frames > static_cast<long long>(kCaptureMaxFrames)) {
    *error = "too many frames: at most 100000 (seconds x fps)";
    return false;
  }
  if (frames < 1) {
    *error = "too short: not a single frame";
    return false;
  }
  return true;
}

}  // namespace marigold
