// The container and the picture store on good and damaged data files.
#include "chipdisk/data/chip_data_reader.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "tests/chipdisk/data/chip_data_builder.hpp"
#include "tests/support/scratch_dir.hpp"

using namespace chipdisk;
using chipdisk_test::Bytes;
using chipdisk_test::Container;
using chipdisk_test::Pcx;
using chipdisk_test::PlayerPictures;
using chipdisk_test::PutLe32;
using chipdisk_test::Runs;

namespace {

constexpr const char* kFile = "chip.dat";

class ChipDataReaderTest : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    block_ = std::make_unique<uint8_t[]>(kWorkingBlockSize);
    regions_ = SplitWorkingBlock(block_.get());
  }

  ChipDataStatus ReadEntry(uint32_t index, uint32_t& size) {
    return ReadChipEntry(index, kFile, {regions_.fileBuffer, kFileBufferSize}, size);
  }

  ChipDataStatus LoadAll() {
    storeUsed_ = 0;
    return LoadChipPictures(reader_, kFile, regions_, storeUsed_, pictures_);
  }

  // Every failure names the file and says what is wrong.
  static void ExpectFailure(const ChipDataStatus& status, ChipDataError error) {
    EXPECT_EQ(status.error, error) << status.message;
    EXPECT_NE(status.message.find(kFile), std::string::npos) << status.message;
  }

  std::unique_ptr<uint8_t[]> block_;
  ChipBlockRegions regions_;
  ChipDataReader reader_;
  uint32_t storeUsed_ = 0;
  std::array<PictureSlot, kPictureCount> pictures_{};
};

TEST_F(ChipDataReaderTest, RegionsOfTheWorkingBlock) {
  EXPECT_EQ(regions_.fileBuffer, block_.get());
  EXPECT_EQ(regions_.decodeBuffer, block_.get() + 1024 * 1024);
  EXPECT_EQ(regions_.pictureStore, block_.get() + 2 * 1024 * 1024);
}

TEST_F(ChipDataReaderTest, EntryFiveOfSixIsReadExactlyAndRotatedBack) {
  std::vector<Bytes> entries;
  for (int i = 0; i < 6; ++i) entries.push_back(Bytes(10 + i, static_cast<uint8_t>(i)));
  entries[5] = Bytes{0x00, 0x01, 0x40, 0x80, 0xC0, 0xFF, 0x5A};
  testing_support::WriteFile(kFile, Container(entries));
  uint32_t size = 0;
  ASSERT_TRUE(ReadEntry(5, size).ok());
  ASSERT_EQ(size, 7u);
  EXPECT_EQ(Bytes(regions_.fileBuffer, regions_.fileBuffer + size), entries[5]);
}

TEST_F(ChipDataReaderTest, MissingFile) {
  uint32_t size = 0;
  ExpectFailure(ReadEntry(0, size), ChipDataError::kMissingFile);
  ExpectFailure(LoadAll(), ChipDataError::kMissingFile);
}

TEST_F(ChipDataReaderTest, IndexBeyondTheCount) {
  testing_support::WriteFile(kFile, Container({Bytes{1}, Bytes{2}}));
  uint32_t size = 0;
  ExpectFailure(ReadEntry(2, size), ChipDataError::kIndexBeyondCount);
  ExpectFailure(ReadEntry(0xFFFFFFFF, size), ChipDataError::kIndexBeyondCount);
}

TEST_F(ChipDataReaderTest, DirectoryLeavingTheFile) {
  uint32_t size = 0;
  testing_support::WriteFile(kFile, Bytes{3, 0});
  ExpectFailure(ReadEntry(0, size), ChipDataError::kDirectoryOutsideFile);
  testing_support::WriteFile(kFile, Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});
  ExpectFailure(ReadEntry(0, size), ChipDataError::kDirectoryOutsideFile);
  Bytes file = Container({Bytes{1}, Bytes{2}});
  PutLe32(file, 0, 3);  // one entry more than the directory holds
  testing_support::WriteFile(kFile, file);
  ExpectFailure(ReadEntry(0, size), ChipDataError::kDirectoryOutsideFile);
}

TEST_F(ChipDataReaderTest, EntryLeavingTheFile) {
  uint32_t size = 0;
  Bytes file = Container({Bytes(20, 1)});
  PutLe32(file, 8, 21);
  testing_support::WriteFile(kFile, file);
  ExpectFailure(ReadEntry(0, size), ChipDataError::kEntryOutsideFile);
  // offset + size wraps around 32 bits.
  PutLe32(file, 4, 0xFFFFFFF0);
  PutLe32(file, 8, 0x20);
  testing_support::WriteFile(kFile, file);
  ExpectFailure(ReadEntry(0, size), ChipDataError::kEntryOutsideFile);
}

TEST_F(ChipDataReaderTest, EntryLargerThanTheFileBuffer) {
  testing_support::WriteFile(kFile, Container({Bytes(kFileBufferSize + 1, 0x11)}));
  regions_.decodeBuffer[0] = 0x77;
  uint32_t size = 0;
  ExpectFailure(ReadEntry(0, size), ChipDataError::kEntryTooLarge);
  EXPECT_EQ(regions_.decodeBuffer[0], 0x77);
  // Exactly the buffer's size still fits.
  testing_support::WriteFile(kFile, Container({Bytes(kFileBufferSize, 0x11)}));
  EXPECT_TRUE(ReadEntry(0, size).ok());
}

TEST_F(ChipDataReaderTest, SixPicturesLoadIntoTheStore) {
  std::vector<Bytes> entries = PlayerPictures(640, 480, 251);
  testing_support::WriteFile(kFile, Container(entries));
  ASSERT_TRUE(LoadAll().ok());
  EXPECT_EQ(storeUsed_, 307200u + 5u * 921600u);
  EXPECT_EQ(pictures_[kHotspotMap].bitsPerPixel, 8u);
  EXPECT_EQ(pictures_[kHotspotMap].pixels, regions_.pictureStore);
  EXPECT_EQ(HotspotCodeAt(pictures_[kHotspotMap], 639, 479), 251);
  for (int i = 1; i < kPictureCount; ++i) {
    const PictureSlot& slot = pictures_[static_cast<std::size_t>(i)];
    EXPECT_EQ(slot.width, 640u);
    EXPECT_EQ(slot.height, 480u);
    EXPECT_EQ(slot.bitsPerPixel, 24u);
    EXPECT_EQ(slot.pixels, regions_.pictureStore + 307200 + (i - 1) * 921600);
    // Planes were red 10i, green 10i+1, blue 10i+2: pixels are blue, green, red.
    const uint8_t* last = slot.pixels + 921600 - 3;
    EXPECT_EQ(last[0], 10 * i + 2);
    EXPECT_EQ(last[1], 10 * i + 1);
    EXPECT_EQ(last[2], 10 * i);
  }
}

TEST_F(ChipDataReaderTest, ThreePlanePictureLargerThanTheDecodeBuffer) {
  std::vector<Bytes> entries = PlayerPictures();
  entries[3] = Pcx(700, 500, 3, Runs(1, 700 * 500 * 3));  // 1,050,000 bytes
  testing_support::WriteFile(kFile, Container(entries));
  ExpectFailure(LoadAll(), ChipDataError::kPictureTooLarge);
}

TEST_F(ChipDataReaderTest, PicturesOverflowingTheStore) {
  // A one-plane map bigger than the whole store.
  std::vector<Bytes> entries = PlayerPictures(2600, 2500);
  testing_support::WriteFile(kFile, Container(entries));
  ExpectFailure(LoadAll(), ChipDataError::kStoreFull);
  // A 4 MiB map leaves room for two of the five pictures only.
  entries = PlayerPictures(2048, 2048);
  testing_support::WriteFile(kFile, Container(entries));
  ChipDataStatus status = LoadAll();
  ExpectFailure(status, ChipDataError::kStoreFull);
  EXPECT_NE(status.message.find("Entry 3"), std::string::npos) << status.message;
}

TEST_F(ChipDataReaderTest, CodedDataEndingEarly) {
  std::vector<Bytes> entries = PlayerPictures();
  entries[2].resize(entries[2].size() - 1);
  testing_support::WriteFile(kFile, Container(entries));
  ChipDataStatus status = LoadAll();
  ExpectFailure(status, ChipDataError::kDataEndsEarly);
  EXPECT_NE(status.message.find("Entry 2"), std::string::npos) << status.message;
}

TEST_F(ChipDataReaderTest, EntryShorterThanItsHeader) {
  std::vector<Bytes> entries = PlayerPictures();
  entries[1] = Bytes(100, 0);
  testing_support::WriteFile(kFile, Container(entries));
  ExpectFailure(LoadAll(), ChipDataError::kHeaderTooShort);
}

TEST_F(ChipDataReaderTest, PicturesOfTheWrongShapeAreRefused) {
  // Smaller screen pictures would let the display read past them.
  std::vector<Bytes> entries = PlayerPictures();
  entries[4] = Pcx(320, 240, 3, Runs(1, 320 * 240 * 3));
  testing_support::WriteFile(kFile, Container(entries));
  ExpectFailure(LoadAll(), ChipDataError::kBadPictureSize);
  entries = PlayerPictures();
  entries[0] = Pcx(640, 480, 3, Runs(1, 640 * 480 * 3));
  testing_support::WriteFile(kFile, Container(entries));
  ExpectFailure(LoadAll(), ChipDataError::kBadHotspotMap);
  entries = PlayerPictures();
  entries.pop_back();
  testing_support::WriteFile(kFile, Container(entries));
  ExpectFailure(LoadAll(), ChipDataError::kIndexBeyondCount);
}

TEST_F(ChipDataReaderTest, SmallHotspotMapLooksUpInsideItself) {
  testing_support::WriteFile(kFile, Container(PlayerPictures(100, 50, 252)));
  ASSERT_TRUE(LoadAll().ok());
  EXPECT_EQ(storeUsed_, 5000u + 5u * 921600u);
  EXPECT_EQ(HotspotCodeAt(pictures_[kHotspotMap], 99, 49), 252);
  EXPECT_EQ(HotspotCodeAt(pictures_[kHotspotMap], 100, 0), 0);
  EXPECT_EQ(HotspotCodeAt(pictures_[kHotspotMap], 0, 50), 0);
}

TEST_F(ChipDataReaderTest, DirectoryListsEveryEntry) {
  testing_support::WriteFile(kFile, Container({Bytes(3, 0), Bytes(5, 0)}));
  std::vector<ChipDirectoryEntry> entries;
  ASSERT_TRUE(ReadChipDirectory(kFile, entries).ok());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].offset, 20u);
  EXPECT_EQ(entries[0].size, 3u);
  EXPECT_EQ(entries[1].offset, 23u);
  EXPECT_EQ(entries[1].size, 5u);
}

}  // namespace
