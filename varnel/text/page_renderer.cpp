#include "varnel/text/page_renderer.hpp"

#include <algorithm>
#include <cstring>

#include "varnel/text/article_layout.hpp"
#include "varnel/text/scrolling.hpp"
#include "varnel/text/text_surface.hpp"

namespace varnel {

using namespace platform;

char linkUnderMouse[kLinkBytes] = {};
int32_t columnOffset = 0;
const Picture* currentPanel = nullptr;

namespace {

const std::atomic<int32_t>* pointerX = nullptr;
const std::atomic<int32_t>* pointerY = nullptr;
HFONT selectedFont = nullptr;  // skips redundant font selections

int32_t PointerX() { return pointerX ? pointerX->load(std::memory_order_relaxed) : 0; }
int32_t PointerY() { return pointerY ? pointerY->load(std::memory_order_relaxed) : 0; }

ImageRef PageImage() { return {platform::kScreenWidth, platform::kScreenHeight, textSurface.pixels}; }

void SetLinkUnderMouse(const char* link) {
  if (linkUnderMouse[0] != '\0' || !link) return;
  std::strncpy(linkUnderMouse, link, kLinkBytes - 1);
  linkUnderMouse[kLinkBytes - 1] = '\0';
}

// Rows [from, to) of the panel into the surface. A panel of another size
// gives what it has; the rest of those rows is black.
void CopyPanelRows(int32_t from, int32_t to) {
  from = std::max(from, 0);
  to = std::min(to, platform::kScreenHeight);
  for (int32_t y = from; y < to; ++y) {
    uint16_t* row = textSurface.pixels + static_cast<size_t>(y) * platform::kScreenWidth;
    int32_t copied = 0;
    if (currentPanel && currentPanel->pixels && y < currentPanel->height) {
      copied = std::min(currentPanel->width, platform::kScreenWidth);
      std::memcpy(row, currentPanel->pixels + static_cast<size_t>(y) * currentPanel->width,
                  static_cast<size_t>(copied) * sizeof(uint16_t));
    }
    std::fill(row + copied, row + platform::kScreenWidth, uint16_t{0});
  }
}

// Segments from `first` on whose bottom lies less than the window height
// below `topY`: the ones that fit entirely.
int32_t CountFitting(const Article* article, int32_t first, int32_t topY) {
  const int32_t height = article->windowBottom - article->windowTop;
  int32_t i = first;
  while (i < article->ArtLinesNum && WrapAdd(article->segments[i].bottom, -topY) < height) ++i;
  return i - first;
}

void SelectFontCached(HFONT font) {
  if (font == selectedFont) return;
  SelectObject(textSurface.CompatibleHDC, font);
  selectedFont = font;
}

}  // namespace

void BindPointer(const std::atomic<int32_t>* mouseX, const std::atomic<int32_t>* mouseY) {
  pointerX = mouseX;
  pointerY = mouseY;
}

void SampleMouse(Article* article) {
  article->mouseXAtFrame = PointerX();
  article->mouseYAtFrame = PointerY();
}

void HitTestSegment(const TextSegment& segment, int32_t yOffset) {
  if (segment.isLink != 1) return;
  const auto left = static_cast<uint32_t>(WrapAdd(segment.left, columnOffset));
  const auto right = static_cast<uint32_t>(WrapAdd(segment.right, columnOffset));
  const auto top = static_cast<uint32_t>(WrapAdd(segment.top, yOffset));
  const auto bottom = static_cast<uint32_t>(WrapAdd(segment.bottom, yOffset));
  const auto x = static_cast<uint32_t>(PointerX());
  const auto y = static_cast<uint32_t>(PointerY());
  if (left < x && x < right && top < y && y < bottom) SetLinkUnderMouse(segment.link);
}

void DrawSegment(Article* article, const TextSegment& segment, int32_t yOffset, ImageRef image) {
  if (!segment.text) return;
  const bool hovered = segment.isLink == 1 && segment.link &&
                       std::strncmp(segment.link, linkUnderMouse, kLinkBytes - 1) == 0;
  const int32_t x = WrapAdd(segment.left, columnOffset);
  const int32_t y = WrapAdd(segment.top, yOffset);
  if (segment.bitmapText == 1) {
    if (hovered) {
      DrawBitmapTextBoxed(article->bitmapFont, image, segment.text, kTitleColour, x, y);
    } else {
      const auto colour = static_cast<uint16_t>(((segment.red << 7) & 0x7C00) +
                                                ((segment.green << 2) & 0x3E0) + (segment.blue >> 3));
      DrawBitmapText(article->bitmapFont, image, segment.text, colour, x, y);
    }
    return;
  }
  const HDC dc = textSurface.CompatibleHDC;
  SelectFontCached(segment.font);
  SetTextCharacterExtra(dc, 0);
  SetTextColor(dc, hovered ? RGB(255, 0, 0) : RGB(segment.red, segment.green, segment.blue));
  if (segment.justified == 1) {
    SetTextJustification(dc, segment.breakExtra + 1, std::max(segment.breakCount, 1));
    SetTextCharacterExtra(dc, segment.charExtra);
  } else {
    SetTextJustification(dc, 0, 0);
  }
  TextOutA(dc, x, y, segment.text, segment.length);
}

void BlitKeyed(const Picture& source, ImageRef image, int32_t x, int32_t y, int32_t right,
               int32_t bottom, int32_t clipTop) {
  if (x > image.width || y > image.height || int64_t{right} - x > source.width ||
      int64_t{bottom} - y > source.height || right < 0 || bottom < 0 || !source.pixels)
    return;
  right = std::min(right, image.width);
  bottom = std::min(bottom, image.height);
  const int32_t firstRow = std::max({y, clipTop, 0});
  const int32_t skip = x < 0 ? -x : 0;
  const int32_t left = std::max(x, 0);
  const int32_t n = right - left;
  if (n <= 0) return;
  for (int32_t row = firstRow; row < bottom; ++row) {
    const uint16_t* from = source.pixels + static_cast<size_t>(row - y) * source.width + skip;
    uint16_t* to = image.pixels + static_cast<size_t>(row) * image.width + left;
    int32_t k = 0;
    if (n & 1) {
      if (from[0] != 0) to[0] = from[0];
      k = 1;
    }
    for (; k < n; k += 2) {
      if ((from[k] | from[k + 1]) != 0) {
        to[k] = from[k];
        to[k + 1] = from[k + 1];
      }
    }
  }
}

void DrawArticlePictures(Article* article, ImageRef image, int32_t topY) {
  for (const ArticlePicture* p = article->pictures; p; p = p->next) {
    const int32_t screenY = WrapAdd(WrapAdd(p->y, -topY), article->windowTop);
    const int32_t screenX = WrapAdd(p->x, columnOffset);
    const int32_t right = WrapAdd(screenX, p->picture.width);
    const int32_t bottom = std::min(WrapAdd(screenY, p->picture.height), article->windowBottom);
    const bool hovered = p->hasHover && screenX < article->mouseXAtFrame &&
                         article->mouseXAtFrame < right &&
                         screenY < article->mouseYAtFrame && article->mouseYAtFrame < bottom &&
                         article->windowTop < article->mouseYAtFrame &&
                         article->mouseYAtFrame < article->windowBottom;
    if (!hovered) {
      BlitKeyed(p->picture, image, screenX, screenY, right, bottom, article->windowTop);
      continue;
    }
    const int32_t hoverBottom = std::min(WrapAdd(screenY, p->hoverPicture.height), article->windowBottom);
    BlitKeyed(p->hoverPicture, image, screenX, screenY, WrapAdd(screenX, p->hoverPicture.width),
              hoverBottom, article->windowTop);
    SetLinkUnderMouse(p->link);
  }
}

bool DrawArticlePage(Article* article) {
  columnOffset = 0;
  SampleMouse(article);
  std::memset(linkUnderMouse, 0, sizeof linkUnderMouse);
  const SegmentRef first = FindTopSegment(article);
  if (!first.segment) return false;

  const ImageRef image = PageImage();
  const HDC dc = textSurface.CompatibleHDC;
  const int32_t topY = first.segment->top;
  const int32_t yOffset = WrapAdd(article->windowTop, -topY);
  CopyPanelRows(article->windowTop, article->windowBottom);
  SelectObject(dc, textSurface.defaultFont);
  selectedFont = textSurface.defaultFont;
  SetTextCharacterExtra(dc, 0);

  // Links first, so every segment of the link under the pointer is lit in
  // this very frame.
  const int32_t count1 = CountFitting(article, first.index, topY);
  for (int32_t i = 0; i < count1; ++i) HitTestSegment(article->segments[first.index + i], yOffset);
  const int32_t second = first.index + count1;
  const bool secondColumn = article->twoColumns == 1 && second < article->ArtLinesNum;
  int32_t count2 = 0, y2 = 0, yOffset2 = 0;
  if (secondColumn) {
    y2 = article->segments[second].top;
    yOffset2 = WrapAdd(article->windowTop, -y2);
    count2 = CountFitting(article, second, y2);
    columnOffset = kSecondColumnX;
    for (int32_t i = 0; i < count2; ++i) HitTestSegment(article->segments[second + i], yOffset2);
    columnOffset = 0;
  }

  for (int32_t i = 0; i < count1; ++i) DrawSegment(article, article->segments[first.index + i], yOffset, image);
  if (second >= article->ArtLinesNum) article->moreBelow = 0;
  if (secondColumn) {
    columnOffset = kSecondColumnX;
    for (int32_t i = 0; i < count2; ++i) DrawSegment(article, article->segments[second + i], yOffset2, image);
    if (second + count2 >= article->ArtLinesNum) article->moreBelow = 0;
    columnOffset = 0;
  }

  SelectObject(dc, textSurface.defaultFont);
  selectedFont = textSurface.defaultFont;
  SetTextCharacterExtra(dc, 0);
  SetTextJustification(dc, 0, 0);
  DrawArticlePictures(article, image, topY);
  if (secondColumn) {
    columnOffset = kSecondColumnX;
    DrawArticlePictures(article, image, y2);
    columnOffset = 0;
  }

  CopyPanelRows(0, article->windowTop);
  CopyPanelRows(article->windowBottom, platform::kScreenHeight);
  DrawBitmapText(article->bitmapFont, image, article->title, kTitleColour, kTitleX, kTitleY);
  const int32_t rowsAhead = article->twoColumns == 1 ? 16 : 8;
  DrawScrollBar(static_cast<float>(article->topRow + rowsAhead) / static_cast<float>(article->rowCount + 1),
                image);
  return true;
}

}  // namespace varnel
