// The chip player as a person runs it: started in a disk folder on a
// private X server with the disk audio driver, driven with xdotool, watched
// through screenshots and the audio file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "chipdisk/data/chip_data_reader.hpp"
#include "tests/support/desktop_program.hpp"
#include "tests/support/xvfb.hpp"

namespace chipdisk_test {

class ChipSession {
 public:
  ChipSession(const testing_support::XvfbServer& x, const std::string& dir);

  void Start(const std::string& program) { program_.Start(program); }
  bool Running() { return program_.Running(); }
  // -1 if it did not end in time.
  int WaitForExit(int seconds) { return program_.WaitForExit(seconds); }

  // Window coordinates (the window is centred on the screen).
  void MoveMouse(int x, int y);
  void Click(int x, int y);
  void Press(const std::string& key);

  // The window's 640 x 480 pixels as blue-green-red bytes.
  std::vector<uint8_t> Window();
  // Waits until the window's rectangle equals the same rectangle of a
  // 640 x 480 blue-green-red picture.
  bool WaitForRect(const uint8_t* picture, int x, int y, int width, int height, int seconds);
  bool WaitForPicture(const uint8_t* picture, int seconds) {
    return WaitForRect(picture, 0, 0, 640, 480, seconds);
  }

  std::vector<uint8_t> Audio() const;  // what the disk audio driver wrote so far

  // The six pictures of the disk's data file, decoded as the player does.
  bool LoadPictures();
  const chipdisk::PictureSlot& picture(int slot) const { return pictures_[static_cast<size_t>(slot)]; }
  // A window position whose hotspot code is `code`; false if none.
  bool FindCode(uint8_t code, int& x, int& y) const;

  const std::string& dir() const { return dir_; }

 private:
  const testing_support::XvfbServer& x_;
  std::string dir_;
  testing_support::DesktopProgram program_;
  int shots_ = 0;
  int originX_ = 0, originY_ = 0;
  std::vector<uint8_t> block_;
  std::array<chipdisk::PictureSlot, chipdisk::kPictureCount> pictures_{};
};

}  // namespace chipdisk_test
