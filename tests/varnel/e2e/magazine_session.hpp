// The magazine as a person runs it: a copy of the sample issue in a scratch
// directory, the reader started in a private X server with the disk audio
// driver, driven with xdotool and watched through screenshots.
#pragma once

#include <string>
#include <vector>

#include "tests/support/desktop_program.hpp"
#include "tests/support/xvfb.hpp"

namespace testing_support {

class MagazineSession {
 public:
  // Copies the sample issue into `dir`; nothing runs yet.
  MagazineSession(const XvfbServer& x, const std::string& dir);

  void Start();
  // The exit status once the reader has ended (-1 if it did not in time).
  int WaitForExit(int seconds) { return program_.WaitForExit(seconds); }
  bool Running() { return program_.Running(); }

  // Waits until the setup dialog is drawn and has the keyboard.
  bool WaitForSetupDialog();
  // Waits until the window named `caption` is shown, then gives it the keyboard.
  bool WaitForWindowAndFocus(const std::string& caption);

  // An instant key press (xdotool names): down and up at once, however
  // briefly the reading loop was looking.
  void Press(const std::string& key);
  void MoveMouse(int x, int y);
  // An instant left click at (x, y).
  void Click(int x, int y);

  // The screen as 5-bit R, G, B per pixel (the reader's own precision).
  std::vector<uint8_t> Screen();
  // What varnel-page draws for `article` with the pointer at (x, y).
  std::vector<uint8_t> ExpectedPage(const std::string& article, int x, int y, int pageDown = 0);
  // Waits until the screen shows `expected`; false after `seconds`.
  bool WaitForScreen(const std::vector<uint8_t>& expected, int seconds);

  std::string Output() const { return program_.Output(); }
  // For a failure message: the windows on the screen, and where a copy of
  // the last screenshot is kept.
  std::string Describe();
  const std::string& dir() const { return dir_; }

 private:
  std::vector<uint8_t> ReadPng5(const std::string& png);

  const XvfbServer& x_;
  std::string dir_;
  DesktopProgram program_;
  int shots_ = 0;
};

}  // namespace testing_support
