// The PNG and JPEG loaders against their libraries' own decode of the same
// 640x480 files. The loaders' times include opening the file and packing to
// 5-5-5; the peers decode the same file into R, G, B rows in a buffer they
// reuse. Goal: each loader within 1.15x of its peer.
// Run: media_bench --benchmark_filter='Load|Lib' --benchmark_repetitions=10
//
// The files are made once at start in a temporary folder: a smooth colour
// field with some fine noise, like a scanned or rendered picture; the PNG is
// 8-bit RGB at libpng's default compression, the JPEG baseline 4:2:0 at
// quality 85.
#include <benchmark/benchmark.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/jpeg/jpeg_reference.hpp"
#include "varnel/media/picture.hpp"

using namespace varnel;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

std::vector<uint8_t> MakeRgb() {
  std::vector<uint8_t> rgb;
  rgb.reserve(kWidth * kHeight * 3);
  uint32_t seed = 2024;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      seed = seed * 1664525 + 1013904223;
      const int noise = static_cast<int>(seed >> 29) - 4;
      const double r = 128 + 100 * std::sin(x / 57.0) * std::cos(y / 91.0);
      const double g = 128 + 90 * std::sin((x + y) / 73.0);
      const double b = 128 + 110 * std::cos(std::hypot(x - 320, y - 240) / 40.0);
      for (double channel : {r, g, b})
        rgb.push_back(static_cast<uint8_t>(std::clamp(static_cast<int>(channel) + noise, 0, 255)));
    }
  return rgb;
}

void WritePng(const std::string& path, const std::vector<uint8_t>& rgb) {
  FILE* file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < kHeight; ++y)
    png_write_row(png, const_cast<png_bytep>(rgb.data()) + y * kWidth * 3);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

// The two files, made on first use and removed at exit.
struct BenchFiles {
  std::string folder;
  std::string png;
  std::string jpeg;

  BenchFiles() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/picture-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    folder = pattern;
    png = folder + "/bench.png";
    jpeg = folder + "/bench.jpg";
    const std::vector<uint8_t> rgb = MakeRgb();
    WritePng(png, rgb);
    std::vector<uint8_t> encoded;
    if (!platform::EncodeJpeg({kWidth, kHeight, rgb}, {.quality = 85}, &encoded)) std::abort();
    FILE* file = std::fopen(jpeg.c_str(), "wb");
    std::fwrite(encoded.data(), 1, encoded.size(), file);
    std::fclose(file);
  }
  ~BenchFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
};

const BenchFiles& Files() {
  static const BenchFiles files;
  return files;
}

void LoadEach(benchmark::State& state, const std::string& path,
              void (*load)(const char*, Picture*)) {
  for (auto _ : state) {
    Picture picture{};
    load(path.c_str(), &picture);
    benchmark::DoNotOptimize(picture.pixels[picture.width * picture.height - 1]);
    std::free(picture.pixels);
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_LoadPng(benchmark::State& state) { LoadEach(state, Files().png, LoadPngPicture); }

void BM_LibpngDecode(benchmark::State& state) {
  std::vector<uint8_t> rgb(kWidth * kHeight * 3);
  std::vector<png_bytep> rows;
  for (int y = 0; y < kHeight; ++y) rows.push_back(rgb.data() + y * kWidth * 3);
  for (auto _ : state) {
    FILE* file = std::fopen(Files().png.c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_read_info(png, info);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    benchmark::DoNotOptimize(rgb.back());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_LoadJpeg(benchmark::State& state) { LoadEach(state, Files().jpeg, LoadJpegPicture); }

void BM_LibjpegDecode(benchmark::State& state) {
  platform::RgbPicture picture;
  for (auto _ : state) {
    if (!platform::DecodeJpegFileToRgb(Files().jpeg.c_str(), &picture))
      state.SkipWithError("decode");
    benchmark::DoNotOptimize(picture.rgb.back());
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// On a busy machine the fastest of several repetitions is the steadiest
// figure: run with --benchmark_repetitions=N and compare the _min rows.
double Fastest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

BENCHMARK(BM_LoadPng)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_LibpngDecode)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_LoadJpeg)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_LibjpegDecode)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Fastest);

}  // namespace
