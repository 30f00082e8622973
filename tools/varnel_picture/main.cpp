// varnel-picture: decodes a loose picture file with the magazine's own
// loaders, prints its size and writes it out for people or for tests.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/common/png_writer.hpp"
#include "tools/common/tool_support.hpp"
#include "varnel/media/gif_decoder.hpp"
#include "varnel/media/picture.hpp"

using namespace varnel;

namespace {

constexpr const char* kUsage =
    "usage: varnel-picture FILE [-o OUT.png] [--dump OUT.r16] [--indexed] [--raw WxH | --r16 WxH]\n"
    "  -o OUT.png     the picture as PNG (5-bit channels widened to 8)\n"
    "  --dump FILE    the 15-bit words, little endian (with --indexed: the index bytes)\n"
    "  --indexed      decode a GIF to its colour indices and palette\n"
    "  --raw WxH      a headerless 24-bit RGB file of that size\n"
    "  --r16 WxH      a headerless file of 15-bit words of that size\n";

struct Options {
  std::string input, png, dump;
  bool indexed = false;
  enum class Kind { ByExtension, Raw, R16 } kind = Kind::ByExtension;
  int32_t width = 0, height = 0;
};

void ParseSize(const std::string& text, Options* options) {
  int w = 0, h = 0;
  char extra = 0;
  if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &extra) != 2 || w <= 0 || h <= 0)
    tools::Fail("size must be WIDTHxHEIGHT: " + text);
  options->width = w;
  options->height = h;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-o" && hasValue) {
      options.png = argv[++i];
    } else if (arg == "--dump" && hasValue) {
      options.dump = argv[++i];
    } else if (arg == "--indexed") {
      options.indexed = true;
    } else if ((arg == "--raw" || arg == "--r16") && hasValue) {
      options.kind = arg == "--raw" ? Options::Kind::Raw : Options::Kind::R16;
      ParseSize(argv[++i], &options);
    } else if (arg.empty() || arg[0] == '-' || !options.input.empty()) {
      tools::UsageError(kUsage);
    } else {
      options.input = arg;
    }
  }
  if (options.input.empty()) tools::UsageError(kUsage);
  if (options.indexed && options.kind != Options::Kind::ByExtension) tools::UsageError(kUsage);
  return options;
}

void WriteBytes(const std::string& path, const void* data, size_t size) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) tools::Fail("cannot create " + path);
  const bool ok = std::fwrite(data, 1, size, out) == size;
  if (std::fclose(out) != 0 || !ok) tools::Fail("cannot write " + path);
}

void RunIndexed(const Options& options) {
  IndexedImage image{};
  std::vector<uint8_t> palette(kGifPaletteBytes);
  LoadGifIndexed(options.input.c_str(), &image, palette.data());
  std::printf("%dx%d\n", image.width, image.height);
  const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  if (!options.dump.empty()) WriteBytes(options.dump, image.pixels, count);
  if (!options.png.empty()) {
    std::vector<uint8_t> rgb(count * 3);
    for (size_t i = 0; i < count; ++i)
      for (int c = 0; c < 3; ++c) rgb[3 * i + c] = palette[3 * image.pixels[i] + c];
    std::string error;
    if (!tools::WritePngRgb(options.png, image.width, image.height, rgb.data(), &error))
      tools::Fail(error);
  }
  std::free(image.pixels);
}

void RunPicture(const Options& options) {
  Picture picture{};
  switch (options.kind) {
    case Options::Kind::ByExtension:
      LoadPicture(options.input.c_str(), &picture);
      break;
    case Options::Kind::Raw:
      LoadRawPicture(options.input.c_str(), &picture, options.width, options.height);
      break;
    case Options::Kind::R16:
      LoadR16Picture(options.input.c_str(), &picture, options.width, options.height);
      break;
  }
  std::printf("%dx%d\n", picture.width, picture.height);
  const size_t count = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
  if (!options.dump.empty()) WriteBytes(options.dump, picture.pixels, count * 2);
  std::string error;
  if (!options.png.empty() && !tools::WritePngPicture(options.png, picture, &error))
    tools::Fail(error);
  std::free(picture.pixels);
}

}  // namespace

int main(int argc, char** argv) {
  tools::StartTool("varnel-picture");
  const Options options = ParseOptions(argc, argv);
  // The archive stays closed: the loaders read the loose file by its name.
  if (options.indexed) {
    RunIndexed(options);
  } else {
    RunPicture(options);
  }
  return 0;
}
