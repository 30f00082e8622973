// Internal to the Huffman codec (huffman_codec.cpp, huffman_fast.cpp): the
// code tree that packer and unpackers build from the 257 counts.
//
// Weights are signed 32-bit. An inner node's weight is the two's-complement
// wrap of its children's sum (computed in uint32, no UB), and picks compare
// signed, so damaged count tables with any values (negative, huge) still give
// one well-defined tree. The tree is always full: L leaves, L - 1 inner nodes,
// depth at most L - 1 <= 256.
#pragma once

#include <cstdint>

#include "varnel/media/huffman_codec.hpp"

namespace varnel {

namespace huffman_detail {

constexpr int kMaxLeaves = kHuffmanSymbols;
constexpr int kMaxNodes = 2 * kMaxLeaves - 1;  // 513
constexpr int16_t kNoNode = -1;
constexpr int kMaxCodeLength = kMaxLeaves - 1;  // 256: a chain of 257 leaves

struct HuffmanTree {
  int32_t weight[kMaxNodes];
  int16_t symbol[kMaxNodes];    // 0..256 for a leaf, -1 for an inner node
  int16_t child[kMaxNodes][2];  // [0] left (bit 0), [1] right (bit 1); kNoNode for a leaf
  int16_t parent[kMaxNodes];    // kNoNode for the root
  int16_t leafOf[kMaxLeaves];   // node of each symbol's leaf, kNoNode if its count is 0
  int32_t leafCount;
  int32_t nodeCount;  // 2 * leafCount - 1
  int32_t root;       // nodeCount - 1

  bool IsLeaf(int node) const { return child[node][0] == kNoNode; }
};

// counts[0..255] as stored, counts[256] the end symbol's (always 1 in the format).
// The literal construction of the format: for each merge, two linear scans over
// the active nodes from index 0 up; smallest weight wins, ties go to the
// highest index (a node whose weight is <= the best so far replaces it). Used
// by the reference unpacker.
void BuildHuffmanTreeByScan(const int32_t counts[kHuffmanSymbols], HuffmanTree& tree);

// The same tree in O(L log L): a binary heap ordered by (weight ascending,
// index descending), which is exactly the order the scans pick in (a strict
// total order, since indices are unique). Used by the fast unpacker and the
// packer; checked against the scan by the tests and the fuzzer.
void BuildHuffmanTreeByHeap(const int32_t counts[kHuffmanSymbols], HuffmanTree& tree);

// Reads the 256 little-endian 32-bit counts of a packed stream's table
// (1024 bytes at `table`) and sets counts[256] to 1.
void LoadCountTable(const uint8_t* table, int32_t counts[kHuffmanSymbols]);

// Signed 32-bit sum with two's-complement wrap, without UB.
constexpr int32_t WrappingAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

}  // namespace huffman_detail

}  // namespace varnel
