#include "tools/varnel_rs/isolated.hpp"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace varnel_rs {
namespace {

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(got));
  return text;
}

// The console message box writes "ERROR: <message>\n".
std::string FatalMessage(const std::string& err) {
  const std::string marker = "ERROR: ";
  const size_t at = err.rfind(marker);
  std::string message = at == std::string::npos ? err : err.substr(at + marker.size());
  // A sanitizer's report at exit follows the message; it is not part of it.
  const size_t report = message.find("\n-----");
  if (report != std::string::npos) message.resize(report);
  while (!message.empty() && message.back() == '\n') message.pop_back();
  for (char& c : message)
    if (c == '\n') c = ' ';
  return message.empty() ? "failed" : message;
}

}  // namespace

IsolatedResult RunIsolated(const std::function<void()>& body) {
  IsolatedResult result;
  std::fflush(stdout);
  std::fflush(stderr);
  int outPipe[2], errPipe[2];
  if (pipe(outPipe) != 0 || pipe(errPipe) != 0) {
    result.failure = "cannot create a pipe";
    return result;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(outPipe[1], 1);
    dup2(errPipe[1], 2);
    close(outPipe[0]);
    close(errPipe[0]);
    body();
    std::fflush(stdout);
    _exit(0);
  }
  close(outPipe[1]);
  close(errPipe[1]);
  // Small outputs only: the child's standard error is read after its output.
  result.out = ReadAll(outPipe[0]);
  const std::string err = ReadAll(errPipe[0]);
  close(outPipe[0]);
  close(errPipe[0]);
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) {
    result.failure = "cannot run the check";
    return result;
  }
  result.completed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!result.completed) result.failure = FatalMessage(err);
  return result;
}

}  // namespace varnel_rs
