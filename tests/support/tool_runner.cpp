#include "tests/support/tool_runner.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/scratch_dir.hpp"

extern char** environ;

namespace testing_support {

ToolResult RunTool(const std::string& program, const std::vector<std::string>& args) {
  char outPath[] = "/tmp/tool-out-XXXXXX";
  char errPath[] = "/tmp/tool-err-XXXXXX";
  const int out = mkstemp(outPath);
  const int err = mkstemp(errPath);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out, 1);
  posix_spawn_file_actions_adddup2(&actions, err, 2);

  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  ToolResult result;
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  close(out);
  close(err);
  const Bytes outBytes = ReadFile(outPath);
  const Bytes errBytes = ReadFile(errPath);
  result.out.assign(outBytes.begin(), outBytes.end());
  result.err.assign(errBytes.begin(), errBytes.end());
  unlink(outPath);
  unlink(errPath);
  return result;
}

}  // namespace testing_support
