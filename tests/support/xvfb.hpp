// A private X server for tests that open real windows: Xvfb on a display
// number it picks itself, torn down with the test however the test ends.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace testing_support {

// How long a desktop test waits for a state before it gives up: generous,
// since the test machine may be loaded.
constexpr double kDesktopTimeoutSeconds = 60.0;

// Polls `done` until it holds or `seconds` pass, at most `longestPause`
// seconds apart (longer for costly checks such as screenshots, which would
// otherwise take the processor from the program under test); whether it held.
bool WaitUntil(const std::function<bool()>& done, double seconds = kDesktopTimeoutSeconds,
               double longestPause = 0.1);

class XvfbServer {
 public:
  // Starts Xvfb with one screen of `width` x `height` x `depth` bits; empty
  // display() when Xvfb is not installed, refuses the depth or did not come
  // up. The server is killed by the destructor, at exit, on a fatal signal,
  // and by the kernel when the constructing thread dies in any other way.
  XvfbServer(int width = 640, int height = 480, int depth = 24);
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool running() const { return !display_.empty(); }
  const std::string& display() const { return display_; }  // ":N"
  pid_t pid() const { return pid_; }

  // Runs a shell command with DISPLAY set to this server; its exit status.
  int Run(const std::string& commandLine) const;
  // xdotool with the given arguments, on this server.
  int Xdotool(const std::string& arguments) const;
  // A screenshot of the whole screen as PNG.
  bool Screenshot(const std::string& pngPath) const;
  // Waits until a viewable window whose name matches the (shell-quoted)
  // pattern exists; false after `seconds`.
  bool WaitForWindow(const std::string& quotedNamePattern,
                     double seconds = kDesktopTimeoutSeconds) const;
  // Whether such a window is viewable and has the keyboard focus (no wait).
  bool WindowFocused(const std::string& quotedNamePattern) const;

 private:
  void Stop();

  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace testing_support
