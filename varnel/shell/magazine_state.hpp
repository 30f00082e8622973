// The state of the running magazine that the main sequence and the reader
// frame share; magazine thread only, unless marked otherwise.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/screen_size.hpp"
#include "varnel/media/gif_decoder.hpp"
#include "varnel/media/picture.hpp"

namespace varnel {

constexpr int32_t kFramePixels = platform::kScreenWidth * platform::kScreenHeight;
constexpr int32_t kPendingArticleBytes = 256;

extern Picture FrameBuffer;     // the work image of covers and transitions
extern Picture panel0, panel1;  // the two frames around the text window
extern int32_t panelShown;      // 0: panel0 shown, 1: panel1
extern IndexedImage plasmaMap;  // the dissolve order of page turns, 0-15 per pixel

extern char pendingArticle[kPendingArticleBytes];  // opened at the end of the pass
extern int32_t openPending;
extern int32_t crossFadePending;

// Set by the window thread when the window goes away while the magazine
// still runs; the reading loop and every animation stop at the next poll.
extern std::atomic<bool> magazineStopRequested;

// Waits `milliseconds` on the platform clock, returning early once a stop
// is requested.
void MagazineWait(uint32_t milliseconds);
// Waits until `milliseconds` have passed since `start` (a clock reading).
void MagazineWaitSince(uint32_t start, uint32_t milliseconds);

}  // namespace varnel
