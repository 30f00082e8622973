// The PNG service over libpng. libpng reports errors by calling our handler,
// which keeps the text and jumps back to the recovery point of the function
// that made the call; every such function sets its own.
#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "platform/png/png_service.hpp"

namespace platform {
namespace {

constexpr int kSignatureBytes = 8;

// Everything libpng's calls touch lives here, in the caller's frame, so it
// is intact after a jump back from an error.
struct Session {
  FILE* file;
  png_structp png;
  png_infop info;
  png_infop endInfo;
  PngMessage* message;
};

void OnError(png_structp png, png_const_charp text) {
  auto* session = static_cast<Session*>(png_get_error_ptr(png));
  std::snprintf(session->message->text, sizeof session->message->text, "%s", text);
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

int Open(Session* s, const char* path) {
  s->file = std::fopen(path, "rb");
  if (!s->file) return kPngCannotOpen;
  png_byte signature[kSignatureBytes];
  if (std::fread(signature, 1, kSignatureBytes, s->file) != kSignatureBytes ||
      png_sig_cmp(signature, 0, kSignatureBytes) != 0)
    return kPngNotPng;
  s->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, s, OnError, OnWarning);
  return s->png ? kPngOk : kPngBadData;
}

// Reads up to the first picture data.
int ReadInfo(Session* s, PngHeader* header) {
  if (setjmp(png_jmpbuf(s->png))) return kPngBadData;
  s->info = png_create_info_struct(s->png);
  s->endInfo = png_create_info_struct(s->png);
  if (!s->info || !s->endInfo) png_error(s->png, "out of memory");
#ifdef SUITE_FUZZING
  // Let the fuzzer reach past the checksums it cannot forge.
  png_set_crc_action(s->png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
  png_set_option(s->png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
  png_init_io(s->png, s->file);
  png_set_sig_bytes(s->png, kSignatureBytes);
  png_read_info(s->png, s->info);
  header->width = png_get_image_width(s->png, s->info);
  header->height = png_get_image_height(s->png, s->info);
  header->interlaced = png_get_interlace_type(s->png, s->info) != PNG_INTERLACE_NONE;
  return kPngOk;
}

// Asks libpng for 8-bit R, G, B whatever the file holds; the number of
// passes over the rows.
int RequestRgb8(Session* s) {
  png_set_expand(s->png);  // palette to RGB, grey below 8 bits to 8, tRNS to alpha
  png_set_strip_16(s->png);
  png_set_strip_alpha(s->png);
  png_set_gray_to_rgb(s->png);
  const int passes = png_set_interlace_handling(s->png);
  png_read_update_info(s->png, s->info);
  return passes;
}

bool IsRgb8(const Session& s, uint32_t width) {
  return png_get_channels(s.png, s.info) == 3 && png_get_bit_depth(s.png, s.info) == 8 &&
         png_get_rowbytes(s.png, s.info) == static_cast<size_t>(width) * 3;
}

// Reads the picture data into the output's rows and the chunks after it.
int ReadRows(Session* s, const PngOutput& out) {
  if (setjmp(png_jmpbuf(s->png))) return kPngBadData;
  const int passes = RequestRgb8(s);
  if (!IsRgb8(*s, png_get_image_width(s->png, s->info))) return kPngUnsupported;
  if (png_get_image_width(s->png, s->info) != out.width ||
      png_get_image_height(s->png, s->info) != out.height || !out.rows)
    return kPngBadOutput;
  const size_t rowBytes = static_cast<size_t>(out.width) * 3;
  if (passes > 1) {
    // Each pass adds its pixels to the full-size rows.
    for (int pass = 0; pass < passes; ++pass)
      for (uint32_t y = 0; y < out.height; ++y) png_read_row(s->png, out.rows + rowBytes * y, nullptr);
    for (uint32_t y = 0; y < out.height; ++y) out.rowDone(out.context, y, out.rows + rowBytes * y);
  } else {
    for (uint32_t y = 0; y < out.height; ++y) {
      png_read_row(s->png, out.rows, nullptr);
      out.rowDone(out.context, y, out.rows);
    }
  }
  png_read_end(s->png, s->endInfo);
  return kPngOk;
}

void Release(Session* s) {
  if (s->png) png_destroy_read_struct(&s->png, &s->info, &s->endInfo);
  if (s->file) std::fclose(s->file);
}

class Libpng final : public PngService {
 public:
  const char* DriverName() const override { return "libpng"; }

  int ReadHeader(const char* path, PngHeader* header, PngMessage* message) override {
    Session s{};
    s.message = message;
    message->text[0] = '\0';
    int status = Open(&s, path);
    if (status == kPngOk) status = ReadInfo(&s, header);
    Release(&s);
    return status;
  }

  int Decode(const char* path, const PngOutput& output, PngMessage* message) override {
    Session s{};
    s.message = message;
    message->text[0] = '\0';
    PngHeader header{};
    int status = Open(&s, path);
    if (status == kPngOk) status = ReadInfo(&s, &header);
    if (status == kPngOk) status = ReadRows(&s, output);
    Release(&s);
    return status;
  }
};

}  // namespace

PngService& LibpngService() {
  static Libpng service;
  return service;
}

}  // namespace platform
