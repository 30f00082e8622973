// Clock service: a monotonic millisecond clock and sleeping.
//
// The real driver reads the system's monotonic clock; the fake one keeps a
// virtual time that only Sleep and tests move, so timed sequences run at
// once in tests.
#pragma once

#include <cstdint>

namespace platform {

class ClockService {
 public:
  virtual ~ClockService() = default;
  virtual const char* DriverName() const = 0;
  // Milliseconds since an arbitrary start; wraps like a 32-bit tick count.
  virtual uint32_t Milliseconds() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
};

ClockService& Clock();
void SetClockService(ClockService* service);  // null: the real clock

ClockService& RealClock();

class FakeClockService final : public ClockService {
 public:
  const char* DriverName() const override { return "fake"; }
  uint32_t Milliseconds() override { return now; }
  void Sleep(uint32_t milliseconds) override {
    now += milliseconds;
    slept += milliseconds;
  }
  uint32_t now = 0;
  uint64_t slept = 0;  // total milliseconds asked to sleep
};

FakeClockService& FakeClock();

// The usual names, on the current driver.
inline uint32_t GetTickCount() { return Clock().Milliseconds(); }
inline void Sleep(uint32_t milliseconds) { Clock().Sleep(milliseconds); }

}  // namespace platform
