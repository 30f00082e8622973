#include "platform/png/png_service.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/scratch_dir.hpp"

using namespace testing_support;

namespace {

struct Decoded {
  int status;
  std::vector<uint8_t> rgb;
  std::vector<uint32_t> rowOrder;
  std::string message;
};

void KeepRow(void* context, uint32_t y, const uint8_t* row) {
  auto* decoded = static_cast<Decoded*>(context);
  decoded->rowOrder.push_back(y);
  const size_t rowBytes = decoded->rgb.size() / 2;  // the tests' pictures are 2 rows high
  std::copy(row, row + rowBytes, decoded->rgb.begin() + rowBytes * y);
}

Decoded Decode(platform::PngService& service, const std::string& path, uint32_t width, uint32_t height) {
  platform::PngHeader header{width, height, true};
  Decoded decoded{0, std::vector<uint8_t>(size_t{width} * height * 3), {}, {}};
  std::vector<uint8_t> rows(platform::PngRowBufferBytes(header));
  platform::PngMessage message{};
  decoded.status = service.Decode(path.c_str(), {width, height, rows.data(), KeepRow, &decoded}, &message);
  decoded.message = message.text;
  return decoded;
}

const std::vector<uint8_t> kPixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 8, 7};

class PngServiceTest : public ScratchDirTest {};

TEST_F(PngServiceTest, WrittenFileReadsBackRowByRow) {
  ASSERT_EQ(platform::WritePngFile("two.png", 2, 2, kPixels.data()), platform::kPngOk);
  platform::PngHeader header{};
  platform::PngMessage message{};
  ASSERT_EQ(platform::LibpngService().ReadHeader("two.png", &header, &message), platform::kPngOk);
  EXPECT_EQ(header.width, 2u);
  EXPECT_EQ(header.height, 2u);
  EXPECT_FALSE(header.interlaced);
  const Decoded decoded = Decode(platform::LibpngService(), "two.png", 2, 2);
  EXPECT_EQ(decoded.status, platform::kPngOk);
  EXPECT_EQ(decoded.rgb, kPixels);
  EXPECT_EQ(decoded.rowOrder, (std::vector<uint32_t>{0, 1}));
}

TEST_F(PngServiceTest, FastCompressionLosesNothing) {
  // A noisy gradient two rows high (the rows the helper keeps).
  constexpr int kWidth = 512;
  constexpr int kHeight = 2;
  std::vector<uint8_t> rgb(kWidth * kHeight * 3);
  uint32_t noise = 12345;
  for (size_t i = 0; i < rgb.size(); ++i) {
    noise = noise * 1103515245u + 12345u;
    rgb[i] = static_cast<uint8_t>(i / 3 % kWidth / 2 + (noise >> 28));
  }
  ASSERT_EQ(platform::WritePngFile("fast.png", kWidth, kHeight, rgb.data(),
                                   platform::PngCompression::Fast),
            platform::kPngOk);
  ASSERT_EQ(platform::WritePngFile("small.png", kWidth, kHeight, rgb.data()), platform::kPngOk);
  EXPECT_EQ(Decode(platform::LibpngService(), "fast.png", kWidth, kHeight).rgb, rgb);
  EXPECT_EQ(Decode(platform::LibpngService(), "small.png", kWidth, kHeight).rgb, rgb);
  EXPECT_NE(ReadFile("fast.png"), ReadFile("small.png"));
}

TEST_F(PngServiceTest, FailuresAreStatusesWithTheDecodersText) {
  platform::PngHeader header{};
  platform::PngMessage message{};
  auto& libpng = platform::LibpngService();
  EXPECT_EQ(libpng.ReadHeader("missing.png", &header, &message), platform::kPngCannotOpen);
  WriteFile("text.png", std::string("not a picture at all"));
  EXPECT_EQ(libpng.ReadHeader("text.png", &header, &message), platform::kPngNotPng);

  ASSERT_EQ(platform::WritePngFile("cut.png", 2, 2, kPixels.data()), platform::kPngOk);
  Bytes cut = ReadFile("cut.png");
  cut.resize(20);  // inside the header chunk
  WriteFile("cut.png", cut);
  EXPECT_EQ(libpng.ReadHeader("cut.png", &header, &message), platform::kPngBadData);
  EXPECT_NE(std::string(message.text), "");
}

TEST_F(PngServiceTest, OutputOfTheWrongSizeIsRefused) {
  ASSERT_EQ(platform::WritePngFile("two.png", 2, 2, kPixels.data()), platform::kPngOk);
  EXPECT_EQ(Decode(platform::LibpngService(), "two.png", 3, 2).status, platform::kPngBadOutput);
}

TEST_F(PngServiceTest, WriterReportsAFileItCannotCreate) {
  EXPECT_EQ(platform::WritePngFile("no/such/folder/x.png", 2, 2, kPixels.data()),
            platform::kPngCannotOpen);
}

TEST_F(PngServiceTest, FakeReadsItsOwnFormatAndCanBeToldToFail) {
  const char header9[] = {'F', 'P', 'N', 'G', 2, 0, 2, 0, 1};
  WriteFile("fake.png", std::string(header9, sizeof header9) + std::string(kPixels.begin(), kPixels.end()));
  platform::FakePngService fake;
  platform::PngHeader header{};
  platform::PngMessage message{};
  ASSERT_EQ(fake.ReadHeader("fake.png", &header, &message), platform::kPngOk);
  EXPECT_TRUE(header.interlaced);
  const Decoded decoded = Decode(fake, "fake.png", 2, 2);
  EXPECT_EQ(decoded.status, platform::kPngOk);
  EXPECT_EQ(decoded.rgb, kPixels);
  fake.failWith = platform::kPngBadData;
  fake.failText = "broken";
  EXPECT_EQ(Decode(fake, "fake.png", 2, 2).message, "broken");
  EXPECT_EQ(fake.headerCalls, 1);
  EXPECT_EQ(fake.decodeCalls, 2);
}

}  // namespace
