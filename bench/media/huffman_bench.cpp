// Huffman unpacking against zlib's and libdeflate's inflate on the same data.
//
// Two deterministic data sets of a few MiB each:
//   text     English-like prose from a word list (Zipf-ish word choice,
//            punctuation, capitals, lines wrapped at 72 columns)
//   picture  raw bytes of 640x480 frames in the 15-bit 5-5-5 format: a smooth
//            plasma gradient with a little noise, little endian
// Every benchmark reports bytes of unpacked OUTPUT per second, so the
// bytes_per_second of BM_UnpackHuffman/<set>, BM_ZlibInflate/<set> and
// BM_LibdeflateInflate/<set> compare directly. Both inflates decode the very
// same zlib stream (level 6, Adler-32 checked). BM_UnpackHuffmanReference (the bit-by-bit walk) is for
// information.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "varnel/media/huffman_codec.hpp"

using namespace varnel;

namespace {

using Bytes = std::vector<uint8_t>;

struct Rng {
  uint64_t state;
  uint32_t Next() {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state >> 33);
  }
  uint32_t Below(uint32_t n) { return static_cast<uint32_t>((uint64_t{Next()} * n) >> 31); }
};

Bytes MakeText(size_t size) {
  static const char* const kWords[] = {
      "the",      "of",      "and",       "to",       "a",        "in",          "is",
      "that",     "for",     "it",        "as",       "was",      "with",        "be",
      "by",       "on",      "not",       "he",       "this",     "are",         "or",
      "his",      "from",    "at",        "which",    "but",      "have",        "an",
      "had",      "they",    "you",       "were",     "their",    "one",         "all",
      "we",       "can",     "her",       "has",      "there",    "been",        "if",
      "more",     "when",    "will",      "would",    "who",      "so",          "no",
      "magazine", "issue",   "disk",      "music",    "demo",     "scene",       "party",
      "picture",  "module",  "tracker",   "screen",   "article",  "reader",      "editor",
      "graphics", "code",    "sound",     "release",  "group",    "member",      "design",
      "colour",   "palette", "pixel",     "font",     "page",     "menu",        "archive",
      "through",  "between", "another",   "because",  "without",  "together",    "already",
      "computer", "machine", "memory",    "program",  "version",  "history",     "future",
      "people",   "nothing", "something", "everyone", "question", "answer",      "interview",
      "winter",   "summer",  "evening",   "morning",  "weekend",  "competition", "result",
  };
  constexpr uint32_t kCount = sizeof kWords / sizeof kWords[0];
  Rng rng{12345};
  std::string text;
  text.reserve(size + 128);
  size_t column = 0;
  bool capital = true;
  while (text.size() < size) {
    // Zipf-like: the product of two uniform picks favours low ranks.
    const uint32_t rank = rng.Below(kCount) * rng.Below(kCount) / kCount;
    std::string word = kWords[rank];
    if (capital) word[0] = static_cast<char>(word[0] - 'a' + 'A');
    capital = false;
    const uint32_t punct = rng.Below(100);
    if (punct < 6) {
      word += '.';
      capital = true;
    } else if (punct < 11) {
      word += ',';
    } else if (punct < 12) {
      word += '!';
      capital = true;
    }
    if (column + word.size() + 1 > 72) {
      text += '\n';
      if (rng.Below(6) == 0) text += '\n';  // paragraph break
      column = 0;
    } else if (column > 0) {
      text += ' ';
      ++column;
    }
    text += word;
    column += word.size();
  }
  text.resize(size);
  return Bytes(text.begin(), text.end());
}

Bytes MakePicture(int frames) {
  constexpr int kWidth = 640;
  constexpr int kHeight = 480;
  Bytes bytes;
  bytes.reserve(size_t{kWidth} * kHeight * 2 * frames);
  Rng rng{777};
  for (int f = 0; f < frames; ++f) {
    const double t = f * 0.7;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const double v = std::sin(x * 0.011 + t) + std::sin(y * 0.017 - t) +
                         std::sin((x + y) * 0.007 + 2 * t) +
                         std::sin(std::sqrt(double(x * x + y * y)) * 0.013);
        const auto channel = [&](double phase) {
          const double c = 15.5 + 15.5 * std::sin(v * 1.3 + phase);
          int level = static_cast<int>(c) + static_cast<int>(rng.Below(3)) - 1;  // noise
          return level < 0 ? 0 : level > 31 ? 31 : level;
        };
        const int r = channel(0.0);
        const int g = channel(2.1);
        const int b = channel(4.2);
        const uint16_t pixel = static_cast<uint16_t>((r << 10) | (g << 5) | b);
        bytes.push_back(static_cast<uint8_t>(pixel));
        bytes.push_back(static_cast<uint8_t>(pixel >> 8));
      }
    }
  }
  return bytes;
}

struct DataSet {
  Bytes raw;
  Bytes huffman;
  Bytes zlib;
};

DataSet Prepare(Bytes raw) {
  DataSet set;
  set.raw = std::move(raw);
  const int32_t size = static_cast<int32_t>(set.raw.size());
  set.huffman.resize(static_cast<size_t>(PackHuffmanBound(size)));
  const int32_t packed = PackHuffman(set.raw.data(), size, set.huffman.data());
  if (packed < 0) std::abort();
  set.huffman.resize(static_cast<size_t>(packed));
  uLongf zsize = compressBound(set.raw.size());
  set.zlib.resize(zsize);
  if (compress2(set.zlib.data(), &zsize, set.raw.data(), set.raw.size(), Z_DEFAULT_COMPRESSION) !=
      Z_OK) {
    std::abort();
  }
  set.zlib.resize(zsize);
  return set;
}

const DataSet& Text() {
  static const DataSet set = Prepare(MakeText(size_t{4} << 20));
  return set;
}

const DataSet& Picture() {
  static const DataSet set = Prepare(MakePicture(7));  // 7 frames: 4.1 MiB
  return set;
}

using DataSetFn = const DataSet& (*)();

void Describe(benchmark::State& state, const DataSet& set, size_t packedSize) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(set.raw.size()));
  state.counters["raw_bytes"] = static_cast<double>(set.raw.size());
  state.counters["ratio"] = static_cast<double>(packedSize) / static_cast<double>(set.raw.size());
}

template <int32_t (*Unpack)(const uint8_t*, int32_t, uint8_t*, int32_t)>
void UnpackBench(benchmark::State& state, DataSetFn data) {
  const DataSet& set = data();
  Bytes out(set.raw.size());
  const int32_t capacity = static_cast<int32_t>(out.size());
  for (auto _ : state) {
    const int32_t n =
        Unpack(set.huffman.data(), static_cast<int32_t>(set.huffman.size()), out.data(), capacity);
    if (n != capacity) {
      state.SkipWithError("unpacked size differs");
      break;
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  if (out != set.raw) state.SkipWithError("unpacked bytes differ");
  Describe(state, set, set.huffman.size());
}

void BM_UnpackHuffman(benchmark::State& state, DataSetFn data) {
  UnpackBench<UnpackHuffman>(state, data);
}

void BM_UnpackHuffmanReference(benchmark::State& state, DataSetFn data) {
  UnpackBench<UnpackHuffmanReference>(state, data);
}

void BM_ZlibInflate(benchmark::State& state, DataSetFn data) {
  const DataSet& set = data();
  Bytes out(set.raw.size());
  for (auto _ : state) {
    uLongf size = out.size();
    if (uncompress(out.data(), &size, set.zlib.data(), set.zlib.size()) != Z_OK ||
        size != out.size()) {
      state.SkipWithError("inflate failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  if (out != set.raw) state.SkipWithError("inflated bytes differ");
  Describe(state, set, set.zlib.size());
}

void BM_LibdeflateInflate(benchmark::State& state, DataSetFn data) {
  const DataSet& set = data();
  Bytes out(set.raw.size());
  libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
  if (!inflater) std::abort();
  for (auto _ : state) {
    size_t size = 0;
    if (libdeflate_zlib_decompress(inflater, set.zlib.data(), set.zlib.size(), out.data(),
                                   out.size(), &size) != LIBDEFLATE_SUCCESS ||
        size != out.size()) {
      state.SkipWithError("inflate failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  libdeflate_free_decompressor(inflater);
  if (out != set.raw) state.SkipWithError("inflated bytes differ");
  Describe(state, set, set.zlib.size());
}

void BM_PackHuffman(benchmark::State& state, DataSetFn data) {
  const DataSet& set = data();
  Bytes out(static_cast<size_t>(PackHuffmanBound(static_cast<int32_t>(set.raw.size()))));
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        PackHuffman(set.raw.data(), static_cast<int32_t>(set.raw.size()), out.data()));
    benchmark::ClobberMemory();
  }
  Describe(state, set, set.huffman.size());
}

}  // namespace

BENCHMARK_CAPTURE(BM_UnpackHuffman, text, Text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibInflate, text, Text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LibdeflateInflate, text, Text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UnpackHuffmanReference, text, Text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UnpackHuffman, picture, Picture)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ZlibInflate, picture, Picture)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LibdeflateInflate, picture, Picture)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UnpackHuffmanReference, picture, Picture)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackHuffman, text, Text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PackHuffman, picture, Picture)->Unit(benchmark::kMillisecond);
