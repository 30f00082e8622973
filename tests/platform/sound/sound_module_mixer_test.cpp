// The mixing path of the audio callback, on real modules.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/sound/module_file.hpp"
#include "platform/sound/module_mixer.hpp"
#include "tests/support/scratch_dir.hpp"

namespace {

using platform::kUnityGain;
using platform::ModuleMixer;
using platform::SampleFormat;

constexpr const char* kShortModule = "modules/pennylane.mod";  // about 15 s

class ModuleMixerTest : public testing::Test {
 protected:
  void SetUp() override {
    path_ = testing_support::TestDataPath(kShortModule);
    if (path_.empty()) GTEST_SKIP() << "shared test data not present: " << kShortModule;
  }

  uint32_t AddModule(ModuleMixer* mixer) {
    const platform::ModuleLoad load = platform::LoadModuleFile(path_.c_str());
    EXPECT_NE(load.module, nullptr);
    return mixer->Add(load.module);
  }

  static std::vector<int16_t> Render16(ModuleMixer* mixer, int frames) {
    std::vector<int16_t> samples(static_cast<size_t>(frames) * 2);
    mixer->Render(samples.data(), frames * 4);
    return samples;
  }

  static int Peak(const std::vector<int16_t>& samples) {
    int peak = 0;
    for (int16_t sample : samples) peak = std::max(peak, std::abs(int{sample}));
    return peak;
  }

  std::string path_;
};

TEST_F(ModuleMixerTest, SilenceWhileNothingPlays) {
  ModuleMixer mixer;
  AddModule(&mixer);  // loaded, not started
  EXPECT_EQ(Peak(Render16(&mixer, 1000)), 0);
  mixer.SetFormat(22050, SampleFormat::Unsigned8);
  std::vector<uint8_t> bytes(2001, 0);  // an odd byte count: the rest is silence too
  mixer.Render(bytes.data(), static_cast<int>(bytes.size()));
  EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 128; }));
}

TEST_F(ModuleMixerTest, EightBitOutputIsTheSixteenBitMixShifted) {
  ModuleMixer wide, narrow;
  wide.SetFormat(22050, SampleFormat::Signed16);
  narrow.SetFormat(22050, SampleFormat::Unsigned8);
  const uint32_t a = AddModule(&wide), b = AddModule(&narrow);
  ASSERT_TRUE(wide.Play(a));
  ASSERT_TRUE(narrow.Play(b));
  const std::vector<int16_t> samples = Render16(&wide, 22050);
  std::vector<uint8_t> bytes(22050 * 2);
  narrow.Render(bytes.data(), static_cast<int>(bytes.size()));
  EXPECT_GT(Peak(samples), 2000);
  for (size_t i = 0; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], (samples[i] >> 8) + 128) << i;
}

TEST_F(ModuleMixerTest, PlayStartsOverFromTheBeginning) {
  ModuleMixer mixer;
  const uint32_t music = AddModule(&mixer);
  mixer.Play(music);
  const std::vector<int16_t> first = Render16(&mixer, 44100);
  Render16(&mixer, 20000);
  mixer.Stop(music);
  EXPECT_FALSE(mixer.IsPlaying(music));
  EXPECT_EQ(Peak(Render16(&mixer, 4096)), 0);
  mixer.Play(music);
  EXPECT_TRUE(mixer.IsPlaying(music));
  // The same music again; only the filters' memory may differ by a bit.
  const std::vector<int16_t> again = Render16(&mixer, 44100);
  ASSERT_EQ(again.size(), first.size());
  for (size_t i = 0; i < first.size(); ++i) ASSERT_NEAR(again[i], first[i], 4) << i;
}

TEST_F(ModuleMixerTest, GainsScaleTheMix) {
  ModuleMixer full, half;
  const uint32_t a = AddModule(&full), b = AddModule(&half);
  full.Play(a);
  half.Play(b);
  half.SetMasterGain(platform::GainOfLevel(50, 100));
  const std::vector<int16_t> loud = Render16(&full, 20000), quiet = Render16(&half, 20000);
  for (size_t i = 0; i < loud.size(); ++i) ASSERT_NEAR(quiet[i], loud[i] / 2, 1) << i;

  half.SetMasterGain(kUnityGain);
  half.SetModuleGain(b, platform::GainOfLevel(0, 256));
  EXPECT_EQ(Peak(Render16(&half, 4096)), 0);
  EXPECT_TRUE(half.IsPlaying(b));
}

TEST_F(ModuleMixerTest, NoStereoSeparationIsMono) {
  ModuleMixer mixer;
  const uint32_t music = AddModule(&mixer);
  mixer.SetStereoSeparation(music, 0);
  mixer.Play(music);
  const std::vector<int16_t> samples = Render16(&mixer, 44100);
  EXPECT_GT(Peak(samples), 2000);
  for (size_t i = 0; i < samples.size(); i += 2) ASSERT_NEAR(samples[i], samples[i + 1], 1) << i;
}

TEST_F(ModuleMixerTest, OneShotModulesStopAtTheirEndLoopingOnesGoOn) {
  ModuleMixer mixer;
  mixer.SetFormat(8000, SampleFormat::Signed16);
  const uint32_t once = AddModule(&mixer), looping = AddModule(&mixer);
  mixer.SetLooping(looping, true);
  mixer.Play(once);
  mixer.Play(looping);
  for (int second = 0; second < 40 && mixer.IsPlaying(once); ++second) Render16(&mixer, 8000);
  EXPECT_FALSE(mixer.IsPlaying(once));
  EXPECT_TRUE(mixer.IsPlaying(looping));
  mixer.Stop(looping);
  EXPECT_EQ(Peak(Render16(&mixer, 8000)), 0);
}

TEST_F(ModuleMixerTest, HandlesAreNotReusedAndSlotsAreBounded) {
  ModuleMixer mixer;
  const uint32_t first = AddModule(&mixer);
  ASSERT_NE(first, 0u);
  EXPECT_TRUE(mixer.SetInterpolation(first, 8));
  EXPECT_TRUE(mixer.SetStereoSeparation(first, 15));
  EXPECT_TRUE(mixer.Remove(first));
  EXPECT_FALSE(mixer.Remove(first));
  EXPECT_FALSE(mixer.Play(first));
  EXPECT_FALSE(mixer.Stop(0));
  std::vector<uint32_t> handles;
  for (int i = 0; i < ModuleMixer::kSlots; ++i) handles.push_back(AddModule(&mixer));
  EXPECT_EQ(std::count(handles.begin(), handles.end(), first), 0);
  EXPECT_EQ(std::count(handles.begin(), handles.end(), 0u), 0);
  EXPECT_EQ(AddModule(&mixer), 0u);  // full: the module is freed
}

}  // namespace
