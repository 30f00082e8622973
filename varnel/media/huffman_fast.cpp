// The fast Huffman unpacker: table-driven, with the exact result of
// UnpackHuffmanReference on every input (huffman_codec.cpp).
//
// Tables (huffman_decode_table.hpp): the next kTableBits bits of the stream
// index a multi entry with one to three complete byte codes, or a special mark
// (a longer code, or the end symbol first), and a single entry with the first
// code alone.
//
// A group is one 8-byte refill and four multi lookups. Each lookup depends on
// the one before, so one decoder is bound by the load latency. Long streams
// are therefore decoded in rounds by three decoders at once: the true one
// from the current position, and two started one and two spans (kSpanBytes)
// further on at a byte boundary, which may fall inside a code. Those record
// the positions of their first symbols; Huffman codes resynchronise quickly,
// so the true decoder soon stands on one of the first one's positions, and
// from there on both decode the very same symbols: its bytes are taken over,
// the true decoder jumps to where it stopped and meets the second one the
// same way. Without a meeting point the work ahead is dropped. Either way
// every byte comes from the true decoding, so results and failures are the
// reference's.
//
// The true decoder's fast groups run only while its bytes fit the output
// (kGroupWindow bytes of room) and it reads inside the packed data; the tail
// and the special codes go through the exact step, which applies the
// reference's checks in the reference's order.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "varnel/media/huffman_codec.hpp"
#include "varnel/media/huffman_decode_table.hpp"
#include "varnel/media/huffman_tree.hpp"

namespace varnel {

using namespace huffman_detail;

namespace {

constexpr int kLookupsPerRefill = 4;  // 4 * kTableBits <= 56 bits held after a refill
static_assert(kLookupsPerRefill * kTableBits <= 56);
constexpr uint32_t kGroupBits = kLookupsPerRefill * kTableBits;
// Bytes one group may touch: 3 per lookup plus the stray bytes of the last
// 4-byte store.
constexpr size_t kGroupWindow = kLookupsPerRefill * kMaxBytesPerEntry + 4;
static_assert(kGroupWindow <= 16);

constexpr size_t kSpanBytes = 4096;     // input bytes each decoder covers per round
constexpr int kMeetingPoints = 48;      // symbol positions one ahead records at its start
constexpr size_t kScratchSize = 16384;  // where its bytes wait to be taken over (each)
// Input a round needs ahead of the true decoder: three spans, plus the last
// decoder's 8-byte loads.
constexpr ptrdiff_t kRoundInput = 3 * kSpanBytes + 32;
constexpr int32_t kGoOn = -2;  // an exact step or a round that did not finish

struct BitReader {
  const uint8_t* in;  // next byte to load
  // Bits at and above `held` are zero or the true stream bits that follow, so
  // OR-ing in the next bytes at `held` is always consistent.
  uint64_t buffer;
  uint32_t held;
};

uint64_t BitPosition(const BitReader& r, const uint8_t* stream) {
  return static_cast<uint64_t>(r.in - stream) * 8 - r.held;
}

uint64_t Load64LittleEndian(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
  return v;
}

void Store32LittleEndian(uint8_t* p, uint32_t v) {
  if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
  std::memcpy(p, &v, sizeof v);
}

// One group at `out`; 8 readable input bytes at r.in and kGroupWindow bytes
// at `out` needed. Each lookup stores four bytes, those past its decoded
// bytes stray. False at a special entry; the reader then stands before it.
// Within the group only the low 6 bits of `held` are kept up to date (it
// drops by whole entries), which is all the shifts look at.
inline bool DecodeGroup(BitReader& r, uint8_t*& out, const uint32_t* multi) {
  r.buffer |= Load64LittleEndian(r.in) << r.held;
  r.in += (63 - r.held) >> 3;
  r.held |= 56;
#pragma GCC unroll 4
  for (int k = 0; k < kLookupsPerRefill; ++k) {
    const uint32_t entry = multi[r.buffer & kTableMask];
    if (entry < kOneByte) {
      r.held &= kLengthMask;
      return false;
    }
    Store32LittleEndian(out, entry >> kBytesShift);
    out += entry >> kCountShift;
    r.buffer >>= entry & kLengthMask;
    r.held -= entry;
  }
  r.held &= kLengthMask;
  return true;
}

// The same into the caller's output, whose bytes past the decoded ones must
// stay as they were: the window is kept and put back behind the new bytes.
inline bool DecodeGroupInPlace(BitReader& r, uint8_t* output, size_t& out,
                               const uint32_t* multi) {
  uint8_t* const start = output + out;
  uint8_t original[kGroupWindow];
  std::memcpy(original, start, sizeof original);
  uint8_t* end = start;
  const bool whole = DecodeGroup(r, end, multi);
  std::memcpy(end, original + (end - start), 4);
  out = static_cast<size_t>(end - output);
  return whole;
}

// One symbol exactly, bit by bit where the table does not know it. Returns
// the symbol (0..256), or -1 when the bits run out first.
int WalkSymbol(BitReader& r, const uint8_t* end, const HuffmanTree& tree,
               const DecodeTables& tables) {
  while (r.held <= 48 && r.in < end) {
    r.buffer |= uint64_t{*r.in++} << r.held;
    r.held += 8;
  }
  int node = tree.root;
  if (r.held >= kTableBits) {
    const uint32_t index = static_cast<uint32_t>(r.buffer & kTableMask);
    const uint32_t single = tables.single[index];
    const uint32_t length = single & kSingleLengthMask;
    if (length != 0) {
      r.buffer >>= length;
      r.held -= length;
      return static_cast<int>(single >> kSingleSymbolShift);
    }
    node = static_cast<int>(tables.multi[index] >> kBytesShift);  // a longer code
    r.buffer >>= kTableBits;
    r.held -= kTableBits;
  }
  for (;;) {
    if (r.held == 0) {
      if (r.in == end) return -1;
      r.buffer = *r.in++;
      r.held = 8;
    }
    node = tree.child[node][r.buffer & 1];
    r.buffer >>= 1;
    --r.held;
    if (tree.IsLeaf(node)) return tree.symbol[node];
  }
}

// The true decoder: where it reads, and how many bytes it has written.
struct Lane {
  BitReader reader;
  size_t out;
};

struct Unpacking {
  const HuffmanTree& tree;
  const DecodeTables& tables;
  const uint8_t* stream;  // the bit stream (after the count table)
  const uint8_t* end;
  uint8_t* output;
  size_t cap;
};

// The reference's step: bits run out, the end symbol, a byte without room.
// Hot loops keep their lanes in registers: they pass a copy here (the
// ...Of forms), so that no address of theirs escapes.
[[gnu::noinline]] int32_t ExactStep(Lane& lane, const Unpacking& u) {
  const int symbol = WalkSymbol(lane.reader, u.end, u.tree, u.tables);
  if (symbol < 0) return -1;
  if (symbol == kEndOfStreamSymbol) return static_cast<int32_t>(lane.out);
  if (lane.out >= u.cap) return -1;
  u.output[lane.out++] = static_cast<uint8_t>(symbol);
  return kGoOn;
}

[[gnu::always_inline]] inline int32_t ExactStepOf(Lane& lane, const Unpacking& u) {
  Lane copy = lane;
  const int32_t result = ExactStep(copy, u);
  lane = copy;
  return result;
}

// The second decoder's exact step: false, with the reader left before it,
// at the end symbol or where the bits run out (the true decoder meets those).
[[gnu::noinline]] bool StepAhead(BitReader& b, uint8_t*& out, const Unpacking& u) {
  const BitReader before = b;
  const int symbol = WalkSymbol(b, u.end, u.tree, u.tables);
  if (symbol < 0 || symbol == kEndOfStreamSymbol) {
    b = before;
    return false;
  }
  *out++ = static_cast<uint8_t>(symbol);
  return true;
}

[[gnu::always_inline]] inline bool StepAheadOf(BitReader& b, uint8_t*& out, const Unpacking& u) {
  BitReader copy = b;
  uint8_t* to = out;
  const bool stepped = StepAhead(copy, to, u);
  b = copy;
  out = to;
  return stepped;
}

// Where a decoder started ahead began: the positions of its first symbols,
// whose bytes lead its scratch.
struct Start {
  uint64_t meeting[kMeetingPoints];
  int points;
};

// Starts a decoder at `byte`: walks its first symbols one at a time. True
// when it walked all kMeetingPoints of them.
bool WalkStart(BitReader& b, uint8_t*& out, Start& start, const Unpacking& u) {
  start.points = 0;
  while (start.points < kMeetingPoints) {
    start.meeting[start.points] = BitPosition(b, u.stream);
    if (!StepAhead(b, out, u)) return false;
    ++start.points;
  }
  return true;
}

[[gnu::always_inline]] inline bool WalkStartOf(BitReader& b, uint8_t*& out, Start& start,
                                               const Unpacking& u) {
  BitReader copy = b;
  uint8_t* to = out;
  const bool walked = WalkStart(copy, to, start, u);
  b = copy;
  out = to;
  return walked;
}

// Takes the true decoder on to a meeting point of the decoder started at
// `begin` (bit position of its start) and takes that one's bytes over
// (`taken`), or past all its points. Returns kGoOn or the final result.
int32_t Meet(const Unpacking& u, Lane& lane, uint64_t begin, const Start& start,
             const BitReader b, const uint8_t* scratch, const uint8_t* bOut, bool& taken) {
  const uint32_t* const multi = u.tables.multi;
  uint8_t* const output = u.output;
  const size_t cap = u.cap;
  // A group from below aLimit ends by `begin` (a position is at most 8 * in).
  const uint8_t* const aLimit = u.stream + begin / 8 - kGroupBits / 8;
  Lane a = lane;
  taken = false;
  int next = 0;
  for (;;) {
    const uint64_t position = BitPosition(a.reader, u.stream);
    while (next < start.points && start.meeting[next] < position) ++next;
    if (next < start.points && start.meeting[next] == position) {
      const auto count = static_cast<size_t>(bOut - scratch) - static_cast<size_t>(next);
      // Without room the true decoder goes on and meets the failure itself.
      if (cap - a.out >= count) {
        std::memcpy(output + a.out, scratch + next, count);
        a.out += count;
        a.reader = b;
        taken = true;
      }
      break;
    }
    if (next == start.points && position >= begin) break;
    if (a.reader.in <= aLimit && cap - a.out >= kGroupWindow &&
        DecodeGroupInPlace(a.reader, output, a.out, multi)) {
      continue;
    }
    const int32_t result = ExactStepOf(a, u);
    if (result != kGoOn) return result;
  }
  lane = a;
  return kGoOn;
}

// One round of three decoders (see the top): the true one and two started
// one and two spans ahead. Returns kGoOn, or the final result when the true
// decoder met the end symbol or a failure.
int32_t DecodeRound(const Unpacking& u, Lane& lane, uint8_t* scratch) {
  const uint32_t* const multi = u.tables.multi;
  uint8_t* const output = u.output;
  const size_t cap = u.cap;
  Lane a = lane;
  const size_t bByte = static_cast<size_t>(a.reader.in - u.stream) + kSpanBytes;
  const size_t cByte = bByte + kSpanBytes;
  const uint8_t* const aLimit = u.stream + bByte - kGroupBits / 8;
  const uint8_t* const bLimit = u.stream + cByte - kGroupBits / 8;
  const uint8_t* const cStop = u.stream + cByte + kSpanBytes;
  uint8_t* const bScratch = scratch;
  uint8_t* const cScratch = scratch + kScratchSize;
  uint8_t* const bLast = bScratch + kScratchSize - kGroupWindow;
  uint8_t* const cLast = cScratch + kScratchSize - kGroupWindow;

  BitReader b{u.stream + bByte, 0, 0};
  BitReader c{u.stream + cByte, 0, 0};
  uint8_t* bOut = bScratch;
  uint8_t* cOut = cScratch;
  Start bStart, cStart;
  bool bOn = WalkStartOf(b, bOut, bStart, u);
  bool cOn = WalkStartOf(c, cOut, cStart, u);

  // All three at once while all can; then each one ahead alone to its stop.
  while (bOn && cOn && a.reader.in <= aLimit && cap - a.out >= kGroupWindow &&
         b.in <= bLimit && bOut <= bLast && c.in < cStop && cOut <= cLast) {
    if (!DecodeGroupInPlace(a.reader, output, a.out, multi)) {
      const int32_t result = ExactStepOf(a, u);
      if (result != kGoOn) return result;
    }
    if (!DecodeGroup(b, bOut, multi)) bOn = StepAheadOf(b, bOut, u);
    if (!DecodeGroup(c, cOut, multi)) cOn = StepAheadOf(c, cOut, u);
  }
  while (bOn && b.in <= bLimit && bOut <= bLast) {
    if (!DecodeGroup(b, bOut, multi)) bOn = StepAheadOf(b, bOut, u);
  }
  while (cOn && c.in < cStop && cOut <= cLast) {
    if (!DecodeGroup(c, cOut, multi)) cOn = StepAheadOf(c, cOut, u);
  }

  // The true decoder meets the first one ahead, then the second.
  bool taken = false;
  Lane met = a;
  int32_t result = Meet(u, met, uint64_t{bByte} * 8, bStart, b, bScratch, bOut, taken);
  if (result == kGoOn && taken)
    result = Meet(u, met, uint64_t{cByte} * 8, cStart, c, cScratch, cOut, taken);
  lane = met;
  return result;
}

}  // namespace

int32_t UnpackHuffman(const uint8_t* packed, int32_t packedSize, uint8_t* output,
                      int32_t capacity) {
  if (packedSize < kHuffmanCountTableSize || capacity < 0) return -1;
  int32_t counts[kHuffmanSymbols];
  LoadCountTable(packed, counts);
  HuffmanTree tree;
  BuildHuffmanTreeByHeap(counts, tree);
  if (tree.IsLeaf(tree.root)) return 0;

  DecodeTables tables;
  BuildDecodeTables(tree, tables);
  const uint8_t* stream = packed + kHuffmanCountTableSize;
  const Unpacking u{tree, tables, stream, packed + packedSize, output, static_cast<size_t>(capacity)};
  const uint8_t* const end = u.end;
  const size_t cap = u.cap;
  Lane lane{BitReader{stream, 0, 0}, 0};
  uint8_t scratch[2 * kScratchSize];
  for (;;) {
    if (end - lane.reader.in >= kRoundInput && cap - lane.out >= kGroupWindow) {
      const int32_t result = DecodeRound(u, lane, scratch);
      if (result != kGoOn) return result;
      continue;
    }
    Lane a = lane;
    while (end - a.reader.in >= 8 && cap - a.out >= kGroupWindow &&
           DecodeGroupInPlace(a.reader, output, a.out, tables.multi)) {
    }
    const int32_t result = ExactStepOf(a, u);
    if (result != kGoOn) return result;
    lane = a;
  }
}

}  // namespace varnel
