#include "tools/common/tool_support.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/drivers.hpp"
#include "varnel/failure/fatal_error.hpp"

using namespace varnel;

namespace tools {
namespace {

std::string program = "tool";
std::string startDirectory;
std::string scratchDirectory;
pid_t scratchOwner = 0;

// Only the process that made the directory removes it: a child that runs a
// check and exits must leave it to its parent.
void RemoveScratchDirectory() {
  if (scratchDirectory.empty() || getpid() != scratchOwner) return;
  if (!startDirectory.empty()) (void)chdir(startDirectory.c_str());
  std::error_code ignored;
  std::filesystem::remove_all(scratchDirectory, ignored);
  scratchDirectory.clear();
}

}  // namespace

void StartTool(const char* programName) {
  program = programName;
  platform::SelectDrivers(platform::DriverSet::Console);
  SetFatalTraceStream(nullptr);
  std::error_code ignored;
  startDirectory = std::filesystem::current_path(ignored).string();
}

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || path == "-") return path;
  std::filesystem::path p(path);
  if (p.is_absolute()) return path;
  return (std::filesystem::path(startDirectory) / p).lexically_normal().string();
}

void EnterScratchDirectory() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/varnel-tool-XXXXXX";
  if (!mkdtemp(pattern.data())) Fail("cannot create a scratch directory");
  scratchDirectory = pattern;
  scratchOwner = getpid();
  std::atexit(RemoveScratchDirectory);
  if (chdir(scratchDirectory.c_str()) != 0) Fail("cannot enter the scratch directory");
}

void Fail(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", program.c_str(), message.c_str());
  std::exit(1);
}

void UsageError(const char* usage) {
  std::fputs(usage, stderr);
  std::exit(2);
}

}  // namespace tools
