// The engine's log stream: one stdio stream that writes to standard error
// and, when it can be opened, to "kestrel.log" in the current directory.
#pragma once

#include <cstdio>

namespace kestrel {

// The stream; opened on first use, never null.
std::FILE* LogStream();

// printf-style line to the log stream; a newline is added.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace kestrel
