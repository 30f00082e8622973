// The JPEG service over libjpeg-turbo: baseline, progressive and
// arithmetic-coded files with 8-bit samples, grey or three channels, decoded
// straight into the caller's rows as B, G, R.
#include <algorithm>
#include <cstdio>

#include "platform/jpeg/jpeg_service.hpp"
#include "platform/jpeg/libjpeg_trap.hpp"

namespace platform {
namespace {

// A progressive file may repeat scans without end; more than this many is
// taken as damage rather than spending minutes on it.
constexpr int kMaxScans = 1000;
constexpr JDIMENSION kRowsPerCall = 16;

struct Session {
  jpeg_decompress_struct cinfo;
  libjpeg::ErrorTrap trap;
  jpeg_progress_mgr progress;
  FILE* file;
};

void LimitScans(j_common_ptr common) {
  const auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
  if (cinfo->input_scan_number > kMaxScans) libjpeg::Fail(common, kJpegBadData);
}

bool ChannelsFitColor(int channels, JpegColor color) {
  if (color == JpegColor::Grey) return channels == 1;
  if (color == JpegColor::YCbCr) return channels == 3;
  return false;
}

// Creates the decompressor and reads the header. Errors jump to the
// caller's recovery point, so the caller sets it first.
void StartReading(Session* s) {
  s->cinfo.err = libjpeg::InstallErrorTrap(&s->trap);
  jpeg_create_decompress(&s->cinfo);
  s->progress.progress_monitor = LimitScans;
  s->cinfo.progress = &s->progress;
  jpeg_stdio_src(&s->cinfo, s->file);
  jpeg_read_header(&s->cinfo, TRUE);
}

int ReadHeaderOf(Session* s, JpegHeader* header) {
  if (setjmp(s->trap.recovery)) return s->trap.status;
  StartReading(s);
  header->width = static_cast<int32_t>(s->cinfo.image_width);
  header->height = static_cast<int32_t>(s->cinfo.image_height);
  header->channels = s->cinfo.num_components;
  return kJpegOk;
}

bool OutputFits(const jpeg_decompress_struct& cinfo, const JpegOutput& output) {
  return output.bytes && output.padBytes >= 0 &&
         static_cast<int64_t>(cinfo.output_width) == output.width &&
         static_cast<int64_t>(cinfo.output_height) == output.height && cinfo.output_components == 3;
}

int DecodeInto(Session* s, const JpegOutput& output) {
  if (setjmp(s->trap.recovery)) return s->trap.status;
  StartReading(s);
  j_decompress_ptr cinfo = &s->cinfo;
  // libjpeg knows from the file's markers whether three channels are YCbCr
  // or RGB; both convert to B, G, R.
  if (!ChannelsFitColor(cinfo->num_components, output.sourceColor)) return kJpegUnsupported;
  cinfo->out_color_space = JCS_EXT_BGR;
  jpeg_calc_output_dimensions(cinfo);
  if (!OutputFits(*cinfo, output)) return kJpegBadOutput;

  jpeg_start_decompress(cinfo);
  const size_t stride = static_cast<size_t>(output.width) * 3 + output.padBytes;
  while (cinfo->output_scanline < cinfo->output_height) {
    const JDIMENSION first = cinfo->output_scanline;
    const JDIMENSION count = std::min(kRowsPerCall, cinfo->output_height - first);
    JSAMPROW rows[kRowsPerCall];
    for (JDIMENSION i = 0; i < count; ++i) rows[i] = output.bytes + stride * (first + i);
    jpeg_read_scanlines(cinfo, rows, count);
  }
  jpeg_finish_decompress(cinfo);
  return kJpegOk;
}

class LibjpegDriver final : public JpegService {
 public:
  const char* DriverName() const override { return "libjpeg-turbo"; }

  int ReadHeader(const char* path, JpegHeader* header) override {
    Session session{};
    session.file = std::fopen(path, "rb");
    if (!session.file) return kJpegCannotOpen;
    const int status = ReadHeaderOf(&session, header);
    Close(&session);
    return status;
  }

  int Decode(const char* path, const JpegOutput& output) override {
    Session session{};
    session.file = std::fopen(path, "rb");
    if (!session.file) return kJpegCannotOpen;
    const int status = DecodeInto(&session, output);
    Close(&session);
    return status;
  }

 private:
  static void Close(Session* s) {
    jpeg_destroy_decompress(&s->cinfo);
    std::fclose(s->file);
  }
};

}  // namespace

JpegService& LibjpegService() {
  static LibjpegDriver driver;
  return driver;
}

}  // namespace platform
