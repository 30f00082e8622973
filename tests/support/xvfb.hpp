// A private X server for tests that open real windows: Xvfb on a free
// display number, torn down with the test.
#pragma once

#include <sys/types.h>

#include <string>

namespace testing_support {

class XvfbServer {
 public:
  // Starts Xvfb with one screen of `width` x `height` x 24; empty display()
  // when Xvfb is not installed or did not come up.
  XvfbServer(int width = 640, int height = 480);
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool running() const { return !display_.empty(); }
  const std::string& display() const { return display_; }  // ":N"

  // Runs a shell command with DISPLAY set to this server; its exit status.
  int Run(const std::string& commandLine) const;
  // xdotool with the given arguments, on this server.
  int Xdotool(const std::string& arguments) const;
  // A screenshot of the whole screen as PNG.
  bool Screenshot(const std::string& pngPath) const;

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace testing_support
