// Sample synthesis: loops that join cleanly, envelopes and pitch as set.
#include "tools/chiptune/synth.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace chiptune;

namespace {

Instrument Make(Waveform wave, int sustain = 100, int decayMs = 0) {
  Instrument instrument;
  instrument.wave = wave;
  instrument.sustain = sustain;
  instrument.decayMs = decayMs;
  return instrument;
}

TEST(SynthTest, SustainedWaveLoopsOnePeriodAtTheSustainLevel) {
  Instrument lead = Make(Waveform::Square, 50, 100);
  lead.duty = 25;
  const SampleData sample = SynthesizeSample(lead, 0);
  ASSERT_EQ(sample.loopLength, static_cast<uint32_t>(kFramesPerPeriod));
  EXPECT_EQ(sample.loopStart, 838u);  // 100 ms at 8372 Hz, even
  ASSERT_EQ(sample.frames.size(), sample.loopStart + sample.loopLength);
  // Zero mean over a period, and a quarter of it high.
  double sum = 0.0;
  int high = 0;
  for (uint32_t i = sample.loopStart; i < sample.frames.size(); ++i) {
    sum += sample.frames[i];
    high += sample.frames[i] > 0 ? 1 : 0;
  }
  EXPECT_NEAR(sum, 0.0, 1e-4);
  EXPECT_EQ(high, 8);
  EXPECT_FLOAT_EQ(*std::max_element(sample.frames.begin() + sample.loopStart, sample.frames.end()),
                  0.5f);
}

TEST(SynthTest, SweptHeadEndsOnAPeriodBoundarySoTheLoopJoinsWithoutAJump) {
  Instrument kick = Make(Waveform::Sine, 60, 40);
  kick.sweep = 19;
  kick.sweepMs = 90;
  const SampleData sample = SynthesizeSample(kick, 0);
  ASSERT_GT(sample.loopLength, 0u);
  EXPECT_EQ(sample.loopStart, 754u);  // the longer of decay and sweep: 90 ms
  // The frame before the loop leads into the loop's first frame as the
  // loop's last frame does: one sine step apart.
  const float beforeLoop = sample.frames[sample.loopStart - 1];
  const float loopEnd = sample.frames.back();
  EXPECT_NEAR(beforeLoop, loopEnd, 0.01f);
  EXPECT_NEAR(sample.frames[sample.loopStart], 0.0f, 1e-6f);
}

TEST(SynthTest, SweepStartsHigherThanTheNote) {
  Instrument drop = Make(Waveform::Square, 0, 200);
  drop.sweep = 12;
  drop.sweepMs = 200;
  const auto firstHighRun = [](const SampleData& sample) {
    size_t run = 0;
    while (sample.frames[run] > 0) ++run;
    return static_cast<int>(run);
  };
  // Half a period: 16 frames at the note, about 8 an octave up.
  EXPECT_NEAR(firstHighRun(SynthesizeSample(drop, 0)), 8, 1);
  drop.sweep = 0;
  EXPECT_EQ(firstHighRun(SynthesizeSample(drop, 0)), 16);
}

TEST(SynthTest, OneShotEndsWhenTheDecayEndsAndDoesNotLoop) {
  const SampleData sample = SynthesizeSample(Make(Waveform::Noise, 0, 50), 0);
  EXPECT_EQ(sample.loopLength, 0u);
  EXPECT_EQ(sample.frames.size(), 420u);  // 50 ms, even
  EXPECT_NEAR(std::fabs(sample.frames.front()), 1.0f, 1e-6f);
  EXPECT_LT(std::fabs(sample.frames.back()), 0.01f);
}

TEST(SynthTest, TimesAreExactAtTheBaseNoteAndPitchStaysPut) {
  Instrument hat = Make(Waveform::Noise, 0, 35);
  hat.baseNote = 96;  // C-7: eight times the C-4 rate
  EXPECT_EQ(SynthesizeSample(hat, 0).frames.size(), 2344u);

  Instrument kick = Make(Waveform::Sine, 50, 100);
  kick.baseNote = 48;  // C-3: half the rate
  const SampleData sample = SynthesizeSample(kick, 0);
  EXPECT_EQ(sample.loopStart, 420u);
  EXPECT_EQ(sample.loopLength, static_cast<uint32_t>(kFramesPerPeriod));
}

TEST(SynthTest, AttackRisesFromSilence) {
  Instrument pad = Make(Waveform::Triangle);
  pad.attackMs = 10;
  const SampleData sample = SynthesizeSample(pad, 0);
  EXPECT_EQ(sample.loopStart, 84u);
  EXPECT_LT(std::fabs(sample.frames[1]), 0.02f);
  EXPECT_NEAR(sample.frames[sample.loopStart + 8], 1.0f, 1e-6f);  // triangle peak at full level
}

TEST(SynthTest, OctaveShiftStretchesPeriodAndTimeAlike) {
  const Instrument bass = Make(Waveform::Saw, 100, 100);
  const SampleData plain = SynthesizeSample(bass, 0);
  const SampleData stretched = SynthesizeSample(bass, 2);
  EXPECT_EQ(stretched.loopLength, 4 * plain.loopLength);
  EXPECT_NEAR(stretched.loopStart, 4.0 * plain.loopStart, 4.0);
  EXPECT_EQ(SynthesizeSample(bass, -1).loopLength, plain.loopLength / 2);

  // Noise holds each value for the stretch, keeping its colour.
  const SampleData noise = SynthesizeSample(Make(Waveform::Noise, 0, 20), 1);
  for (size_t i = 0; i + 1 < noise.frames.size(); i += 2)
    EXPECT_EQ(std::signbit(noise.frames[i]), std::signbit(noise.frames[i + 1])) << i;
}

TEST(SynthTest, SustainedNoiseLoopsALongStretch) {
  const SampleData sample = SynthesizeSample(Make(Waveform::Noise, 30, 10), 0);
  EXPECT_EQ(sample.loopStart, 84u);
  EXPECT_EQ(sample.loopLength, 4096u);
  EXPECT_NEAR(std::fabs(sample.frames.back()), 0.3f, 1e-6f);
}

}  // namespace
