#include "tools/chiptune/synth.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace chiptune {
namespace {

constexpr uint32_t kNoiseLoopValues = 4096;

uint32_t MsToFrames(int ms, double rate) {
  return static_cast<uint32_t>(std::lround(ms * rate / 1000.0));
}

uint32_t RoundUpEven(uint32_t frames) { return frames + (frames & 1u); }

// One period of a pitched waveform, zero mean, peak 1; `phase` in [0, 1).
double Wave(const Instrument& instrument, double phase) {
  switch (instrument.wave) {
    case Waveform::Square: {
      const double duty = instrument.duty / 100.0;
      const double peak = std::max(duty, 1.0 - duty);
      return phase < duty ? (1.0 - duty) / peak : -duty / peak;
    }
    case Waveform::Triangle:
      if (phase < 0.25) return 4.0 * phase;
      if (phase < 0.75) return 2.0 - 4.0 * phase;
      return 4.0 * phase - 4.0;
    case Waveform::Saw:
      return phase < 0.5 ? 2.0 * phase : 2.0 * phase - 2.0;
    case Waveform::Sine:
      return std::sin(2.0 * std::numbers::pi * phase);
    case Waveform::Noise:
      break;
  }
  return 0.0;
}

// Attack rises linearly; decay falls on a curve to the sustain level.
struct Envelope {
  uint32_t attack, decay;
  double sustain;

  double At(uint32_t t) const {
    if (t < attack) return static_cast<double>(t) / attack;
    if (t < attack + decay) {
      const double rest = 1.0 - static_cast<double>(t - attack) / decay;
      return sustain + (1.0 - sustain) * rest * rest;
    }
    return sustain;
  }
};

// The long-period noise of the classic 15-bit feedback register.
class NoiseRegister {
 public:
  double Next() {
    const uint32_t bit = (state_ ^ (state_ >> 1)) & 1u;
    state_ = (state_ >> 1) | (bit << 14);
    return (state_ & 1u) ? 1.0 : -1.0;
  }

 private:
  uint32_t state_ = 1;
};

// Each register value is held `hold` frames, so a stretched sample keeps
// the noise colour.
SampleData Noise(const Envelope& envelope, uint32_t hold, uint32_t body) {
  SampleData sample;
  const bool loops = envelope.sustain > 0.0;
  const uint32_t total = loops ? RoundUpEven(body) + kNoiseLoopValues * hold : RoundUpEven(body);
  NoiseRegister noise;
  double value = 0.0;
  for (uint32_t t = 0; t < total; ++t) {
    if (t % hold == 0) value = noise.Next();
    sample.frames.push_back(static_cast<float>(value * envelope.At(t)));
  }
  if (loops) {
    sample.loopStart = RoundUpEven(body);
    sample.loopLength = kNoiseLoopValues * hold;
  }
  return sample;
}

}  // namespace

SampleData SynthesizeSample(const Instrument& instrument, int octaveShift) {
  const double scale = std::ldexp(1.0, octaveShift);
  // Frames per second when the base note plays: times are exact there.
  const double rate = kSampleRateAtC4 * scale * std::exp2((instrument.baseNote - 60) / 12.0);
  const Envelope envelope{MsToFrames(instrument.attackMs, rate),
                          MsToFrames(instrument.decayMs, rate), instrument.sustain / 100.0};
  const uint32_t body = envelope.attack + envelope.decay;
  if (instrument.wave == Waveform::Noise)
    return Noise(envelope, octaveShift > 0 ? 1u << octaveShift : 1u, body);

  const uint32_t period = static_cast<uint32_t>(std::lround(kFramesPerPeriod * scale));
  const uint32_t sweepFrames = MsToFrames(instrument.sweepMs, rate);
  const bool loops = envelope.sustain > 0.0;
  const uint32_t head = RoundUpEven(loops ? std::max(body, sweepFrames) : body);
  std::vector<double> step(head);
  double travelled = 0.0;
  for (uint32_t t = 0; t < head; ++t) {
    double semitones = 0.0;
    if (t < sweepFrames)
      semitones = instrument.sweep * (1.0 - static_cast<double>(t) / sweepFrames);
    step[t] = std::exp2(semitones / 12.0) / period;
    travelled += step[t];
  }
  // A looping sound starts at the phase that makes its head end exactly on
  // a period boundary, so the one-period loop joins without a click.
  double phase = loops ? 1.0 - (travelled - std::floor(travelled)) : 0.0;
  SampleData sample;
  for (uint32_t t = 0; t < head; ++t) {
    phase -= std::floor(phase);
    sample.frames.push_back(static_cast<float>(Wave(instrument, phase) * envelope.At(t)));
    phase += step[t];
  }
  if (loops) {
    sample.loopStart = head;
    sample.loopLength = period;
    for (uint32_t j = 0; j < period; ++j)
      sample.frames.push_back(
          static_cast<float>(Wave(instrument, static_cast<double>(j) / period) * envelope.sustain));
  }
  return sample;
}

std::vector<int8_t> ToPcm8(const std::vector<float>& frames) {
  std::vector<int8_t> pcm;
  pcm.reserve(frames.size());
  for (float v : frames)
    pcm.push_back(static_cast<int8_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 127.0f)));
  return pcm;
}

std::vector<int16_t> ToPcm16(const std::vector<float>& frames) {
  std::vector<int16_t> pcm;
  pcm.reserve(frames.size());
  for (float v : frames)
    pcm.push_back(static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f)));
  return pcm;
}

}  // namespace chiptune
