// Shell service: hands a web or mail address to the desktop's default
// program, like the desktop's own "open" verb.
#pragma once

#include <string>
#include <vector>

namespace platform {

class ShellService {
 public:
  virtual ~ShellService() = default;
  virtual const char* DriverName() const = 0;
  // Opens `address` with the desktop's handler; false when it could not be
  // started or the address was refused. Never blocks on the handler.
  virtual bool OpenAddress(const char* address) = 0;
};

ShellService& Shell();
void SetShellService(ShellService* service);  // null: the desktop driver

// xdg-open, started with an argument vector (never through a shell).
ShellService& DesktopShell();

// Records the addresses it was given.
class FakeShellService final : public ShellService {
 public:
  const char* DriverName() const override { return "fake"; }
  bool OpenAddress(const char* address) override;
  std::vector<std::string> opened;
};
FakeShellService& FakeShell();

// Whether an address may be handed on: not empty, no control characters
// (a line feed or an escape could make the handler see two requests).
bool AddressIsSafe(const char* address);

// The desktop's verb: `ShellExecuteA(owner, "open", file, ...)`; returns a
// value above 32 on success as the desktop does, 2 otherwise.
long ShellExecuteA(void* owner, const char* verb, const char* file, const char* parameters,
                   const char* directory, int showCommand);
inline constexpr int SW_SHOWMAXIMIZED = 3;

}  // namespace platform
