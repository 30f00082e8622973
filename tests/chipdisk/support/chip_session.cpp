#include "tests/chipdisk/support/chip_session.hpp"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "tests/support/scratch_dir.hpp"

namespace chipdisk_test {
namespace {

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The Xvfb screens of these tests.
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

}  // namespace

ChipSession::ChipSession(const testing_support::XvfbServer& x, const std::string& dir)
    : x_(x),
      dir_(dir),
      program_(x, dir),
      originX_(kScreenWidth / 2 - 320),
      originY_(kScreenHeight / 2 - 240) {}

void ChipSession::MoveMouse(int x, int y) {
  x_.Xdotool("mousemove " + std::to_string(originX_ + x) + " " + std::to_string(originY_ + y));
}

void ChipSession::Click(int x, int y) {
  MoveMouse(x, y);
  SleepMs(100);
  x_.Xdotool("mousedown 1");
  SleepMs(100);
  x_.Xdotool("mouseup 1");
}

void ChipSession::Press(const std::string& key) { x_.Xdotool("key " + key); }

std::vector<uint8_t> ChipSession::Window() {
  const std::string png = dir_ + "/screen" + std::to_string(shots_++) + ".png";
  if (!x_.Screenshot(png)) return {};
  const std::string raw = png + ".bgr";
  const std::string crop = "640x480+" + std::to_string(originX_) + "+" + std::to_string(originY_);
  if (testing_support::RunCommand(testing_support::ImageMagickConvert() + " " + png + " -crop " +
                                  crop + " -depth 8 bgr:" + raw) != 0)
    return {};
  std::vector<uint8_t> bytes = testing_support::ReadFile(raw);
  std::filesystem::remove(png);
  std::filesystem::remove(raw);
  return bytes;
}

bool ChipSession::WaitForRect(const uint8_t* picture, int x, int y, int width, int height,
                              int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end && Running()) {
    const std::vector<uint8_t> shown = Window();
    bool same = shown.size() == 640u * 480u * 3u;
    for (int row = y; same && row < y + height; ++row) {
      const size_t at = static_cast<size_t>((row * 640 + x) * 3);
      same = std::memcmp(&shown[at], picture + at, static_cast<size_t>(width) * 3) == 0;
    }
    if (same) return true;
    SleepMs(200);
  }
  return false;
}

std::vector<uint8_t> ChipSession::Audio() const {
  return testing_support::ReadFile(program_.audioFile());
}

bool ChipSession::LoadPictures() {
  block_.assign(chipdisk::kWorkingBlockSize, 0);
  chipdisk::ChipDataReader reader;
  uint32_t used = 0;
  return chipdisk::LoadChipPictures(reader, dir_ + "/" + chipdisk::kChipDataFileName,
                                    chipdisk::SplitWorkingBlock(block_.data()), used, pictures_)
      .ok();
}

bool ChipSession::FindCode(uint8_t code, int& x, int& y) const {
  const chipdisk::PictureSlot& map = pictures_[chipdisk::kHotspotMap];
  // The middle of the code's area along its first row, away from edges.
  for (uint32_t row = 0; row < map.height; ++row) {
    uint32_t first = map.width, last = 0;
    for (uint32_t column = 0; column < map.width; ++column) {
      if (map.pixels[row * map.width + column] != code) continue;
      first = std::min(first, column);
      last = column;
    }
    if (first > last) continue;
    const uint32_t below = std::min(row + 2, map.height - 1);
    x = static_cast<int>((first + last) / 2);
    y = static_cast<int>(map.pixels[below * map.width + static_cast<uint32_t>(x)] == code ? below : row);
    return true;
  }
  return false;
}

}  // namespace chipdisk_test
