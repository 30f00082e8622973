// GIF files: the container up to the first image (colour tables,
// extensions, the image descriptor), then the image's joined sub-blocks
// through the LZW decoder, and the two loaders built on it.
#include "varnel/media/gif_decoder.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "varnel/media/gif_lzw.hpp"
#include "varnel/failure/fatal_error.hpp"

namespace varnel {

namespace {

// Frees a block from AllocZeroed when the scope ends.
struct BlockOwner {
  void* block;
  ~BlockOwner() { std::free(block); }
};

uint32_t ReadLittle16(const uint8_t* bytes) { return bytes[0] | (bytes[1] << 8); }

struct ImageLayout {
  uint32_t width;
  uint32_t height;
  bool interlaced;
  const uint8_t* colourTable;  // null when the file has none for this image
  uint32_t colourCount;
  uint32_t minCodeSize;
  int32_t dataOffset;  // the first sub-block's length byte
};

// Skips sub-blocks up to and including the terminator; false if the file
// ends first.
bool SkipSubBlocks(const uint8_t* bytes, int32_t size, int32_t* position) {
  for (;;) {
    if (*position >= size) return false;
    const int32_t length = bytes[(*position)++];
    if (length == 0) return true;
    if (length > size - *position) return false;
    *position += length;
  }
}

// Reads everything before the image data. False for a wrong signature or a
// file that ends before the minimum code size.
bool ParseLayout(const uint8_t* bytes, int32_t size, ImageLayout* layout) {
  if (size < 13 || std::memcmp(bytes, "GIF", 3) != 0) return false;
  const uint8_t screenFlags = bytes[10];
  int32_t position = 13;
  layout->colourTable = nullptr;
  layout->colourCount = 0;
  if (screenFlags & 0x80) {
    layout->colourCount = 2u << (screenFlags & 7);
    const int32_t tableBytes = static_cast<int32_t>(3 * layout->colourCount);
    if (tableBytes > size - position) return false;
    layout->colourTable = bytes + position;
    position += tableBytes;
  }
  while (position < size && bytes[position] == 0x21) {
    position += 2;  // introducer and label
    if (!SkipSubBlocks(bytes, size, &position)) return false;
  }
  // Whatever byte stands here is taken as the image separator.
  if (size - position < 10) return false;
  layout->width = ReadLittle16(bytes + position + 5);
  layout->height = ReadLittle16(bytes + position + 7);
  const uint8_t imageFlags = bytes[position + 9];
  layout->interlaced = (imageFlags & 0x40) != 0;
  position += 10;
  if (imageFlags & 0x80) {
    layout->colourCount = 2u << (imageFlags & 7);
    const int32_t tableBytes = static_cast<int32_t>(3 * layout->colourCount);
    if (tableBytes > size - position) return false;
    layout->colourTable = bytes + position;
    position += tableBytes;
  }
  if (position >= size) return false;
  layout->minCodeSize = bytes[position++];
  layout->dataOffset = position;
  return true;
}

// Joins the sub-blocks from `position` up to the terminator (or the end of
// the file) into one block followed by 8 zero bytes.
uint8_t* JoinSubBlocks(const uint8_t* bytes, int32_t size, int32_t position, uint32_t* joined) {
  auto* data = static_cast<uint8_t*>(AllocZeroed(size - position));
  uint32_t used = 0;
  while (position < size) {
    const int32_t length = bytes[position++];
    if (length == 0) break;
    const int32_t available = std::min(length, size - position);
    std::memcpy(data + used, bytes + position, available);
    used += available;
    position += available;
  }
  *joined = used;
  return data;
}

// Puts rows stored in the four interlace passes into top-to-bottom order.
// Rows the stream never reached stay zero.
void PlaceInterlacedRows(const uint8_t* passes, uint8_t* rows, uint32_t width, uint32_t height,
                         uint32_t rowsDecoded) {
  static constexpr uint32_t kFirstRow[4] = {0, 4, 2, 1};
  static constexpr uint32_t kRowStep[4] = {8, 8, 4, 2};
  uint32_t source = 0;
  for (int pass = 0; pass < 4; ++pass) {
    for (uint32_t y = kFirstRow[pass]; y < height && source < rowsDecoded; y += kRowStep[pass]) {
      std::memcpy(rows + y * width, passes + source * width, width);
      ++source;
    }
  }
}

int Fail(IndexedImage* image) {
  image->width = 0;
  image->height = 0;
  image->pixels = nullptr;
  return 0;
}

}  // namespace

// An image of 0 pixels decodes to an empty block. Image data that ends
// before its end code leaves the pixels it did not reach at 0.
int DecodeGif(const uint8_t* bytes, int32_t size, IndexedImage* image, uint8_t* palette) {
  ImageLayout layout;
  if (!bytes || !ParseLayout(bytes, size, &layout)) return Fail(image);
  if (layout.minCodeSize < 2 || layout.minCodeSize > 9) return Fail(image);
  if (layout.width > kGifMaxDimension || layout.height > kGifMaxDimension) return Fail(image);

  const uint32_t count = layout.width * layout.height;
  auto* pixels = static_cast<uint8_t*>(AllocZeroed(static_cast<int32_t>(count)));
  uint32_t dataBytes = 0;
  uint8_t* data = JoinSubBlocks(bytes, size, layout.dataOffset, &dataBytes);
  BlockOwner dataOwner{data};
  if (!layout.interlaced || count == 0) {
    DecodeGifLzw(data, dataBytes, layout.minCodeSize, pixels, count);
  } else {
    auto* passes = static_cast<uint8_t*>(AllocZeroed(static_cast<int32_t>(count)));
    BlockOwner passesOwner{passes};
    const uint32_t written = DecodeGifLzw(data, dataBytes, layout.minCodeSize, passes, count);
    const uint32_t rowsDecoded = (written + layout.width - 1) / layout.width;
    PlaceInterlacedRows(passes, pixels, layout.width, layout.height, rowsDecoded);
  }

  if (palette) {
    std::memset(palette, 0, kGifPaletteBytes);
    if (layout.colourTable) std::memcpy(palette, layout.colourTable, 3 * layout.colourCount);
  }
  image->width = static_cast<int32_t>(layout.width);
  image->height = static_cast<int32_t>(layout.height);
  image->pixels = pixels;
  return 1;
}

void LoadGifIndexed(const char* fileName, IndexedImage* image, uint8_t* palette) {
  int32_t size = 0;
  uint8_t* bytes = LoadBinaryFile(fileName, &size);
  const int decoded = DecodeGif(bytes, size, image, palette);
  std::free(bytes);
  if (!decoded) FatalError("GIF Loader Error !");
}

void LoadGifPicture(const char* fileName, Picture* picture) {
  uint8_t palette[kGifPaletteBytes];
  IndexedImage indexed;
  LoadGifIndexed(fileName, &indexed, palette);
  uint16_t colours[256];
  for (int i = 0; i < 256; ++i) {
    colours[i] = PackRgb555(palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]);
  }
  const int32_t count = indexed.width * indexed.height;
  picture->width = indexed.width;
  picture->height = indexed.height;
  picture->pixels = AllocZeroedArray<uint16_t>(count);
  for (int32_t i = 0; i < count; ++i) picture->pixels[i] = colours[indexed.pixels[i]];
  std::free(indexed.pixels);
}

}  // namespace varnel
