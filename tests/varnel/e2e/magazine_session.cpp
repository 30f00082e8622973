#include "tests/varnel/e2e/magazine_session.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/platform/dialog/dialog_desktop.hpp"
#include "tests/support/scratch_dir.hpp"

extern char** environ;

namespace testing_support {
namespace {

constexpr const char* kSetupCaption = "Varnel#3";

}  // namespace

MagazineSession::MagazineSession(const XvfbServer& x, const std::string& dir) : x_(x), dir_(dir) {
  std::filesystem::copy(VARNEL_SAMPLE_DIR, dir_, std::filesystem::copy_options::recursive);
}

MagazineSession::~MagazineSession() {
  if (pid_ > 0 && status_ < 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

void MagazineSession::Start() {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("SDL_", 0) != 0) env.push_back(entry);
  }
  env.push_back("DISPLAY=" + x_.display());
  env.push_back("SDL_AUDIODRIVER=disk");
  env.push_back("SDL_DISKAUDIOFILE=" + dir_ + "/audio.raw");
  std::vector<char*> envp;
  for (auto& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, (dir_ + "/stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, (dir_ + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  // The reader reads its issue from the current directory.
  const std::string previous = std::filesystem::current_path().string();
  std::filesystem::current_path(dir_);
  char program[] = VARNEL_PATH;
  char* argv[] = {program, nullptr};
  if (posix_spawn(&pid_, program, &actions, nullptr, argv, envp.data()) != 0) pid_ = -1;
  std::filesystem::current_path(previous);
  posix_spawn_file_actions_destroy(&actions);
}

bool MagazineSession::Running() {
  if (pid_ <= 0 || status_ >= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    return false;
  }
  return true;
}

int MagazineSession::WaitForExit(int seconds) {
  WaitUntil([this] { return !Running(); }, seconds);
  return Running() ? -1 : status_;
}

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
  return WaitUntil([&] { return Screen() == expected; }, seconds, kBetweenScreenshots);
}

std::string MagazineSession::Describe() const {
  const std::string names = dir_ + "/windows.txt";
  x_.Xdotool("search --onlyvisible --name '' getwindowname %@ > " + names + " 2>/dev/null");
  const Bytes bytes = ReadFile(names);
  std::string text = "windows shown: [" + std::string(bytes.begin(), bytes.end()) + "]";
  if (shots_ > 0) {
    const std::string kept = ::testing::TempDir() + "e2e-last-screen-" + std::to_string(getpid()) + ".png";
    const std::string last = dir_ + "/screen" + std::to_string(shots_ - 1) + ".png";
    if (RunCommand("cp " + last + " " + kept + " 2>/dev/null") == 0) text += ", last screen in " + kept;
  }
  return text;
}

std::string MagazineSession::Output() const {
  const Bytes bytes = ReadFile(dir_ + "/stdout.txt");
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace testing_support
