// The capture's frame writer: files come out whole and in order although
// the caller's buffer changes at once, and a failed file stops the writing.
#include "marigold/frame_writer.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/png/png_service.hpp"
#include "tests/support/scratch_dir.hpp"

namespace marigold {
namespace {

constexpr int kWidth = 24;
constexpr int kHeight = 16;

std::vector<uint8_t> Decoded(const std::string& path) {
  platform::PngHeader header{};
  platform::PngMessage message{};
  if (platform::LibpngService().ReadHeader(path.c_str(), &header, &message) != platform::kPngOk)
    return {};
  std::vector<uint8_t> row(platform::PngRowBufferBytes(header));
  std::vector<uint8_t> picture;
  auto collect = [](void* context, uint32_t, const uint8_t* bytes) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), bytes, bytes + kWidth * 3);
  };
  platform::PngOutput output{header.width, header.height, row.data(), collect, &picture};
  if (platform::LibpngService().Decode(path.c_str(), output, &message) != platform::kPngOk)
    return {};
  return picture;
}

std::vector<uint8_t> Picture(uint8_t seed) {
  std::vector<uint8_t> rgb(kWidth * kHeight * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(seed + i * 7);
  return rgb;
}

class FrameWriterTest : public testing_support::ScratchDirTest {};

TEST_F(FrameWriterTest, EveryFrameIsWrittenAsItWasWhenQueued) {
  constexpr int kFrames = 12;
  std::vector<uint8_t> shown;
  {
    FrameWriter writer(kWidth, kHeight);
    for (int i = 0; i < kFrames; ++i) {
      shown = Picture(static_cast<uint8_t>(i * 31));
      ASSERT_TRUE(writer.Write(dir() + "/f" + std::to_string(i) + ".png", shown));
      shown.assign(shown.size(), 0xEE);  // the caller draws the next frame at once
    }
    ASSERT_TRUE(writer.Finish());
  }
  for (int i = 0; i < kFrames; ++i)
    EXPECT_EQ(Decoded(dir() + "/f" + std::to_string(i) + ".png"),
              Picture(static_cast<uint8_t>(i * 31)))
        << "frame " << i;
}

TEST_F(FrameWriterTest, AFileThatCannotBeWrittenStopsTheRest) {
  FrameWriter writer(kWidth, kHeight);
  const std::vector<uint8_t> rgb = Picture(1);
  const std::string missing = dir() + "/no such folder/f1.png";
  ASSERT_TRUE(writer.Write(dir() + "/f0.png", rgb));
  writer.Write(missing, rgb);
  EXPECT_FALSE(writer.Finish());
  EXPECT_EQ(writer.failedPath(), missing);
  EXPECT_FALSE(writer.Write(dir() + "/f2.png", rgb));
  EXPECT_FALSE(writer.Finish());
  EXPECT_TRUE(std::filesystem::exists(dir() + "/f0.png"));
  EXPECT_FALSE(std::filesystem::exists(dir() + "/f2.png"));
}

TEST_F(FrameWriterTest, QueuedFilesAreWrittenWhenTheWriterGoesAway) {
  {
    FrameWriter writer(kWidth, kHeight);
    ASSERT_TRUE(writer.Write(dir() + "/last.png", Picture(9)));
  }
  EXPECT_EQ(Decoded(dir() + "/last.png"), Picture(9));
}

}  // namespace
}  // namespace marigold
