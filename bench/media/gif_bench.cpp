// The reader's GIF decoder beside giflib's DGifSlurp on the same files, made
// at start with giflib's encoder: a 640x480 plasma-like map (long strings)
// and a 2048x1536 picture of gradients with noise (short strings).
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "varnel/media/gif_decoder.hpp"

using namespace varnel;

namespace {

using Bytes = std::vector<uint8_t>;

enum class Sample { Map, Picture };

struct SampleGif {
  int width;
  int height;
  Bytes indices;
  Bytes file;
};

[[noreturn]] void Abort(const char* what) {
  std::fprintf(stderr, "gif_bench: %s\n", what);
  std::abort();
}

int AppendToBytes(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<Bytes*>(gif->UserData);
  out->insert(out->end(), data, data + length);
  return length;
}

struct MemoryReader {
  const Bytes* file;
  size_t position;
};

int ReadFromBytes(GifFileType* gif, GifByteType* data, int length) {
  auto* reader = static_cast<MemoryReader*>(gif->UserData);
  const size_t count = std::min<size_t>(length, reader->file->size() - reader->position);
  std::memcpy(data, reader->file->data() + reader->position, count);
  reader->position += count;
  return static_cast<int>(count);
}

Bytes EncodeWithGiflib(int width, int height, const Bytes& indices) {
  Bytes file;
  int error = 0;
  GifFileType* gif = EGifOpen(&file, AppendToBytes, &error);
  if (!gif) Abort("EGifOpen failed");
  ColorMapObject* colours = GifMakeMapObject(256, nullptr);
  for (int i = 0; i < 256; ++i) {
    colours->Colors[i] = {static_cast<GifByteType>(i), static_cast<GifByteType>(255 - i),
                          static_cast<GifByteType>(i * 7)};
  }
  if (EGifPutScreenDesc(gif, width, height, 8, 0, colours) == GIF_ERROR ||
      EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_ERROR) {
    Abort("giflib could not start the image");
  }
  for (int y = 0; y < height; ++y) {
    auto* row = const_cast<GifPixelType*>(indices.data() + static_cast<size_t>(y) * width);
    if (EGifPutLine(gif, row, width) == GIF_ERROR) Abort("EGifPutLine failed");
  }
  if (EGifCloseFile(gif, &error) == GIF_ERROR) Abort("EGifCloseFile failed");
  GifFreeMapObject(colours);
  return file;
}

Bytes PlasmaMap(int width, int height) {
  Bytes map(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double v = std::sin(x / 37.0) + std::sin(y / 23.0) + std::sin((x + y) / 41.0) +
                       std::sin(std::hypot(x - 320.0, y - 240.0) / 19.0);
      map[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(std::lround(127.5 + 31.8 * v));
    }
  }
  return map;
}

Bytes NoisyGradients(int width, int height) {
  Bytes picture(static_cast<size_t>(width) * height);
  uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const double smooth = x / 10.0 + y / 7.0 + 40.0 * std::sin(x / 200.0) * std::cos(y / 150.0);
      const int jitter = static_cast<int>(noise >> 29) - 3;  // -3..4
      picture[static_cast<size_t>(y) * width + x] =
          static_cast<uint8_t>(static_cast<int>(smooth) + jitter);
    }
  }
  return picture;
}

Bytes DecodeWithGiflib(const Bytes& file) {
  MemoryReader reader{&file, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadFromBytes, &error);
  if (!gif || DGifSlurp(gif) == GIF_ERROR || gif->ImageCount < 1) Abort("giflib cannot read it");
  const SavedImage& image = gif->SavedImages[0];
  const size_t count = static_cast<size_t>(image.ImageDesc.Width) * image.ImageDesc.Height;
  Bytes indices(image.RasterBits, image.RasterBits + count);
  DGifCloseFile(gif, &error);
  return indices;
}

Bytes DecodeWithReader(const Bytes& file) {
  IndexedImage image{};
  if (!DecodeGif(file.data(), static_cast<int32_t>(file.size()), &image, nullptr)) {
    Abort("DecodeGif refused the file");
  }
  Bytes indices(image.pixels, image.pixels + static_cast<size_t>(image.width) * image.height);
  std::free(image.pixels);
  return indices;
}

// Built on first use; both decoders must give back exactly the encoded indices.
const SampleGif& GetSample(Sample which) {
  static SampleGif samples[2];
  SampleGif& sample = samples[static_cast<int>(which)];
  if (sample.file.empty()) {
    sample = which == Sample::Map ? SampleGif{640, 480, PlasmaMap(640, 480), {}}
                                  : SampleGif{2048, 1536, NoisyGradients(2048, 1536), {}};
    sample.file = EncodeWithGiflib(sample.width, sample.height, sample.indices);
    if (DecodeWithGiflib(sample.file) != sample.indices) Abort("giflib pixels differ");
    if (DecodeWithReader(sample.file) != sample.indices) Abort("DecodeGif pixels differ");
  }
  return sample;
}

void CountPixels(benchmark::State& state, const SampleGif& sample) {
  const int64_t pixels = static_cast<int64_t>(sample.width) * sample.height * state.iterations();
  state.SetItemsProcessed(pixels);
  state.counters["pixels_per_second"] =
      benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kIsRate);
}

void BM_DecodeGif(benchmark::State& state, Sample which) {
  const SampleGif& sample = GetSample(which);
  for (auto _ : state) {
    IndexedImage image{};
    DecodeGif(sample.file.data(), static_cast<int32_t>(sample.file.size()), &image, nullptr);
    benchmark::DoNotOptimize(image.pixels);
    std::free(image.pixels);
  }
  CountPixels(state, sample);
}

void BM_GiflibSlurp(benchmark::State& state, Sample which) {
  const SampleGif& sample = GetSample(which);
  for (auto _ : state) {
    MemoryReader reader{&sample.file, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadFromBytes, &error);
    DGifSlurp(gif);
    benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
    DGifCloseFile(gif, &error);
  }
  CountPixels(state, sample);
}

BENCHMARK_CAPTURE(BM_DecodeGif, map, Sample::Map)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GiflibSlurp, map, Sample::Map)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeGif, picture, Sample::Picture)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GiflibSlurp, picture, Sample::Picture)->Unit(benchmark::kMillisecond);

}  // namespace
