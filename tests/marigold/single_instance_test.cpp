// One copy at a time: the second copy finds the lock, asks the first to
// come forward and is told to leave; the lock goes with its holder.
#include "marigold/single_instance.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <condition_variable>
#include <mutex>
#include <string>

namespace marigold {
namespace {

// A name of this test process's own, so parallel runs do not meet.
std::string TestLockName(const char* test) {
  return std::string("marigold-test-") + test + "-" + std::to_string(::getpid());
}

struct RaiseCounter {
  void Raise() {
    std::lock_guard<std::mutex> guard(mutex);
    ++count;
    changed.notify_all();
  }
  bool WaitFor(int expected) {
    std::unique_lock<std::mutex> guard(mutex);
    // A bound on a failure, not a pause: the wait ends when the raise comes.
    return changed.wait_for(guard, std::chrono::seconds(10), [&] { return count >= expected; });
  }
  std::mutex mutex;
  std::condition_variable changed;
  int count = 0;
};

TEST(SingleInstanceTest, SecondCopyFindsTheFirstAndAsksItToComeForward) {
  std::string name = TestLockName("second");
  RaiseCounter raised;
  SingleInstance first;
  ASSERT_EQ(first.acquire(name.c_str(), [&] { raised.Raise(); }), SingleInstance::Result::First);
  SingleInstance second;
  EXPECT_EQ(second.acquire(name.c_str(), nullptr), SingleInstance::Result::Another);
  EXPECT_TRUE(raised.WaitFor(1));
  SingleInstance third;
  EXPECT_EQ(third.acquire(name.c_str(), nullptr), SingleInstance::Result::Another);
  EXPECT_TRUE(raised.WaitFor(2));
}

TEST(SingleInstanceTest, LockGoesWithItsHolder) {
  std::string name = TestLockName("release");
  {
    SingleInstance first;
    ASSERT_EQ(first.acquire(name.c_str(), nullptr), SingleInstance::Result::First);
  }
  SingleInstance next;
  EXPECT_EQ(next.acquire(name.c_str(), nullptr), SingleInstance::Result::First);
}

TEST(SingleInstanceTest, DifferentNamesDoNotMeet) {
  SingleInstance one;
  SingleInstance two;
  EXPECT_EQ(one.acquire(TestLockName("a").c_str(), nullptr), SingleInstance::Result::First);
  EXPECT_EQ(two.acquire(TestLockName("b").c_str(), nullptr), SingleInstance::Result::First);
}

TEST(SingleInstanceTest, CopiesOnDifferentDisplaysDoNotMeet) {
  const std::string name = TestLockName("displays");
  const char* previous = std::getenv("DISPLAY");
  const std::string saved = previous ? previous : "";
  setenv("DISPLAY", ":71", 1);
  SingleInstance one;
  EXPECT_EQ(one.acquire(name.c_str(), nullptr), SingleInstance::Result::First);
  setenv("DISPLAY", ":72", 1);
  SingleInstance two;
  EXPECT_EQ(two.acquire(name.c_str(), nullptr), SingleInstance::Result::First);
  SingleInstance three;
  EXPECT_EQ(three.acquire(name.c_str(), nullptr), SingleInstance::Result::Another);
  if (previous) setenv("DISPLAY", saved.c_str(), 1);
  else unsetenv("DISPLAY");
}

}  // namespace
}  // namespace marigold
