// The renderer dialog: resolution, full screen or window, vertical sync.
#pragma once

#include <vector>

#include "kestrel/render/gl_context.hpp"

namespace kestrel {

// Distinct display sizes of the desktop, 640 x 480 first, at most `limit`.
std::vector<DisplayMode> OfferedModes(int limit);

// Runs the dialog through the platform's dialog manager and fills the
// info and config records (see kestrel.h). False when the user declined.
bool RunRendererDialog(void* info, void* config);

}  // namespace kestrel
