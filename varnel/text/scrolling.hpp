// Moving the text window over a laid-out article by rows and pages, the
// page-turn request the reader loop animates, and the scroll bar.
#pragma once

#include <cstdint>

#include "varnel/media/picture.hpp"
#include "varnel/text/article.hpp"

namespace varnel {

constexpr int32_t kScrollBarWidth = 282;
constexpr int32_t kScrollBarHeight = 19;
constexpr int32_t kScrollBarX = 97;
constexpr int32_t kScrollBarY = 396;
constexpr int32_t kScrollBarWindow = 140;

// Set by a page move when the next frame should animate it; the reader loop
// plays the transition and clears it. Direction 1 forward, 2 back.
extern int32_t pageTurnPending;
extern int32_t pageTurnDirection;

// The scroll-bar strip "DATA/p1.gif", loaded by the main sequence.
extern Picture scrollBarPicture;

// Page moves are animated while either setting is on; the reader binds its
// settings' fields here (unbound means off).
void BindPageTurnSettings(const int32_t* softScroll, const int32_t* plasmaLike);

struct SegmentRef {
  TextSegment* segment;  // null when the article has fewer rows
  int32_t index;         // -1 then
};

SegmentRef FindTopSegment(Article* article);
void LineUp(Article* article);
void LineDown(Article* article);
void PageBack(Article* article);
void PageForward(Article* article);

// Draws the 140-pixel window of the strip for `position` (0 to 1) at
// (97, 396). A strip that is not 282 x 19 is fatal: "Bad scrollbar file !".
void DrawScrollBar(float position, ImageRef image);

}  // namespace varnel
