// The reader's music through the real stand-ins, with SDL's disk audio
// driver writing what would reach the speakers into a file.
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "tests/varnel/sound/sound_fixture.hpp"
#include "varnel/sound/sound_startup.hpp"

using namespace varnel;

namespace {

using testing_support::Bytes;

class RealPlaybackTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    output_ = dir() + "/speakers.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
    platform::SetBassService(&platform::SdlBassService());
    platform::SetFmodService(&platform::SdlFmodService());
  }

  void TearDown() override {
    SoundTest::TearDown();  // DeInitPlayer on the real drivers first
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
  }

  // Copies `relative` from the test data in as `name`; false when absent.
  static bool Provide(const char* relative, const char* name) {
    const std::string source = testing_support::TestDataPath(relative);
    if (source.empty()) return false;
    std::filesystem::copy_file(source, name);
    return true;
  }

  std::string output_;
};

struct Output {
  uint32_t kind;
  bool highQuality;
  int bytesPerSecond;
  bool eightBit;
};

// Samples away from silence, and the loudest one.
void Measure(const Bytes& bytes, bool eightBit, size_t* sounding, int* peak) {
  *sounding = 0;
  *peak = 0;
  const size_t step = eightBit ? 1 : 2;
  for (size_t i = 0; i + step <= bytes.size(); i += step) {
    const int sample =
        eightBit ? bytes[i] - 128 : static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8);
    *sounding += sample != 0;
    *peak = std::max(*peak, std::abs(sample));
  }
}

TEST_F(RealPlaybackTest, EachPlayerAndQualityPlaysItsFormat) {
  if (!Provide("modules/dontyou.xm", "Msx0.xm")) GTEST_SKIP() << "shared test data not present";
  const Output outputs[] = {{kBassPlayer, true, 176400, false},  // 16-bit, 44.1 kHz
                            {kBassPlayer, false, 44100, true},    // 8-bit, 22.05 kHz
                            {kFmodPlayer, true, 176400, false},
                            {kFmodPlayer, false, 88200, false}};  // 16-bit, 22.05 kHz
  for (const Output& output : outputs) {
    std::filesystem::remove(output_);
    const auto start = std::chrono::steady_clock::now();
    InitPlayer(&musicPlayer, "Msx0.xm", SoundConfig{output.highQuality, FmodOutput::DirectSound}, output.kind);
    platform::RealClock().Sleep(1000);
    DeInitPlayer(&musicPlayer);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double expected = took.count() * output.bytesPerSecond;

    const Bytes bytes = testing_support::ReadFile(output_);
    SCOPED_TRACE(testing::Message() << "kind " << output.kind << ", high quality " << output.highQuality);
    EXPECT_GT(static_cast<double>(bytes.size()), expected * 0.5) << "for " << expected;
    EXPECT_LT(static_cast<double>(bytes.size()), expected * 1.5) << "for " << expected;
    size_t sounding;
    int peak;
    Measure(bytes, output.eightBit, &sounding, &peak);
    EXPECT_GT(sounding, bytes.size() / 8);
    EXPECT_GT(peak, output.eightBit ? 8 : 2000);
  }
  EXPECT_EQ(platform::FakeWindow().messageBoxCount, 0);
}

TEST_F(RealPlaybackTest, WithoutAnAudioDeviceBassWarnsAndFmodFails) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  MakeModule("Msx0.xm");
  InitPlayer(&musicPlayer, "Msx0.xm", SoundConfig{}, kBassPlayer);
  EXPECT_EQ(platform::FakeWindow().messageBoxCount, 1);
  EXPECT_STREQ(platform::FakeWindow().lastMessageBox.text, "Sound Device BUSY - Press <ENTER>");
  musicPlayer.PlayModule("Msx0.xm");
  musicPlayer.ResumeModule();
  DeInitPlayer(&musicPlayer);

  EXPECT_EXIT(InitPlayer(&musicPlayer, "Msx0.xm", SoundConfig{}, kFmodPlayer),
              testing::ExitedWithCode(1), "ERROR: Error initializing output device.\n$");
}

TEST_F(RealPlaybackTest, ABrokenModuleIsRefusedFatallyWhilePlaying) {
  // A fresh process: the audio thread is part of what shuts down.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  RegisterSoundShutdownSteps();
  if (!Provide("modules/dontyou.xm", "Msx0.xm") ||
      !Provide("modules/broken/load_s3m_invalid_sample_size.s3m", "broken.s3m"))
    GTEST_SKIP() << "shared test data not present";
  EXPECT_EXIT(
      {
        InitPlayer(&musicPlayer, "Msx0.xm", SoundConfig{}, kBassPlayer);
        musicPlayer.PlayModule("broken.s3m");
      },
      testing::ExitedWithCode(1),
      "ERROR: Can't play the file - open/load/format error \\(BASS\\)!\n$");
  EXPECT_EXIT(
      {
        InitPlayer(&musicPlayer, "Msx0.xm", SoundConfig{}, kFmodPlayer);
        musicPlayer.PlayModule("broken.s3m");
      },
      testing::ExitedWithCode(1), "ERROR: Error loading file\n$");
}

}  // namespace
