#include "marigold/single_instance.hpp"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

namespace marigold {
namespace {

constexpr int kBacklog = 4;
constexpr char kRaiseRequest = 'R';

// An abstract socket address: a leading zero byte, then the name.
socklen_t AbstractAddress(const char* name, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  size_t length = std::min(std::strlen(name), sizeof address.sun_path - 1);
  std::memcpy(address.sun_path + 1, name, length);
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

// One copy per user and desktop, as a named lock of a desktop session is:
// the same user's demo on another display (or a test's private X server)
// is another session.
std::string SessionLockName(const char* name) {
  const char* display = std::getenv("DISPLAY");
  if (!display) display = std::getenv("WAYLAND_DISPLAY");
  return std::string(name) + "@" + std::to_string(::getuid()) + "@" + (display ? display : "");
}

bool Knock(const char* name) {
  int knock = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (knock < 0) return false;
  sockaddr_un address;
  socklen_t length = AbstractAddress(name, address);
  bool sent = ::connect(knock, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
              ::send(knock, &kRaiseRequest, 1, MSG_NOSIGNAL) == 1;
  ::close(knock);
  return sent;
}

}  // namespace

SingleInstance::~SingleInstance() {
  if (listener_.joinable()) {
    char stop = 0;
    if (::write(stopPipe_[1], &stop, 1) < 0) {
      // The pipe is ours and empty: a failed write leaves the thread to end with the process.
    }
    listener_.join();
  }
  for (int fd : {socket_, stopPipe_[0], stopPipe_[1]})
    if (fd >= 0) ::close(fd);
}

SingleInstance::Result SingleInstance::acquire(const char* lockName,
                                               std::function<void()> onRaise) {
  const std::string scoped = SessionLockName(lockName);
  const char* name = scoped.c_str();
  socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (socket_ < 0) return Result::Failed;
  sockaddr_un address;
  socklen_t length = AbstractAddress(name, address);
  if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), length) != 0) {
    int error = errno;
    ::close(socket_);
    socket_ = -1;
    if (error != EADDRINUSE) return Result::Failed;
    Knock(name);
    return Result::Another;
  }
  if (::listen(socket_, kBacklog) != 0 || ::pipe2(stopPipe_, O_CLOEXEC) != 0) return Result::Failed;
  onRaise_ = std::move(onRaise);
  listener_ = std::thread([this] { listen(); });
  return Result::First;
}

void SingleInstance::listen() {
  pollfd watched[2] = {{socket_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
  for (;;) {
    if (::poll(watched, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (watched[1].revents) return;
    if (!(watched[0].revents & POLLIN)) continue;
    int visitor = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC);
    if (visitor < 0) continue;
    char request = 0;
    bool raise = ::recv(visitor, &request, 1, 0) == 1 && request == kRaiseRequest;
    ::close(visitor);
    if (raise && onRaise_) onRaise_();
  }
}

}  // namespace marigold
