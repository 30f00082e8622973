#include "tests/support/xvfb.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "tests/support/scratch_dir.hpp"

extern char** environ;

namespace testing_support {
namespace {

bool DisplayFree(int number) {
  struct stat st;
  const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
  const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
  return stat(lock.c_str(), &st) != 0 && stat(socket.c_str(), &st) != 0;
}

}  // namespace

XvfbServer::XvfbServer(int width, int height) {
  if (access("/usr/bin/Xvfb", X_OK) != 0) return;
  // Spread the tests that run at once over distinct numbers.
  int number = 50 + static_cast<int>(getpid() % 400);
  while (!DisplayFree(number)) ++number;
  const std::string display = ":" + std::to_string(number);
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  std::vector<std::string> args = {"/usr/bin/Xvfb", display, "-screen", "0", screen, "-nolisten", "tcp",
                                   "-noreset"};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    pid_ = -1;
    return;
  }
  // Up when a client can talk to it.
  for (int i = 0; i < 100; ++i) {
    if (RunCommand("DISPLAY=" + display + " /usr/bin/xdpyinfo >/dev/null 2>&1") == 0) {
      display_ = display;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

XvfbServer::~XvfbServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

int XvfbServer::Run(const std::string& commandLine) const {
  return RunCommand("DISPLAY=" + display_ + " " + commandLine);
}

int XvfbServer::Xdotool(const std::string& arguments) const {
  return Run("/usr/bin/xdotool " + arguments);
}

bool XvfbServer::Screenshot(const std::string& pngPath) const {
  return Run("/usr/bin/import -window root " + pngPath) == 0;
}

}  // namespace testing_support
