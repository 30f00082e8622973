#include "platform/jpeg/jpeg_reference.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/jpeg/jpeg_service.hpp"
#include "platform/jpeg/libjpeg_trap.hpp"

namespace platform {
namespace {

constexpr JDIMENSION kRowsPerCall = 16;

struct Encoding {
  jpeg_compress_struct cinfo;
  libjpeg::ErrorTrap trap;
  unsigned char* buffer;
  unsigned long size;
  std::vector<uint8_t> row;
};

bool RunEncoder(Encoding* e, const RgbPicture& picture, const JpegEncodeOptions& options) {
  if (setjmp(e->trap.recovery)) return false;
  e->cinfo.err = libjpeg::InstallErrorTrap(&e->trap);
  jpeg_create_compress(&e->cinfo);
  jpeg_mem_dest(&e->cinfo, &e->buffer, &e->size);
  e->cinfo.image_width = static_cast<JDIMENSION>(picture.width);
  e->cinfo.image_height = static_cast<JDIMENSION>(picture.height);
  const bool cmyk = options.channels == 4;
  e->cinfo.input_components = cmyk ? 4 : 3;
  e->cinfo.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&e->cinfo);
  if (options.channels == 1) jpeg_set_colorspace(&e->cinfo, JCS_GRAYSCALE);
  jpeg_set_quality(&e->cinfo, options.quality, TRUE);
  if (options.coding == JpegCoding::Progressive) jpeg_simple_progression(&e->cinfo);
  if (options.coding == JpegCoding::Arithmetic) e->cinfo.arith_code = TRUE;
  jpeg_start_compress(&e->cinfo, TRUE);

  const size_t width = static_cast<size_t>(picture.width);
  e->row.resize(width * 4);
  while (e->cinfo.next_scanline < e->cinfo.image_height) {
    const uint8_t* source = picture.rgb.data() + width * 3 * e->cinfo.next_scanline;
    JSAMPROW row = const_cast<JSAMPROW>(source);
    if (cmyk) {
      for (size_t x = 0; x < width; ++x) {
        for (int c = 0; c < 3; ++c)
          e->row[4 * x + c] = static_cast<uint8_t>(255 - source[3 * x + c]);
        e->row[4 * x + 3] = 0;
      }
      row = e->row.data();
    }
    jpeg_write_scanlines(&e->cinfo, &row, 1);
  }
  jpeg_finish_compress(&e->cinfo);
  return true;
}

struct Decoding {
  jpeg_decompress_struct cinfo;
  libjpeg::ErrorTrap trap;
};

// Reads from `file` when it is given, else from `data`.
bool RunDecoder(Decoding* d, FILE* file, const uint8_t* data, size_t size, RgbPicture* picture) {
  if (setjmp(d->trap.recovery)) return false;
  d->cinfo.err = libjpeg::InstallErrorTrap(&d->trap);
  jpeg_create_decompress(&d->cinfo);
  if (file)
    jpeg_stdio_src(&d->cinfo, file);
  else
    jpeg_mem_src(&d->cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&d->cinfo, TRUE);
  d->cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d->cinfo);
  picture->width = static_cast<int32_t>(d->cinfo.output_width);
  picture->height = static_cast<int32_t>(d->cinfo.output_height);
  const size_t stride = static_cast<size_t>(picture->width) * 3;
  picture->rgb.resize(stride * picture->height);
  while (d->cinfo.output_scanline < d->cinfo.output_height) {
    JSAMPROW rows[kRowsPerCall];
    const JDIMENSION first = d->cinfo.output_scanline;
    const JDIMENSION count = std::min(kRowsPerCall, d->cinfo.output_height - first);
    for (JDIMENSION i = 0; i < count; ++i) rows[i] = picture->rgb.data() + stride * (first + i);
    jpeg_read_scanlines(&d->cinfo, rows, count);
  }
  jpeg_finish_decompress(&d->cinfo);
  return true;
}

}  // namespace

bool EncodeJpeg(const RgbPicture& picture, const JpegEncodeOptions& options,
                std::vector<uint8_t>* jpeg) {
  Encoding encoding{};
  const bool done = RunEncoder(&encoding, picture, options);
  jpeg_destroy_compress(&encoding.cinfo);
  if (done) jpeg->assign(encoding.buffer, encoding.buffer + encoding.size);
  std::free(encoding.buffer);
  return done;
}

bool DecodeJpegToRgb(const uint8_t* data, size_t size, RgbPicture* picture) {
  Decoding decoding{};
  const bool done = RunDecoder(&decoding, nullptr, data, size, picture);
  jpeg_destroy_decompress(&decoding.cinfo);
  return done;
}

bool DecodeJpegFileToRgb(const char* path, RgbPicture* picture) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  Decoding decoding{};
  const bool done = RunDecoder(&decoding, file, nullptr, 0, picture);
  jpeg_destroy_decompress(&decoding.cinfo);
  std::fclose(file);
  return done;
}

}  // namespace platform
