#include "tests/chipdisk/support/chip_disk_maker.hpp"

#include <filesystem>
#include <fstream>

#include "chipdisk/data/chip_data_reader.hpp"
#include "chipdisk/player/chip_tunes.hpp"

namespace chipdisk_test {
namespace {

constexpr uint8_t kLongestRun = 63;
constexpr uint8_t kRunFlag = 0xC0;

void Put16(Bytes& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

// Run-length codes one row as the player decodes it.
void CodeRow(const uint8_t* row, size_t count, Bytes& out) {
  for (size_t i = 0; i < count;) {
    size_t run = 1;
    while (i + run < count && run < kLongestRun && row[i + run] == row[i]) ++run;
    if (run > 1 || row[i] > chipdisk::kPcxRunThreshold) {
      out.push_back(static_cast<uint8_t>(kRunFlag | run));
    }
    out.push_back(row[i]);
    i += run;
  }
}

Bytes PcxHeader(int planes) {
  Bytes header(chipdisk::kPcxHeaderSize, 0);
  Put16(header, chipdisk::kPcxXMaxOffset, kWidth - 1);
  Put16(header, chipdisk::kPcxYMaxOffset, kHeight - 1);
  header[chipdisk::kPcxPlanesOffset] = static_cast<uint8_t>(planes);
  return header;
}

Bytes CodeMap(const Bytes& map) {
  Bytes out = PcxHeader(1);
  for (int y = 0; y < kHeight; ++y) CodeRow(&map[static_cast<size_t>(y * kWidth)], kWidth, out);
  return out;
}

// Rows of red, green and blue planes.
Bytes CodeRgb(const Bytes& bgr) {
  Bytes out = PcxHeader(3);
  std::vector<uint8_t> plane(kWidth);
  for (int y = 0; y < kHeight; ++y) {
    for (int channel = 2; channel >= 0; --channel) {
      for (int x = 0; x < kWidth; ++x) plane[static_cast<size_t>(x)] = PixelAt(bgr, x, y)[channel];
      CodeRow(plane.data(), kWidth, out);
    }
  }
  return out;
}

void Fill(Bytes& bgr, int left, int top, int width, int height, uint8_t b, uint8_t g, uint8_t r) {
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < left + width; ++x) {
      uint8_t* p = &bgr[static_cast<size_t>((y * kWidth + x) * 3)];
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
}

// A background with a little texture, so that a wrong offset shows.
Bytes Pattern(uint8_t seed) {
  Bytes bgr(static_cast<size_t>(kWidth * kHeight * 3));
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      uint8_t* p = &bgr[static_cast<size_t>((y * kWidth + x) * 3)];
      p[0] = static_cast<uint8_t>(seed + x / 8);
      p[1] = static_cast<uint8_t>(seed * 3 + y / 4);
      p[2] = static_cast<uint8_t>(seed * 7 + (x + y) / 16);
    }
  }
  return bgr;
}

}  // namespace

const ButtonRect kButtons[4] = {
    {360, 420, 40, 30, chipdisk::kCodeNext},
    {300, 420, 40, 30, chipdisk::kCodeStop},
    {240, 420, 40, 30, chipdisk::kCodePlay},
    {180, 420, 40, 30, chipdisk::kCodePrevious},
};

DiskPictures MakePictures() {
  DiskPictures pictures;
  pictures.map.assign(static_cast<size_t>(kWidth * kHeight), 0);
  for (int tune = 0; tune < chipdisk::kTuneCount; ++tune) {
    const chipdisk::TuneEntry& line = chipdisk::kTunes[tune];
    for (int y = line.y; y < line.y + line.height; ++y)
      for (int x = line.x; x < line.x + line.width; ++x)
        pictures.map[static_cast<size_t>(y * kWidth + x)] = chipdisk::CodeOfTune(tune);
  }
  for (const ButtonRect& button : kButtons)
    for (int y = button.y; y < button.y + button.height; ++y)
      for (int x = button.x; x < button.x + button.width; ++x)
        pictures.map[static_cast<size_t>(y * kWidth + x)] = button.code;
  // A meaningless code beside the lines.
  for (int y = 20; y < 40; ++y)
    for (int x = 20; x < 60; ++x) pictures.map[static_cast<size_t>(y * kWidth + x)] = 100;

  for (int slot = 1; slot < 6; ++slot) pictures.rgb[static_cast<size_t>(slot)] = Pattern(static_cast<uint8_t>(slot * 40));
  Bytes& plain = pictures.rgb[chipdisk::kMainPlain];
  Bytes& lit = pictures.rgb[chipdisk::kMainHighlighted];
  lit = plain;
  for (int tune = 0; tune < chipdisk::kTuneCount; ++tune) {
    const chipdisk::TuneEntry& line = chipdisk::kTunes[tune];
    Fill(plain, line.x, line.y, line.width, line.height, 40, 30, static_cast<uint8_t>(60 + tune));
    Fill(lit, line.x, line.y, line.width, line.height, 40, 220, static_cast<uint8_t>(250 - tune));
  }
  return pictures;
}

Bytes EncodeChipDat(const DiskPictures& pictures) {
  std::vector<Bytes> entries;
  entries.push_back(CodeMap(pictures.map));
  for (int slot = 1; slot < 6; ++slot) entries.push_back(CodeRgb(pictures.rgb[static_cast<size_t>(slot)]));
  Bytes file(4 + entries.size() * 8, 0);
  Put32(file, 0, static_cast<uint32_t>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) {
    Put32(file, 4 + i * 8, static_cast<uint32_t>(file.size()));
    Put32(file, 8 + i * 8, static_cast<uint32_t>(entries[i].size()));
    for (uint8_t b : entries[i]) file.push_back(chipdisk::RotateRight2(b));
  }
  return file;
}

void WriteDisk(const std::string& dir, const DiskPictures& pictures, const std::string& module) {
  std::filesystem::create_directories(dir + "/data");
  const Bytes file = EncodeChipDat(pictures);
  std::ofstream(dir + "/data/chip.dat", std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  for (const chipdisk::TuneEntry& tune : chipdisk::kTunes) {
    const std::string path = dir + "/" + tune.file;
    if (module.empty()) {
      std::ofstream(path) << "tune";
    } else {
      std::filesystem::copy_file(module, path, std::filesystem::copy_options::overwrite_existing);
    }
  }
}

}  // namespace chipdisk_test
