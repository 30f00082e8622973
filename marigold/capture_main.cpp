// marigold-capture: the demo rendered offline into PNG frames and a WAV file.
#include <cstdio>
#include <string>

#include "marigold/capture.hpp"
#include "marigold/loading.hpp"
#include "platform/drivers.hpp"

int main(int argc, char** argv) {
  platform::SelectDrivers(platform::DriverSet::Console);
  marigold::CaptureOptions options;
  std::string error;
  if (!marigold::ParseCaptureArguments(argc, argv, &options, &error)) {
    std::fprintf(stderr, "marigold-capture: %s\n%s", error.c_str(), marigold::kCaptureUsage);
    return 1;
  }
  if (options.help) {
    std::fputs(marigold::kCaptureUsage, stdout);
    return 0;
  }
  const marigold::CaptureResult result = marigold::RunCapture(options);
  if (!result.ok) {
    std::fprintf(stderr, "marigold-capture: %s\n", result.error.c_str());
    return 1;
  }
  std::printf("marigold-capture: %u frames at %d fps and %s (%.2f s) written to %s\n",
              result.frames, options.fps, marigold::kCaptureAudioFile,
              static_cast<double>(result.audioFrames) / marigold::kSoundRate,
              options.output.c_str());
  return 0;
}
