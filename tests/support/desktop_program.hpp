// A program under test started as a person starts it: in its data folder,
// on a private X server, with SDL's disk audio driver writing
// `dir`/audio.raw and its output kept in `dir`/stdout.txt and stderr.txt.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/xvfb.hpp"

namespace testing_support {

class DesktopProgram {
 public:
  DesktopProgram(const XvfbServer& x, std::string dir) : x_(x), dir_(std::move(dir)) {}
  ~DesktopProgram();  // a program still running is killed
  DesktopProgram(const DesktopProgram&) = delete;
  DesktopProgram& operator=(const DesktopProgram&) = delete;

  // Starts `path` with `arguments` in the folder; false if it could not be started.
  bool Start(const std::string& path, const std::vector<std::string>& arguments = {});
  bool Running();
  // Sends `signal` to the program while it runs.
  void Signal(int signal);
  // The exit status once the program has ended (128 for a signal), or -1
  // if it is still running after `seconds`.
  int WaitForExit(double seconds);

  std::string Output() const;  // what it wrote to standard output
  // For a failure message: whether it still runs (then, where gdb is
  // installed, every thread's stack) or how it ended, and its last output.
  std::string Report();
  std::string audioFile() const { return dir_ + "/audio.raw"; }
  const std::string& dir() const { return dir_; }

 private:
  const XvfbServer& x_;
  std::string dir_;
  pid_t pid_ = -1;
  int status_ = -1;
};

}  // namespace testing_support
