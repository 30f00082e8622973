// One copy of the demo at a time on a desktop: a lock named by an abstract
// local socket, gone with the process that holds it. A second copy knocks
// on it so the first can raise its window, then leaves.
#pragma once

#include <functional>
#include <thread>

namespace marigold {

constexpr const char* kInstanceLockName = "MARIGOLD_MUTEX";

class SingleInstance {
 public:
  enum class Result {
    First,    // this copy holds the lock
    Another,  // another copy holds it and was asked to come forward
    Failed,   // no lock could be made
  };

  SingleInstance() = default;
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;
  ~SingleInstance();  // releases the lock

  // Takes the lock `name` of this user's desktop session; while held,
  // `onRaise` runs (on a thread of its own) whenever another copy tries to
  // take it.
  Result acquire(const char* name, std::function<void()> onRaise);

 private:
  void listen();

  int socket_ = -1;
  int stopPipe_[2] = {-1, -1};
  std::function<void()> onRaise_;
  std::thread listener_;
};

}  // namespace marigold
