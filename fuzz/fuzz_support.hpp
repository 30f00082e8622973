// Helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz_support {

// Thrown in place of the process exit when the code under test fails fatally.
struct FatalEscape {
  const char* message;
};

// Makes FatalError throw FatalEscape instead of ending the process, and
// silences its trace line. Call once per process (idempotent).
void InterceptFatalErrors();

}  // namespace fuzz_support
