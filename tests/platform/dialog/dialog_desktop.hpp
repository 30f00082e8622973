// Driving a real dialog window on a private X server: the test's thread runs
// the dialog while a second thread acts as the user through xdotool, and
// screenshots are read back as RGB pixels.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/dialog/dialog.hpp"
#include "platform/text/text_service.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/xvfb.hpp"

namespace dialog_desktop {

using testing_support::XvfbServer;

// Real fonts and the SDL dialog driver, on the test's own server.
class DesktopDialogTest : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    if (!server_.running()) GTEST_SKIP() << "Xvfb is not available";
    setenv("DISPLAY", server_.display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    platform::SetTextService(&platform::FreeTypeTextService());
    platform::dialog::SetDialogService(&platform::dialog::SdlDialogService());
  }
  void TearDown() override {
    platform::dialog::SetDialogService(&platform::dialog::FakeDialogs());
    platform::SetTextService(&platform::FakeTextService());
    ScratchDirTest::TearDown();
  }
  XvfbServer server_;
};

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
};

// Quoted for the shell: a window name as an anchored search pattern.
inline std::string NamePattern(const std::string& caption) { return "'^" + caption + "$'"; }

// Waits until the window with that caption is mapped.
inline bool WaitForWindow(const XvfbServer& server, const std::string& caption) {
  return server.WaitForWindow(NamePattern(caption));
}

inline std::optional<Geometry> WindowGeometry(const XvfbServer& server,
                                              const std::string& caption) {
  const std::string file = "geometry.txt";
  if (server.Xdotool("search --onlyvisible --name " + NamePattern(caption) +
                     " getwindowgeometry --shell > " + file) != 0) {
    return std::nullopt;
  }
  Geometry geometry;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const int value = std::atoi(line.c_str() + equals + 1);
    if (key == "X") geometry.x = value;
    if (key == "Y") geometry.y = value;
    if (key == "WIDTH") geometry.width = value;
    if (key == "HEIGHT") geometry.height = value;
  }
  return geometry;
}

// A left click at (x, y) of the window's client area.
inline void ClickAt(const XvfbServer& server, const std::string& caption, int x, int y) {
  server.Xdotool("search --onlyvisible --name " + NamePattern(caption) + " mousemove --window %1 " +
                 std::to_string(x) + " " + std::to_string(y) + " click 1 2>/dev/null");
}

// Keys (xdotool names) typed into the window after giving it the keyboard.
inline void Type(const XvfbServer& server, const std::string& caption, const std::string& keys) {
  server.Xdotool("search --onlyvisible --name " + NamePattern(caption) +
                 " windowfocus --sync %1 key --delay 60 " + keys + " 2>/dev/null");
}

// How the X server shows a 5-bit channel of the dialog's pixels.
constexpr std::uint32_t Grey555(int level) {
  const std::uint32_t v = static_cast<std::uint32_t>(level) * 255 / 31;
  return (v << 16) | (v << 8) | v;
}

// The whole screen as 8-bit RGB triples.
struct Screen {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  std::uint32_t At(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return (std::uint32_t{rgb[i]} << 16) | (std::uint32_t{rgb[i + 1]} << 8) | rgb[i + 2];
  }
};

// Takes a screenshot into `pngPath` and reads it back; nullopt without
// ImageMagick.
inline std::optional<Screen> Capture(const XvfbServer& server, const std::string& pngPath) {
  const std::string convert = testing_support::ImageMagickConvert();
  if (convert.empty() || !server.Screenshot(pngPath)) return std::nullopt;
  const std::string raw = "screen.rgb";
  if (testing_support::RunCommand(convert + " " + pngPath + " -depth 8 rgb:" + raw) != 0) {
    return std::nullopt;
  }
  Screen screen;
  screen.width = 640;
  screen.height = 480;
  screen.rgb = testing_support::ReadFile(raw);
  if (screen.rgb.size() != 640u * 480u * 3u) return std::nullopt;
  return screen;
}

// Waits until the dialog's window is mapped and its face is drawn (its
// corner shows the dialog grey).
inline bool WaitForDialogDrawn(const XvfbServer& server, const std::string& caption) {
  if (!WaitForWindow(server, caption)) return false;
  if (testing_support::ImageMagickConvert().empty()) return true;
  return testing_support::WaitUntil([&] {
    const std::optional<Geometry> window = WindowGeometry(server, caption);
    const std::optional<Screen> screen = Capture(server, "drawn.png");
    return window && screen && window->x + 2 < screen->width && window->y + 2 < screen->height &&
           screen->At(window->x + 2, window->y + 2) == Grey555(24);
  });
}

// Runs `act` on a second thread while the test's thread runs the dialog. When
// `act` is done (or failed half-way) and the dialog is still there after a
// generous wait, Esc is sent until it is gone.
class User {
 public:
  User(const XvfbServer& server, const std::string& caption, std::function<void()> act)
      : thread_([this, &server, caption, act] {
          if (WaitForDialogDrawn(server, caption)) act();
          // A broken run fails instead of hanging: Esc once the dialog has
          // had ample time to end by itself.
          testing_support::WaitUntil([this] { return dialogGone_.load(); });
          for (int i = 0; i < 20 && !dialogGone_; ++i) {
            Type(server, caption, "Escape");
            testing_support::WaitUntil([this] { return dialogGone_.load(); }, 1.0);
          }
        }) {}
  ~User() { Finish(); }
  // Call when the dialog has returned.
  void Finish() {
    dialogGone_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::atomic<bool> dialogGone_{false};
  std::thread thread_;
};

}  // namespace dialog_desktop
