#include "tests/varnel/e2e/magazine_session.hpp"

#include <unistd.h>

#include <filesystem>

#include "tests/platform/dialog/dialog_desktop.hpp"
#include "tests/support/scratch_dir.hpp"

namespace testing_support {
namespace {

constexpr const char* kSetupCaption = "Varnel#3";

}  // namespace

MagazineSession::MagazineSession(const XvfbServer& x, const std::string& dir)
    : x_(x), dir_(dir), program_(x, dir) {
  std::filesystem::copy(VARNEL_SAMPLE_DIR, dir_, std::filesystem::copy_options::recursive);
}

void MagazineSession::Start() { program_.Start(VARNEL_PATH); }

bool MagazineSession::WaitForSetupDialog() {
  return dialog_desktop::WaitForDialogDrawn(x_, kSetupCaption) && WaitForWindowAndFocus(kSetupCaption);
}

bool MagazineSession::WaitForWindowAndFocus(const std::string& caption) {
  const std::string pattern = dialog_desktop::NamePattern(caption);
  if (!x_.WaitForWindow(pattern)) return false;
  return WaitUntil([&] {
    if (x_.WindowFocused(pattern)) return true;
    x_.Xdotool("search --onlyvisible --name " + pattern + " windowfocus %1 2>/dev/null");
    return false;
  });
}

void MagazineSession::Press(const std::string& key) { x_.Xdotool("key " + key); }

void MagazineSession::MoveMouse(int x, int y) {
  x_.Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y));
}

void MagazineSession::Click(int x, int y) {
  x_.Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

std::vector<uint8_t> MagazineSession::ReadPng5(const std::string& png) {
  const std::string raw = png + ".rgb";
  if (RunCommand(ImageMagickConvert() + " " + png + " -depth 8 rgb:" + raw) != 0) return {};
  Bytes bytes = ReadFile(raw);
  for (auto& b : bytes) b = static_cast<uint8_t>(b >> 3);
  return bytes;
}

std::vector<uint8_t> MagazineSession::Screen() {
  const std::string png = dir_ + "/screen" + std::to_string(shots_++) + ".png";
  if (!x_.Screenshot(png)) return {};
  return ReadPng5(png);
}

std::vector<uint8_t> MagazineSession::ExpectedPage(const std::string& article, int x, int y, int pageDown) {
  const std::string png = dir_ + "/expected" + std::to_string(shots_++) + ".png";
  const std::string command = std::string(VARNEL_PAGE_PATH) + " " + dir_ + "/varnel.rs " + article + " -o " +
                              png + " --mouse " + std::to_string(x) + "," + std::to_string(y) +
                              " --page-down " + std::to_string(pageDown) + " > /dev/null";
  if (RunCommand(command) != 0) return {};
  return ReadPng5(png);
}

bool MagazineSession::WaitForScreen(const std::vector<uint8_t>& expected, int seconds) {
  if (expected.empty()) return false;
  constexpr double kBetweenScreenshots = 0.5;
  bool shown = false;
  WaitUntil(
      [&] {
        shown = Screen() == expected;
        return shown || !program_.Running();  // a reader that has ended shows nothing more
      },
      seconds, kBetweenScreenshots);
  return shown;
}

std::string MagazineSession::Describe() {
  const std::string names = dir_ + "/windows.txt";
  x_.Xdotool("search --onlyvisible --name '' getwindowname %@ > " + names + " 2>/dev/null");
  const Bytes bytes = ReadFile(names);
  std::string text = "windows shown: [" + std::string(bytes.begin(), bytes.end()) + "]";
  if (shots_ > 0) {
    const std::string kept = ::testing::TempDir() + "e2e-last-screen-" + std::to_string(getpid()) + ".png";
    const std::string last = dir_ + "/screen" + std::to_string(shots_ - 1) + ".png";
    if (RunCommand("cp " + last + " " + kept + " 2>/dev/null") == 0) text += ", last screen in " + kept;
  }
  return text + "; the reader " + program_.Report();
}

}  // namespace testing_support
