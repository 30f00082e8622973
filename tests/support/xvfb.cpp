#include "tests/support/xvfb.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "tests/support/scratch_dir.hpp"

namespace testing_support {
namespace {

constexpr const char* kXvfbPath = "/usr/bin/Xvfb";

// Servers still running, for the exit handler. Plain slots, no allocation.
constexpr int kMaxServers = 16;
std::atomic<pid_t> liveServers[kMaxServers];
std::atomic<pid_t> ownerProcess{0};

// At exit (also when Xlib ends the process on a fatal X error): stop every
// server this process started. A forked child (a death test) leaves its
// parent's servers alone.
void KillLiveServers() {
  if (getpid() != ownerProcess.load()) return;
  for (auto& slot : liveServers) {
    const pid_t pid = slot.exchange(0);
    if (pid > 0) kill(-pid, SIGTERM);
  }
}

void Register(pid_t pid) {
  if (ownerProcess.exchange(getpid()) != getpid()) {
    // First server of this process; slots copied by fork are the parent's.
    for (auto& slot : liveServers) slot = 0;
    std::atexit(KillLiveServers);
  }
  for (auto& slot : liveServers) {
    pid_t empty = 0;
    if (slot.compare_exchange_strong(empty, pid)) return;
  }
}

void Unregister(pid_t pid) {
  for (auto& slot : liveServers) {
    pid_t expected = pid;
    if (slot.compare_exchange_strong(expected, 0)) return;
  }
}

// Reads the display number Xvfb writes once it accepts clients; -1 if it
// ends or stays silent.
int ReadDisplayNumber(int fd, double seconds) {
  std::string text;
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < end) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, 100) <= 0) continue;
    char c = 0;
    if (read(fd, &c, 1) != 1) return -1;
    if (c == '\n') return text.empty() ? -1 : std::atoi(text.c_str());
    text += c;
  }
  return -1;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, double seconds, double longestPause) {
  using Seconds = std::chrono::duration<double>;
  const auto end = std::chrono::steady_clock::now() + Seconds(seconds);
  Seconds pause(0.01);
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, Seconds(longestPause));
  }
}

XvfbServer::XvfbServer(int width, int height, int depth) {
  if (access(kXvfbPath, X_OK) != 0) return;
  int channel[2];
  if (pipe2(channel, O_CLOEXEC) != 0) return;
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x" +
                           std::to_string(depth);
  std::vector<std::string> args = {kXvfbPath, "-displayfd", std::to_string(channel[1]), "-screen", "0",
                                   screen,    "-nolisten",  "tcp",                      "-noreset"};
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t parent = getpid();

  pid_t child = fork();
  if (child == 0) {
    // Its own process group, so it and its helpers go together; killed by
    // the kernel when the thread that started it dies, whatever the cause.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(1);
    fcntl(channel[1], F_SETFD, 0);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(channel[1]);
  if (child < 0) {
    close(channel[0]);
    return;
  }
  setpgid(child, child);  // also from here, so it holds before either side goes on
  pid_ = child;
  Register(pid_);
  const int number = ReadDisplayNumber(channel[0], kDesktopTimeoutSeconds);
  close(channel[0]);
  if (number < 0) {
    Stop();
    return;
  }
  const std::string display = ":" + std::to_string(number);
  // Up when a client can talk to it.
  if (WaitUntil([&] { return RunCommand("DISPLAY=" + display + " /usr/bin/xdpyinfo >/dev/null 2>&1") == 0; })) {
    display_ = display;
  } else {
    Stop();
  }
}

XvfbServer::~XvfbServer() { Stop(); }

void XvfbServer::Stop() {
  if (pid_ <= 0) return;
  Unregister(pid_);
  kill(-pid_, SIGTERM);
  const bool ended = WaitUntil([&] { return waitpid(pid_, nullptr, WNOHANG) == pid_; }, 10.0);
  if (!ended) {
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  pid_ = -1;
  display_.clear();
}

int XvfbServer::Run(const std::string& commandLine) const {
  return RunCommand("DISPLAY=" + display_ + " " + commandLine);
}

int XvfbServer::Xdotool(const std::string& arguments) const {
  // Bounded, so a --sync that never comes true cannot hang the test.
  return Run("/usr/bin/timeout " + std::to_string(static_cast<int>(kDesktopTimeoutSeconds)) +
             " /usr/bin/xdotool " + arguments);
}

bool XvfbServer::Screenshot(const std::string& pngPath) const {
  return Run("/usr/bin/import -window root " + pngPath) == 0;
}

bool XvfbServer::WaitForWindow(const std::string& quotedNamePattern, double seconds) const {
  return WaitUntil(
      [&] { return Xdotool("search --onlyvisible --name " + quotedNamePattern + " >/dev/null 2>&1") == 0; },
      seconds);
}

}  // namespace testing_support

namespace testing_support {

bool XvfbServer::WindowFocused(const std::string& quotedNamePattern) const {
  const std::string xdotool = "/usr/bin/xdotool";
  return RunCommand("export DISPLAY=" + display_ + "; w=$(" + xdotool + " search --onlyvisible --name " +
                    quotedNamePattern + " 2>/dev/null | head -n 1); [ -n \"$w\" ] && [ \"$(" + xdotool +
                    " getwindowfocus 2>/dev/null)\" = \"$w\" ]") == 0;
}

}  // namespace testing_support
