// Huffman codec: the format's fixed points (tree shape, tie-break,
// exact stream bytes), the failure rules, round trips, and the fast decoder
// checked against the bit-by-bit reference on valid, damaged and
// pathological streams.
#include "varnel/media/huffman_codec.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "varnel/media/huffman_tree.hpp"

using namespace varnel;

namespace {

using Bytes = std::vector<uint8_t>;
using huffman_detail::BuildHuffmanTreeByHeap;
using huffman_detail::BuildHuffmanTreeByScan;
using huffman_detail::HuffmanTree;

Bytes Pack(const Bytes& input) {
  Bytes out(static_cast<size_t>(PackHuffmanBound(static_cast<int32_t>(input.size()))));
  const int32_t n = PackHuffman(input.data(), static_cast<int32_t>(input.size()), out.data());
  EXPECT_GE(n, kHuffmanCountTableSize);
  EXPECT_LE(n, static_cast<int64_t>(out.size()));
  out.resize(static_cast<size_t>(std::max(n, 0)));
  return out;
}

// Result of one decoder on an exactly sized copy of the stream (so that ASan
// sees any read past its end) into an exactly sized output.
struct Decoded {
  int32_t result;
  Bytes output;
};

template <int32_t (*Unpack)(const uint8_t*, int32_t, uint8_t*, int32_t)>
Decoded Run(const Bytes& packed, int32_t capacity) {
  Bytes input(packed);
  Decoded d;
  // Filled with a pattern: bytes the decoder does not write must stay as they were.
  d.output.assign(static_cast<size_t>(std::max(capacity, 0)), 0xA5);
  d.result = Unpack(input.empty() ? nullptr : input.data(), static_cast<int32_t>(input.size()),
                    d.output.empty() ? nullptr : d.output.data(), capacity);
  return d;
}

Decoded Fast(const Bytes& packed, int32_t capacity) { return Run<UnpackHuffman>(packed, capacity); }
Decoded Reference(const Bytes& packed, int32_t capacity) {
  return Run<UnpackHuffmanReference>(packed, capacity);
}

// Both decoders; expects the same result and the same whole output buffer.
int32_t UnpackBoth(const Bytes& packed, int32_t capacity, Bytes* output = nullptr) {
  const Decoded ref = Reference(packed, capacity);
  const Decoded fast = Fast(packed, capacity);
  EXPECT_EQ(fast.result, ref.result) << "packed size " << packed.size() << " capacity " << capacity;
  EXPECT_TRUE(fast.output == ref.output) << "outputs differ";
  if (output != nullptr) {
    *output = ref.output;
    if (ref.result >= 0) output->resize(static_cast<size_t>(ref.result));
  }
  return ref.result;
}

void ExpectRoundTrip(const Bytes& input) {
  const Bytes packed = Pack(input);
  const int32_t size = static_cast<int32_t>(input.size());
  Bytes out;
  ASSERT_EQ(UnpackBoth(packed, size, &out), size);
  ASSERT_TRUE(out == input);
  // With room to spare the result is the same.
  ASSERT_EQ(UnpackBoth(packed, size + 17), size);
}

std::string CodeOf(const HuffmanTree& tree, int symbol) {
  std::string code;
  int node = tree.leafOf[symbol];
  if (node < 0) return "none";
  while (tree.parent[node] != huffman_detail::kNoNode) {
    const int up = tree.parent[node];
    code.insert(code.begin(), tree.child[up][1] == node ? '1' : '0');
    node = up;
  }
  return code;
}

void PutCount(Bytes& table, int symbol, int32_t count) {
  const auto v = static_cast<uint32_t>(count);
  for (int b = 0; b < 4; ++b) table[4 * symbol + b] = static_cast<uint8_t>(v >> (8 * b));
}

// A stream for any count table (also damaged ones): the tree built from the
// counts, then the codes of `symbols` (256 = end) LSB first, zero padded.
Bytes MakeStream(const std::vector<int32_t>& counts256, const std::vector<int>& symbols) {
  int32_t counts[kHuffmanSymbols];
  for (int s = 0; s < 256; ++s) counts[s] = counts256[s];
  counts[256] = 1;
  HuffmanTree tree;
  BuildHuffmanTreeByScan(counts, tree);
  std::string codes[kHuffmanSymbols];
  for (int s = 0; s < kHuffmanSymbols; ++s) codes[s] = CodeOf(tree, s);
  Bytes stream(kHuffmanCountTableSize, 0);
  for (int s = 0; s < 256; ++s) PutCount(stream, s, counts[s]);
  size_t bit = 0;
  for (int symbol : symbols) {
    for (char c : codes[symbol]) {
      if (bit % 8 == 0) stream.push_back(0);
      if (c == '1') stream.back() |= static_cast<uint8_t>(1u << (bit % 8));
      ++bit;
    }
  }
  return stream;
}

std::vector<int32_t> CountsOf(const Bytes& data) {
  std::vector<int32_t> counts(256, 0);
  for (uint8_t b : data) ++counts[b];
  return counts;
}

int MaxCodeLength(const std::vector<int32_t>& counts256) {
  int32_t counts[kHuffmanSymbols];
  for (int s = 0; s < 256; ++s) counts[s] = counts256[s];
  counts[256] = 1;
  HuffmanTree tree;
  BuildHuffmanTreeByScan(counts, tree);
  size_t longest = 0;
  for (int s = 0; s < kHuffmanSymbols; ++s) {
    if (tree.leafOf[s] >= 0) longest = std::max(longest, CodeOf(tree, s).size());
  }
  return static_cast<int>(longest);
}

Bytes RandomBytes(std::mt19937& rng, size_t n, int alphabet) {
  Bytes b(n);
  std::uniform_int_distribution<int> pick(0, alphabet - 1);
  for (auto& x : b) x = static_cast<uint8_t>(pick(rng));
  return b;
}

Bytes SkewedBytes(std::mt19937& rng, size_t n, double p) {
  Bytes b(n);
  std::geometric_distribution<int> pick(p);
  for (auto& x : b) x = static_cast<uint8_t>(std::min(pick(rng), 255));
  return b;
}

// ---------------------------------------------------------------- format

TEST(HuffmanFormat, AllZeroTableUnpacksToNothing) {
  const Bytes packed(kHuffmanCountTableSize, 0);
  EXPECT_EQ(UnpackBoth(packed, 0), 0);
  EXPECT_EQ(UnpackBoth(packed, 100), 0);
  // Bytes after the table are not looked at.
  Bytes withTail = packed;
  withTail.insert(withTail.end(), {0xFF, 0x13, 0x00});
  EXPECT_EQ(UnpackBoth(withTail, 5), 0);
  // Null output with capacity 0.
  EXPECT_EQ(UnpackHuffman(packed.data(), kHuffmanCountTableSize, nullptr, 0), 0);
  EXPECT_EQ(UnpackHuffmanReference(packed.data(), kHuffmanCountTableSize, nullptr, 0), 0);
  // And the packer makes exactly that of an empty input.
  EXPECT_EQ(Pack({}), packed);
}

TEST(HuffmanFormat, OneValueRepeatedHasEndSymbolLeftAndByteRight) {
  std::vector<int32_t> counts(256, 0);
  counts['x'] = 10;
  int32_t all[kHuffmanSymbols];
  std::copy(counts.begin(), counts.end(), all);
  all[256] = 1;
  HuffmanTree tree;
  BuildHuffmanTreeByScan(all, tree);
  EXPECT_EQ(tree.leafCount, 2);
  EXPECT_EQ(CodeOf(tree, kEndOfStreamSymbol), "0");
  EXPECT_EQ(CodeOf(tree, 'x'), "1");

  // n one-bits, one zero-bit, zero padding: the exact stream bytes.
  const struct {
    int n;
    Bytes bits;
  } cases[] = {
      {1, {0x01}},        // 1, 0
      {5, {0x1F}},        // 11111 0
      {7, {0x7F}},        // 1111111 0 fills the byte exactly
      {8, {0xFF, 0x00}},  // the end code alone in a second byte
      {10, {0xFF, 0x03}},
  };
  for (const auto& c : cases) {
    const Bytes input(static_cast<size_t>(c.n), 'x');
    const Bytes packed = Pack(input);
    Bytes expected(kHuffmanCountTableSize, 0);
    PutCount(expected, 'x', c.n);
    for (uint8_t byte : c.bits) expected.push_back(byte);
    EXPECT_EQ(packed, expected) << "n = " << c.n;
    Bytes out;
    EXPECT_EQ(UnpackBoth(packed, c.n, &out), c.n);
    EXPECT_EQ(out, input);
  }
}

TEST(HuffmanFormat, TieBreakTakesHighestIndexFirst) {
  // Counts A = 1, B = 1, end = 1: first merge (end, B), then (A, that node).
  int32_t all[kHuffmanSymbols] = {};
  all['A'] = 1;
  all['B'] = 1;
  all[256] = 1;
  HuffmanTree tree;
  BuildHuffmanTreeByScan(all, tree);
  ASSERT_EQ(tree.leafCount, 3);
  EXPECT_EQ(tree.child[3][0], 2);  // end symbol's leaf (index 2) is the first pick
  EXPECT_EQ(tree.child[3][1], 1);  // B
  EXPECT_EQ(tree.child[4][0], 0);  // A, weight 1, before the weight-2 node
  EXPECT_EQ(tree.child[4][1], 3);
  EXPECT_EQ(CodeOf(tree, 'A'), "0");
  EXPECT_EQ(CodeOf(tree, kEndOfStreamSymbol), "10");
  EXPECT_EQ(CodeOf(tree, 'B'), "11");

  // "AB": 0, 11, 10 -> bits 0 1 1 1 0 -> 0x0E. "BA": 11, 0, 10 -> 0x0B.
  Bytes expected(kHuffmanCountTableSize, 0);
  PutCount(expected, 'A', 1);
  PutCount(expected, 'B', 1);
  Bytes ab = expected;
  ab.push_back(0x0E);
  Bytes ba = expected;
  ba.push_back(0x0B);
  EXPECT_EQ(Pack({'A', 'B'}), ab);
  EXPECT_EQ(Pack({'B', 'A'}), ba);
  Bytes out;
  EXPECT_EQ(UnpackBoth(ab, 2, &out), 2);
  EXPECT_EQ(out, Bytes({'A', 'B'}));
  EXPECT_EQ(UnpackBoth(ba, 2, &out), 2);
  EXPECT_EQ(out, Bytes({'B', 'A'}));
}

TEST(HuffmanFormat, TreeBuildersAgreeOnAnyCounts) {
  std::mt19937 rng(4);
  const auto compare = [](const int32_t* counts) {
    HuffmanTree a, b;
    BuildHuffmanTreeByScan(counts, a);
    BuildHuffmanTreeByHeap(counts, b);
    ASSERT_EQ(a.nodeCount, b.nodeCount);
    for (int i = 0; i < a.nodeCount; ++i) {
      ASSERT_EQ(a.weight[i], b.weight[i]) << i;
      ASSERT_EQ(a.symbol[i], b.symbol[i]) << i;
      ASSERT_EQ(a.child[i][0], b.child[i][0]) << i;
      ASSERT_EQ(a.child[i][1], b.child[i][1]) << i;
      ASSERT_EQ(a.parent[i], b.parent[i]) << i;
    }
  };
  for (int round = 0; round < 300; ++round) {
    int32_t counts[kHuffmanSymbols];
    const int kind = round % 6;
    for (int s = 0; s < 256; ++s) {
      uint32_t r = rng();
      switch (kind) {
        case 0:
          counts[s] = static_cast<int32_t>(r % 4);
          break;  // many ties
        case 1:
          counts[s] = static_cast<int32_t>(r);
          break;  // anything
        case 2:
          counts[s] = static_cast<int32_t>(r % 7) - 3;
          break;  // negatives
        case 3:
          counts[s] = (r % 3 == 0) ? INT32_MAX - static_cast<int32_t>(r % 5) : 0;
          break;
        case 4:
          counts[s] = (r % 10 == 0) ? static_cast<int32_t>(r % 1000) : 0;
          break;
        default:
          counts[s] = INT32_MIN + static_cast<int32_t>(r % 3);
          break;  // wrap
      }
    }
    counts[256] = 1;
    compare(counts);
  }
}

TEST(HuffmanFormat, WeightsWrapLikeTwosComplement) {
  int32_t counts[kHuffmanSymbols] = {};
  counts[0] = INT32_MAX;
  counts[1] = INT32_MAX;
  counts[256] = 1;
  HuffmanTree tree;
  BuildHuffmanTreeByScan(counts, tree);
  // First merge: end (1) and leaf 1 (highest index of the two INT32_MAX);
  // INT32_MAX + 1 wraps to INT32_MIN, the smallest weight, picked first next.
  EXPECT_EQ(tree.weight[3], INT32_MIN);
  EXPECT_EQ(tree.child[4][0], 3);
  EXPECT_EQ(tree.child[4][1], 0);
  EXPECT_EQ(tree.weight[4], -1);
}

// ---------------------------------------------------------------- failures

TEST(HuffmanFailure, TableCutShortOrNegativeSizes) {
  const Bytes packed = Pack({'h', 'e', 'l', 'l', 'o'});
  for (int32_t size : {0, 1, 512, 1023}) {
    Bytes cut(packed.begin(), packed.begin() + size);
    EXPECT_EQ(UnpackBoth(cut, 10), -1) << size;
  }
  Bytes out(10);
  EXPECT_EQ(UnpackHuffman(packed.data(), -1, out.data(), 10), -1);
  EXPECT_EQ(UnpackHuffmanReference(packed.data(), -1, out.data(), 10), -1);
  EXPECT_EQ(UnpackHuffman(packed.data(), INT32_MIN, out.data(), 10), -1);
  EXPECT_EQ(UnpackHuffman(nullptr, 0, out.data(), 10), -1);
  EXPECT_EQ(UnpackHuffmanReference(nullptr, 0, out.data(), 10), -1);
  // A negative capacity is damage too, even for an empty stream.
  const Bytes empty(kHuffmanCountTableSize, 0);
  EXPECT_EQ(UnpackHuffman(empty.data(), kHuffmanCountTableSize, out.data(), -1), -1);
  EXPECT_EQ(UnpackHuffmanReference(empty.data(), kHuffmanCountTableSize, out.data(), -1), -1);
  EXPECT_EQ(UnpackHuffman(packed.data(), static_cast<int32_t>(packed.size()), out.data(), -5), -1);
  EXPECT_EQ(PackHuffman(nullptr, -1, out.data()), -1);
}

TEST(HuffmanFailure, StreamCutBeforeEndSymbol) {
  std::mt19937 rng(7);
  const Bytes input = SkewedBytes(rng, 3000, 0.2);
  const Bytes packed = Pack(input);
  const int32_t n = static_cast<int32_t>(input.size());
  // Every cut drops at least the end code's last bit.
  for (size_t size = kHuffmanCountTableSize; size < packed.size(); ++size) {
    Bytes cut(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(size));
    ASSERT_EQ(UnpackBoth(cut, n), -1) << size;
    ASSERT_EQ(UnpackBoth(cut, n + 100), -1) << size;
  }
  // Just the table of a non-empty input: no bits at all.
  Bytes tableOnly(packed.begin(), packed.begin() + kHuffmanCountTableSize);
  EXPECT_EQ(UnpackBoth(tableOnly, n), -1);
}

TEST(HuffmanFailure, OutputTooSmall) {
  std::mt19937 rng(8);
  for (size_t n : {1u, 2u, 15u, 16u, 17u, 100u, 4000u}) {
    const Bytes input = RandomBytes(rng, n, 40);
    const Bytes packed = Pack(input);
    const auto size = static_cast<int32_t>(n);
    EXPECT_EQ(UnpackBoth(packed, size), size);
    for (int32_t capacity : {0, size / 2, size - 1}) {
      if (capacity >= size) continue;
      Bytes out;
      EXPECT_EQ(UnpackBoth(packed, capacity, &out), -1) << n << " into " << capacity;
      // Bytes that fitted are the stream's first bytes.
      EXPECT_TRUE(std::equal(out.begin(), out.end(), input.begin()));
    }
    // Null output with capacity 0 and data to write.
    EXPECT_EQ(UnpackHuffman(packed.data(), static_cast<int32_t>(packed.size()), nullptr, 0), -1);
    EXPECT_EQ(
        UnpackHuffmanReference(packed.data(), static_cast<int32_t>(packed.size()), nullptr, 0), -1);
  }
}

TEST(HuffmanFailure, TrailingBytesAndPaddingBitsAreIgnored) {
  std::mt19937 rng(9);
  // An input whose codes leave padding bits in the last byte.
  Bytes input, packed;
  int padding = 0;
  for (size_t size = 777; padding == 0; ++size) {
    input = RandomBytes(rng, size, 200);
    packed = Pack(input);
    const std::vector<int32_t> counts = CountsOf(input);
    int32_t all[kHuffmanSymbols];
    std::copy(counts.begin(), counts.end(), all);
    all[256] = 1;
    HuffmanTree tree;
    BuildHuffmanTreeByScan(all, tree);
    uint64_t bits = CodeOf(tree, kEndOfStreamSymbol).size();
    for (int s = 0; s < 256; ++s) {
      if (counts[static_cast<size_t>(s)] > 0)
        bits += counts[static_cast<size_t>(s)] * CodeOf(tree, s).size();
    }
    ASSERT_EQ(packed.size(), kHuffmanCountTableSize + (bits + 7) / 8);
    padding = static_cast<int>((8 - bits % 8) % 8);
  }
  const auto n = static_cast<int32_t>(input.size());
  Bytes out;
  Bytes padded = packed;
  ASSERT_EQ(padded.back() >> (8 - padding), 0) << "padding bits are zero";
  padded.back() |= static_cast<uint8_t>(0xFF << (8 - padding));
  EXPECT_EQ(UnpackBoth(padded, n, &out), n);
  EXPECT_EQ(out, input);
  Bytes junk = padded;
  for (int i = 0; i < 100; ++i) junk.push_back(static_cast<uint8_t>(rng()));
  EXPECT_EQ(UnpackBoth(junk, n, &out), n);
  EXPECT_EQ(out, input);
  // A stream whose end symbol comes early: everything after it is ignored.
  std::vector<int> symbols = {'a', 'b', kEndOfStreamSymbol, 'a', 'a', 'b', kEndOfStreamSymbol};
  std::vector<int32_t> counts(256, 0);
  counts['a'] = 3;
  counts['b'] = 2;
  const Bytes early = MakeStream(counts, symbols);
  EXPECT_EQ(UnpackBoth(early, 100, &out), 2);
  EXPECT_EQ(out, Bytes({'a', 'b'}));
}

// ---------------------------------------------------------------- round trips

TEST(HuffmanRoundTrip, SmallAndEdgeInputs) {
  ExpectRoundTrip({});
  ExpectRoundTrip({0});
  ExpectRoundTrip({255});
  ExpectRoundTrip({1, 2});
  Bytes all(256);
  for (int i = 0; i < 256; ++i) all[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
  ExpectRoundTrip(all);
  std::reverse(all.begin(), all.end());
  ExpectRoundTrip(all);
  for (size_t n = 0; n < 80; ++n) ExpectRoundTrip(Bytes(n, 'q'));
}

TEST(HuffmanRoundTrip, RandomAndSkewedData) {
  std::mt19937 rng(10);
  for (int round = 0; round < 60; ++round) {
    const size_t n = rng() % 5000;
    switch (round % 4) {
      case 0:
        ExpectRoundTrip(RandomBytes(rng, n, 256));
        break;
      case 1:
        ExpectRoundTrip(RandomBytes(rng, n, 1 + static_cast<int>(rng() % 16)));
        break;
      case 2:
        ExpectRoundTrip(SkewedBytes(rng, n, 0.5));
        break;
      default:
        ExpectRoundTrip(SkewedBytes(rng, n, 0.05));
        break;
    }
  }
  ExpectRoundTrip(RandomBytes(rng, 1 << 20, 256));
  ExpectRoundTrip(SkewedBytes(rng, 1 << 20, 0.3));
}

TEST(HuffmanRoundTrip, BoundHoldsAndIsNearlyTight) {
  std::mt19937 rng(11);
  // Uniform bytes give 8-bit codes (and 9 for two of them): close to 8 bits a byte.
  const Bytes uniform = RandomBytes(rng, 1 << 16, 256);
  const Bytes packed = Pack(uniform);
  EXPECT_LE(static_cast<int64_t>(packed.size()), PackHuffmanBound(1 << 16));
  EXPECT_GE(static_cast<int64_t>(packed.size()), kHuffmanCountTableSize + (1 << 16));
  EXPECT_EQ(PackHuffmanBound(0), kHuffmanCountTableSize + 2);
  // The packer writes only up to its result.
  Bytes out(static_cast<size_t>(PackHuffmanBound(1000)) + 32, 0xEE);
  const Bytes input = SkewedBytes(rng, 1000, 0.1);
  const int32_t n = PackHuffman(input.data(), 1000, out.data());
  for (size_t i = static_cast<size_t>(n); i < out.size(); ++i) ASSERT_EQ(out[i], 0xEE);
}

TEST(HuffmanRoundTrip, CodesLongerThan24Bits) {
  // Fibonacci counts make the tree a chain: 30 symbols with counts F(1)..F(30)
  // (2.2 MB) give codes of about 30 bits.
  std::vector<int32_t> counts(256, 0);
  int64_t a = 1, b = 1;
  Bytes input;
  for (int s = 0; s < 30; ++s) {
    counts[static_cast<size_t>(s * 7 + 3)] = static_cast<int32_t>(a);
    input.insert(input.end(), static_cast<size_t>(a), static_cast<uint8_t>(s * 7 + 3));
    const int64_t next = a + b;
    a = b;
    b = next;
  }
  std::mt19937 rng(12);
  std::shuffle(input.begin(), input.end(), rng);
  ASSERT_GT(MaxCodeLength(CountsOf(input)), 24);
  ExpectRoundTrip(input);
}

// ---------------------------------------------------------------- fast vs reference

TEST(HuffmanFastDecoder, DeepTreesUpTo256Bits) {
  // All byte counts -1: each merge's sum is the new smallest, so the tree is a
  // chain and bytes 254 and 255 get 256-bit codes.
  std::vector<int32_t> counts(256, -1);
  {
    int32_t all[kHuffmanSymbols];
    std::copy(counts.begin(), counts.end(), all);
    all[256] = 1;
    HuffmanTree tree;
    BuildHuffmanTreeByScan(all, tree);
    EXPECT_EQ(CodeOf(tree, 255).size(), 256u);
    EXPECT_EQ(CodeOf(tree, kEndOfStreamSymbol).size(), 1u);
  }
  std::mt19937 rng(13);
  for (int round = 0; round < 10; ++round) {
    std::vector<int> symbols;
    const size_t n = rng() % 200;
    Bytes expected;
    for (size_t i = 0; i < n; ++i) {
      const int s =
          (round % 2 == 0) ? static_cast<int>(rng() % 256) : 250 + static_cast<int>(rng() % 6);
      symbols.push_back(s);
      expected.push_back(static_cast<uint8_t>(s));
    }
    symbols.push_back(kEndOfStreamSymbol);
    const Bytes stream = MakeStream(counts, symbols);
    Bytes out;
    ASSERT_EQ(UnpackBoth(stream, static_cast<int32_t>(n), &out), static_cast<int32_t>(n));
    ASSERT_EQ(out, expected);
    // Cuts of it fail in both (the last byte's, and some at random).
    for (int k = 0; k < 30; ++k) {
      const size_t size =
          k == 0 ? stream.size() - 1
                 : kHuffmanCountTableSize + rng() % (stream.size() - kHuffmanCountTableSize);
      Bytes cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(size));
      ASSERT_EQ(UnpackBoth(cut, static_cast<int32_t>(n)), -1);
    }
    // Less room than bytes.
    if (n > 0) {
      ASSERT_EQ(UnpackBoth(stream, static_cast<int32_t>(n - 1)), -1);
    }
  }
}

TEST(HuffmanFastDecoder, MatchesReferenceOnDamagedStreams) {
  std::mt19937 rng(14);
  std::vector<Bytes> valid;
  for (int i = 0; i < 12; ++i) {
    const size_t n = 1 + rng() % 3000;
    valid.push_back(Pack(i % 2 ? SkewedBytes(rng, n, 0.15) : RandomBytes(rng, n, 1 + i * 20)));
  }
  int failures = 0, successes = 0;
  for (int round = 0; round < 1500; ++round) {
    Bytes stream = valid[static_cast<size_t>(round) % valid.size()];
    switch (round % 5) {
      case 0:  // flip bits in the code stream
        for (int k = 0, m = 1 + static_cast<int>(rng() % 4); k < m; ++k) {
          const size_t at =
              kHuffmanCountTableSize + rng() % (stream.size() - kHuffmanCountTableSize);
          stream[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
        }
        break;
      case 1:  // damage the count table
        stream[rng() % kHuffmanCountTableSize] = static_cast<uint8_t>(rng());
        break;
      case 2:  // truncate
        stream.resize(kHuffmanCountTableSize +
                      rng() % (stream.size() - kHuffmanCountTableSize + 1));
        break;
      case 3:  // random bit stream after a valid table
        stream.resize(kHuffmanCountTableSize);
        for (size_t k = 0, m = rng() % 4000; k < m; ++k)
          stream.push_back(static_cast<uint8_t>(rng()));
        break;
      default:  // random table of small counts (negative too), random bits
        for (int s = 0; s < 256; ++s) {
          const int32_t c = (rng() % 3 == 0) ? static_cast<int32_t>(rng() % 9) - 4 : 0;
          PutCount(stream, s, c);
        }
        stream.resize(kHuffmanCountTableSize + rng() % 600);
        for (size_t k = kHuffmanCountTableSize; k < stream.size(); ++k)
          stream[k] = static_cast<uint8_t>(rng());
        break;
    }
    const int32_t capacities[] = {0, 1, static_cast<int32_t>(rng() % 64),
                                  static_cast<int32_t>(rng() % 5000), 6000};
    const int32_t result = UnpackBoth(stream, capacities[rng() % 5]);
    (result < 0 ? failures : successes)++;
    if (testing::Test::HasFailure()) break;
  }
  // Both kinds of outcome were exercised.
  EXPECT_GT(failures, 100);
  EXPECT_GT(successes, 100);
}

TEST(HuffmanFastDecoder, MatchesReferenceAtEveryCapacityAndLength) {
  // Around the fast loop's limits (16 bytes of room, 8 bytes of input left).
  std::mt19937 rng(15);
  for (int round = 0; round < 6; ++round) {
    const Bytes input =
        round % 2 ? SkewedBytes(rng, 300, 0.3) : RandomBytes(rng, 300, 5 + round * 40);
    const Bytes packed = Pack(input);
    for (int32_t capacity = 250; capacity <= 310; ++capacity) UnpackBoth(packed, capacity);
    for (size_t size = packed.size() - 20; size <= packed.size(); ++size) {
      Bytes cut(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(size));
      UnpackBoth(cut, 300);
    }
  }
}

// ---------------------------------------------------------------- long streams
// Long streams are decoded by two decoders at once, the second one started
// far ahead, at a byte that may lie inside a code.

Bytes WordText(std::mt19937& rng, size_t n) {
  static const char* const kWords[] = {"the", "magazine", "of", "issue", "a", "Disk!", "music,",
                                       "pixel", "\n", "demo", "Zx", "{~}", "scene."};
  std::string text;
  while (text.size() < n) {
    text += kWords[rng() % 13 * (rng() % 13) / 13];
    text += ' ';
  }
  text.resize(n);
  return Bytes(text.begin(), text.end());
}

std::vector<Bytes> LongInputs(std::mt19937& rng) {
  return {WordText(rng, 60000),           RandomBytes(rng, 50000, 256),
          RandomBytes(rng, 40000, 2),     RandomBytes(rng, 45000, 5),
          SkewedBytes(rng, 70000, 0.15),  SkewedBytes(rng, 30000, 0.6),
          SkewedBytes(rng, 120000, 0.03), WordText(rng, 8193 * 3 + 7)};
}

TEST(HuffmanFastDecoder, LongStreamsOfEveryShape) {
  std::mt19937 rng(16);
  for (const Bytes& input : LongInputs(rng)) {
    ExpectRoundTrip(input);
    const Bytes packed = Pack(input);
    const auto size = static_cast<int32_t>(input.size());
    for (int32_t shortBy : {1, 2, 17, 5000, size / 2, size - 1}) {
      ASSERT_EQ(UnpackBoth(packed, size - shortBy), -1) << shortBy;
    }
  }
}

TEST(HuffmanFastDecoder, LongStreamsEndingEarlyOrDamagedMatchTheReference) {
  std::mt19937 rng(17);
  const std::vector<Bytes> inputs = LongInputs(rng);
  int failures = 0, successes = 0;
  for (int round = 0; round < 120; ++round) {
    const Bytes& input = inputs[static_cast<size_t>(round) % inputs.size()];
    Bytes stream = Pack(input);
    const size_t bits = stream.size() - kHuffmanCountTableSize;
    int32_t capacity = static_cast<int32_t>(input.size()) + static_cast<int32_t>(rng() % 64);
    switch (round % 4) {
      case 0:  // the end symbol early, lots of bytes after it
        stream = Pack(Bytes(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(rng() % 20000)));
        for (size_t k = 0, m = 1000 + rng() % 40000; k < m; ++k) stream.push_back(static_cast<uint8_t>(rng()));
        break;
      case 1:  // flipped bits anywhere in the code stream
        for (int k = 0, m = 1 + static_cast<int>(rng() % 6); k < m; ++k)
          stream[kHuffmanCountTableSize + rng() % bits] ^= static_cast<uint8_t>(1u << (rng() % 8));
        break;
      case 2:  // cut anywhere
        stream.resize(kHuffmanCountTableSize + rng() % bits);
        break;
      default:  // any room at all
        capacity = static_cast<int32_t>(rng() % (input.size() + 100));
        break;
    }
    const int32_t result = UnpackBoth(stream, capacity);
    (result < 0 ? failures : successes)++;
    if (testing::Test::HasFailure()) break;
  }
  EXPECT_GT(failures, 20);
  EXPECT_GT(successes, 20);
}

}  // namespace
