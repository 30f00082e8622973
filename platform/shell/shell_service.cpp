#include "platform/shell/shell_service.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace platform {
namespace {

class Desktop final : public ShellService {
 public:
  const char* DriverName() const override { return "xdg-open"; }
  bool OpenAddress(const char* address) override {
    if (!AddressIsSafe(address)) return false;
    // A leading '-' would read as an option of the handler.
    if (address[0] == '-') return false;
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(address), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;
    // Reap the handler in the background so it never lingers as a zombie.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return true;
  }
};

ShellService* current = nullptr;

}  // namespace

bool AddressIsSafe(const char* address) {
  if (!address || !*address) return false;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(address); *p; ++p)
    if (*p < 0x20 || *p == 0x7F) return false;
  return true;
}

ShellService& DesktopShell() {
  static Desktop desktop;
  return desktop;
}

ShellService& Shell() { return current ? *current : DesktopShell(); }
void SetShellService(ShellService* service) { current = service; }

bool FakeShellService::OpenAddress(const char* address) {
  if (!AddressIsSafe(address)) return false;
  opened.emplace_back(address);
  return true;
}

FakeShellService& FakeShell() {
  static FakeShellService fake;
  return fake;
}

long ShellExecuteA(void*, const char* verb, const char* file, const char*, const char*, int) {
  if (!verb || std::strcmp(verb, "open") != 0) return 2;
  return Shell().OpenAddress(file) ? 42 : 2;
}

}  // namespace platform
