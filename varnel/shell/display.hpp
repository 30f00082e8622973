// The display: a 640 x 480 16-bit mode (15-bit first, else 16-bit 5-6-5)
// that frames in the reader's 5-5-5 format are presented on.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/window/window_service.hpp"

namespace varnel {

// Guards every use of the display objects; the reader's only lock.
extern std::recursive_mutex displayLock;
// Set by start-up just before CreateDisplay; ReleaseDisplay does nothing
// while it is 0.
extern int displayInitialised;
// 1 when the mode is 5-6-5 and frames are converted on the way.
extern int displayIs565;

// Builds the display objects; called with displayLock held. Each failure
// leaves the lock and is fatal with the failing step's message.
void CreateDisplay(platform::WindowHandle mainWindow);

// Shows a 640 x 480 5-5-5 frame (rows of 1280 bytes) on the next flip.
// Failures drop the frame silently.
void PresentFrame(const uint16_t* pixels);

// Releases everything; safe to call more than once and before the display
// exists. Registered as a fatal shutdown step.
void ReleaseDisplay();

// The 5-5-5 to 5-6-5 row conversions: two pixels per 32-bit word, and the
// same with SIMD (identical words). `count` pixels.
void ConvertRow565(const uint16_t* from, uint16_t* to, int count);
void ConvertRow565Simd(const uint16_t* from, uint16_t* to, int count);

}  // namespace varnel
