// Drawing one full screen of an article into the text surface: the panel
// around the text window, the visible rows in one or two columns, links lit
// under the pointer, pictures with their hover pictures, title, scroll bar.
#pragma once

#include <atomic>
#include <cstdint>

#include "varnel/media/picture.hpp"
#include "varnel/text/article.hpp"

namespace varnel {

constexpr int32_t kLinkBytes = 512;  // links longer than 511 bytes are cut here
constexpr int32_t kTitleX = 64;
constexpr int32_t kTitleY = 432;
constexpr uint16_t kTitleColour = 0x7C00;

// The link under the pointer in the last page drawing, or empty.
extern char linkUnderMouse[kLinkBytes];
// 0, or 320 while the second column is drawn.
extern int32_t columnOffset;
// The 640 x 480 frame picture around the text window, chosen by the reader.
extern const Picture* currentPanel;

// Where the pointer position comes from (the reader's input state, written
// by the window thread). Unbound reads as (0, 0).
void BindPointer(const std::atomic<int32_t>* mouseX, const std::atomic<int32_t>* mouseY);

// Draws the page for the article's topRow; false (nothing drawn) when that
// row does not exist.
bool DrawArticlePage(Article* article);

// Steps of DrawArticlePage.
void SampleMouse(Article* article);
void HitTestSegment(const TextSegment& segment, int32_t yOffset);
void DrawSegment(Article* article, const TextSegment& segment, int32_t yOffset, ImageRef image);
void DrawArticlePictures(Article* article, ImageRef image, int32_t topY);
// Copies `source` to (x, y) with pixel value 0 transparent (tested per pair
// of pixels), limited by the exclusive `right` and `bottom` and by `clipTop`.
void BlitKeyed(const Picture& source, ImageRef image, int32_t x, int32_t y, int32_t right,
               int32_t bottom, int32_t clipTop);

}  // namespace varnel
