// Huffman codec of the archive's packed entries: tree construction,
// the reference (bit-by-bit) unpacker, and the packer. The fast unpacker is in
// huffman_fast.cpp.
//
// All state lives on the stack of each call (a few KiB of fixed tables); the
// codec allocates nothing and keeps nothing between calls.
#include "varnel/media/huffman_codec.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "varnel/media/huffman_tree.hpp"

namespace varnel {

namespace huffman_detail {
namespace {

// Appends the leaves (symbol order, count != 0) and returns their number.
int AppendLeaves(const int32_t counts[kHuffmanSymbols], HuffmanTree& tree) {
  int n = 0;
  for (int s = 0; s < kHuffmanSymbols; ++s) {
    tree.leafOf[s] = kNoNode;
    if (counts[s] == 0) continue;
    tree.weight[n] = counts[s];
    tree.symbol[n] = static_cast<int16_t>(s);
    tree.child[n][0] = kNoNode;
    tree.child[n][1] = kNoNode;
    tree.parent[n] = kNoNode;
    tree.leafOf[s] = static_cast<int16_t>(n);
    ++n;
  }
  return n;
}

void AppendInner(HuffmanTree& tree, int n, int left, int right) {
  tree.weight[n] = WrappingAdd(tree.weight[left], tree.weight[right]);
  tree.symbol[n] = -1;
  tree.child[n][0] = static_cast<int16_t>(left);
  tree.child[n][1] = static_cast<int16_t>(right);
  tree.parent[n] = kNoNode;
  tree.parent[left] = static_cast<int16_t>(n);
  tree.parent[right] = static_cast<int16_t>(n);
}

void Finish(HuffmanTree& tree, int leaves) {
  tree.leafCount = leaves;
  tree.nodeCount = 2 * leaves - 1;
  tree.root = tree.nodeCount - 1;
}

}  // namespace

void LoadCountTable(const uint8_t* table, int32_t counts[kHuffmanSymbols]) {
  for (int s = 0; s < 256; ++s) {
    const uint8_t* b = table + 4 * s;
    uint32_t v =
        uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
    counts[s] = static_cast<int32_t>(v);
  }
  counts[kEndOfStreamSymbol] = 1;
}

void BuildHuffmanTreeByScan(const int32_t counts[kHuffmanSymbols], HuffmanTree& tree) {
  // The active nodes and their weights, kept in increasing index order:
  // scanning this list is scanning the node array from index 0 upwards and
  // skipping inactive nodes.
  int16_t activeNode[kMaxLeaves];
  int32_t activeWeight[kMaxLeaves];
  const int leaves = AppendLeaves(counts, tree);
  int activeCount = 0;
  for (int i = 0; i < leaves; ++i) {
    activeNode[activeCount] = static_cast<int16_t>(i);
    activeWeight[activeCount++] = tree.weight[i];
  }
  const int total = 2 * leaves - 1;
  for (int n = leaves; n < total; ++n) {
    // While n < total at least two nodes are active (leaves - merges >= 2).
    int picks[2];
    for (int& pick : picks) {
      int best = 0;
      int32_t bestWeight = activeWeight[0];
      for (int k = 1; k < activeCount; ++k) {
        if (activeWeight[k] <= bestWeight) {
          best = k;
          bestWeight = activeWeight[k];
        }
      }
      pick = activeNode[best];
      --activeCount;
      for (int k = best; k < activeCount; ++k) {
        activeNode[k] = activeNode[k + 1];
        activeWeight[k] = activeWeight[k + 1];
      }
    }
    AppendInner(tree, n, picks[0], picks[1]);
    activeNode[activeCount] = static_cast<int16_t>(n);  // the highest index: last in order
    activeWeight[activeCount++] = tree.weight[n];
  }
  Finish(tree, leaves);
}

void BuildHuffmanTreeByHeap(const int32_t counts[kHuffmanSymbols], HuffmanTree& tree) {
  const int leaves = AppendLeaves(counts, tree);
  // std::*_heap keeps the "largest" on top; make the next pick the largest:
  // a node ranks above another if its weight is smaller, or equal with a
  // higher index. Indices are unique, so the order is strict and total.
  const auto picksLater = [&tree](int16_t a, int16_t b) {
    if (tree.weight[a] != tree.weight[b]) return tree.weight[a] > tree.weight[b];
    return a < b;
  };
  int16_t heap[kMaxLeaves];
  int size = 0;
  for (int i = 0; i < leaves; ++i) heap[size++] = static_cast<int16_t>(i);
  std::make_heap(heap, heap + size, picksLater);
  const int total = 2 * leaves - 1;
  for (int n = leaves; n < total; ++n) {
    std::pop_heap(heap, heap + size, picksLater);
    const int first = heap[--size];
    std::pop_heap(heap, heap + size, picksLater);
    const int second = heap[--size];
    AppendInner(tree, n, first, second);
    heap[size++] = static_cast<int16_t>(n);
    std::push_heap(heap, heap + size, picksLater);
  }
  Finish(tree, leaves);
}

}  // namespace huffman_detail

using namespace huffman_detail;

int32_t UnpackHuffmanReference(const uint8_t* packed, int32_t packedSize, uint8_t* output,
                               int32_t capacity) {
  if (packedSize < kHuffmanCountTableSize || capacity < 0) return -1;
  int32_t counts[kHuffmanSymbols];
  LoadCountTable(packed, counts);
  HuffmanTree tree;
  BuildHuffmanTreeByScan(counts, tree);
  if (tree.IsLeaf(tree.root)) return 0;

  // The format's bit buffer, topped up a byte at a time to 24 bits, but only
  // with bytes that exist: a bit wanted when none is left means the stream was
  // cut short.
  uint32_t buffer = 0;
  int held = 0;
  int32_t in = kHuffmanCountTableSize;
  int32_t out = 0;
  int node = tree.root;
  for (;;) {
    while (held < 24 && in < packedSize) {
      buffer |= uint32_t{packed[in++]} << held;
      held += 8;
    }
    if (held == 0) return -1;
    const int bit = static_cast<int>(buffer & 1u);
    buffer >>= 1;
    --held;
    node = tree.child[node][bit];
    if (!tree.IsLeaf(node)) continue;
    const int symbol = tree.symbol[node];
    if (symbol == kEndOfStreamSymbol) return out;
    if (out >= capacity) return -1;
    output[out++] = static_cast<uint8_t>(symbol);
    node = tree.root;
  }
}

int64_t PackHuffmanBound(int32_t inputSize) {
  // The tree is a true Huffman tree for the packer's counts (all leaves have
  // weight >= 1, and no node below the root can wrap: its weight is at most the
  // total n + 1 <= 2^31 less one leaf). Huffman's total code length is minimal
  // among all prefix codes for the same leaves, so it is at most that of a
  // fixed 9-bit code (512 >= 257 leaves): 9 * (n + 1) bits, end symbol included.
  const int64_t n = inputSize < 0 ? 0 : inputSize;
  return int64_t{kHuffmanCountTableSize} + (9 * (n + 1) + 7) / 8;
}

int32_t PackHuffman(const uint8_t* input, int32_t inputSize, uint8_t* output) {
  if (inputSize < 0) return -1;
  int32_t counts[kHuffmanSymbols] = {};
  {
    // Four interleaved histograms avoid store-to-load stalls on runs.
    uint32_t partial[4][256] = {};
    int32_t i = 0;
    for (; i + 4 <= inputSize; i += 4) {
      ++partial[0][input[i]];
      ++partial[1][input[i + 1]];
      ++partial[2][input[i + 2]];
      ++partial[3][input[i + 3]];
    }
    for (; i < inputSize; ++i) ++partial[0][input[i]];
    for (int s = 0; s < 256; ++s) {
      counts[s] =
          static_cast<int32_t>(partial[0][s] + partial[1][s] + partial[2][s] + partial[3][s]);
    }
  }
  counts[kEndOfStreamSymbol] = 1;

  HuffmanTree tree;
  BuildHuffmanTreeByHeap(counts, tree);  // the same tree as the scan (tests check)

  // Codes, walked from each leaf up to the root. Bit j of a code is the branch
  // taken at depth j (bit j % 64 of word j / 64), the order they are written.
  uint64_t code[kHuffmanSymbols][(kMaxCodeLength + 63) / 64] = {};
  int length[kHuffmanSymbols] = {};
  for (int s = 0; s < kHuffmanSymbols; ++s) {
    const int leaf = tree.leafOf[s];
    if (leaf == kNoNode) continue;
    int depth = 0;
    for (int node = leaf; tree.parent[node] != kNoNode; node = tree.parent[node]) ++depth;
    length[s] = depth;
    int j = depth;
    for (int node = leaf; tree.parent[node] != kNoNode; node = tree.parent[node]) {
      --j;
      const int up = tree.parent[node];
      if (tree.child[up][1] == node) code[s][j / 64] |= uint64_t{1} << (j % 64);
    }
  }

  uint64_t totalBits = static_cast<uint64_t>(length[kEndOfStreamSymbol]);
  for (int s = 0; s < 256; ++s) totalBits += static_cast<uint64_t>(counts[s]) * length[s];
  const uint64_t packedSize = kHuffmanCountTableSize + (totalBits + 7) / 8;
  if (packedSize > INT32_MAX) return -1;  // not representable as a result

  for (int s = 0; s < 256; ++s) {
    const uint32_t v = static_cast<uint32_t>(counts[s]);
    output[4 * s] = static_cast<uint8_t>(v);
    output[4 * s + 1] = static_cast<uint8_t>(v >> 8);
    output[4 * s + 2] = static_cast<uint8_t>(v >> 16);
    output[4 * s + 3] = static_cast<uint8_t>(v >> 24);
  }

  uint8_t* out = output + kHuffmanCountTableSize;
  uint64_t pending = 0;  // fewer than 8 bits between codes
  int held = 0;
  const auto emit = [&](int s) {
    const int len = length[s];
    if (len <= 56) {
      pending |= code[s][0] << held;
      held += len;
    } else {
      // Longer codes, 32 bits at a time, flushing between. (Huffman depth
      // grows about as log_phi of the total weight, so for inputs below 2^31
      // bytes codes stay under about 46 bits; this path is a safety net.)
      for (int j = 0; j < len; j += 32) {
        const int take = std::min(32, len - j);
        const uint64_t chunk = (code[s][j / 64] >> (j % 64)) & ((uint64_t{1} << take) - 1);
        pending |= chunk << held;
        held += take;
        while (held >= 8) {
          *out++ = static_cast<uint8_t>(pending);
          pending >>= 8;
          held -= 8;
        }
      }
    }
    while (held >= 8) {
      *out++ = static_cast<uint8_t>(pending);
      pending >>= 8;
      held -= 8;
    }
  };
  for (int32_t i = 0; i < inputSize; ++i) emit(input[i]);
  emit(kEndOfStreamSymbol);
  if (held > 0) *out++ = static_cast<uint8_t>(pending);
  return static_cast<int32_t>(out - output);
}

}  // namespace varnel
