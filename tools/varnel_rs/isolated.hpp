// Runs a piece of the reader's code in a child process, so that a fatal
// error ends only the child and the caller goes on to the next check.
#pragma once

#include <functional>
#include <string>

namespace varnel_rs {

struct IsolatedResult {
  bool completed = false;  // the body returned (no fatal error)
  std::string out;         // what it wrote to standard output
  std::string failure;     // the fatal message, when it failed
};

IsolatedResult RunIsolated(const std::function<void()>& body);

}  // namespace varnel_rs
