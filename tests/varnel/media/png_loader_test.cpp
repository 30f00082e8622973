#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/jpeg/jpeg_reference.hpp"
#include "platform/png/png_service.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/varnel/media/archive_builder.hpp"
#include "varnel/media/picture.hpp"
#include "varnel/media/resource_archive.hpp"

using namespace varnel;

using namespace testing_support;

namespace {

// What a test PNG holds: rows of packed samples as the format stores them.
struct PngFile {
  uint32_t width = 1;
  uint32_t height = 1;
  int bitDepth = 8;
  int colorType = PNG_COLOR_TYPE_RGB;
  bool interlaced = false;
  std::vector<png_color> palette;
  std::vector<png_byte> transparency;  // palette alpha (tRNS)
  Bytes samples;                       // height rows of rowbytes each
};

Bytes EncodePng(const PngFile& file) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    ADD_FAILURE() << "libpng could not write the test file";
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t size) {
        auto* bytes = static_cast<Bytes*>(png_get_io_ptr(p));
        bytes->insert(bytes->end(), data, data + size);
      },
      nullptr);
  png_set_IHDR(png, info, file.width, file.height, file.bitDepth, file.colorType,
               file.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!file.palette.empty())
    png_set_PLTE(png, info, file.palette.data(), static_cast<int>(file.palette.size()));
  if (!file.transparency.empty())
    png_set_tRNS(png, info, file.transparency.data(), static_cast<int>(file.transparency.size()),
                 nullptr);
  png_write_info(png, info);
  const size_t rowBytes = file.samples.size() / file.height;
  std::vector<png_bytep> rows;
  for (uint32_t y = 0; y < file.height; ++y)
    rows.push_back(const_cast<png_bytep>(file.samples.data()) + rowBytes * y);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// libpng's decode by another road than the loader's: everything widened to
// 16 bits, alpha kept; the high bytes of R, G, B are what the loader shows.
std::vector<uint16_t> ReferencePixels(const std::string& path, uint32_t* width, uint32_t* height) {
  FILE* file = std::fopen(path.c_str(), "rb");
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<uint16_t> pixels;
  if (setjmp(png_jmpbuf(png))) {
    ADD_FAILURE() << "libpng cannot read " << path;
  } else {
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand_16(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    *width = png_get_image_width(png, info);
    *height = png_get_image_height(png, info);
    const size_t channels = png_get_channels(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_byte> data(rowBytes * *height);
    std::vector<png_bytep> rows;
    for (uint32_t y = 0; y < *height; ++y) rows.push_back(&data[y * rowBytes]);
    png_read_image(png, rows.data());
    for (size_t i = 0; i < data.size(); i += channels * 2)
      pixels.push_back(PackRgb555(data[i], data[i + 2], data[i + 4]));  // big-endian high bytes
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return pixels;
}

std::vector<uint16_t> Loaded(const std::string& name, Picture* picture) {
  *picture = Picture{};
  LoadPngPicture(name.c_str(), picture);
  std::vector<uint16_t> pixels(
      picture->pixels, picture->pixels + static_cast<size_t>(picture->width) * picture->height);
  std::free(picture->pixels);
  return pixels;
}

std::vector<uint16_t> Loaded(const std::string& name) {
  Picture picture{};
  return Loaded(name, &picture);
}

std::vector<std::string> PngSuiteFiles(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".png") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

uint32_t Crc(const Bytes& bytes, size_t from, size_t to) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = from; i < to; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

void AppendChunk(Bytes* png, const char* type, const Bytes& data) {
  for (int shift = 24; shift >= 0; shift -= 8)
    png->push_back(static_cast<uint8_t>(data.size() >> shift));
  const size_t start = png->size();
  png->insert(png->end(), type, type + 4);
  png->insert(png->end(), data.begin(), data.end());
  const uint32_t crc = Crc(*png, start, png->size());
  for (int shift = 24; shift >= 0; shift -= 8) png->push_back(static_cast<uint8_t>(crc >> shift));
}

// Offset of the first byte of the IDAT chunk's data.
size_t IdatData(const Bytes& png) {
  for (size_t i = 8; i + 8 <= png.size();) {
    const size_t length = png[i] << 24 | png[i + 1] << 16 | png[i + 2] << 8 | png[i + 3];
    if (std::string(png.begin() + i + 4, png.begin() + i + 8) == "IDAT") return i + 8;
    i += length + 12;
  }
  return 0;
}

PngFile NoisyRgb(uint32_t width, uint32_t height, bool interlaced) {
  PngFile file{.width = width, .height = height, .interlaced = interlaced};
  uint32_t seed = 12345;
  for (size_t i = 0; i < size_t{width} * height * 3; ++i) {
    seed = seed * 1103515245 + 12345;
    file.samples.push_back(static_cast<uint8_t>(seed >> 16));
  }
  return file;
}

class PngLoaderTest : public ScratchDirTest {
 protected:
  void TearDown() override {
    CloseResourceArchive();
    ScratchDirTest::TearDown();
  }
};
using PngLoaderDeathTest = PngLoaderTest;

TEST_F(PngLoaderTest, EveryPngSuitePictureMatchesLibpngsOwnDecode) {
  REQUIRE_TESTDATA(folder, "pngsuite");
  const std::vector<std::string> names = PngSuiteFiles(folder);
  ASSERT_GE(names.size(), 50u);
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    uint32_t width = 0, height = 0;
    const std::vector<uint16_t> expected = ReferencePixels(folder + "/" + name, &width, &height);
    Picture picture{};
    const std::vector<uint16_t> pixels = Loaded(folder + "/" + name, &picture);
    EXPECT_EQ(picture.width, static_cast<int32_t>(width));
    EXPECT_EQ(picture.height, static_cast<int32_t>(height));
    EXPECT_EQ(pixels, expected);
  }
}

TEST_F(PngLoaderTest, ColoursPackWithTheBlackRule) {
  WriteFile("c.png",
            EncodePng({.width = 4, .samples = {0, 0, 0, 1, 2, 3, 255, 255, 255, 8, 16, 24}}));
  Picture picture{};
  EXPECT_EQ(Loaded("c.png", &picture), (std::vector<uint16_t>{0, 1, 0x7FFF, 0x443}));
  EXPECT_EQ(picture.width, 4);
  EXPECT_EQ(picture.height, 1);
}

TEST_F(PngLoaderTest, AlphaAndTransparencyAreDroppedNotComposited) {
  WriteFile("ga.png", EncodePng({.width = 2,
                                 .colorType = PNG_COLOR_TYPE_GRAY_ALPHA,
                                 .samples = {200, 0, 40, 255}}));
  EXPECT_EQ(Loaded("ga.png"),
            (std::vector<uint16_t>{PackRgb555(200, 200, 200), PackRgb555(40, 40, 40)}));
  WriteFile("rgba.png", EncodePng({.colorType = PNG_COLOR_TYPE_RGBA, .samples = {10, 20, 30, 0}}));
  EXPECT_EQ(Loaded("rgba.png"), std::vector<uint16_t>{PackRgb555(10, 20, 30)});
  // A palette entry that tRNS makes fully transparent still shows its colour.
  WriteFile("p.png", EncodePng({.width = 2,
                                .colorType = PNG_COLOR_TYPE_PALETTE,
                                .palette = {{255, 0, 0}, {0, 0, 255}},
                                .transparency = {0, 255},
                                .samples = {0, 1}}));
  EXPECT_EQ(Loaded("p.png"), (std::vector<uint16_t>{0x7C00, 0x001F}));
}

TEST_F(PngLoaderTest, DepthsOtherThanEightComeToEightBits) {
  // 16 bits keep the high byte: 0x12FF has top five bits 00010.
  WriteFile("16.png", EncodePng({.bitDepth = 16, .samples = {0x12, 0xFF, 0xFF, 0x00, 0x00, 0x08}}));
  EXPECT_EQ(Loaded("16.png"), std::vector<uint16_t>{PackRgb555(0x12, 0xFF, 0x00)});
  // 2-bit grey 0, 1, 2, 3 widen to 0, 85, 170, 255.
  WriteFile(
      "g2.png",
      EncodePng({.width = 4, .bitDepth = 2, .colorType = PNG_COLOR_TYPE_GRAY, .samples = {0x1B}}));
  EXPECT_EQ(Loaded("g2.png"),
            (std::vector<uint16_t>{0, PackRgb555(85, 85, 85), PackRgb555(170, 170, 170), 0x7FFF}));
  // A 1-bit palette picture.
  WriteFile("p1.png", EncodePng({.width = 3,
                                 .bitDepth = 1,
                                 .colorType = PNG_COLOR_TYPE_PALETTE,
                                 .palette = {{0, 0, 0}, {0, 255, 0}},
                                 .samples = {0xA0}}));
  EXPECT_EQ(Loaded("p1.png"), (std::vector<uint16_t>{0x03E0, 0, 0x03E0}));
}

TEST_F(PngLoaderTest, InterlacedFileGivesTheSamePixelsAsAPlainOne) {
  WriteFile("plain.png", EncodePng(NoisyRgb(13, 7, false)));
  WriteFile("adam7.png", EncodePng(NoisyRgb(13, 7, true)));
  const std::vector<uint16_t> plain = Loaded("plain.png");
  EXPECT_EQ(Loaded("adam7.png"), plain);
  const PngFile source = NoisyRgb(13, 7, false);
  for (size_t i = 0; i < plain.size(); ++i)
    ASSERT_EQ(plain[i], PackRgb555(source.samples[3 * i], source.samples[3 * i + 1],
                                   source.samples[3 * i + 2]));
}

TEST_F(PngLoaderTest, PictureFromTheArchiveLeavesNoTemporaryFile) {
  WriteFile("varnel.rs", Archive({Stored("DATA/panel0.png", EncodePng(NoisyRgb(5, 3, false)))}));
  OpenResourceArchive();
  EXPECT_EQ(Loaded("data\\PANEL0.png").size(), 15u);
  EXPECT_TRUE(TemporaryFilesHere().empty());
}

TEST_F(PngLoaderDeathTest, FilesThatAreNotPngEndWithTheFormatError) {
  std::vector<uint8_t> jpeg;
  platform::RgbPicture source{8, 8, Bytes(8 * 8 * 3, 100)};
  ASSERT_TRUE(platform::EncodeJpeg(source, {}, &jpeg));
  WriteFile("photo.png", jpeg);
  WriteFile("short.png", Bytes{0x89, 'P', 'N', 'G'});
  Picture picture{};
  EXPECT_EXIT(LoadPngPicture("photo.png", &picture), testing::ExitedWithCode(1),
              "ERROR: PNG - format error !");
  EXPECT_EXIT(LoadPngPicture("short.png", &picture), testing::ExitedWithCode(1),
              "ERROR: PNG - format error !");
  EXPECT_EXIT(LoadPngPicture("DATA/none.png", &picture), testing::ExitedWithCode(1),
              "ERROR: Load PNG Error - file: DATA/none.png \n");
}

TEST_F(PngLoaderDeathTest, DamageAfterTheSignatureNamesTheFile) {
  const Bytes good = EncodePng(NoisyRgb(40, 30, false));
  const size_t idat = IdatData(good);
  ASSERT_GT(idat, 0u);
  const size_t idatLength = good[idat - 6] << 8 | good[idat - 5];
  Bytes badCrc = good;
  badCrc[idat + idatLength] ^= 0x55;
  WriteFile("crc.png", badCrc);
  Bytes badData = good;
  badData[idat + 10] ^= 0x55;
  WriteFile("data.png", badData);
  WriteFile("cut.png", Bytes(good.begin(), good.begin() + static_cast<long>(idat) + 100));
  Bytes badIhdr = good;
  badIhdr[8 + 8 + 8] = 3;  // bit depth 3 does not exist
  WriteFile("ihdr.png", badIhdr);
  Picture picture{};
  EXPECT_EXIT(LoadPngPicture("crc.png", &picture), testing::ExitedWithCode(1),
              "ERROR: PNG - data error ! \\(crc\\.png: IDAT: CRC error\\)");
  EXPECT_EXIT(LoadPngPicture("data.png", &picture), testing::ExitedWithCode(1),
              "ERROR: PNG - data error ! \\(data\\.png: .+\\)");
  EXPECT_EXIT(LoadPngPicture("cut.png", &picture), testing::ExitedWithCode(1),
              "ERROR: PNG - data error ! \\(cut\\.png: .+\\)");
  EXPECT_EXIT(LoadPngPicture("ihdr.png", &picture), testing::ExitedWithCode(1),
              "ERROR: PNG - data error ! \\(ihdr\\.png: .+\\)");
}

TEST_F(PngLoaderDeathTest, AbsurdSizesAreRefusedBeforeAllocating) {
  const auto header = [](uint32_t width, uint32_t height) {
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    for (uint32_t value : {width, height})
      for (int shift = 24; shift >= 0; shift -= 8)
        ihdr.push_back(static_cast<uint8_t>(value >> shift));
    ihdr.insert(ihdr.end(), {8, PNG_COLOR_TYPE_RGB, 0, 0, 0});
    AppendChunk(&png, "IHDR", ihdr);
    AppendChunk(&png, "IDAT", Bytes{0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    AppendChunk(&png, "IEND", Bytes{});
    return png;
  };
  WriteFile("wide.png", header(20000, 1));
  WriteFile("big.png", header(5000, 5000));
  Picture picture{};
  EXPECT_EXIT(LoadPngPicture("wide.png", &picture), testing::ExitedWithCode(1),
              "ERROR: PNG - picture too large ! \\(wide\\.png: 20000 x 1\\)");
  EXPECT_EXIT(LoadPngPicture("big.png", &picture), testing::ExitedWithCode(1),
              "ERROR: PNG - picture too large ! \\(big\\.png: 5000 x 5000\\)");
}

// The loader's side of the service, with the fake: rows packed as they come,
// and a result the service refuses ends with the loader's own message.
class FakePngLoaderTest : public PngLoaderTest {
 protected:
  void SetUp() override {
    PngLoaderTest::SetUp();
    fake_ = platform::FakePngService{};
    platform::SetPngService(&fake_);
  }
  void TearDown() override {
    platform::SetPngService(&platform::LibpngService());
    PngLoaderTest::TearDown();
  }
  static Bytes FakeFile(int width, int height, bool interlaced, const Bytes& rgb) {
    Bytes file = {'F', 'P', 'N', 'G', static_cast<uint8_t>(width), 0, static_cast<uint8_t>(height),
                  0, static_cast<uint8_t>(interlaced)};
    file.insert(file.end(), rgb.begin(), rgb.end());
    return file;
  }
  platform::FakePngService fake_;
};
using FakePngLoaderDeathTest = FakePngLoaderTest;

TEST_F(FakePngLoaderTest, RowsArePackedInOrderPlainOrInterlaced) {
  const Bytes rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0};
  for (bool interlaced : {false, true}) {
    WriteFile("fake.png", FakeFile(2, 2, interlaced, rgb));
    EXPECT_EQ(Loaded("fake.png"), (std::vector<uint16_t>{0x7C00, 0x03E0, 0x001F, 0}));
  }
  EXPECT_EQ(fake_.headerCalls, 2);
  EXPECT_EQ(fake_.decodeCalls, 2);
}

TEST_F(FakePngLoaderDeathTest, EveryRefusalHasTheLoadersMessage) {
  WriteFile("any.png", FakeFile(1, 1, false, {1, 2, 3}));
  Picture picture{};
  fake_.failWith = platform::kPngUnsupported;
  EXPECT_EXIT(LoadPngPicture("any.png", &picture), testing::ExitedWithCode(1),
              "ERROR: Unsupported PNG \\(alpha\\)\\.");
  fake_.failWith = platform::kPngBadData;
  fake_.failText = "bad rows";
  EXPECT_EXIT(LoadPngPicture("any.png", &picture), testing::ExitedWithCode(1),
              "ERROR: PNG - data error ! \\(any\\.png: bad rows\\)");
  fake_.failText = "";
  EXPECT_EXIT(LoadPngPicture("any.png", &picture), testing::ExitedWithCode(1),
              "ERROR: PNG - data error ! \\(any\\.png: out of memory\\)");
}

}  // namespace
