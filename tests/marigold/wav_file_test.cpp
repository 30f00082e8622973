// The WAV file of the capture: a header that tells the truth about what
// follows, however the samples arrive, and write failures reported.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "marigold/wav_file.hpp"
#include "tests/support/scratch_dir.hpp"

namespace marigold {
namespace {

using testing_support::Bytes;

class WavFileTest : public testing_support::ScratchDirTest {};

uint32_t Read32(const Bytes& bytes, size_t at) {
  uint32_t value = 0;
  std::memcpy(&value, &bytes[at], sizeof value);
  return value;
}

TEST_F(WavFileTest, SamplesFollowTheHeaderInTheOrderAppended) {
  WavFile wav;
  ASSERT_TRUE(wav.Open("a.wav", 22050, 2));
  const int16_t first[] = {1, -1, 2, -2};
  const int16_t second[] = {0x1234, -32768};
  ASSERT_TRUE(wav.Append(first, 2));
  ASSERT_TRUE(wav.Append(second, 1));
  ASSERT_TRUE(wav.Append(nullptr, 0));
  EXPECT_EQ(wav.frames(), 3u);
  ASSERT_TRUE(wav.Finish());

  const Bytes bytes = testing_support::ReadFile("a.wav");
  ASSERT_EQ(bytes.size(), kWavHeaderBytes + 12);
  EXPECT_EQ(Read32(bytes, 4), 36u + 12);
  EXPECT_EQ(Read32(bytes, 24), 22050u);
  EXPECT_EQ(Read32(bytes, 28), 22050u * 4);
  EXPECT_EQ(Read32(bytes, 40), 12u);
  const Bytes samples(bytes.begin() + kWavHeaderBytes, bytes.end());
  EXPECT_EQ(samples, (Bytes{1, 0, 0xFF, 0xFF, 2, 0, 0xFE, 0xFF, 0x34, 0x12, 0x00, 0x80}));
}

TEST_F(WavFileTest, AnEmptyFileIsAValidHeader) {
  WavFile wav;
  ASSERT_TRUE(wav.Open("empty.wav", 44100, 2));
  ASSERT_TRUE(wav.Finish());
  const Bytes bytes = testing_support::ReadFile("empty.wav");
  ASSERT_EQ(bytes.size(), kWavHeaderBytes);
  EXPECT_EQ(Read32(bytes, 40), 0u);
}

TEST_F(WavFileTest, AFolderThatIsMissingCannotBeOpened) {
  WavFile wav;
  EXPECT_FALSE(wav.Open("missing/a.wav", 44100, 2));
  const int16_t frame[] = {0, 0};
  EXPECT_FALSE(wav.Append(frame, 1));
  EXPECT_FALSE(wav.Finish());
}

TEST_F(WavFileTest, AFullDiskIsReportedNotHidden) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  WavFile wav;
  ASSERT_TRUE(wav.Open("/dev/full", 44100, 2));
  std::vector<int16_t> samples(2 * 44100, 7);
  bool ok = wav.Append(samples.data(), 44100);
  ok = wav.Finish() && ok;
  EXPECT_FALSE(ok);
}

}  // namespace
}  // namespace marigold
