// The sample music disk as the player finds it: the data file's six
// pictures, the hotspot map that matches the main screen, and 19 tunes of
// the right format and length.
#include <gtest/gtest.h>

#include <fstream>
#include <libopenmpt/libopenmpt.hpp>
#include <memory>

#include "chipdisk/data/chip_data_reader.hpp"
#include "chipdisk/player/chip_tunes.hpp"

using namespace chipdisk;

namespace {

const std::string kDisk = CHIPDISK_SAMPLE_DIR;
constexpr int kWidth = 640;
constexpr double kShortestTune = 20.0;

// The module type libopenmpt reports for a file: its extension.
std::string TypeOf(const std::string& file) { return file.substr(file.rfind('.') + 1); }

class SampleDiskTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    block_ = std::make_unique<uint8_t[]>(kWorkingBlockSize);
    regions_ = SplitWorkingBlock(block_.get());
    uint32_t used = 0;
    ChipDataReader reader;
    status_ = LoadChipPictures(reader, kDisk + "/data/chip.dat", regions_, used, pictures_);
    storeUsed_ = used;
  }
  static void TearDownTestSuite() { block_.reset(); }

  static const uint8_t* Pixel(int slot, int x, int y) {
    return pictures_[static_cast<std::size_t>(slot)].pixels + (y * kWidth + x) * 3;
  }
  // The tune line under a pixel, -1 for none, -2 where two lines overlap.
  static int TuneAt(int x, int y) {
    int found = -1;
    for (int t = 0; t < kTuneCount; ++t) {
      const TuneEntry& line = kTunes[t];
      if (x >= line.x && x < line.x + line.width && y >= line.y && y < line.y + line.height)
        found = found == -1 ? t : -2;
    }
    return found;
  }

  static std::unique_ptr<uint8_t[]> block_;
  static ChipBlockRegions regions_;
  static ChipDataStatus status_;
  static uint32_t storeUsed_;
  static std::array<PictureSlot, kPictureCount> pictures_;
};

std::unique_ptr<uint8_t[]> SampleDiskTest::block_;
ChipBlockRegions SampleDiskTest::regions_;
ChipDataStatus SampleDiskTest::status_;
uint32_t SampleDiskTest::storeUsed_ = 0;
std::array<PictureSlot, kPictureCount> SampleDiskTest::pictures_{};

TEST_F(SampleDiskTest, DataFileHoldsSixFullScreenPictures) {
  ASSERT_TRUE(status_.ok()) << status_.message;
  EXPECT_EQ(storeUsed_, 307200u + 5u * 921600u);
  std::vector<ChipDirectoryEntry> entries;
  ASSERT_TRUE(ReadChipDirectory(kDisk + "/data/chip.dat", entries).ok());
  EXPECT_EQ(entries.size(), 6u);
  for (const ChipDirectoryEntry& entry : entries) EXPECT_LE(entry.size, kFileBufferSize);
}

TEST_F(SampleDiskTest, HotspotMapMarksTuneLinesAndButtons) {
  ASSERT_TRUE(status_.ok()) << status_.message;
  const PictureSlot& map = pictures_[kHotspotMap];
  int buttonPixels[4] = {};
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const uint8_t code = HotspotCodeAt(map, x, y);
      const int tune = TuneAt(x, y);
      if (tune == -2) {
        const int below = TuneAt(x, y + 1);
        ASSERT_TRUE(code == CodeOfTune(below) || code == CodeOfTune(below - 1)) << x << "," << y;
      } else if (tune >= 0) {
        ASSERT_EQ(code, CodeOfTune(tune)) << x << "," << y;
      } else if (code >= 252) {
        ++buttonPixels[code - 252];
      } else {
        ASSERT_EQ(code, 0) << x << "," << y;
      }
    }
  for (int count : buttonPixels) EXPECT_GT(count, 400);
}

TEST_F(SampleDiskTest, LitMainScreenDiffersOnlyOnTheTuneLines) {
  ASSERT_TRUE(status_.ok()) << status_.message;
  std::vector<int> changedPerTune(kTuneCount, 0);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const bool same = std::equal(Pixel(kMainPlain, x, y), Pixel(kMainPlain, x, y) + 3,
                                   Pixel(kMainHighlighted, x, y));
      const int tune = TuneAt(x, y);
      if (tune < 0) {
        ASSERT_TRUE(same) << "the highlight leaks out at " << x << "," << y;
      } else if (!same) {
        ++changedPerTune[static_cast<std::size_t>(tune)];
      }
    }
  for (int t = 0; t < kTuneCount; ++t)
    EXPECT_GT(changedPerTune[static_cast<std::size_t>(t)], 1000) << t;
}

TEST_F(SampleDiskTest, PicturesAreDistinctAndNotBlank) {
  ASSERT_TRUE(status_.ok()) << status_.message;
  for (int slot = 1; slot < kPictureCount; ++slot) {
    const uint8_t* p = pictures_[static_cast<std::size_t>(slot)].pixels;
    int bright = 0;
    for (int i = 0; i < 921600; i += 3) bright += (p[i] + p[i + 1] + p[i + 2]) > 300;
    EXPECT_GT(bright, 2000) << "picture " << slot;
    for (int other = 1; other < slot; ++other)
      EXPECT_FALSE(std::equal(p, p + 921600, pictures_[static_cast<std::size_t>(other)].pixels));
  }
}

TEST(SampleDiskTunes, NineteenModulesOfTheirFormatsAndLength) {
  for (const TuneEntry& tune : kTunes) {
    SCOPED_TRACE(tune.file);
    std::ifstream file(kDisk + "/" + tune.file, std::ios::binary);
    ASSERT_TRUE(file) << "missing";
    std::unique_ptr<openmpt::module> module;
    ASSERT_NO_THROW(module = std::make_unique<openmpt::module>(file));
    EXPECT_EQ(module->get_metadata("type"), TypeOf(tune.file));
    EXPECT_GE(module->get_duration_seconds(), kShortestTune);
    // Each order long enough for the closing fade (2.8 s) to finish.
    EXPECT_GE(module->get_duration_seconds() / module->get_num_orders(), 3.0);
  }
}

TEST(SampleDiskTunes, StartTuneHasThreeOrdersAndReachesTheThirdAfterTheFade) {
  std::ifstream file(kDisk + "/" + kTunes[kStartTune].file, std::ios::binary);
  openmpt::module module(file);
  ASSERT_GE(module.get_num_orders(), 3);
  // The title fades for 5.9 s from the second order on; the menu follows at
  // the third, so the second order lasts longer than the fade.
  const double second = module.set_position_order_row(1, 0);
  const double third = module.set_position_order_row(2, 0);
  EXPECT_GT(third - second, 5.9);
}

}  // namespace
