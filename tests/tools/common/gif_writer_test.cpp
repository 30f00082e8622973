// The authors' GIF writer against the reader's decoder and another program.
#include "tools/common/gif_writer.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "tests/support/scratch_dir.hpp"
#include "varnel/media/gif_decoder.hpp"

using namespace varnel;

using namespace testing_support;

namespace {

tools::IndexedPicture RandomPicture(int width, int height, int colours, unsigned seed, bool smooth) {
  tools::IndexedPicture picture;
  picture.width = width;
  picture.height = height;
  std::mt19937 random(seed);
  for (int i = 0; i < colours; ++i)
    for (int c = 0; c < 3; ++c) picture.palette.push_back(static_cast<uint8_t>(random()));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.indices.push_back(static_cast<uint8_t>(smooth ? ((x / 7 + y / 5) % colours) : random() % colours));
  return picture;
}

TEST(GifWriter, DecodesBackToTheSameIndicesAndPalette) {
  for (auto [w, h, colours, smooth] : {std::tuple{1, 1, 2, false}, {282, 19, 16, true}, {640, 480, 256, false},
                                       {333, 97, 5, true}, {64, 64, 2, false}, {300, 200, 128, true}}) {
    const tools::IndexedPicture picture = RandomPicture(w, h, colours, static_cast<unsigned>(w * h), smooth);
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(tools::EncodeGif(picture, &bytes, &error)) << error;
    IndexedImage image{};
    uint8_t palette[kGifPaletteBytes];
    ASSERT_EQ(DecodeGif(bytes.data(), static_cast<int32_t>(bytes.size()), &image, palette), 1) << w << "x" << h;
    EXPECT_EQ(image.width, w);
    EXPECT_EQ(image.height, h);
    EXPECT_EQ(std::vector<uint8_t>(image.pixels, image.pixels + w * h), picture.indices) << w << "x" << h;
    EXPECT_EQ(std::vector<uint8_t>(palette, palette + picture.palette.size()), picture.palette);
    std::free(image.pixels);
  }
}

class GifWriterFiles : public ScratchDirTest {};

TEST_F(GifWriterFiles, AnotherProgramReadsTheSamePixels) {
  const std::string convert = ImageMagickConvert();
  if (convert.empty()) GTEST_SKIP() << "ImageMagick is not installed";
  const tools::IndexedPicture picture = RandomPicture(250, 180, 64, 9, false);
  std::string error;
  ASSERT_TRUE(tools::WriteGif("p.gif", picture, &error)) << error;
  ASSERT_EQ(RunCommand(convert + " p.gif -depth 8 rgb:p.rgb"), 0);
  const Bytes rgb = ReadFile("p.rgb");
  ASSERT_EQ(rgb.size(), 250u * 180u * 3u);
  for (size_t i = 0; i < picture.indices.size(); ++i)
    for (int c = 0; c < 3; ++c)
      ASSERT_EQ(rgb[3 * i + c], picture.palette[3 * picture.indices[i] + c]) << i;
}

TEST(GifWriter, RefusesWhatTheFormatCannotHold) {
  std::vector<uint8_t> bytes;
  std::string error;
  tools::IndexedPicture picture = RandomPicture(2, 2, 4, 1, false);
  picture.indices[3] = 4;
  EXPECT_FALSE(tools::EncodeGif(picture, &bytes, &error));
  picture = RandomPicture(2, 2, 1, 1, false);
  EXPECT_FALSE(tools::EncodeGif(picture, &bytes, &error));
  picture = RandomPicture(0, 2, 4, 1, false);
  EXPECT_FALSE(tools::EncodeGif(picture, &bytes, &error));
}

}  // namespace
