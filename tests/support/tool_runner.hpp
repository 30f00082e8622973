// Runs a tool as a child process and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

struct ToolResult {
  int status = -1;  // exit status, -1 if it did not exit normally
  std::string out;
  std::string err;
};

ToolResult RunTool(const std::string& program, const std::vector<std::string>& args);

}  // namespace testing_support
