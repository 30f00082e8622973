// PNG pictures through the platform's PNG service: it decodes any valid
// colour type and bit depth into 8-bit R, G, B rows, which are packed into
// the reader's pixels as they arrive. Every failure of the service becomes
// the reader's own message here, after what was taken is released.
#include <cstdio>
#include <cstdlib>

#include "platform/png/png_service.hpp"
#include "varnel/failure/fatal_error.hpp"
#include "varnel/media/picture.hpp"
#include "varnel/media/picture_limits.hpp"
#include "varnel/media/pixel_packing.hpp"
#include "varnel/media/resource_archive.hpp"

namespace varnel {

namespace {

struct Packing {
  uint16_t* pixels;
  uint32_t width;
};

void PackRow(void* context, uint32_t y, const uint8_t* row) {
  const auto* packing = static_cast<const Packing*>(context);
  PackRgbPixels(row, packing->pixels + static_cast<size_t>(packing->width) * y,
                static_cast<int32_t>(packing->width));
}

// Ends the program with the message for a failed `status` of the service.
[[noreturn]] void FailWithStatus(int status, const platform::PngMessage& decoder, const char* name) {
  switch (status) {
    case platform::kPngCannotOpen:
      FatalErrorFormat("Load PNG Error - file: %s ", name);
    case platform::kPngNotPng:
      FatalError("PNG - format error !");
    case platform::kPngUnsupported:
      FatalError("Unsupported PNG (alpha).");
    default: {
      char message[sizeof decoder.text + kResourceNameField + 32];
      std::snprintf(message, sizeof message, "PNG - data error ! (%s: %s)", name,
                    decoder.text[0] ? decoder.text : "out of memory");
      FatalError(message);
    }
  }
}

}  // namespace

void LoadPngPicture(const char* name, Picture* picture) {
  char* fileName = ExtractResource(name);
  platform::PngService& png = platform::Png();
  platform::PngMessage message{};
  platform::PngHeader header{};
  int status = png.ReadHeader(fileName, &header, &message);
  if (status != platform::kPngOk) {
    std::free(fileName);
    FailWithStatus(status, message, name);
  }
  if (!PictureSizeAcceptable(header.width, header.height)) {
    std::free(fileName);
    FatalErrorFormat("PNG - picture too large ! (%s: %u x %u)", name, header.width, header.height);
  }

  auto* rows = static_cast<uint8_t*>(AllocZeroed(static_cast<int32_t>(platform::PngRowBufferBytes(header))));
  Packing packing{AllocZeroedArray<uint16_t>(static_cast<int32_t>(header.width * header.height)),
                  header.width};
  const platform::PngOutput output{header.width, header.height, rows, PackRow, &packing};
  status = png.Decode(fileName, output, &message);
  std::free(rows);
  if (status != platform::kPngOk) {
    std::free(packing.pixels);
    std::free(fileName);
    FailWithStatus(status, message, name);
  }

  DeleteExtracted(fileName);
  std::free(fileName);
  picture->width = static_cast<int32_t>(header.width);
  picture->height = static_cast<int32_t>(header.height);
  picture->pixels = packing.pixels;
}

}  // namespace varnel
