#include "kestrel/render/log.hpp"

#include <cstdarg>
#include <mutex>

namespace kestrel {
namespace {

constexpr const char* kLogFileName = "kestrel.log";

struct Tee {
  std::FILE* file = nullptr;
};

ssize_t TeeWrite(void* cookie, const char* bytes, size_t size) {
  auto* tee = static_cast<Tee*>(cookie);
  std::fwrite(bytes, 1, size, stderr);
  if (tee->file) {
    std::fwrite(bytes, 1, size, tee->file);
    std::fflush(tee->file);
  }
  return static_cast<ssize_t>(size);
}

std::FILE* OpenTee() {
  static Tee tee;
  tee.file = std::fopen(kLogFileName, "w");
  cookie_io_functions_t calls{};
  calls.write = TeeWrite;
  std::FILE* stream = fopencookie(&tee, "w", calls);
  if (!stream) return stderr;
  // Line buffered: a line reaches both places as soon as it is complete.
  std::setvbuf(stream, nullptr, _IOLBF, 0);
  return stream;
}

}  // namespace

std::FILE* LogStream() {
  static std::FILE* stream = OpenTee();
  return stream;
}

void Log(const char* format, ...) {
  static std::mutex lock;
  std::lock_guard guard(lock);
  std::FILE* stream = LogStream();
  std::fputs("kestrel: ", stream);
  va_list args;
  va_start(args, format);
  std::vfprintf(stream, format, args);
  va_end(args);
  std::fputc('\n', stream);
}

}  // namespace kestrel
