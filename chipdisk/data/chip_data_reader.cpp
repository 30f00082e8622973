// Reading entries of the container and loading the player's six pictures.
#include "chipdisk/data/chip_data_reader.hpp"

#include <cstdio>
#include <memory>

namespace chipdisk {
namespace {

constexpr std::size_t kCountSize = 4;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr uint32_t kScreenWidth = 640;
constexpr uint32_t kScreenHeight = 480;
constexpr uint32_t kPicturePlanes = 3;
constexpr uint32_t kMapBits = 8;
constexpr uint32_t kPictureBits = 24;

ChipDataStatus Fail(ChipDataError error, std::string message) {
  return ChipDataStatus{error, std::move(message)};
}

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens the file and measures it; the size bounds every later read.
ChipDataStatus OpenSized(const std::string& fileName, File& file, uint64_t& fileSize) {
  file.reset(std::fopen(fileName.c_str(), "rb"));
  if (!file)
    return Fail(ChipDataError::kMissingFile, "Cannot open the data file " + fileName + ".");
  if (std::fseek(file.get(), 0, SEEK_END) != 0)
    return Fail(ChipDataError::kMissingFile, "Cannot read the data file " + fileName + ".");
  long end = std::ftell(file.get());
  if (end < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0)
    return Fail(ChipDataError::kMissingFile, "Cannot read the data file " + fileName + ".");
  fileSize = static_cast<uint64_t>(end);
  return {};
}

bool ReadExactly(std::FILE* file, uint64_t offset, uint8_t* into, std::size_t size) {
  if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return false;
  return std::fread(into, 1, size, file) == size;
}

ChipDataStatus ReadDirectoryEntry(std::FILE* file, uint64_t fileSize, const std::string& fileName,
                                  uint32_t index, uint32_t& count, ChipDirectoryEntry& entry) {
  uint8_t bytes[kDirectoryEntrySize];
  if (fileSize < kCountSize || !ReadExactly(file, 0, bytes, kCountSize))
    return Fail(ChipDataError::kDirectoryOutsideFile,
                "The data file " + fileName + " is too short to hold its entry count.");
  count = Le32(bytes);
  if (kCountSize + uint64_t(count) * kDirectoryEntrySize > fileSize)
    return Fail(ChipDataError::kDirectoryOutsideFile,
                "The directory of the data file " + fileName + " (" + std::to_string(count) +
                    " entries) runs past the end of the file.");
  if (index >= count)
    return Fail(ChipDataError::kIndexBeyondCount, "The data file " + fileName + " has " +
                                                      std::to_string(count) + " entries; entry " +
                                                      std::to_string(index) + " does not exist.");
  if (!ReadExactly(file, kCountSize + uint64_t(index) * kDirectoryEntrySize, bytes,
                   kDirectoryEntrySize))
    return Fail(ChipDataError::kDirectoryOutsideFile,
                "Cannot read the directory of the data file " + fileName + ".");
  entry = {Le32(bytes), Le32(bytes + 4)};
  if (uint64_t(entry.offset) + entry.size > fileSize)
    return Fail(ChipDataError::kEntryOutsideFile, "Entry " + std::to_string(index) +
                                                      " of the data file " + fileName +
                                                      " runs past the end of the file.");
  return {};
}

std::string EntryName(const std::string& fileName, uint32_t index) {
  return "Entry " + std::to_string(index) + " of the data file " + fileName;
}

}  // namespace

ChipBlockRegions SplitWorkingBlock(uint8_t* block) {
  return {block + kFileBufferOffset, block + kDecodeBufferOffset, block + kPictureStoreOffset};
}

ChipDataStatus ReadChipDirectory(const std::string& fileName,
                                 std::vector<ChipDirectoryEntry>& entries) {
  File file;
  uint64_t fileSize = 0;
  if (auto status = OpenSized(fileName, file, fileSize); !status.ok()) return status;
  entries.clear();
  uint32_t count = 0;
  ChipDirectoryEntry entry;
  for (uint32_t i = 0;; ++i) {
    auto status = ReadDirectoryEntry(file.get(), fileSize, fileName, i, count, entry);
    if (status.error == ChipDataError::kIndexBeyondCount) return {};
    if (!status.ok()) return status;
    entries.push_back(entry);
  }
}

ChipDataStatus ReadChipEntry(uint32_t index, const std::string& fileName, std::span<uint8_t> buffer,
                             uint32_t& size) {
  File file;
  uint64_t fileSize = 0;
  if (auto status = OpenSized(fileName, file, fileSize); !status.ok()) return status;
  uint32_t count = 0;
  ChipDirectoryEntry entry;
  if (auto status = ReadDirectoryEntry(file.get(), fileSize, fileName, index, count, entry);
      !status.ok())
    return status;
  if (entry.size > buffer.size())
    return Fail(ChipDataError::kEntryTooLarge,
                EntryName(fileName, index) + " is " + std::to_string(entry.size) +
                    " bytes, more than the " + std::to_string(buffer.size()) +
                    "-byte file buffer.");
  if (!ReadExactly(file.get(), entry.offset, buffer.data(), entry.size))
    return Fail(ChipDataError::kEntryOutsideFile,
                "Cannot read " + EntryName(fileName, index) + ".");
  for (uint32_t i = 0; i < entry.size; ++i) buffer[i] = RotateLeft2(buffer[i]);
  size = entry.size;
  return {};
}

ChipDataStatus LoadChipPicture(ChipDataReader& reader, const std::string& fileName, uint32_t index,
                               const ChipBlockRegions& regions, std::span<uint8_t> destination,
                               PictureSlot& slot) {
  uint32_t size = 0;
  auto status = ReadChipEntry(index, fileName, {regions.fileBuffer, kFileBufferSize}, size);
  if (!status.ok()) return status;
  std::span<const uint8_t> coded(regions.fileBuffer, size);
  ChipPictureHeader header;
  status = ReadPictureHeader(coded, header);
  if (!status.ok()) return Fail(status.error, EntryName(fileName, index) + " " + status.message);
  const uint64_t bytes = uint64_t(header.width) * header.height * header.planes;
  if (header.planes == 1) {
    if (bytes > destination.size())
      return Fail(ChipDataError::kStoreFull,
                  EntryName(fileName, index) + " (" + std::to_string(bytes) +
                      " bytes) does not fit in the rest of the picture store (" +
                      std::to_string(destination.size()) + " bytes).");
    status = DecodeChipPicture(reader, coded, destination);
  } else {
    if (bytes > kDecodeBufferSize)
      return Fail(ChipDataError::kPictureTooLarge,
                  EntryName(fileName, index) + " decodes to " + std::to_string(bytes) +
                      " bytes, more than the " + std::to_string(kDecodeBufferSize) +
                      "-byte decode buffer.");
    if (bytes > destination.size())
      return Fail(ChipDataError::kStoreFull,
                  EntryName(fileName, index) + " (" + std::to_string(bytes) +
                      " bytes) does not fit in the rest of the picture store (" +
                      std::to_string(destination.size()) + " bytes).");
    status = DecodeChipPicture(reader, coded, {regions.decodeBuffer, kDecodeBufferSize});
    if (status.ok())
      InterleaveChipPlanes(reader.width, reader.height, regions.decodeBuffer, destination.data());
  }
  if (!status.ok()) return Fail(status.error, EntryName(fileName, index) + " " + status.message);
  slot = {reader.width, reader.height, destination.data(),
          reader.planes == 1 ? kMapBits : kPictureBits};
  return {};
}

ChipDataStatus LoadChipPictures(ChipDataReader& reader, const std::string& fileName,
                                const ChipBlockRegions& regions, uint32_t& storeUsed,
                                std::array<PictureSlot, kPictureCount>& pictures) {
  for (int i = 0; i < kPictureCount; ++i) {
    const std::size_t used = storeUsed <= kPictureStoreSize ? storeUsed : kPictureStoreSize;
    std::span<uint8_t> rest(regions.pictureStore + used, kPictureStoreSize - used);
    PictureSlot slot;
    auto status = LoadChipPicture(reader, fileName, static_cast<uint32_t>(i), regions, rest, slot);
    if (!status.ok()) return status;
    const uint32_t planes = slot.bitsPerPixel / 8;
    if (i == kHotspotMap && planes != 1)
      return Fail(ChipDataError::kBadHotspotMap,
                  EntryName(fileName, 0) + " should be the one-plane hotspot map but has " +
                      std::to_string(reader.planes) + " planes.");
    if (i != kHotspotMap &&
        (planes != kPicturePlanes || slot.width != kScreenWidth || slot.height != kScreenHeight))
      return Fail(ChipDataError::kBadPictureSize,
                  EntryName(fileName, i) + " is " + std::to_string(slot.width) + " x " +
                      std::to_string(slot.height) + " with " + std::to_string(planes) +
                      " planes; the player needs 640 x 480 with 3 planes.");
    pictures[static_cast<std::size_t>(i)] = slot;
    storeUsed += slot.width * slot.height * planes;
  }
  return {};
}

uint8_t HotspotCodeAt(const PictureSlot& map, int32_t x, int32_t y) {
  if (map.pixels == nullptr || x < 0 || y < 0) return 0;
  if (static_cast<uint32_t>(x) >= map.width || static_cast<uint32_t>(y) >= map.height) return 0;
  return map.pixels[static_cast<std::size_t>(y) * map.width + static_cast<std::size_t>(x)];
}

}  // namespace chipdisk
