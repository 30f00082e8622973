// chipdat as a user runs it: pack, list and extract round trips, and every
// failure reported with the reader's message and exit status 1.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>

#include "chipdisk/data/chip_data_reader.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/tool_runner.hpp"
#include "tools/chipdat/png_io.hpp"

using namespace testing_support;

namespace {

ToolResult Chipdat(const std::vector<std::string>& args) { return RunTool(CHIPDAT_PATH, args); }

// Writes any PNG colour type libpng knows, 8 bits per channel unless told.
void WritePng(const std::string& path, uint32_t width, uint32_t height, int colorType,
              const Bytes& pixels, int depth = 8, int paletteSize = 0) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, depth, colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette(static_cast<std::size_t>(paletteSize));
  for (int i = 0; i < paletteSize; ++i)
    palette[static_cast<std::size_t>(i)] = {static_cast<png_byte>(i * 3),
                                            static_cast<png_byte>(255 - i), 40};
  if (paletteSize > 0) png_set_PLTE(png, info, palette.data(), paletteSize);
  png_write_info(png, info);
  const std::size_t rowBytes = pixels.size() / height;
  for (uint32_t y = 0; y < height; ++y) png_write_row(png, pixels.data() + y * rowBytes);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

chipdat::PlaneImage ReadBack(const std::string& path) {
  chipdat::PlaneImage image;
  std::string error;
  EXPECT_TRUE(chipdat::ReadPlanePng(path, image, error)) << error;
  return image;
}

Bytes Pattern(std::size_t size, unsigned seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<uint8_t>((i / 7 % 3 == 0) ? 200 + seed : (i * 37 + seed) % 251);
  return bytes;
}

using ChipdatTest = ScratchDirTest;

TEST_F(ChipdatTest, PackListExtractRoundTrip) {
  const Bytes grey = Pattern(70 * 9, 1);
  const Bytes rgb = Pattern(33 * 20 * 3, 2);
  Bytes indices(16 * 4);
  for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i * 4 % 256);
  WritePng("grey.png", 70, 9, PNG_COLOR_TYPE_GRAY, grey);
  WritePng("rgb.png", 33, 20, PNG_COLOR_TYPE_RGB, rgb);
  WritePng("palette.png", 16, 4, PNG_COLOR_TYPE_PALETTE, indices, 8, 256);

  ToolResult pack = Chipdat({"pack", "-o", "chip.dat", "grey.png", "rgb.png", "palette.png"});
  ASSERT_EQ(pack.status, 0) << pack.err;

  ToolResult list = Chipdat({"list", "chip.dat"});
  ASSERT_EQ(list.status, 0) << list.err;
  std::vector<chipdisk::ChipDirectoryEntry> entries;
  ASSERT_TRUE(chipdisk::ReadChipDirectory("chip.dat", entries).ok());
  ASSERT_EQ(entries.size(), 3u);
  const std::string expected = "0\toffset 28\tsize " + std::to_string(entries[0].size) +
                               "\t70 x 9\t1 plane\n" + "1\toffset " +
                               std::to_string(entries[1].offset) + "\tsize " +
                               std::to_string(entries[1].size) + "\t33 x 20\t3 planes\n" +
                               "2\toffset " + std::to_string(entries[2].offset) + "\tsize " +
                               std::to_string(entries[2].size) + "\t16 x 4\t1 plane\n";
  EXPECT_EQ(list.out, expected);

  for (const char* index : {"0", "1", "2"}) {
    ToolResult extract =
        Chipdat({"extract", "chip.dat", index, "-o", std::string("out") + index + ".png"});
    ASSERT_EQ(extract.status, 0) << extract.err;
  }
  chipdat::PlaneImage out0 = ReadBack("out0.png");
  EXPECT_EQ(out0.planes, 1u);
  EXPECT_EQ(out0.pixels, grey);
  chipdat::PlaneImage out1 = ReadBack("out1.png");
  EXPECT_EQ(out1.width, 33u);
  EXPECT_EQ(out1.planes, 3u);
  EXPECT_EQ(out1.pixels, rgb);
  // A palette picture comes back as grey with its indices as the values.
  chipdat::PlaneImage out2 = ReadBack("out2.png");
  EXPECT_EQ(out2.planes, 1u);
  EXPECT_EQ(out2.pixels, indices);
}

TEST_F(ChipdatTest, LowDepthPaletteKeepsItsIndices) {
  // 4-bit indices, two per byte: 0x12 0x3F -> 1 2 3 15.
  WritePng("p4.png", 4, 1, PNG_COLOR_TYPE_PALETTE, Bytes{0x12, 0x3F}, 4, 16);
  ASSERT_EQ(Chipdat({"pack", "-o", "chip.dat", "p4.png"}).status, 0);
  ASSERT_EQ(Chipdat({"extract", "chip.dat", "0", "-o", "out.png"}).status, 0);
  EXPECT_EQ(ReadBack("out.png").pixels, (Bytes{1, 2, 3, 15}));
}

TEST_F(ChipdatTest, LiteralAbove192IsCodedAsARunOfOne) {
  WritePng("g.png", 4, 1, PNG_COLOR_TYPE_GRAY, Bytes{5, 200, 192, 193});
  ASSERT_EQ(Chipdat({"pack", "-o", "chip.dat", "g.png"}).status, 0);
  Bytes buffer(chipdisk::kFileBufferSize);
  uint32_t size = 0;
  ASSERT_TRUE(chipdisk::ReadChipEntry(0, "chip.dat", buffer, size).ok());
  const Bytes coded(buffer.begin() + 128, buffer.begin() + 134);
  EXPECT_EQ(coded, (Bytes{5, 0xC1, 200, 192, 0xC1, 193}));
}

TEST_F(ChipdatTest, LongRunsSplitAt63) {
  WritePng("g.png", 130, 1, PNG_COLOR_TYPE_GRAY, Bytes(130, 9));
  ASSERT_EQ(Chipdat({"pack", "-o", "chip.dat", "g.png"}).status, 0);
  Bytes buffer(chipdisk::kFileBufferSize);
  uint32_t size = 0;
  ASSERT_TRUE(chipdisk::ReadChipEntry(0, "chip.dat", buffer, size).ok());
  const Bytes coded(buffer.begin() + 128, buffer.begin() + 134);
  EXPECT_EQ(coded, (Bytes{0xFF, 9, 0xFF, 9, 0xC4, 9}));
}

TEST_F(ChipdatTest, ReaderFailuresExitOneWithItsMessage) {
  WritePng("g.png", 2, 2, PNG_COLOR_TYPE_GRAY, Bytes{1, 2, 3, 4});
  ASSERT_EQ(Chipdat({"pack", "-o", "chip.dat", "g.png"}).status, 0);

  ToolResult beyond = Chipdat({"extract", "chip.dat", "1", "-o", "out.png"});
  EXPECT_EQ(beyond.status, 1);
  EXPECT_NE(beyond.err.find("chip.dat has 1 entries; entry 1 does not exist"), std::string::npos)
      << beyond.err;
  EXPECT_FALSE(FileExists("out.png"));

  ToolResult missing = Chipdat({"list", "none.dat"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.dat"), std::string::npos) << missing.err;

  Bytes damaged = ReadFile("chip.dat");
  damaged.resize(damaged.size() - 1);
  WriteFile("damaged.dat", damaged);
  ToolResult cut = Chipdat({"list", "damaged.dat"});
  EXPECT_EQ(cut.status, 1);
  EXPECT_NE(cut.err.find("runs past the end"), std::string::npos) << cut.err;

  // The directory is intact but the coded data is one byte short.
  damaged = ReadFile("chip.dat");
  damaged[8] = static_cast<uint8_t>(128 + 2);  // size: header and two codes
  damaged[9] = 0;
  WriteFile("short.dat", damaged);
  ToolResult early = Chipdat({"extract", "short.dat", "0", "-o", "out.png"});
  EXPECT_EQ(early.status, 1);
  EXPECT_NE(early.err.find("ends early"), std::string::npos) << early.err;
}

TEST_F(ChipdatTest, PackRefusesWhatThePlayerCannotLoad) {
  WritePng("rgba.png", 2, 1, PNG_COLOR_TYPE_RGBA, Bytes(8, 1));
  ToolResult alpha = Chipdat({"pack", "-o", "chip.dat", "rgba.png"});
  EXPECT_EQ(alpha.status, 1);
  EXPECT_NE(alpha.err.find("alpha"), std::string::npos) << alpha.err;
  EXPECT_FALSE(FileExists("chip.dat"));

  WritePng("big.png", 700, 500, PNG_COLOR_TYPE_RGB, Bytes(700 * 500 * 3, 1));
  ToolResult big = Chipdat({"pack", "-o", "chip.dat", "big.png"});
  EXPECT_EQ(big.status, 1);
  EXPECT_NE(big.err.find("decode buffer"), std::string::npos) << big.err;

  WriteFile("text.png", std::string("not a picture"));
  ToolResult notPng = Chipdat({"pack", "-o", "chip.dat", "text.png"});
  EXPECT_EQ(notPng.status, 1);
  EXPECT_NE(notPng.err.find("text.png is not a PNG file"), std::string::npos) << notPng.err;

  EXPECT_EQ(Chipdat({"pack", "-o", "chip.dat", "absent.png"}).status, 1);
  EXPECT_EQ(Chipdat({"extract", "chip.dat", "x", "-o", "o.png"}).status, 1);
  EXPECT_EQ(Chipdat({"frobnicate"}).status, 1);
  EXPECT_FALSE(FileExists("chip.dat"));
}

}  // namespace

#ifdef CHIPDISK_SAMPLE_DIR
namespace {

// Every picture of the sample disk extracted and packed again gives the same
// data file, byte for byte.
TEST_F(ChipdatTest, SampleDiskRepacksToTheSameBytes) {
  const std::string disk = std::string(CHIPDISK_SAMPLE_DIR) + "/data/chip.dat";
  std::vector<std::string> pack{"pack", "-o", "again.dat"};
  for (int i = 0; i < 6; ++i) {
    const std::string picture = "entry" + std::to_string(i) + ".png";
    ToolResult extract = Chipdat({"extract", disk, std::to_string(i), "-o", picture});
    ASSERT_EQ(extract.status, 0) << extract.err;
    pack.push_back(picture);
  }
  ToolResult again = Chipdat(pack);
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(ReadFile("again.dat"), ReadFile(disk));
}

}  // namespace
#endif
