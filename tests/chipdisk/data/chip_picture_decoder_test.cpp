// The run-length decoder: run forms, plane layout, and damaged coded data.
#include <gtest/gtest.h>

#include "chipdisk/data/chip_data_reader.hpp"
#include "tests/chipdisk/data/chip_data_builder.hpp"

using namespace chipdisk;
using chipdisk_test::Bytes;
using chipdisk_test::Pcx;

namespace {

constexpr uint8_t kGuard = 0xEE;

// Decodes into a buffer of exactly `room` bytes followed by guard bytes.
struct Decoded {
  ChipDataStatus status;
  ChipDataReader reader;
  Bytes bytes;
  bool guardIntact = true;
};

Decoded Decode(const Bytes& coded, std::size_t room) {
  Decoded result;
  Bytes buffer(room + 16, kGuard);
  result.status = DecodeChipPicture(result.reader, coded, {buffer.data(), room});
  for (std::size_t i = room; i < buffer.size(); ++i)
    if (buffer[i] != kGuard) result.guardIntact = false;
  result.bytes.assign(buffer.begin(), buffer.begin() + static_cast<long>(room));
  return result;
}

TEST(ChipPictureDecoder, RunFormsAndTheLiteral0xC0) {
  // 0xC1 writes one byte, 0xFF writes 63, 0xC0 is a literal, 0xC1 0xC8 writes 0xC8.
  Bytes coded{0xC1, 7, 0xFF, 9, 0xC0, 0xC1, 0xC8, 5};
  Decoded d = Decode(Pcx(67, 1, 1, coded), 67);
  ASSERT_TRUE(d.status.ok()) << d.status.message;
  EXPECT_EQ(d.reader.width, 67u);
  EXPECT_EQ(d.reader.height, 1u);
  EXPECT_EQ(d.reader.planes, 1u);
  Bytes expected{7};
  expected.insert(expected.end(), 63, 9);
  expected.insert(expected.end(), {0xC0, 0xC8, 5});
  EXPECT_EQ(d.bytes, expected);
}

TEST(ChipPictureDecoder, PlaneCountGivesTheDecodedSize) {
  Decoded one = Decode(Pcx(3, 2, 1, Bytes{1, 2, 3, 4, 5, 6}), 6);
  ASSERT_TRUE(one.status.ok());
  EXPECT_EQ(one.bytes, (Bytes{1, 2, 3, 4, 5, 6}));
  // Any plane count other than 1 means three.
  Decoded three = Decode(Pcx(2, 1, 4, Bytes{1, 2, 3, 4, 5, 6}), 6);
  ASSERT_TRUE(three.status.ok());
  EXPECT_EQ(three.reader.planes, 3u);
  EXPECT_EQ(three.bytes, (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST(ChipPictureDecoder, InterleavesRedGreenBlueRowsToBlueGreenRedPixels) {
  // Two rows of two pixels: R R G G B B per row.
  const Bytes planar{1, 2, 11, 12, 21, 22, 3, 4, 13, 14, 23, 24};
  Bytes pixels(12, 0);
  InterleaveChipPlanes(2, 2, planar.data(), pixels.data());
  EXPECT_EQ(pixels, (Bytes{21, 11, 1, 22, 12, 2, 23, 13, 3, 24, 14, 4}));
}

TEST(ChipPictureDecoder, OvershootingLastRunIsClipped) {
  Decoded d = Decode(Pcx(5, 1, 1, Bytes{1, 0xFF, 8}), 5);
  ASSERT_TRUE(d.status.ok()) << d.status.message;
  EXPECT_EQ(d.bytes, (Bytes{1, 8, 8, 8, 8}));
  EXPECT_TRUE(d.guardIntact);
}

TEST(ChipPictureDecoder, DataEndingEarlyFails) {
  Decoded literal = Decode(Pcx(4, 1, 1, Bytes{1, 2, 3}), 4);
  EXPECT_EQ(literal.status.error, ChipDataError::kDataEndsEarly);
  EXPECT_NE(literal.status.message.find("3 of 4"), std::string::npos) << literal.status.message;
  Decoded run = Decode(Pcx(4, 1, 1, Bytes{1, 0xC3}), 4);
  EXPECT_EQ(run.status.error, ChipDataError::kDataEndsEarly);
  Decoded none = Decode(Pcx(4, 1, 1, Bytes{}), 4);
  EXPECT_EQ(none.status.error, ChipDataError::kDataEndsEarly);
  EXPECT_TRUE(literal.guardIntact && run.guardIntact && none.guardIntact);
}

TEST(ChipPictureDecoder, ShortHeaderFails) {
  Decoded d = Decode(Bytes(127, 0), 16);
  EXPECT_EQ(d.status.error, ChipDataError::kHeaderTooShort);
}

TEST(ChipPictureDecoder, PictureLargerThanItsRoomWritesNothing) {
  Decoded d = Decode(Pcx(10, 10, 3, chipdisk_test::Runs(1, 300)), 299);
  EXPECT_EQ(d.status.error, ChipDataError::kPictureTooLarge);
  EXPECT_EQ(d.bytes, Bytes(299, kGuard));
  EXPECT_TRUE(d.guardIntact);
}

TEST(ChipPictureDecoder, SidesUseSixteenBitArithmetic) {
  // x min 2, x max 1: the width wraps to 0, so nothing is decoded.
  Bytes coded = Pcx(1, 1, 1, Bytes{});
  coded[kPcxXMinOffset] = 2;
  coded[kPcxXMaxOffset] = 1;
  Decoded d = Decode(coded, 0);
  ASSERT_TRUE(d.status.ok());
  EXPECT_EQ(d.reader.width, 0u);
  // x min 0, x max 0xFFFF wraps to 0 as well rather than 65536.
  coded[kPcxXMinOffset] = 0;
  coded[kPcxXMaxOffset] = coded[kPcxXMaxOffset + 1] = 0xFF;
  EXPECT_EQ(Decode(coded, 0).reader.width, 0u);
}

TEST(ChipPictureDecoder, HotspotLookupStaysInsideTheMap) {
  uint8_t codes[6] = {1, 2, 3, 4, 5, 6};  // 3 x 2
  PictureSlot map{3, 2, codes, 8};
  EXPECT_EQ(HotspotCodeAt(map, 0, 0), 1);
  EXPECT_EQ(HotspotCodeAt(map, 2, 1), 6);
  EXPECT_EQ(HotspotCodeAt(map, 3, 0), 0);  // would be the next row's first code
  EXPECT_EQ(HotspotCodeAt(map, 0, 2), 0);
  EXPECT_EQ(HotspotCodeAt(map, -1, 0), 0);
  EXPECT_EQ(HotspotCodeAt(map, 0, -1), 0);
  EXPECT_EQ(HotspotCodeAt(map, 32767, 32767), 0);
  EXPECT_EQ(HotspotCodeAt(PictureSlot{}, 0, 0), 0);
}

}  // namespace
