// Reading written modules back with libopenmpt, the reference player, and
// measuring what it renders.
#pragma once

#include <cstdint>
#include <libopenmpt/libopenmpt.hpp>
#include <memory>
#include <string>
#include <vector>

namespace chiptune_testing {

constexpr int32_t kRenderRate = 48000;

// A loaded module and everything libopenmpt logged while loading it.
struct LoadedModule {
  std::unique_ptr<openmpt::module> module;
  std::string log;
};

LoadedModule Load(const std::vector<uint8_t>& bytes);

// Renders `seconds` of mono audio from the current position.
std::vector<float> Render(openmpt::module& module, double seconds);

double Rms(const std::vector<float>& audio);
double Peak(const std::vector<float>& audio);

// Frequency from upward zero crossings, with hysteresis so that ringing near
// an edge does not count twice.
double ZeroCrossingFrequency(const std::vector<float>& audio);

// The text of a file below the source tree's samples/music.
std::string ReadSampleScore(const std::string& name);

}  // namespace chiptune_testing
