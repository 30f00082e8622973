// GIF decoding, checked three ways: crafted code streams with known results,
// a plain one-code-at-a-time decoder run on the same streams as an oracle,
// and pictures written by ImageMagick compared with the colours it reads back.
#include "varnel/media/gif_decoder.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.hpp"

using namespace varnel;

namespace {

using testing_support::Bytes;

// LZW codes packed least significant bit first, each at the width the decoder
// reads it with; the width follows the decoder's table growth.
class CodeWriter {
 public:
  explicit CodeWriter(uint32_t minCodeSize, bool leadingClear = true)
      : minCodeSize_(minCodeSize),
        clear_(1u << minCodeSize),
        codeSize_(minCodeSize + 1),
        nextFree_(clear_ + 2) {
    if (leadingClear) Put(clear_);
  }
  uint32_t Clear() const { return clear_; }
  uint32_t End() const { return clear_ + 1; }
  uint32_t NextFree() const { return nextFree_; }
  uint32_t CodeSize() const { return codeSize_; }

  CodeWriter& Put(uint32_t code) {
    bits_ |= static_cast<uint64_t>(code & ((1u << codeSize_) - 1)) << bitCount_;
    for (bitCount_ += codeSize_; bitCount_ >= 8; bitCount_ -= 8, bits_ >>= 8) {
      bytes_.push_back(static_cast<uint8_t>(bits_));
    }
    if (code == clear_) {
      codeSize_ = minCodeSize_ + 1;
      nextFree_ = clear_ + 2;
      afterClear_ = true;
    } else if (code == End()) {
    } else if (afterClear_) {
      afterClear_ = false;
    } else if (nextFree_ < (1u << codeSize_) && ++nextFree_ == (1u << codeSize_) &&
               codeSize_ < 12) {
      ++codeSize_;
    }
    return *this;
  }
  Bytes Finish() const {
    Bytes out = bytes_;
    if (bitCount_ > 0) out.push_back(static_cast<uint8_t>(bits_));
    return out;
  }

 private:
  uint32_t minCodeSize_, clear_, codeSize_, nextFree_;
  bool afterClear_ = false;
  uint64_t bits_ = 0;
  uint32_t bitCount_ = 0;
  Bytes bytes_;
};

Bytes SubBlocks(const Bytes& codes, size_t blockSize = 255) {
  Bytes out;
  for (size_t at = 0; at < codes.size(); at += blockSize) {
    const size_t length = std::min(blockSize, codes.size() - at);
    out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), codes.begin() + at, codes.begin() + at + length);
  }
  out.push_back(0);
  return out;
}

struct GifLayout {
  std::string version = "89a";
  uint16_t width = 1, height = 1;
  Bytes globalTable = {0, 0, 0, 255, 255, 255};  // empty: no global table
  Bytes beforeImage;                             // extension blocks
  uint8_t separator = 0x2C;
  Bytes localTable;
  bool interlaced = false;
  uint8_t minCodeSize = 2;
};

uint8_t TableSizeBits(const Bytes& table) {
  uint8_t bits = 0;
  while ((6u << bits) < table.size()) ++bits;
  return bits;
}

void Put16(Bytes& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

Bytes MakeGif(const GifLayout& g, const Bytes& blocks) {
  Bytes f = {'G', 'I', 'F'};
  f.insert(f.end(), g.version.begin(), g.version.end());
  Put16(f, g.width);
  Put16(f, g.height);
  f.push_back(g.globalTable.empty() ? 0x70 : 0xF0 | TableSizeBits(g.globalTable));
  f.insert(f.end(), {0, 0});
  f.insert(f.end(), g.globalTable.begin(), g.globalTable.end());
  f.insert(f.end(), g.beforeImage.begin(), g.beforeImage.end());
  f.push_back(g.separator);
  Put16(f, 0);
  Put16(f, 0);
  Put16(f, g.width);
  Put16(f, g.height);
  f.push_back((g.localTable.empty() ? 0 : 0x80 | TableSizeBits(g.localTable)) |
              (g.interlaced ? 0x40 : 0));
  f.insert(f.end(), g.localTable.begin(), g.localTable.end());
  f.push_back(g.minCodeSize);
  f.insert(f.end(), blocks.begin(), blocks.end());
  f.push_back(0x3B);
  return f;
}

struct Decoded {
  int ok = 0;
  int32_t width = 0, height = 0;
  Bytes pixels;
  Bytes palette;
};

// Decodes from a buffer of exactly the file's size, so a sanitizer sees any
// read past its end.
Decoded Decode(const Bytes& file, bool withPalette = true) {
  auto* exact = new uint8_t[file.size()];
  std::copy(file.begin(), file.end(), exact);
  Decoded d;
  d.palette.assign(kGifPaletteBytes, 0xAA);
  IndexedImage image{};
  d.ok = DecodeGif(exact, static_cast<int32_t>(file.size()), &image,
                   withPalette ? d.palette.data() : nullptr);
  delete[] exact;
  if (d.ok) {
    d.width = image.width;
    d.height = image.height;
    d.pixels.assign(image.pixels, image.pixels + image.width * image.height);
    std::free(image.pixels);
  }
  return d;
}

Bytes DecodeCodes(uint8_t minCodeSize, const CodeWriter& writer, uint16_t width,
                  uint16_t height = 1) {
  GifLayout g;
  g.minCodeSize = minCodeSize;
  g.width = width;
  g.height = height;
  const Decoded d = Decode(MakeGif(g, SubBlocks(writer.Finish())));
  EXPECT_EQ(d.ok, 1);
  return d.pixels;
}

// The documented steps done the plain way: codes read bit by bit through the
// sub-blocks, strings reversed on a stack, indices beyond the image dropped.
// It stops where data ends or a chain outgrows the 4097-byte stack.
Bytes ReferenceDecode(const Bytes& blocks, uint32_t minCodeSize, size_t count) {
  size_t position = 0;
  uint32_t blockLeft = 0, current = 0, bitsLeft = 0, codeSize = minCodeSize + 1;
  auto nextByte = [&]() -> bool {
    if (blockLeft == 0) {
      if (position >= blocks.size() || blocks[position] == 0) return false;
      blockLeft = blocks[position++];
    }
    if (position >= blocks.size()) return false;
    current = blocks[position++];
    --blockLeft;
    return true;
  };
  auto readCode = [&](uint32_t* code) {
    if (bitsLeft == 0) {
      if (!nextByte()) return false;
      bitsLeft = 8;
    }
    uint32_t value = current >> (8 - bitsLeft);
    while (bitsLeft < codeSize) {
      if (!nextByte()) return false;
      value |= current << bitsLeft;
      bitsLeft += 8;
    }
    bitsLeft -= codeSize;
    *code = value & ((1u << codeSize) - 1);
    return true;
  };
  const uint32_t clear = 1u << minCodeSize, end = clear + 1, firstFree = clear + 2;
  uint32_t maxCode = 1u << codeSize, nextFree = firstFree, previous = 0, code;
  uint8_t firstByte = 0;
  std::vector<uint16_t> prefix(4097);
  Bytes suffix(4097), stack, out(count, 0);
  size_t written = 0;
  auto emit = [&](uint8_t index) {
    if (written < count) out[written++] = index;
  };
  while (readCode(&code) && code != end) {
    if (code == clear) {
      codeSize = minCodeSize + 1;
      nextFree = firstFree;
      maxCode = 1u << codeSize;
      do {
        if (!readCode(&code)) return out;
      } while (code == clear);
      if (code == end) break;
      if (code >= nextFree) code = 0;
      emit(static_cast<uint8_t>(code));
      previous = code;
      firstByte = static_cast<uint8_t>(code);
      continue;
    }
    uint32_t c = code;
    stack.clear();
    if (code >= nextFree) {
      stack.push_back(firstByte);
      c = previous;
    }
    while (c >= firstFree) {
      if (stack.size() >= 4096) return out;
      stack.push_back(suffix[c]);
      c = prefix[c];
    }
    stack.push_back(static_cast<uint8_t>(c));
    if (nextFree < maxCode) {
      firstByte = static_cast<uint8_t>(c);
      suffix[nextFree] = static_cast<uint8_t>(c);
      prefix[nextFree++] = static_cast<uint16_t>(previous);
      previous = code;
    }
    if (nextFree >= maxCode && codeSize < 12) {
      maxCode *= 2;
      ++codeSize;
    }
    for (; !stack.empty(); stack.pop_back()) emit(stack.back());
  }
  return out;
}

TEST(GifLzw, CodeSizeGrowsWhenLastCodeOfSizeIsAssigned) {
  CodeWriter writer(2);
  writer.Put(1).Put(2).Put(3);  // entries 6 and 7: the 3-bit codes are used up
  EXPECT_EQ(writer.CodeSize(), 4u);
  writer.Put(6).Put(writer.End());
  EXPECT_EQ(writer.Finish(), (Bytes{0x8C, 0x66, 0x05}));
  EXPECT_EQ(DecodeCodes(2, writer, 5), (Bytes{1, 2, 3, 1, 2}));
}

TEST(GifLzw, FullTableWithoutClearAddsNoEntries) {
  CodeWriter writer(8);
  for (uint32_t i = 0; writer.NextFree() < 4096; ++i) writer.Put(i % 256);
  ASSERT_EQ(writer.CodeSize(), 12u);
  writer.Put(4095).Put(258).Put(7).Put(writer.End());   // entries 3837+3838, 0+1
  const Bytes pixels = DecodeCodes(8, writer, 62, 62);  // 3839 literals and 5 more
  ASSERT_EQ(pixels.size(), 3844u);
  EXPECT_EQ(pixels[3838], 3838 % 256);
  EXPECT_EQ(Bytes(pixels.end() - 5, pixels.end()), (Bytes{3837 % 256, 3838 % 256, 0, 1, 7}));
}

TEST(GifLzw, UndefinedFirstCodeAfterClearReadsAsZero) {
  CodeWriter beyond(2);
  beyond.Put(7).Put(3).Put(6).Put(beyond.End());  // 7 -> 0, entry 6 = 0 3
  EXPECT_EQ(DecodeCodes(2, beyond, 4), (Bytes{0, 3, 0, 3}));
  CodeWriter defining(2);
  defining.Put(6).Put(6).Put(defining.End());  // the second 6 is the entry being made
  EXPECT_EQ(DecodeCodes(2, defining, 3), (Bytes{0, 0, 0}));
}

TEST(GifLzw, StreamWithoutLeadingClearUsesPreviousCodeZero) {
  CodeWriter writer(2, /*leadingClear=*/false);
  writer.Put(1).Put(6).Put(writer.End());  // entry 6 = 0 (previous code) then 1
  EXPECT_EQ(DecodeCodes(2, writer, 3), (Bytes{1, 0, 1}));
}

TEST(GifLzw, LoopingPrefixChainStopsTheImage) {
  CodeWriter writer(2);
  // 7 lies beyond the table; entry 7 is then made with itself as prefix.
  writer.Put(1).Put(7).Put(6).Put(7).Put(1).Put(writer.End());
  EXPECT_EQ(DecodeCodes(2, writer, 8), (Bytes{1, 1, 1, 1, 1, 0, 0, 0}));
}

TEST(GifLzw, ExtraIndicesDroppedAndDataAfterEndIgnored) {
  CodeWriter writer(2);
  writer.Put(1).Put(2).Put(6).Put(writer.End()).Put(3).Put(3);
  EXPECT_EQ(DecodeCodes(2, writer, 3), (Bytes{1, 2, 1}));
}

TEST(GifLzw, MinimumCodeSizeTwoToNine) {
  CodeWriter nine(9);
  nine.Put(5).Put(200).Put(514).Put(nine.End());
  EXPECT_EQ(DecodeCodes(9, nine, 4), (Bytes{5, 200, 5, 200}));
  for (uint8_t refused : {0, 1, 10, 12}) {
    GifLayout g;
    g.minCodeSize = refused;
    EXPECT_EQ(Decode(MakeGif(g, SubBlocks({0x00}))).ok, 0) << int{refused};
  }
}

// Mostly codes an encoder could send; `damagePercent` of them at random.
uint32_t RandomCode(std::mt19937& random, const CodeWriter& writer, uint32_t damagePercent) {
  const uint32_t roll = random() % 100, firstFree = writer.Clear() + 2;
  const uint32_t defined = writer.NextFree() - firstFree;
  if (roll < damagePercent) return random() % (1u << writer.CodeSize());
  if (roll < damagePercent + 1) return writer.Clear();
  if (roll < 55 && defined > 0) return firstFree + random() % defined;
  if (roll < 65 && defined > 0 && writer.NextFree() < 4096) return writer.NextFree();
  return random() % writer.Clear();
}

TEST(GifLzw, AgreesWithPlainDecoderOnRandomAndDamagedStreams) {
  std::mt19937 random(1234);
  for (int round = 0; round < 400; ++round) {
    const uint32_t minCodeSize = 2 + round % 8;
    const uint32_t damagePercent = std::vector<uint32_t>{0, 2, 20, 100}[round % 4];
    CodeWriter writer(minCodeSize, random() % 8 != 0);
    const int codeCount = static_cast<int>(random() % 7000);
    for (int i = 0; i < codeCount; ++i) writer.Put(RandomCode(random, writer, damagePercent));
    if (random() % 4 != 0) writer.Put(writer.End());
    Bytes blocks = SubBlocks(writer.Finish(), 1 + random() % 255);
    if (round % 5 == 0) blocks.resize(random() % (blocks.size() + 1));  // cut anywhere
    GifLayout g;
    g.minCodeSize = static_cast<uint8_t>(minCodeSize);
    g.width = static_cast<uint16_t>(1 + random() % (round % 3 == 0 ? 256 : 70));
    g.height = static_cast<uint16_t>(1 + random() % (round % 3 == 0 ? 256 : 70));
    Bytes file = MakeGif(g, blocks);
    file.pop_back();
    const Decoded d = Decode(file, round % 2 == 0);
    ASSERT_EQ(d.ok, 1) << "round " << round;
    ASSERT_EQ(d.pixels, ReferenceDecode(blocks, minCodeSize, size_t{g.width} * g.height))
        << "round " << round;
  }
}

TEST(GifLzw, CutAnywhereStopsWithWhatWasDecoded) {
  CodeWriter writer(4);
  for (uint32_t i = 0; i < 300; ++i) writer.Put(i % 3 == 0 ? writer.NextFree() : i % 16);
  writer.Put(writer.End());
  GifLayout g;
  g.globalTable.assign(48, 9);
  g.minCodeSize = 4;
  g.width = 40;
  g.height = 30;
  const Bytes file = MakeGif(g, SubBlocks(writer.Finish(), 50));
  const Decoded full = Decode(file);
  ASSERT_EQ(full.ok, 1);
  const size_t dataStart = 13 + 48 + 10 + 1;
  for (size_t cut = 0; cut < file.size(); ++cut) {
    const Decoded d = Decode(Bytes(file.begin(), file.begin() + cut));
    ASSERT_EQ(d.ok, cut >= dataStart ? 1 : 0) << cut;
    if (!d.ok) continue;
    size_t same = 0;
    while (same < d.pixels.size() && d.pixels[same] == full.pixels[same]) ++same;
    for (size_t i = same; i < d.pixels.size(); ++i) ASSERT_EQ(d.pixels[i], 0) << cut;
  }
}

TEST(GifContainer, SignatureAndVersions) {
  CodeWriter writer(2);
  writer.Put(1).Put(0).Put(6).Put(writer.End());
  GifLayout g;
  g.width = 2;
  g.height = 2;
  const Bytes blocks = SubBlocks(writer.Finish());
  const Decoded v89 = Decode(MakeGif(g, blocks));
  g.version = "87a";
  const Decoded v87 = Decode(MakeGif(g, blocks));
  ASSERT_EQ(v89.ok, 1);
  ASSERT_EQ(v87.ok, 1);
  EXPECT_EQ(v87.pixels, (Bytes{1, 0, 1, 0}));
  EXPECT_EQ(v87.pixels, v89.pixels);
  EXPECT_EQ(v87.palette, v89.palette);
  Bytes wrong = MakeGif(g, blocks);
  wrong[2] = 'X';
  EXPECT_EQ(Decode(wrong).ok, 0);
  EXPECT_EQ(Decode(Bytes{'G', 'I', 'F'}).ok, 0);
  EXPECT_EQ(Decode(Bytes{}).ok, 0);
}

TEST(GifContainer, PaletteFromTheTableThatApplies) {
  CodeWriter writer(2);
  writer.Put(1).Put(writer.End());
  GifLayout g;  // N = 0: a two-colour table of 6 bytes
  Decoded d = Decode(MakeGif(g, SubBlocks(writer.Finish())));
  ASSERT_EQ(d.ok, 1);
  EXPECT_EQ(Bytes(d.palette.begin(), d.palette.begin() + 6), g.globalTable);
  EXPECT_EQ(d.pixels, Bytes{1});
  g.globalTable = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  d = Decode(MakeGif(g, SubBlocks(writer.Finish())));
  EXPECT_EQ(Bytes(d.palette.begin(), d.palette.begin() + 12), g.globalTable);
  EXPECT_EQ(Bytes(d.palette.begin() + 12, d.palette.end()), Bytes(756, 0));
  g.localTable = {50, 60, 70, 80, 90, 100};  // replaces the global table
  d = Decode(MakeGif(g, SubBlocks(writer.Finish())));
  EXPECT_EQ(Bytes(d.palette.begin(), d.palette.begin() + 6), g.localTable);
  EXPECT_EQ(Bytes(d.palette.begin() + 6, d.palette.end()), Bytes(762, 0));
  g.globalTable.clear();  // no table at all: flag clear, descriptor follows the header
  g.localTable.clear();
  d = Decode(MakeGif(g, SubBlocks(writer.Finish())));
  ASSERT_EQ(d.ok, 1);
  EXPECT_EQ(d.pixels, Bytes{1});
  EXPECT_EQ(d.palette, Bytes(768, 0));
}

TEST(GifContainer, ExtensionsSkippedAnySeparatorAccepted) {
  CodeWriter writer(2);
  writer.Put(3).Put(2).Put(writer.End());
  const Bytes blocks = SubBlocks(writer.Finish());
  GifLayout g;
  g.width = 2;
  g.separator = 0x00;  // the separator byte is not looked at
  EXPECT_EQ(Decode(MakeGif(g, blocks)).pixels, (Bytes{3, 2}));
  g.beforeImage = {0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0};
  EXPECT_EQ(Decode(MakeGif(g, blocks)).pixels, (Bytes{3, 2}));
  g.beforeImage = {0x21, 0xFE, 200, 'x'};  // ends inside the extension
  EXPECT_EQ(Decode(MakeGif(g, {})).ok, 0);
}

TEST(GifContainer, InterlacedRowsGoToTheirPlaces) {
  CodeWriter writer(4);
  for (uint32_t i = 0; i < 10; ++i) writer.Put(i);
  GifLayout g;
  g.minCodeSize = 4;
  g.height = 10;
  g.interlaced = true;
  EXPECT_EQ(Decode(MakeGif(g, SubBlocks(writer.Finish()))).pixels,
            (Bytes{0, 5, 3, 6, 2, 7, 4, 8, 1, 9}));
  CodeWriter cut(4);
  cut.Put(1).Put(2).Put(3);  // rows 0, 8, 4 only
  EXPECT_EQ(Decode(MakeGif(g, SubBlocks(cut.Finish()))).pixels,
            (Bytes{1, 0, 0, 0, 3, 0, 0, 0, 2, 0}));
}

TEST(GifContainer, DimensionLimits) {
  GifLayout g;
  g.width = 0;
  g.height = 5;
  const Decoded empty = Decode(MakeGif(g, SubBlocks({0x0C})));
  EXPECT_EQ(empty.ok, 1);
  EXPECT_EQ(empty.width, 0);
  EXPECT_EQ(empty.height, 5);
  g.width = kGifMaxDimension;
  g.height = 1;
  EXPECT_EQ(Decode(MakeGif(g, SubBlocks({0x0C}))).ok, 1);
  g.width = kGifMaxDimension + 1;
  EXPECT_EQ(Decode(MakeGif(g, SubBlocks({0x0C}))).ok, 0);
  g.width = 1;
  g.height = kGifMaxDimension + 1;
  EXPECT_EQ(Decode(MakeGif(g, SubBlocks({0x0C}))).ok, 0);
}

class GifLoaderFiles : public testing_support::ScratchDirTest {};

Bytes FourColourPicture() {
  CodeWriter writer(3);
  writer.Put(0).Put(1).Put(2).Put(3).Put(7).Put(writer.End());
  GifLayout g;
  g.globalTable = {0, 0, 0, 4, 4, 4, 255, 255, 255, 8, 16, 24};
  g.minCodeSize = 3;
  g.width = 5;
  return MakeGif(g, SubBlocks(writer.Finish()));
}

TEST_F(GifLoaderFiles, PictureColoursThroughPackRgb555) {
  testing_support::WriteFile("four.gif", FourColourPicture());
  Picture picture{};
  LoadGifPicture("four.gif", &picture);
  ASSERT_EQ(picture.width, 5);
  ASSERT_EQ(picture.height, 1);
  // Index 7 lies beyond the 4-entry table: its zero colour is transparent.
  EXPECT_EQ(std::vector<uint16_t>(picture.pixels, picture.pixels + 5),
            (std::vector<uint16_t>{0, 1, 0x7FFF, 0x443, 0}));
  std::free(picture.pixels);
  IndexedImage indexed{};
  LoadGifIndexed("four.gif", &indexed, nullptr);
  EXPECT_EQ(Bytes(indexed.pixels, indexed.pixels + 5), (Bytes{0, 1, 2, 3, 7}));
  std::free(indexed.pixels);
}

TEST_F(GifLoaderFiles, UndecodableFilesAreFatal) {
  Bytes wrongSignature = FourColourPicture();
  wrongSignature[2] = 'X';
  testing_support::WriteFile("gix.gif", wrongSignature);
  IndexedImage image{};
  EXPECT_EXIT(LoadGifIndexed("gix.gif", &image, nullptr), testing::ExitedWithCode(1),
              "GIF Loader Error !");
  Bytes codeSizeTen = FourColourPicture();
  codeSizeTen[13 + 12 + 10] = 10;
  testing_support::WriteFile("ten.gif", codeSizeTen);
  Picture picture{};
  EXPECT_EXIT(LoadGifPicture("ten.gif", &picture), testing::ExitedWithCode(1),
              "GIF Loader Error !");
}

struct ImageMagickCase {
  const char* name;
  const char* arguments;
  bool tableMadeLocal;
};

void PrintTo(const ImageMagickCase& c, std::ostream* out) { *out << c.name; }

class GifFromImageMagick : public testing_support::ScratchDirTest,
                           public testing::WithParamInterface<ImageMagickCase> {};

// Moves the global colour table behind the image descriptor as a local
// table and leaves an inverted global table in front.
Bytes MoveTableToLocal(const Bytes& file) {
  const uint8_t bits = file[10] & 7;
  const size_t tableEnd = 13 + (3u << (bits + 1));
  size_t at = tableEnd;
  while (file[at] == 0x21) {
    for (at += 2; file[at] != 0; at += file[at] + 1) {
    }
    ++at;
  }
  Bytes out(file.begin(), file.begin() + at + 10);
  for (size_t i = 13; i < tableEnd; ++i) out[i] = static_cast<uint8_t>(255 - file[i]);
  out[at + 9] |= 0x80 | bits;
  out.insert(out.end(), file.begin() + 13, file.begin() + tableEnd);
  out.insert(out.end(), file.begin() + at + 10, file.end());
  return out;
}

TEST_P(GifFromImageMagick, ColoursMatchWhatImageMagickReads) {
  const std::string convert = testing_support::ImageMagickConvert();
  if (convert.empty()) GTEST_SKIP() << "ImageMagick is not installed";
  ASSERT_EQ(testing_support::RunCommand(convert + " " + GetParam().arguments + " made.gif"), 0);
  Bytes file = testing_support::ReadFile("made.gif");
  if (GetParam().tableMadeLocal) {
    file = MoveTableToLocal(file);
    testing_support::WriteFile("made.gif", file);
  }
  ASSERT_EQ(testing_support::RunCommand(convert + " made.gif -depth 8 rgb:made.rgb"), 0);
  const Bytes rgb = testing_support::ReadFile("made.rgb");
  const Decoded d = Decode(file);
  ASSERT_EQ(d.ok, 1);
  ASSERT_EQ(rgb.size(), d.pixels.size() * 3);
  size_t mismatches = 0, first = 0;
  for (size_t i = 0; i < d.pixels.size(); ++i) {
    if (std::memcmp(&d.palette[3 * d.pixels[i]], &rgb[3 * i], 3) != 0 && mismatches++ == 0) {
      first = i;
    }
  }
  EXPECT_EQ(mismatches, 0u) << "first at pixel " << first;
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, GifFromImageMagick,
    testing::Values(
        ImageMagickCase{"Plasma256", "-seed 3 -size 120x90 plasma:fractal -colors 256", false},
        ImageMagickCase{"LargePlasma", "-seed 5 -size 640x480 plasma:fractal -colors 256", false},
        ImageMagickCase{"GradientInterlaced",
                        "-size 97x61 gradient:red-blue -colors 16 -interlace GIF", false},
        ImageMagickCase{"TwoColoursWithExtensions",
                        "-size 33x17 gradient:white-black -colors 2 -set comment 'for a test'",
                        false},
        ImageMagickCase{"TinyInterlaced",
                        "-seed 9 -size 13x7 plasma:fractal -colors 5 -interlace GIF", false},
        ImageMagickCase{"LocalTable", "-seed 4 -size 80x50 plasma:fractal -colors 64", true},
        ImageMagickCase{"LocalTableInterlaced",
                        "-seed 6 -size 51x77 plasma:fractal -colors 100 -interlace GIF "
                        "-set comment x",
                        true}),
    [](const testing::TestParamInfo<ImageMagickCase>& param) { return param.param.name; });

}  // namespace
