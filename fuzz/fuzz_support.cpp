#include "fuzz/fuzz_support.hpp"

#include <cstdio>

#include "platform/drivers.hpp"
#include "varnel/failure/fatal_error.hpp"

using namespace varnel;

namespace fuzz_support {
namespace {

void ThrowEscape(const char* message) { throw FatalEscape{message}; }

}  // namespace

void InterceptFatalErrors() {
  static bool done = false;
  if (done) return;
  done = true;
  platform::SelectDrivers(platform::DriverSet::Fake);
  SetFatalEscapeHandler(ThrowEscape);
  // FatalError's trace line goes to standard output; keep the fuzzer's log readable.
  (void)std::freopen("/dev/null", "w", stdout);
}

}  // namespace fuzz_support
