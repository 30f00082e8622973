// The test support's X server never outlives its test: a test process that
// is killed, aborts or exits without unwinding leaves no Xvfb behind.
#include "tests/support/xvfb.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/support/scratch_dir.hpp"

namespace {

using testing_support::WaitUntil;
using testing_support::XvfbServer;

enum class Ending { Killed, Aborted, ExitedWithoutUnwinding };

// Gone, or only a zombie left for its new parent to reap.
bool ProcessGone(pid_t pid) {
  if (kill(pid, 0) != 0) return true;
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pidField, name, state;
  stat >> pidField >> name >> state;
  return !stat || state == "Z";
}

// The process id written in the X server's lock file for ":n", or -1.
pid_t DisplayLockOwner(const std::string& display) {
  std::ifstream lock("/tmp/.X" + display.substr(display.find(':') + 1) + "-lock");
  long owner = -1;
  if (!(lock >> owner)) return -1;
  return static_cast<pid_t>(owner);
}

// A child starts a server, reports its process id, then ends as told.
pid_t ServerOfAChildThatEnds(Ending ending) {
  int channel[2];
  if (pipe(channel) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    auto* server = new XvfbServer(64, 64);  // never destroyed
    const pid_t pid = server->running() ? server->pid() : -1;
    if (write(channel[1], &pid, sizeof pid) != sizeof pid) _exit(1);
    switch (ending) {
      case Ending::Killed: raise(SIGKILL); break;
      case Ending::Aborted: std::abort();
      case Ending::ExitedWithoutUnwinding: std::exit(3);
    }
    _exit(1);
  }
  close(channel[1]);
  pid_t server = -1;
  if (read(channel[0], &server, sizeof server) != sizeof server) server = -1;
  close(channel[0]);
  waitpid(child, nullptr, 0);
  return server;
}

class XvfbLifetime : public testing::TestWithParam<Ending> {};

TEST_P(XvfbLifetime, TheServerEndsWithItsTestProcess) {
  if (access("/usr/bin/Xvfb", X_OK) != 0) GTEST_SKIP() << "Xvfb is not installed";
  const pid_t server = ServerOfAChildThatEnds(GetParam());
  ASSERT_GT(server, 0) << "the child's server did not come up";
  EXPECT_TRUE(WaitUntil([&] { return ProcessGone(server); }, 20.0)) << "Xvfb " << server << " outlived its test";
  if (!ProcessGone(server)) kill(server, SIGKILL);
}

std::string EndingName(const testing::TestParamInfo<Ending>& param) {
  switch (param.param) {
    case Ending::Killed: return "Killed";
    case Ending::Aborted: return "Aborted";
    case Ending::ExitedWithoutUnwinding: return "ExitedWithoutUnwinding";
  }
  return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(Endings, XvfbLifetime,
                         testing::Values(Ending::Killed, Ending::Aborted, Ending::ExitedWithoutUnwinding),
                         EndingName);

TEST(XvfbServer, DestroyingStopsTheServerAndFreesTheDisplay) {
  pid_t pid = -1;
  std::string display;
  {
    XvfbServer server(64, 64);
    if (!server.running()) GTEST_SKIP() << "Xvfb is not available";
    pid = server.pid();
    display = server.display();
    EXPECT_EQ(server.Run("/usr/bin/xdpyinfo >/dev/null 2>&1"), 0);
  }
  EXPECT_TRUE(ProcessGone(pid));
  // Another test running beside this one may already have taken the freed
  // display number, so asking the display itself proves nothing: the lock
  // that claims it must be gone or belong to another server.
  EXPECT_NE(DisplayLockOwner(display), pid) << "display " << display << " is still locked by the stopped server";
}

TEST(XvfbServer, ServersStartedAtOnceGetDistinctDisplays) {
  XvfbServer first(64, 64), second(64, 64);
  if (!first.running() || !second.running()) GTEST_SKIP() << "Xvfb is not available";
  EXPECT_NE(first.display(), second.display());
}

}  // namespace
