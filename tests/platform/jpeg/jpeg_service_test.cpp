#include "platform/jpeg/jpeg_service.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/jpeg/jpeg_reference.hpp"
#include "tests/support/scratch_dir.hpp"

using namespace testing_support;

namespace {

platform::RgbPicture Gradient(int32_t width, int32_t height) {
  platform::RgbPicture picture{width, height, {}};
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      picture.rgb.insert(picture.rgb.end(), {static_cast<uint8_t>(x * 255 / width),
                                             static_cast<uint8_t>(y * 255 / height), 200});
  return picture;
}

std::vector<uint8_t> Encoded(const platform::RgbPicture& picture,
                             const platform::JpegEncodeOptions& options = {}) {
  std::vector<uint8_t> jpeg;
  EXPECT_TRUE(platform::EncodeJpeg(picture, options, &jpeg));
  return jpeg;
}

class LibjpegServiceTest : public ScratchDirTest {
 protected:
  platform::JpegService& jpeg = platform::LibjpegService();

  int Decode(const std::string& path, platform::JpegColor color, int32_t width, int32_t height,
             int32_t pad, std::vector<uint8_t>* bytes) {
    bytes->assign(static_cast<size_t>(width * 3 + pad) * height, 0xAA);
    return jpeg.Decode(path.c_str(), {color, width, height, pad, bytes->data()});
  }
};

TEST_F(LibjpegServiceTest, HeaderTellsSizeAndChannels) {
  WriteFile("rgb.jpg", Encoded(Gradient(33, 17)));
  WriteFile("grey.jpg", Encoded(Gradient(5, 6), {.channels = 1}));
  WriteFile("cmyk.jpg", Encoded(Gradient(7, 8), {.channels = 4}));
  platform::JpegHeader header{};
  ASSERT_EQ(jpeg.ReadHeader("rgb.jpg", &header), platform::kJpegOk);
  EXPECT_EQ(header.width, 33);
  EXPECT_EQ(header.height, 17);
  EXPECT_EQ(header.channels, 3);
  ASSERT_EQ(jpeg.ReadHeader("grey.jpg", &header), platform::kJpegOk);
  EXPECT_EQ(header.channels, 1);
  ASSERT_EQ(jpeg.ReadHeader("cmyk.jpg", &header), platform::kJpegOk);
  EXPECT_EQ(header.channels, 4);
}

TEST_F(LibjpegServiceTest, RowsComeAsBlueGreenRedAndPadBytesStayUntouched) {
  const platform::RgbPicture source = Gradient(41, 9);
  const std::vector<uint8_t> file = Encoded(source);
  WriteFile("g.jpg", file);
  platform::RgbPicture reference;
  ASSERT_TRUE(platform::DecodeJpegToRgb(file.data(), file.size(), &reference));
  std::vector<uint8_t> bytes;
  ASSERT_EQ(Decode("g.jpg", platform::JpegColor::YCbCr, 41, 9, 5, &bytes), platform::kJpegOk);
  const size_t stride = 41 * 3 + 5;
  for (size_t y = 0; y < 9; ++y) {
    for (size_t x = 0; x < 41; ++x)
      for (size_t c = 0; c < 3; ++c)
        ASSERT_EQ(bytes[y * stride + 3 * x + c], reference.rgb[(y * 41 + x) * 3 + 2 - c]);
    for (size_t p = 41 * 3; p < stride; ++p) ASSERT_EQ(bytes[y * stride + p], 0xAA);
  }
}

TEST_F(LibjpegServiceTest, ErrorsComeBackAsCodes) {
  std::vector<uint8_t> file = Encoded(Gradient(64, 48));
  WriteFile("good.jpg", file);
  WriteFile("text.jpg", std::string("no jpeg here"));
  WriteFile("empty.jpg", Bytes{});
  WriteFile("cut.jpg", Bytes(file.begin(), file.begin() + static_cast<long>(file.size() / 2)));
  WriteFile("cmyk.jpg", Encoded(Gradient(8, 8), {.channels = 4}));
  std::vector<uint8_t> bytes;
  platform::JpegHeader header{};
  using platform::JpegColor;
  EXPECT_EQ(jpeg.ReadHeader("missing.jpg", &header), platform::kJpegCannotOpen);
  EXPECT_EQ(jpeg.ReadHeader("text.jpg", &header), platform::kJpegBadData);
  EXPECT_EQ(jpeg.ReadHeader("empty.jpg", &header), platform::kJpegBadData);
  EXPECT_EQ(Decode("cut.jpg", JpegColor::YCbCr, 64, 48, 0, &bytes), platform::kJpegBadData);
  EXPECT_EQ(Decode("good.jpg", JpegColor::YCbCr, 63, 48, 0, &bytes), platform::kJpegBadOutput);
  EXPECT_EQ(Decode("good.jpg", JpegColor::Grey, 64, 48, 0, &bytes), platform::kJpegUnsupported);
  EXPECT_EQ(Decode("cmyk.jpg", JpegColor::Other, 8, 8, 0, &bytes), platform::kJpegUnsupported);
  EXPECT_EQ(Decode("good.jpg", JpegColor::YCbCr, 64, 48, 0, &bytes), platform::kJpegOk);
}

TEST_F(LibjpegServiceTest, TwelveBitSamplesAreUnsupported) {
  REQUIRE_TESTDATA(path, "jpeg/monkey12.jpg");
  platform::JpegHeader header{};
  EXPECT_EQ(jpeg.ReadHeader(path.c_str(), &header), platform::kJpegUnsupported);
}

TEST_F(LibjpegServiceTest, RepairableDamageDecodesSilently) {
  // Stray bytes before the end marker: libjpeg warns and goes on.
  std::vector<uint8_t> file = Encoded(Gradient(16, 16));
  file.insert(file.end() - 2, {0x12, 0x34, 0x56});
  WriteFile("stray.jpg", file);
  std::vector<uint8_t> bytes;
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  const int status = Decode("stray.jpg", platform::JpegColor::YCbCr, 16, 16, 0, &bytes);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(status, platform::kJpegOk);
}

}  // namespace
