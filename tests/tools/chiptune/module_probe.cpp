#include "tests/tools/chiptune/module_probe.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

namespace chiptune_testing {

LoadedModule Load(const std::vector<uint8_t>& bytes) {
  std::ostringstream log;
  LoadedModule loaded;
  loaded.module = std::make_unique<openmpt::module>(bytes, log);
  loaded.log = log.str();
  return loaded;
}

std::vector<float> Render(openmpt::module& module, double seconds) {
  std::vector<float> audio(static_cast<size_t>(seconds * kRenderRate));
  size_t done = 0;
  while (done < audio.size()) {
    const size_t got = module.read(kRenderRate, audio.size() - done, audio.data() + done);
    if (got == 0) break;
    done += got;
  }
  audio.resize(done);
  return audio;
}

double Rms(const std::vector<float>& audio) {
  if (audio.empty()) return 0.0;
  double sum = 0.0;
  for (float v : audio) sum += static_cast<double>(v) * v;
  return std::sqrt(sum / static_cast<double>(audio.size()));
}

double Peak(const std::vector<float>& audio) {
  double peak = 0.0;
  for (float v : audio) peak = std::max(peak, static_cast<double>(std::fabs(v)));
  return peak;
}

double ZeroCrossingFrequency(const std::vector<float>& audio) {
  const double threshold = 0.2 * Peak(audio);
  bool high = false;
  long first = -1, last = -1, count = 0;
  for (size_t i = 0; i < audio.size(); ++i) {
    if (!high && audio[i] > threshold) {
      high = true;
      if (first < 0) {
        first = static_cast<long>(i);
      } else {
        ++count;
        last = static_cast<long>(i);
      }
    } else if (high && audio[i] < -threshold) {
      high = false;
    }
  }
  if (count == 0) return 0.0;
  return static_cast<double>(count) * kRenderRate / static_cast<double>(last - first);
}

std::string ReadSampleScore(const std::string& name) {
  std::ifstream in(std::string(CHIPTUNE_SAMPLES_DIR) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace chiptune_testing
