// The reader from its entry: archive, window, setup dialog, display, music,
// the magazine thread, the message loop, and the orderly shutdown.
#pragma once

namespace varnel {

// Runs the whole program on the calling (window) thread; the exit code.
int VarnelMain();

}  // namespace varnel
