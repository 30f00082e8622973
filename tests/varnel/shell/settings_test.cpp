// The settings record and "varnel.cfg": defaults, the whole-record rule and
// the raw file format.
#include "varnel/shell/settings.hpp"

#include <sys/stat.h>

#include <cstring>
#include <vector>

#include "tests/support/scratch_dir.hpp"

using namespace varnel;

namespace {

using testing_support::Bytes;
using testing_support::ReadFile;
using testing_support::WriteFile;

// 14 values as the file holds them: 32-bit little endian, in field order.
Bytes RecordBytes(const std::vector<int32_t>& values) {
  Bytes bytes;
  for (int32_t value : values) {
    const auto word = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
      bytes.push_back(static_cast<uint8_t>(word >> shift));
  }
  return bytes;
}

Bytes SettingsBytes() {
  Bytes bytes(sizeof settings);
  std::memcpy(bytes.data(), &settings, sizeof settings);
  return bytes;
}

const std::vector<int32_t> kDefaults = {1, 0, 1, 1, 1, 0, 1, 1, 1, 203, 208, 16, 217, 219};

class SettingsFile : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    std::memset(&settings, 0x5A, sizeof settings);  // nothing left from before
  }
};

TEST_F(SettingsFile, FreshStartGivesTheDefaultRecord) {
  LoadSettings();
  EXPECT_EQ(SettingsBytes(), RecordBytes(kDefaults));
  EXPECT_FALSE(testing_support::FileExists(kSettingsFile));  // loading writes nothing
  std::memset(&settings, 0x5A, sizeof settings);
  SetDefaultSettings();
  EXPECT_EQ(SettingsBytes(), RecordBytes(kDefaults));
}

TEST_F(SettingsFile, AShortFileIsIgnoredEntirely) {
  Bytes record = RecordBytes({0, 1, 0, 0, 0, 1, 0, 0, 0, 205, 209, 4, 216, 218});
  record.pop_back();  // 55 bytes
  WriteFile(kSettingsFile, record);
  LoadSettings();
  EXPECT_EQ(SettingsBytes(), RecordBytes(kDefaults));
  WriteFile(kSettingsFile, Bytes{});
  LoadSettings();
  EXPECT_EQ(SettingsBytes(), RecordBytes(kDefaults));
}

TEST_F(SettingsFile, AWholeRecordIsTakenWithoutChecks) {
  // Out-of-range values stay as they are; consumers have their fallbacks.
  const std::vector<int32_t> odd = {7, -1, 0, 0, 2, 1, 1, 0, 0, 999, 0, 12, 1, -219};
  Bytes bytes = RecordBytes(odd);
  bytes.push_back(0xEE);  // what follows the record is not looked at
  WriteFile(kSettingsFile, bytes);
  LoadSettings();
  EXPECT_EQ(SettingsBytes(), RecordBytes(odd));
  EXPECT_EQ(settings.startingTune, 999);
  EXPECT_EQ(settings.fmodOut, -219);
}

TEST_F(SettingsFile, SaveWritesTheRawRecordAndLoadReadsItBack) {
  WriteFile(kSettingsFile, Bytes(100, 0xFF));  // truncated, not overwritten in place
  SetDefaultSettings();
  settings.useMmx = 1;
  settings.softScrollSpeed = 32;
  settings.player = 216;
  SaveSettings();
  std::vector<int32_t> expected = kDefaults;
  expected[1] = 1;
  expected[11] = 32;
  expected[12] = 216;
  EXPECT_EQ(ReadFile(kSettingsFile), RecordBytes(expected));
  SetDefaultSettings();
  LoadSettings();
  EXPECT_EQ(SettingsBytes(), RecordBytes(expected));
}

TEST_F(SettingsFile, ASaveThatCannotOpenTheFileIsSkipped) {
  ASSERT_EQ(mkdir(kSettingsFile, 0755), 0);  // a folder in the file's place
  SetDefaultSettings();
  SaveSettings();
  LoadSettings();  // and the folder is no record either
  EXPECT_EQ(SettingsBytes(), RecordBytes(kDefaults));
}

// The sound back-ends get their set-up from the settings' chosen buttons.
TEST(SoundConfigOfSettings, QualityAndOutputFromTheChosenButtons) {
  SetDefaultSettings();
  SoundConfig config = SoundConfigOfSettings();
  EXPECT_TRUE(config.highQuality);
  EXPECT_EQ(config.fmodOutput, FmodOutput::DirectSound);
  for (int32_t quality : {209, 0, 207}) {
    settings.soundQuality = quality;
    EXPECT_FALSE(SoundConfigOfSettings().highQuality) << quality;
  }
  const struct {
    int32_t setting;
    FmodOutput output;
  } outputs[] = {{218, FmodOutput::WinMm}, {219, FmodOutput::DirectSound},
                 {220, FmodOutput::A3d},   {0, FmodOutput::A3d}};
  for (const auto& output : outputs) {
    settings.fmodOut = output.setting;
    EXPECT_EQ(SoundConfigOfSettings().fmodOutput, output.output) << output.setting;
  }
  SetDefaultSettings();
}

}  // namespace
