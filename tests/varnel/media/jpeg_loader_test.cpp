#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/jpeg/jpeg_reference.hpp"
#include "platform/jpeg/jpeg_service.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/varnel/media/archive_builder.hpp"
#include "varnel/media/picture.hpp"
#include "varnel/media/resource_archive.hpp"
#include "varnel/failure/fatal_error.hpp"

using namespace varnel;

using namespace testing_support;

namespace {

std::vector<uint16_t> Packed(const platform::RgbPicture& rgb) {
  std::vector<uint16_t> pixels;
  for (size_t i = 0; i + 2 < rgb.rgb.size(); i += 3)
    pixels.push_back(PackRgb555(rgb.rgb[i], rgb.rgb[i + 1], rgb.rgb[i + 2]));
  return pixels;
}

std::vector<uint16_t> Loaded(const std::string& name, Picture* picture) {
  *picture = Picture{};
  LoadJpegPicture(name.c_str(), picture);
  std::vector<uint16_t> pixels(
      picture->pixels, picture->pixels + static_cast<size_t>(picture->width) * picture->height);
  std::free(picture->pixels);
  return pixels;
}

// libjpeg's own decode of a file, packed like the loader packs.
std::vector<uint16_t> ReferencePixels(const std::string& path, platform::RgbPicture* rgb) {
  const Bytes jpeg = ReadFile(path);
  EXPECT_TRUE(platform::DecodeJpegToRgb(jpeg.data(), jpeg.size(), rgb)) << path;
  return Packed(*rgb);
}

// A binary PPM (P6, maxval 255).
platform::RgbPicture ReadPpm(const std::string& path) {
  const Bytes bytes = ReadFile(path);
  std::istringstream header(
      std::string(bytes.begin(), bytes.begin() + std::min<size_t>(64, bytes.size())));
  std::string magic;
  int maxValue = 0;
  platform::RgbPicture picture;
  header >> magic >> picture.width >> picture.height >> maxValue;
  EXPECT_EQ(magic, "P6");
  EXPECT_EQ(maxValue, 255);
  const size_t start = static_cast<size_t>(header.tellg()) + 1;
  picture.rgb.assign(bytes.begin() + static_cast<long>(start), bytes.end());
  EXPECT_EQ(picture.rgb.size(), static_cast<size_t>(picture.width) * picture.height * 3);
  return picture;
}

// Columns of distinct colours, each row shifted by its row number: any
// drift from row to row changes the picture.
platform::RgbPicture Stripes(int32_t width, int32_t height) {
  platform::RgbPicture picture{width, height, {}};
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const int band = (x + y) / 8;
      picture.rgb.push_back(static_cast<uint8_t>(band * 40));
      picture.rgb.push_back(static_cast<uint8_t>(255 - band * 24));
      picture.rgb.push_back(static_cast<uint8_t>(band * 90));
    }
  return picture;
}

void WriteJpeg(const std::string& path, const platform::RgbPicture& picture,
               const platform::JpegEncodeOptions& options = {}) {
  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(platform::EncodeJpeg(picture, options, &jpeg));
  WriteFile(path, jpeg);
}

// The fake driver's format: "FJPG", width, height, channels, then R, G, B.
Bytes FakeJpegFile(int width, int height, int channels, const Bytes& rgb) {
  Bytes file{'F',
             'J',
             'P',
             'G',
             static_cast<uint8_t>(width),
             static_cast<uint8_t>(width >> 8),
             static_cast<uint8_t>(height),
             static_cast<uint8_t>(height >> 8),
             static_cast<uint8_t>(channels)};
  file.insert(file.end(), rgb.begin(), rgb.end());
  return file;
}

class JpegLoaderTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    platform::SetJpegService(&platform::LibjpegService());
  }
  void TearDown() override {
    platform::SetJpegService(&platform::FakeJpeg());
    CloseResourceArchive();
    ScratchDirTest::TearDown();
  }
};
using JpegLoaderDeathTest = JpegLoaderTest;

class FakeJpegLoaderTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    fake_ = platform::FakeJpegService{};
    platform::SetJpegService(&fake_);
  }
  void TearDown() override {
    platform::SetJpegService(&platform::FakeJpeg());
    CloseResourceArchive();
    ScratchDirTest::TearDown();
  }
  platform::FakeJpegService fake_;
};
using FakeJpegLoaderDeathTest = FakeJpegLoaderTest;

TEST_F(JpegLoaderTest, TestImagesMatchLibjpegsOwnDecode) {
  REQUIRE_TESTDATA(folder, "jpeg");
  for (const char* name : {"testorig.jpg", "testimgint.jpg", "testimgari.jpg"}) {
    SCOPED_TRACE(name);
    const std::string path = folder + "/" + name;
    platform::RgbPicture reference;
    const std::vector<uint16_t> expected = ReferencePixels(path, &reference);
    Picture picture{};
    EXPECT_EQ(Loaded(path, &picture), expected);
    EXPECT_EQ(picture.width, reference.width);
    EXPECT_EQ(picture.height, reference.height);
  }
}

// The test image's original, before compression, is an oracle outside
// libjpeg: the decode must stay near it channel by channel, which a swap of
// red and blue or a shifted row would not.
TEST_F(JpegLoaderTest, BaselineTestImageStaysNearItsOriginal) {
  REQUIRE_TESTDATA(jpeg, "jpeg/testorig.jpg");
  REQUIRE_TESTDATA(ppm, "jpeg/testorig.ppm");
  const platform::RgbPicture original = ReadPpm(ppm);
  Picture picture{};
  const std::vector<uint16_t> pixels = Loaded(jpeg, &picture);
  ASSERT_EQ(picture.width, original.width);
  ASSERT_EQ(picture.height, original.height);
  double error[3] = {};
  for (size_t i = 0; i < pixels.size(); ++i)
    for (int c = 0; c < 3; ++c)
      error[c] += std::abs((pixels[i] >> (10 - 5 * c) & 31) - (original.rgb[3 * i + c] >> 3));
  // Measured: under 0.04 of a 5-bit step; red and blue swapped: over 8.
  for (int c = 0; c < 3; ++c) EXPECT_LT(error[c] / pixels.size(), 0.25) << "channel " << c;
}

TEST_F(JpegLoaderTest, RowsOfEveryPaddingLoadWithoutDrift) {
  for (int32_t width : {641, 642, 643, 644, 1}) {
    SCOPED_TRACE(width);
    WriteJpeg("w.jpg", Stripes(width, 37));
    platform::RgbPicture reference;
    const std::vector<uint16_t> expected = ReferencePixels("w.jpg", &reference);
    Picture picture{};
    EXPECT_EQ(Loaded("w.jpg", &picture), expected);
    EXPECT_EQ(picture.width, width);
    EXPECT_EQ(picture.height, 37);
  }
}

TEST_F(JpegLoaderTest, GreyProgressiveAndArithmeticFilesLoad) {
  const platform::RgbPicture source = Stripes(50, 20);
  for (const platform::JpegEncodeOptions& options :
       {platform::JpegEncodeOptions{.channels = 1},
        platform::JpegEncodeOptions{.quality = 80, .coding = platform::JpegCoding::Progressive},
        platform::JpegEncodeOptions{.quality = 70, .coding = platform::JpegCoding::Arithmetic}}) {
    WriteJpeg("v.jpg", source, options);
    platform::RgbPicture reference;
    const std::vector<uint16_t> expected = ReferencePixels("v.jpg", &reference);
    Picture picture{};
    EXPECT_EQ(Loaded("v.jpg", &picture), expected);
  }
}

TEST_F(JpegLoaderTest, BlackStaysTheOnlyZero) {
  WriteJpeg("black.jpg", platform::RgbPicture{16, 16, Bytes(16 * 16 * 3, 0)}, {.quality = 100});
  Picture picture{};
  for (uint16_t pixel : Loaded("black.jpg", &picture)) ASSERT_EQ(pixel, 0);
  Bytes nearBlack;
  for (int i = 0; i < 16 * 16; ++i) nearBlack.insert(nearBlack.end(), {1, 2, 3});
  WriteJpeg("dark.jpg", platform::RgbPicture{16, 16, nearBlack}, {.quality = 100});
  platform::RgbPicture reference;
  ReferencePixels("dark.jpg", &reference);
  for (size_t i = 0; i < reference.rgb.size(); i += 3) {  // near black, never black
    ASSERT_NE(reference.rgb[i] | reference.rgb[i + 1] | reference.rgb[i + 2], 0);
    ASSERT_LT(reference.rgb[i] | reference.rgb[i + 1] | reference.rgb[i + 2], 8);
  }
  for (uint16_t pixel : Loaded("dark.jpg", &picture)) ASSERT_EQ(pixel, 1);
}

TEST_F(JpegLoaderTest, PictureFromTheArchiveLeavesNoTemporaryFile) {
  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(platform::EncodeJpeg(Stripes(9, 9), {}, &jpeg));
  WriteFile("varnel.rs", Archive({Stored("DATA/begcvr.jpg", jpeg)}));
  OpenResourceArchive();
  Picture picture{};
  EXPECT_EQ(Loaded("DATA/BEGCVR.JPG", &picture).size(), 81u);
  EXPECT_TRUE(TemporaryFilesHere().empty());
}

TEST_F(JpegLoaderDeathTest, UndecodableFilesNameTheRequestedPicture) {
  Picture picture{};
  EXPECT_EXIT(LoadJpegPicture("DATA/none.jpg", &picture), testing::ExitedWithCode(1),
              "ERROR: JPG loader error ! \\(DATA/none\\.jpg\\)");
  WriteFile("text.jpg", TextBytes("plainly not a picture"));
  EXPECT_EXIT(LoadJpegPicture("text.jpg", &picture), testing::ExitedWithCode(1),
              "ERROR: JPG loader error ! \\(text\\.jpg\\)");
  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(platform::EncodeJpeg(Stripes(64, 64), {}, &jpeg));
  jpeg.resize(jpeg.size() / 2);
  WriteFile("cut.jpg", jpeg);
  EXPECT_EXIT(LoadJpegPicture("cut.jpg", &picture), testing::ExitedWithCode(1),
              "ERROR: JPG loader error ! \\(cut\\.jpg\\)");
  WriteJpeg("cmyk.jpg", Stripes(8, 8), {.channels = 4});
  EXPECT_EXIT(LoadJpegPicture("cmyk.jpg", &picture), testing::ExitedWithCode(1),
              "ERROR: JPG loader error ! \\(cmyk\\.jpg\\)");
}

TEST_F(JpegLoaderDeathTest, TwelveBitFileIsRefused) {
  REQUIRE_TESTDATA(path, "jpeg/monkey12.jpg");
  Picture picture{};
  EXPECT_EXIT(LoadJpegPicture(path.c_str(), &picture), testing::ExitedWithCode(1),
              "ERROR: JPG loader error ! \\(.*/monkey12\\.jpg\\)");
}

TEST_F(FakeJpegLoaderTest, RowsArePaddedToFourBytesAndReadAsBlueGreenRed) {
  for (int width : {1, 2, 3, 4, 5}) {
    SCOPED_TRACE(width);
    Bytes rgb;
    for (int x = 0; x < width * 2; ++x)
      rgb.insert(rgb.end(), {static_cast<uint8_t>(8 * x), 0, 255});
    WriteFile("f.jpg", FakeJpegFile(width, 2, 3, rgb));
    Picture picture{};
    const std::vector<uint16_t> pixels = Loaded("f.jpg", &picture);
    EXPECT_EQ(fake_.lastOutput.padBytes, (4 - width * 3 % 4) % 4);
    EXPECT_EQ(fake_.lastOutput.sourceColor, platform::JpegColor::YCbCr);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(width * 2));
    for (int i = 0; i < width * 2; ++i) EXPECT_EQ(pixels[i], (i << 10) | 0x1F);
  }
}

TEST_F(FakeJpegLoaderTest, OneChannelIsDecodedAsGrey) {
  WriteFile("g.jpg", FakeJpegFile(2, 1, 1, Bytes{0, 0, 0, 1, 2, 3}));
  Picture picture{};
  EXPECT_EQ(Loaded("g.jpg", &picture), (std::vector<uint16_t>{0, 1}));
  EXPECT_EQ(fake_.lastOutput.sourceColor, platform::JpegColor::Grey);
}

TEST_F(FakeJpegLoaderDeathTest, ServiceFailuresAndAbsurdSizesAreFatal) {
  Picture picture{};
  WriteFile("odd.jpg", FakeJpegFile(1, 1, 4, Bytes{1, 2, 3}));
  EXPECT_EXIT(LoadJpegPicture("odd.jpg", &picture), testing::ExitedWithCode(1),
              "ERROR: JPG loader error ! \\(odd\\.jpg\\)");
  WriteFile("short.jpg", FakeJpegFile(4, 4, 3, Bytes{1, 2, 3}));
  EXPECT_EXIT(LoadJpegPicture("short.jpg", &picture), testing::ExitedWithCode(1),
              "ERROR: JPG loader error ! \\(short\\.jpg\\)");
  WriteFile("huge.jpg", FakeJpegFile(60000, 3, 3, Bytes{}));
  EXPECT_EXIT(LoadJpegPicture("huge.jpg", &picture), testing::ExitedWithCode(1),
              "ERROR: JPG - picture too large ! \\(huge\\.jpg: 60000 x 3\\)");
  WriteFile("big.jpg", FakeJpegFile(5000, 5000, 3, Bytes{}));
  EXPECT_EXIT(LoadJpegPicture("big.jpg", &picture), testing::ExitedWithCode(1),
              "ERROR: JPG - picture too large ! \\(big\\.jpg: 5000 x 5000\\)");
}

TEST_F(FakeJpegLoaderDeathTest, FailureDeletesTheTemporaryFileFirst) {
  WriteFile("varnel.rs", Archive({Stored("DATA/endcvr.jpg", TextBytes("no picture"))}));
  Picture picture{};
  EXPECT_EXIT(
      {
        // Runs before the archive's own clean-up, which is registered on opening.
        RegisterFatalShutdownStep([] {
          std::fprintf(stderr, "temporary files left: %zu\n", TemporaryFilesHere().size());
        });
        OpenResourceArchive();
        fake_.failWith = platform::kJpegBadData;
        LoadJpegPicture("DATA/endcvr.jpg", &picture);
      },
      testing::ExitedWithCode(1),
      "temporary files left: 0\n(.|\n)*ERROR: JPG loader error ! \\(DATA/endcvr\\.jpg\\)");
}

}  // namespace
