// chipdat: makes and inspects the chip player's data file.
//   chipdat pack -o chip.dat PICTURE.png...
//   chipdat list chip.dat
//   chipdat extract chip.dat INDEX -o OUT.png
// Every failure prints a message on standard error and exits with status 1.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "chipdisk/data/chip_data_reader.hpp"
#include "tools/chipdat/chip_dat_writer.hpp"
#include "tools/chipdat/png_io.hpp"

namespace {

constexpr const char* kUsage =
    "usage: chipdat pack -o chip.dat PICTURE.png...\n"
    "       chipdat list chip.dat\n"
    "       chipdat extract chip.dat INDEX -o OUT.png\n";

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "chipdat: %s\n", message.c_str());
  std::exit(EXIT_FAILURE);
}

[[noreturn]] void Usage() {
  std::fputs(kUsage, stderr);
  std::exit(EXIT_FAILURE);
}

int Pack(const std::vector<std::string>& args) {
  if (args.size() < 3 || args[0] != "-o") Usage();
  const std::string& output = args[1];
  std::vector<std::vector<uint8_t>> entries;
  std::string error;
  for (std::size_t i = 2; i < args.size(); ++i) {
    chipdat::PlaneImage image;
    if (!chipdat::ReadPlanePng(args[i], image, error)) Fail(error);
    if (std::string why = chipdat::WhyUnloadable(image); !why.empty()) Fail(args[i] + " " + why);
    entries.push_back(chipdat::EncodePcx(image));
    if (entries.back().size() > chipdisk::kFileBufferSize)
      Fail(args[i] + " codes to " + std::to_string(entries.back().size()) +
           " bytes, more than the player's " + std::to_string(chipdisk::kFileBufferSize) +
           "-byte file buffer");
  }
  const std::vector<uint8_t> container = chipdat::BuildContainer(entries);
  std::FILE* file = std::fopen(output.c_str(), "wb");
  if (!file) Fail("cannot create " + output);
  const bool written = std::fwrite(container.data(), 1, container.size(), file) == container.size();
  if (std::fclose(file) != 0 || !written) {
    std::remove(output.c_str());
    Fail("cannot write " + output);
  }
  return EXIT_SUCCESS;
}

// The reader's regions in one block, as the player allocates them.
std::unique_ptr<uint8_t[]> NewWorkingBlock() {
  return std::make_unique<uint8_t[]>(chipdisk::kWorkingBlockSize);
}

int List(const std::vector<std::string>& args) {
  if (args.size() != 1) Usage();
  const std::string& fileName = args[0];
  std::vector<chipdisk::ChipDirectoryEntry> entries;
  if (auto status = chipdisk::ReadChipDirectory(fileName, entries); !status.ok())
    Fail(status.message);
  auto block = NewWorkingBlock();
  const chipdisk::ChipBlockRegions regions = chipdisk::SplitWorkingBlock(block.get());
  for (uint32_t i = 0; i < entries.size(); ++i) {
    uint32_t size = 0;
    auto status =
        chipdisk::ReadChipEntry(i, fileName, {regions.fileBuffer, chipdisk::kFileBufferSize}, size);
    chipdisk::ChipPictureHeader header;
    if (status.ok()) status = chipdisk::ReadPictureHeader({regions.fileBuffer, size}, header);
    if (!status.ok())
      Fail(status.error == chipdisk::ChipDataError::kHeaderTooShort
               ? "Entry " + std::to_string(i) + " of the data file " + fileName + " " +
                     status.message
               : status.message);
    std::printf("%u\toffset %u\tsize %u\t%u x %u\t%u %s\n", i, entries[i].offset, entries[i].size,
                header.width, header.height, header.planes,
                header.planes == 1 ? "plane" : "planes");
  }
  return EXIT_SUCCESS;
}

int Extract(const std::vector<std::string>& args) {
  if (args.size() != 4 || args[2] != "-o") Usage();
  const std::string& fileName = args[0];
  char* end = nullptr;
  const unsigned long index = std::strtoul(args[1].c_str(), &end, 10);
  if (args[1].empty() || *end != '\0' || args[1][0] == '-' || index > UINT32_MAX)
    Fail("the entry index must be a number, not \"" + args[1] + "\"");
  auto block = NewWorkingBlock();
  const chipdisk::ChipBlockRegions regions = chipdisk::SplitWorkingBlock(block.get());
  chipdisk::ChipDataReader reader;
  chipdisk::PictureSlot slot;
  auto status =
      chipdisk::LoadChipPicture(reader, fileName, static_cast<uint32_t>(index), regions,
                                {regions.pictureStore, chipdisk::kPictureStoreSize}, slot);
  if (!status.ok()) Fail(status.message);
  chipdat::PlaneImage image;
  image.width = slot.width;
  image.height = slot.height;
  image.planes = slot.bitsPerPixel / 8;
  image.pixels.assign(slot.pixels,
                      slot.pixels + std::size_t(slot.width) * slot.height * image.planes);
  if (image.planes == 3)  // stored blue, green, red
    for (std::size_t i = 0; i < image.pixels.size(); i += 3)
      std::swap(image.pixels[i], image.pixels[i + 2]);
  std::string error;
  if (!chipdat::WritePlanePng(args[3], image, error)) Fail(error);
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) Usage();
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "pack") return Pack(args);
  if (command == "list") return List(args);
  if (command == "extract") return Extract(args);
  Usage();
}
