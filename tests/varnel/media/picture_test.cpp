#include "varnel/media/picture.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/scratch_dir.hpp"
#include "tests/varnel/media/archive_builder.hpp"
#include "varnel/media/resource_archive.hpp"

using namespace varnel;

using namespace testing_support;

namespace {

class PictureTest : public ScratchDirTest {
 protected:
  void TearDown() override {
    CloseResourceArchive();
    ScratchDirTest::TearDown();
  }
};
using PictureDeathTest = PictureTest;

TEST(PackRgb555, BlackIsTheOnlyZero) {
  EXPECT_EQ(PackRgb555(0, 0, 0), 0);
  EXPECT_EQ(PackRgb555(7, 7, 7), 1);
  EXPECT_EQ(PackRgb555(1, 2, 3), 1);
  EXPECT_EQ(PackRgb555(0, 0, 7), 1);
  EXPECT_EQ(PackRgb555(8, 0, 0), 0x400);
  EXPECT_EQ(PackRgb555(0, 8, 0), 0x20);
  EXPECT_EQ(PackRgb555(0, 0, 8), 0x1);
  EXPECT_EQ(PackRgb555(255, 255, 255), 0x7FFF);
  EXPECT_EQ(PackRgb555(15, 23, 255), (1 << 10) | (2 << 5) | 31);  // truncated, never rounded
}

TEST_F(PictureTest, BinaryFileOfZeroBytesHasTheAllocatorsZeros) {
  WriteFile("empty.bin", Bytes{});
  int32_t size = -1;
  uint8_t* bytes = LoadBinaryFile("empty.bin", &size);
  EXPECT_EQ(size, 0);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(bytes[i], 0);
  std::free(bytes);
}

TEST_F(PictureTest, BinaryFileThroughTheArchiveIsDeletedAfterReading) {
  WriteFile("varnel.rs", Archive({Packed("ARTS/a.txt", TextBytes("article text"))}));
  OpenResourceArchive();
  int32_t size = 0;
  uint8_t* bytes = LoadBinaryFile("arts\\a.txt", &size);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), size), "article text");
  EXPECT_EQ(bytes[size], 0);  // text is always followed by NUL bytes
  EXPECT_TRUE(TemporaryFilesHere().empty());
  std::free(bytes);
}

TEST_F(PictureTest, RawPicturePacksWithoutTheBlackRule) {
  WriteFile("p.raw", Bytes{0, 0, 0, 255, 255, 255, 7, 7, 7, 8, 16, 24});
  Picture picture{};
  LoadRawPicture("p.raw", &picture, 2, 2);
  ASSERT_EQ(picture.width, 2);
  ASSERT_EQ(picture.height, 2);
  EXPECT_EQ(picture.pixels[0], 0);
  EXPECT_EQ(picture.pixels[1], 0x7FFF);
  EXPECT_EQ(picture.pixels[2], 0);
  EXPECT_EQ(picture.pixels[3], 0x443);
  std::free(picture.pixels);
}

TEST_F(PictureTest, R16PictureKeepsTheWords) {
  WriteFile("p.r16", Bytes{0x34, 0x12, 0xFF, 0x7F, 0x00, 0x00});
  Picture picture{};
  LoadR16Picture("p.r16", &picture, 3, 1);
  EXPECT_EQ(picture.pixels[0], 0x1234);
  EXPECT_EQ(picture.pixels[1], 0x7FFF);
  EXPECT_EQ(picture.pixels[2], 0);
  std::free(picture.pixels);
}

TEST_F(PictureDeathTest, RawAndR16SizesMustMatch) {
  WriteFile("p.raw", Bytes(11));
  WriteFile("p.r16", Bytes(9));
  Picture picture{};
  EXPECT_EXIT(LoadRawPicture("p.raw", &picture, 2, 2), testing::ExitedWithCode(1), "ERROR: RAW - format error !");
  EXPECT_EXIT(LoadR16Picture("p.r16", &picture, 2, 2), testing::ExitedWithCode(1), "ERROR: R16 - format error !");
}

TEST_F(PictureDeathTest, MissingFileNamesTheRequestedName) {
  int32_t size = 0;
  EXPECT_EXIT(LoadBinaryFile("DATA/none.bin", &size), testing::ExitedWithCode(1),
              "ERROR: Load Binary Error - file: DATA/none.bin !");
}

TEST_F(PictureDeathTest, DispatchByTheExtensionAfterTheFirstDot) {
  Picture picture{};
  const char* unsupported = "ERROR: Unsupported Picture format !\\(GIF \\|\\| PNG \\|\\| JPG\\)";
  EXPECT_EXIT(LoadPicture("DATA/picture", &picture), testing::ExitedWithCode(1), "ERROR: File w/o extension !");
  EXPECT_EXIT(LoadPicture("a.gif.bak", &picture), testing::ExitedWithCode(1), unsupported);
  EXPECT_EXIT(LoadPicture("pics.v2/a.gif", &picture), testing::ExitedWithCode(1), unsupported);
  EXPECT_EXIT(LoadPicture("photo.jpeg", &picture), testing::ExitedWithCode(1), unsupported);
  // The extension alone picks the loader, in any letter case.
  WriteFile("a.pNg", Bytes{0xFF, 0xD8, 0xFF, 0xE0, 0, 0, 0, 0, 0, 0});
  EXPECT_EXIT(LoadPicture("a.pNg", &picture), testing::ExitedWithCode(1), "ERROR: PNG - format error !");
  WriteFile("a.Gif", TextBytes("not a gif at all"));
  EXPECT_EXIT(LoadPicture("a.Gif", &picture), testing::ExitedWithCode(1), "ERROR: GIF Loader Error !");
}

}  // namespace
