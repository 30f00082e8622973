#include "tests/support/desktop_program.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "tests/support/scratch_dir.hpp"

extern char** environ;

namespace testing_support {

DesktopProgram::~DesktopProgram() {
  if (pid_ > 0 && status_ < 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool DesktopProgram::Start(const std::string& path, const std::vector<std::string>& arguments) {
  // The caller's own display and SDL settings must not leak in.
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("SDL_", 0) != 0) env.push_back(entry);
  }
  env.push_back("DISPLAY=" + x_.display());
  env.push_back("SDL_AUDIODRIVER=disk");
  env.push_back("SDL_DISKAUDIOFILE=" + audioFile());
  std::vector<char*> envp;
  for (auto& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);

  std::vector<std::string> words{path};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, dir_.c_str());
  constexpr int kOutputFlags = O_WRONLY | O_CREAT | O_TRUNC;
  posix_spawn_file_actions_addopen(&actions, 1, (dir_ + "/stdout.txt").c_str(), kOutputFlags, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, (dir_ + "/stderr.txt").c_str(), kOutputFlags, 0644);
  status_ = -1;
  if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid_ > 0;
}

bool DesktopProgram::Running() {
  if (pid_ <= 0 || status_ >= 0) return false;
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    return false;
  }
  return true;
}

void DesktopProgram::Signal(int signal) {
  if (Running()) kill(pid_, signal);
}

int DesktopProgram::WaitForExit(double seconds) {
  WaitUntil([this] { return !Running(); }, seconds);
  return Running() ? -1 : status_;
}

std::string DesktopProgram::Output() const {
  const Bytes bytes = ReadFile(dir_ + "/stdout.txt");
  return std::string(bytes.begin(), bytes.end());
}

std::string DesktopProgram::Report() {
  std::string text;
  if (Running()) {
    text = "still running";
    const std::string stacks = dir_ + "/stacks.txt";
    if (access("/usr/bin/gdb", X_OK) == 0 &&
        RunCommand("timeout 60 /usr/bin/gdb -p " + std::to_string(pid_) +
                   " -batch -ex 'thread apply all bt 12' > " + stacks + " 2>&1") == 0) {
      const Bytes bytes = ReadFile(stacks);
      text += "; its threads:\n" + std::string(bytes.begin(), bytes.end());
    }
  } else {
    text = pid_ > 0 ? "ended with status " + std::to_string(status_) : "never started";
  }
  for (const char* stream : {"stdout", "stderr"}) {
    const Bytes bytes = ReadFile(dir_ + "/" + stream + ".txt");
    const size_t keep = std::min<size_t>(bytes.size(), 2000);
    text += "\n" + std::string(stream) + " (last " + std::to_string(keep) + " bytes):\n" +
            std::string(bytes.end() - static_cast<long>(keep), bytes.end());
  }
  return text;
}

}  // namespace testing_support
