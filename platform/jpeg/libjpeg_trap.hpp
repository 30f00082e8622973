// libjpeg error handling for this folder's code: errors jump back to the
// caller's recovery point with a status code instead of ending the process,
// and libjpeg's messages never reach the console.
#pragma once

// jpeglib.h uses FILE without including <cstdio>, so the order matters.
// clang-format off
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace platform::libjpeg {

struct ErrorTrap {
  jpeg_error_mgr manager;  // first: libjpeg hands its address back to the handlers
  std::jmp_buf recovery;
  int status;  // a JpegStatus, set before the jump
};

// Prepares `trap` and returns the manager to put in a libjpeg object's `err`
// before it is created. Warnings stay quiet, except "premature end of data",
// which is an error: a picture cut short is a damaged file.
jpeg_error_mgr* InstallErrorTrap(ErrorTrap* trap);

// Ends the current libjpeg call on `common` with `status`.
[[noreturn]] void Fail(j_common_ptr common, int status);

}  // namespace platform::libjpeg
