// The chip player's data file "data//chip.dat": a count, a directory of
// {offset, size} pairs and entries stored with every byte rotated right by 2.
// Each entry is a run-length coded PCX picture of one plane (the hotspot map)
// or three planes (24-bit pictures).
//
// Every read is checked. A failing call returns a ChipDataStatus whose
// `message` is a complete English sentence naming the file and the problem,
// ready for the "Error" message box; nothing is written outside the buffers
// the caller passes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace chipdisk {

inline constexpr const char* kChipDataFileName = "data//chip.dat";

// The player's working block and its three regions.
inline constexpr std::size_t kMebibyte = 1024 * 1024;
inline constexpr std::size_t kWorkingBlockSize = 8 * kMebibyte;
inline constexpr std::size_t kFileBufferOffset = 0;
inline constexpr std::size_t kFileBufferSize = kMebibyte;
inline constexpr std::size_t kDecodeBufferOffset = kMebibyte;
inline constexpr std::size_t kDecodeBufferSize = kMebibyte;
inline constexpr std::size_t kPictureStoreOffset = 2 * kMebibyte;
inline constexpr std::size_t kPictureStoreSize = 6 * kMebibyte;

// PCX layout as the decoder reads it.
inline constexpr std::size_t kPcxHeaderSize = 128;
inline constexpr std::size_t kPcxXMinOffset = 4;
inline constexpr std::size_t kPcxYMinOffset = 6;
inline constexpr std::size_t kPcxXMaxOffset = 8;
inline constexpr std::size_t kPcxYMaxOffset = 10;
inline constexpr std::size_t kPcxPlanesOffset = 65;
inline constexpr uint8_t kPcxRunThreshold = 192;  // bytes above it start a run

// The six pictures in slot order.
inline constexpr int kPictureCount = 6;
enum PictureIndex : int {
  kHotspotMap = 0,
  kClosingFirst = 1,
  kMainPlain = 2,
  kTitle = 3,
  kMainHighlighted = 4,
  kClosingLast = 5,
};

enum class ChipDataError {
  kNone,
  kMissingFile,           // cannot be opened
  kDirectoryOutsideFile,  // count or directory runs past the end of the file
  kIndexBeyondCount,
  kEntryOutsideFile,  // offset + size past the end of the file
  kEntryTooLarge,     // larger than the 1 MiB file buffer
  kHeaderTooShort,    // entry shorter than the 128-byte picture header
  kPictureTooLarge,   // decoded picture larger than the region it goes to
  kStoreFull,         // the pictures overflow the 6 MiB picture store
  kDataEndsEarly,     // coded data ends before the picture is complete
  kBadHotspotMap,     // entry 0 is not a one-plane picture
  kBadPictureSize,    // entries 1 to 5 are not 640 x 480 with three planes
};

struct ChipDataStatus {
  ChipDataError error = ChipDataError::kNone;
  std::string message;  // empty when ok
  bool ok() const { return error == ChipDataError::kNone; }
};

// The latest decode's geometry.
struct ChipDataReader {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t planes = 0;  // 1 or 3
};

// One loaded picture. `pixels` points into the picture store.
struct PictureSlot {
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t* pixels = nullptr;
  uint32_t bitsPerPixel = 0;  // 8 for the hotspot map, 24 for the others
};

struct ChipDirectoryEntry {
  uint32_t offset = 0;
  uint32_t size = 0;
};

// Regions of an 8 MiB working block allocated by the caller.
struct ChipBlockRegions {
  uint8_t* fileBuffer = nullptr;    // kFileBufferSize bytes
  uint8_t* decodeBuffer = nullptr;  // kDecodeBufferSize bytes
  uint8_t* pictureStore = nullptr;  // kPictureStoreSize bytes
};
ChipBlockRegions SplitWorkingBlock(uint8_t* block);

// Header fields of a rotated-back entry. Fails when shorter than the header.
struct ChipPictureHeader {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t planes = 0;
};
ChipDataStatus ReadPictureHeader(std::span<const uint8_t> coded, ChipPictureHeader& header);

// The whole directory of `fileName`.
ChipDataStatus ReadChipDirectory(const std::string& fileName,
                                 std::vector<ChipDirectoryEntry>& entries);

// Reads entry `index` into `buffer` (at most buffer.size() bytes), rotated
// back; `size` receives the entry's size.
ChipDataStatus ReadChipEntry(uint32_t index, const std::string& fileName, std::span<uint8_t> buffer,
                             uint32_t& size);

// Decodes one coded picture into `destination`, which must hold
// width * height * planes bytes; fills `reader`. A last run that overshoots
// is clipped. Messages here name no file; LoadChipPicture adds it.
ChipDataStatus DecodeChipPicture(ChipDataReader& reader, std::span<const uint8_t> coded,
                                 std::span<uint8_t> destination);

// Three planes per row (red, green, blue, width bytes each) to
// blue-green-red pixels.
void InterleaveChipPlanes(uint32_t width, uint32_t height, const uint8_t* planar,
                          uint8_t* destination);

// Reads and decodes entry `index` as the player does: one plane straight
// into `destination`, three planes through the decode buffer and interleaved.
// A three-plane picture over the decode buffer fails with kPictureTooLarge;
// any picture over `destination` (the rest of the store) with kStoreFull.
// Fills `slot` on success.
ChipDataStatus LoadChipPicture(ChipDataReader& reader, const std::string& fileName, uint32_t index,
                               const ChipBlockRegions& regions, std::span<uint8_t> destination,
                               PictureSlot& slot);

// Loads the six pictures into the picture store in slot order; `storeUsed`
// grows by each picture's size. Entry 0 must be one plane, entries 1 to 5
// three planes of 640 x 480.
ChipDataStatus LoadChipPictures(ChipDataReader& reader, const std::string& fileName,
                                const ChipBlockRegions& regions, uint32_t& storeUsed,
                                std::array<PictureSlot, kPictureCount>& pictures);

// The hotspot code at window pixel (x, y): 0 outside the map.
uint8_t HotspotCodeAt(const PictureSlot& map, int32_t x, int32_t y);

// Byte rotations of the container.
inline uint8_t RotateLeft2(uint8_t b) { return static_cast<uint8_t>((b << 2) | (b >> 6)); }
inline uint8_t RotateRight2(uint8_t b) { return static_cast<uint8_t>((b >> 2) | (b << 6)); }

}  // namespace chipdisk
