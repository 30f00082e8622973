#include "platform/clock/clock_service.hpp"

#include <chrono>
#include <thread>

namespace platform {
namespace {

class Real final : public ClockService {
 public:
  const char* DriverName() const override { return "monotonic"; }
  uint32_t Milliseconds() override {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  }
  void Sleep(uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

ClockService* current = nullptr;

}  // namespace

ClockService& RealClock() {
  static Real real;
  return real;
}

ClockService& Clock() { return current ? *current : RealClock(); }
void SetClockService(ClockService* service) { current = service; }

FakeClockService& FakeClock() {
  static FakeClockService fake;
  return fake;
}

}  // namespace platform
