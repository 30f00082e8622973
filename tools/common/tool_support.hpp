// What every command-line tool does at start: console drivers, failures as
// the reader reports them (message on standard error, exit status 1), and a
// scratch directory for the reader's temporary files.
#pragma once

#include <string>

namespace tools {

// Selects the console drivers and keeps standard output free of the
// failure trace line. Call first in main().
void StartTool(const char* programName);

// Creates a private scratch directory, makes it the working directory and
// removes it at exit (a fatal exit included). Paths the user gave must be
// made absolute with AbsolutePath() before this is called.
void EnterScratchDirectory();

// `path` relative to the directory the tool was started in.
std::string AbsolutePath(const std::string& path);

// Prints "<program>: <message>" on standard error and exits with status 1.
[[noreturn]] void Fail(const std::string& message);

// Prints the usage text on standard error and exits with status 2.
[[noreturn]] void UsageError(const char* usage);

}  // namespace tools
